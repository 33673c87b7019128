// One start of a window, timed by bench_startup from outside: it prints "painted" once the
// window's first paint is done, then its peak resident memory, and quits. Built twice: with
// the program's window, and with a bare Qt window of as many plain Qt widgets showing the
// same texts in the same fonts, so that the ratio is what the program's own code costs.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#ifdef LUVANA_BENCH_BARE
#include "app/controltable.h"

#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#else
#include "app/application.h"
#include "app/form1.h"
#endif

namespace {

long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Report after the paint has finished, from the event loop.
            QTimer::singleShot(0, [] {
                std::printf("painted\n%ld\n", peakResidentKiB());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

#ifdef LUVANA_BENCH_BARE
QWidget *plainWidget(ControlKind kind, QWidget *parent)
{
    switch (kind) {
    case ControlKind::TextBox:
        return new QLineEdit(parent);
    case ControlKind::MultiLineTextBox:
        return new QPlainTextEdit(parent);
    case ControlKind::Label:
    case ControlKind::Image:
        return new QLabel(parent);
    case ControlKind::Button:
    case ControlKind::PictureButton:
        return new QPushButton(parent);
    case ControlKind::PictureBox:
    case ControlKind::MediaControl:
        return new QFrame(parent);
    }
    return new QWidget(parent);
}
#endif

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
#ifdef LUVANA_BENCH_BARE
    QWidget window;
    for (const ControlEntry &entry : kControls) {
        QWidget *widget = plainWidget(entry.kind, &window);
        if (entry.font.family) {
            static const QHash<QByteArray, QString> kFreeFamilies {
                    {"Arial", QStringLiteral("Liberation Sans")},
                    {"MS Sans Serif", QStringLiteral("Liberation Sans")},
                    {"Comic Sans MS", QStringLiteral("Comic Neue")},
            };
            QFont font(
                    kFreeFamilies.value(entry.font.family, QString::fromLatin1(entry.font.family)));
            font.setPointSizeF(entry.font.points);
            font.setBold(entry.font.bold);
            widget->setFont(font);
        }
        const QString text = entry.text ? QString::fromUtf16(entry.text) : QString();
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(text);
        else if (auto *button = qobject_cast<QPushButton *>(widget))
            button->setText(text);
        widget->setGeometry(pixelRect(entry));
        widget->setVisible(!(entry.flags & Hidden));
    }
    window.resize(801, 801);
#else
    setUpApplication(app);
    Form1 window;
#endif
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
