// SPDX-License-Identifier: GPL-3.0-or-later

// Faults around the window's files and sound. Saves that fail part-way, through the real window:
// the teacher's save of a dictation and the recorder's "Save" of a clip, over a file that was there
// before. The file system itself makes them fail: a file-size limit makes every write past a chosen
// byte fail as a full disk would, and a trash that cannot be created refuses the old clip. Whatever
// the step that fails, the previous file must stay byte for byte as it was and no temporary file
// may be left beside it, and the caption must say that nothing was saved until a save succeeds.
// And the sound server going away in the middle of a clip and coming back:
// the window must carry on, and the next play must be heard. The file faults come from a POSIX
// file-size limit, so this suite is built for Linux only.
#include "sound/audiomodule/wavfile.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/fakesound.h"
#include "support/sinkcapture.h"
#include "support/soundclips.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

using namespace testfiles;

namespace {

// While it lives, no file of this process may grow past `bytes`: a write beyond fails with
// EFBIG, as on a full disk, instead of raising SIGXFSZ (ignored from the start).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit limit = m_previous;
        limit.rlim_cur = rlim_t(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_previous); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool isSet() const { return m_set; }

private:
    rlimit m_previous {};
    bool m_set = false;
};

using testfiles::kClipsDictation;
using testfiles::kOldDictation;

} // namespace

class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dictationSaveFailingAtEveryByte();
    void clipSaveFailingAtEveryStep();
    void soundServerRestartsWhilePlaying();

private:
    QTemporaryDir m_home;
    int m_faultsSurvived = 0;
};

void TestFaults::initTestCase()
{
    std::signal(SIGXFSZ, SIG_IGN);
    // The old clips go to a trash of this test's own, beside the files: on the same disk, so
    // that it is the trash in the data folder that takes them.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.filePath(QStringLiteral("home"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(QStringLiteral("home/data"))));
    QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("home/data"))));
}

void TestFaults::dictationSaveFailingAtEveryByte()
{
    QTemporaryDir folder(m_home.filePath(QStringLiteral("dictats-XXXXXX")));
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    const QString probe = folder.filePath(QStringLiteral("prova.dtd"));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.doubleClick("Label7");
    typeInto(w, "titol", QStringLiteral("Nou"));
    typeInto(w, "Text1", QStringLiteral("La gata juga."));
    typeInto(w, "Text2", QStringLiteral("On juga?"));
    // What the save writes, learnt from a save that nothing disturbs.
    save(w, probe);
    const QByteArray saved = fileBytes(probe);
    QVERIFY(saved.startsWith("Nou\r\nLa gata juga.\r\nx\r\nOn juga?\r\n"));
    QVERIFY(QFile::remove(probe));
    QVERIFY(writeFile(path, kOldDictation));

    for (qint64 limit = 0; limit < saved.size(); ++limit) {
        {
            FileSizeLimit full(limit);
            QVERIFY(full.isSet());
            save(w, path);
        }
        const QByteArray tag = "disk full after " + QByteArray::number(limit) + " bytes";
        QVERIFY2(fileBytes(path) == kOldDictation, tag.constData());
        QVERIFY2(entries(folder.path()) == QStringList {QStringLiteral("dictat.dtd")},
                 qPrintable(entries(folder.path()).join(u", ")));
        // The save ended at its last step whatever failed: the code must be typed again.
        QVERIFY(w.get<QLineEdit>("codi")->text().isEmpty());
        QCOMPARE(w->windowTitle(), QStringLiteral("No s'ha pogut desar el dictat"));
        ++m_faultsSurvived;
    }

    save(w, path);
    QCOMPARE(fileBytes(path), saved);
    QCOMPARE(entries(folder.path()), QStringList {QStringLiteral("dictat.dtd")});
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
    qInfo("%d injected faults survived so far", m_faultsSurvived);
}

