// SPDX-License-Identifier: GPL-3.0-or-later
// What the title bar reads, as the window system is told it: the window's caption and the file
// dialog's own title, with nothing added. On a real X server (xvfb-run), the title a window
// manager shows is a window's _NET_WM_NAME, read here with xprop as any other client reads it.
#include "app/application.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

using namespace testfiles;

namespace {

// Empty when xprop cannot say.
QString netWmName(const QWidget *window)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-id"), QString::number(window->winId()),
                 QStringLiteral("_NET_WM_NAME")});
    if (!xprop.waitForFinished(10000))
        return QString();
    // _NET_WM_NAME(UTF8_STRING) = "Form1"
    const QByteArray line = xprop.readAllStandardOutput().trimmed();
    const qsizetype start = line.indexOf(" = \"");
    if (start < 0 || !line.endsWith('"'))
        return QString();
    return QString::fromUtf8(line.sliced(start + 4, line.size() - start - 5));
}

} // namespace

class TestTitleBar : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsTheCaption_data();
    void showsTheCaption();
    void fileDialogShowsItsOwnTitle();
};

void TestTitleBar::initTestCase()
{
    // Like the sound tests: skipped where xvfb-run is missing, a failure under CI.
    if (QGuiApplication::platformName() != u"xcb") {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("no X server: packaging/setup-debian.sh installs xvfb");
        QSKIP("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    }
    setUpApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
}

void TestTitleBar::showsTheCaption_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("caption");

    QTest::newRow("at start-up") << "start"
                                 << "Form1";
    QTest::newRow("dictation opened") << "open"
                                      << "Luvana";
    QTest::newRow("dictation saved") << "save"
                                     << "Daz aravoze";
}

void TestTitleBar::showsTheCaption()
{
    QFETCH(QString, step);
    QFETCH(QString, caption);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, crLfLines({"Gats", "text", "x", "a"})));
    WindowUnderTest w;
    QVERIFY(w.exposed());
    if (step == u"open") {
        load(w, path);
    } else if (step == u"save") {
        QTest::keyClicks(w.get<QLineEdit>("codi"), QStringLiteral("kub"));
        w.answers.enqueue(path);
        w.click("Command2");
    }
    QCOMPARE(w->windowTitle(), caption);
    QTRY_COMPARE(netWmName(w.window()), caption);
}

void TestTitleBar::fileDialogShowsItsOwnTitle()
{
    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.dialog()->setChooser({});
    w.dialog()->setUseNativeDialog(false);

    QString title;
    QString shown;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        poll.stop();
        // The dialog is rejected whatever is seen, or the test would wait on it for ever.
        for (int tries = 0; shown.isEmpty() && tries < 50; ++tries) {
            QTest::qWait(100);
            shown = netWmName(dialog);
        }
        title = dialog->windowTitle();
        dialog->reject();
    });
    poll.start(50);
    w.click("Command1");

    QVERIFY(!title.isEmpty());
    QCOMPARE(shown, title);
}

QTEST_MAIN(TestTitleBar)
#include "tst_titlebar.moc"
