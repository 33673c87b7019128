// SPDX-License-Identifier: GPL-3.0-or-later

// The window as luvana.html starts it, telling what it shows: whenever that changes, a line
// "LUVANA {json}" on standard output (the page's console in a browser) with the caption, the
// window's size, and each control's rectangle in the window, whether it shows and its text.
// check-page.py reads it from headless Chromium while clicking the page, then runs the same
// driver as a desktop program, given the dictation and the same clicks by name, to compare.
#include "app/application.h"
#include "app/controldesign.h"
#include "app/form1.h"
#include "platform/commondialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QVariant>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Form1 window;
    window.showMaximized();

    QByteArray last;
    QTimer report;
    report.callOnTimeout([&] {
        QJsonObject controls;
        for (const ControlEntry &entry : kControls) {
            const auto *control = window.findChild<QWidget *>(QString::fromLatin1(entry.name));
            if (!control)
                continue;
            const QPoint at = control->mapTo(&window, QPoint());
            controls.insert(
                    QString::fromLatin1(entry.name),
                    QJsonObject {{QStringLiteral("rect"),
                                  QStringLiteral("%1 %2 %3 %4")
                                          .arg(at.x())
                                          .arg(at.y())
                                          .arg(control->width())
                                          .arg(control->height())},
                                 {QStringLiteral("shown"), control->isVisible()},
                                 {QStringLiteral("text"), control->property("text").toString()}});
        }
        const QPoint origin = window.mapToGlobal(QPoint());
        const QJsonObject state {{QStringLiteral("caption"), window.windowTitle()},
                                 {QStringLiteral("x"), origin.x()},
                                 {QStringLiteral("y"), origin.y()},
                                 {QStringLiteral("width"), window.width()},
                                 {QStringLiteral("height"), window.height()},
                                 {QStringLiteral("controls"), controls}};
        const QByteArray line = QJsonDocument(state).toJson(QJsonDocument::Compact);
        if (line != last) {
            std::printf("LUVANA %s\n", line.constData());
            std::fflush(stdout);
            last = line;
        }
    });
    report.start(100);

    // As a desktop program: open the dictation named first through the new-attempt button,
    // press the buttons named after it one by one, and end once the grade has had its ticks.
    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty()) {
        window.findChild<CommonDialog *>(QStringLiteral("CMDialog1"))
                ->setChooser([dictation = arguments.first()](const CommonDialog::Request &) {
                    return std::optional<QString>(dictation);
                });
        QStringList presses = arguments;
        presses.front() = QStringLiteral("Command1");
        for (int i = 0; i < presses.size(); ++i) {
            QTimer::singleShot(300 * (i + 1), &window, [&window, name = presses.at(i)] {
                window.findChild<QAbstractButton *>(name)->click();
            });
        }
        // exit(), not quit(), which would close the window and report it hidden first.
        QTimer::singleShot(300 * int(presses.size()) + 2000, &app, [] { QApplication::exit(0); });
    }
    return app.exec();
}
