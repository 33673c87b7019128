// SPDX-License-Identifier: GPL-3.0-or-later
// What a blind pupil hears from a real screen reader: Orca runs in the test's D-Bus session and
// on its accessibility bus (support/a11y-session.sh), with settings of its own, and its debug log
// says everything it would speak, on lines "SPEECH OUTPUT: '...'"; no audio device is needed.
// Orca buffers that log unless it writes to a terminal, so it runs under script(1), which gives
// it one and copies each line to a file as it comes.
#include "app/application.h"
#include "sound/mediacontrol/recorderbar.h"
#include "support/messages.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

namespace {

class Orca
{
public:
    explicit Orca(const QTemporaryDir &home)
        : m_log(home.filePath(QStringLiteral("orca.log"))),
          m_home("HOME=" + QFile::encodeName(home.path()))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        m_script.setProcessEnvironment(environment);
        m_script.start(QStringLiteral("script"),
                       {QStringLiteral("-qfec"),
                        QStringLiteral("orca --replace -u %1 --debug-file /dev/tty")
                                .arg(home.filePath(QStringLiteral("settings"))),
                        m_log});
    }
    ~Orca()
    {
        // Orca, then the speech server it started, which outlives it: the processes of that
        // name whose environment has this test's HOME.
        for (const char *name : {"orca", "speech-dispatch"}) {
            for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
                const QString dir = QStringLiteral("/proc/") + pid;
                if (testfiles::fileBytes(dir + QStringLiteral("/comm")).trimmed() == name
                    && testfiles::fileBytes(dir + QStringLiteral("/environ"))
                               .split('\0')
                               .contains(m_home))
                    ::kill(pid_t(pid.toLongLong()), SIGTERM);
            }
        }
        m_script.waitForFinished(10000);
    }

    // How many of Orca's utterances hold the words.
    qsizetype count(const QString &words) const
    {
        const QList<QByteArray> lines = testfiles::fileBytes(m_log).split('\n');
        return std::count_if(lines.cbegin(), lines.cend(), [&](const QByteArray &line) {
            return line.contains("SPEECH OUTPUT: '") && line.contains(words.toUtf8());
        });
    }

private:
    QString m_log;
    QByteArray m_home;
    QProcess m_script;
};

} // namespace

class TestScreenReader : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void gradeAndMessageAreSpokenAndTheMeterIsNot();
};

void TestScreenReader::initTestCase()
{
    const bool present = QGuiApplication::platformName() == u"xcb"
            && !QStandardPaths::findExecutable(QStringLiteral("orca")).isEmpty();
    if (!present) {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("no X server or no Orca: packaging/setup-debian.sh installs xvfb and orca");
        QSKIP("needs Orca on an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    }
    setUpApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
}

void TestScreenReader::gradeAndMessageAreSpokenAndTheMeterIsNot()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const Orca orca(dir);
    QTRY_VERIFY_WITH_TIMEOUT(orca.count(QStringLiteral("Screen reader on")) == 1, 30000);

    const QString dictation = dir.filePath(QStringLiteral("granja.dtd"));
    QVERIFY(testfiles::writeFile(dictation, "Animals\r\nEl gall canta.\r\nx\r\n"));
    WindowUnderTest w;
    load(w, dictation);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));

    // A play's worth of levels, as the recorder's tick gives them, then the first grade.
    auto *bar = w.get("MMControl1")->findChild<RecorderBar *>();
    for (int step = 1; step <= 20; ++step)
        bar->showProgress(step * 50, float(step) / 21);
    w->Timer1_Timer();
    const QString grade10 = QStringLiteral("La teva nota és: 10");
    // Orca passes over a change that a newer one of the same control overtakes while it is
    // busy, as a pupil's pace never makes it: each step waits until it has spoken.
    QTRY_COMPARE_WITH_TIMEOUT(orca.count(grade10), 1, 20000);
    const QString message = messages::kBest.trimmed();
    w.click("wav1");
    w->Timer1_Timer();
    QTRY_COMPARE_WITH_TIMEOUT(orca.count(message), 1, 20000);
    // Listens 2 to 4 keep the 10; the fifth costs a point, and the final display comes again.
    for (int listen = 2; listen <= 5; ++listen) {
        w.click("wav1");
        w->Timer1_Timer();
    }
    QCOMPARE(w->nota, 9);
    QTRY_COMPARE_WITH_TIMEOUT(orca.count(message), 2, 20000);
    QCOMPARE(orca.count(QStringLiteral("La teva nota és: 9")), 1);
    QCOMPARE(orca.count(grade10), 1);
    QCOMPARE(orca.count(QStringLiteral("percent")), 0);
}

QTEST_MAIN(TestScreenReader)
#include "tst_screenreader.moc"