void TestFaults::clipSaveFailingAtEveryStep()
{
    QTemporaryDir folder(m_home.filePath(QStringLiteral("clips-XXXXXX")));
    QVERIFY(folder.isValid());
    const QString dictation = folder.filePath(QStringLiteral("d.dtd"));
    const QString clip = folder.filePath(QStringLiteral("d-1.wav"));
    QVERIFY(writeFile(dictation, kClipsDictation));
    const QByteArray oldClip = fileBytes(
            QDir(qEnvironmentVariable("LUVANA_SOURCE_DIR"))
                    .filePath(QStringLiteral("tests/data/bad-input/good.wav")));
    QVERIFY(!oldClip.isEmpty());
    QVERIFY(writeFile(clip, oldClip));
    const QStringList before = entries(folder.path());

    WindowUnderTest w;
    QVERIFY(w.exposed());
    // A microphone that hears a voice, whatever the machine has.
    soundclips::FakeSoundSystem *sound = nullptr;
    w.get<MediaControl>("MMControl1")->setSoundSystemFactory(soundclips::fake(sound));
    w.answers.enqueue(dictation);
    w.click("Command1");
    QCOMPARE(w->nfrases, 10);
    // The play button chooses the clip the recorder works on.
    w.click("wav1");
    auto *recorder = w.get<MediaControl>("MMControl1");
    sound->playing = false;
    sound->playbackFinished();
    QCOMPARE(recorder->mode(), MediaControl::Mode::Stopped);
    QTRY_VERIFY(w.get("recordButton")->isEnabled());
    w.click("recordButton");
    QTRY_COMPARE(recorder->mode(), MediaControl::Mode::Recording);
    QTRY_VERIFY_WITH_TIMEOUT(recorder->elapsedMs() >= 250, 10000);
    w.click("stopButton");
    QCOMPARE(recorder->mode(), MediaControl::Mode::Stopped);

    const auto oldClipKept = [&](const QByteArray &what) {
        if (fileBytes(clip) != oldClip)
            return QByteArray("the old clip changed: " + what);
        if (entries(folder.path()) != before)
            return QByteArray(what + ": " + entries(folder.path()).join(u", ").toUtf8());
        return QByteArray();
    };

    // The trash cannot be made: the old clip cannot go, so nothing is written.
    const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    const QString blocked = m_home.filePath(QStringLiteral("not-a-folder"));
    QVERIFY(writeFile(blocked, "x"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(blocked));
    w.click("Command4");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    QByteArray broken = oldClipKept("no trash");
    QVERIFY2(broken.isEmpty(), broken.constData());
    const QString notKept = QStringLiteral("No s'ha pogut desar l'enregistrament");
    QCOMPARE(w->windowTitle(), notKept);
    ++m_faultsSurvived;

    // The disk fills at every step of writing; the recording waits to be kept once it is not.
    qint64 limit = 0;
    for (;; ++limit) {
        {
            FileSizeLimit full(limit);
            QVERIFY(full.isSet());
            w.click("Command4");
        }
        if (fileBytes(clip) != oldClip)
            break;
        broken = oldClipKept("disk full after " + QByteArray::number(limit) + " bytes");
        QVERIFY2(broken.isEmpty(), broken.constData());
        QCOMPARE(w->windowTitle(), notKept);
        ++m_faultsSurvived;
        // Every byte of the headers, then steps through the sound.
        if (limit >= 64 && limit % 997 != 0)
            limit += 997 - limit % 997 - 1;
    }
    qInfo("the clip was kept with room for %lld bytes", limit);

    // Kept at last: the new clip at its name, the old one in the trash, nothing else, and the
    // caption the load gave.
    QCOMPARE(w->windowTitle(), QStringLiteral("Luvana"));
    const QByteArray kept = fileBytes(clip);
    QCOMPARE(entries(folder.path()), before);
    QVERIFY(readClipFile(clip).error == ClipReadError::None);
    QVERIFY(kept.size() <= limit);
    const QStringList trashed = QDir(dataHome + QStringLiteral("/Trash/files"))
                                        .entryList(QDir::Files);
    QCOMPARE(trashed.size(), 1);
    QCOMPARE(fileBytes(dataHome + QStringLiteral("/Trash/files/") + trashed.first()), oldClip);
    qInfo("%d injected faults survived", m_faultsSurvived);
}

void TestFaults::soundServerRestartsWhilePlaying()
{
    const QString missing = soundclips::soundServerMissing();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    const QString fixture = QDir(qEnvironmentVariable("LUVANA_SOURCE_DIR"))
                                    .filePath(QStringLiteral("tests/pulse-fixture.sh"));
    const QString serverDir = qEnvironmentVariable("LUVANA_PULSE_DIR");
    const auto server = [&](const char *command) {
        return QProcess::execute(QStringLiteral("sh"),
                                 {fixture, QString::fromLatin1(command), serverDir});
    };

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dictation = folder.filePath(QStringLiteral("d.dtd"));
    QVERIFY(writeFile(dictation, kClipsDictation));
    const AudioClip clip = soundclips::tone(44100, 1, 4.0, 0.5f);
    QVERIFY(soundclips::writeWav(folder.filePath(QStringLiteral("d-1.wav")), clip,
                                 SF_FORMAT_PCM_16));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.answers.enqueue(dictation);
    w.click("Command1");
    auto *mmControl1 = w.get<MediaControl>("MMControl1");
    w.click("wav1");
    QCOMPARE(mmControl1->mode(), MediaControl::Mode::Playing);

    // Whatever the stopped server leaves the window in, it must come back to rest by itself.
    QCOMPARE(server("stop"), 0);
    QTRY_COMPARE_WITH_TIMEOUT(mmControl1->mode(), MediaControl::Mode::Stopped, 15000);
    w.click("wav2");
    QCOMPARE(w->escoltes, 2);
    QCOMPARE(server("start"), 0);
    QVERIFY(soundclips::soundServerMissing().isEmpty());

    // Qt's sound system finds the new server a few seconds later on its own, without a
    // restart of the program; until then a press is counted and silent. The pupil presses
    // again, as a pupil would, a few times a second.
    QElapsedTimer sinceBack;
    sinceBack.start();
    int presses = 0;
    while (mmControl1->mode() != MediaControl::Mode::Playing && sinceBack.elapsed() < 15000) {
        w.click("wav1");
        ++presses;
        if (mmControl1->mode() != MediaControl::Mode::Playing)
            QTest::qWait(250);
    }
    qInfo("heard again %lld ms after the server came back, at the %d. press", sinceBack.elapsed(),
          presses);
    QCOMPARE(mmControl1->mode(), MediaControl::Mode::Playing);
    QCOMPARE(w->escoltes, 2 + presses);

    // And it reaches the new server's sink.
    soundclips::SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY_WITH_TIMEOUT(soundclips::peak(capture.clip()) > 0.25f, 10000);
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
