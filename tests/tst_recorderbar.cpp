// SPDX-License-Identifier: GPL-3.0-or-later

// MMControl1 against a sound system with pretend devices: what its bar shows of the engine's
// state, and the bar's clicks and keys as commands. The engine's own states are in
// tst_recorderengine.
#include "sound/audiomodule/wavfile.h"
#include "sound/engine/voice.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/fakesound.h"
#include "support/soundclips.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace soundclips;
using recorder::Mode;
using recorder::Result;

namespace {

QStringList enabledButtons(const MediaControl &control)
{
    QStringList names;
    for (const QToolButton *button : control.findChildren<QToolButton *>()) {
        if (button->isEnabled())
            names << button->objectName();
    }
    return names;
}

QToolButton *button(const MediaControl &control, const char *name)
{
    return control.findChild<QToolButton *>(QLatin1String(name));
}

} // namespace

class TestRecorderBar : public QObject
{
    Q_OBJECT
private slots:
    void buttonsFollowTheBackend();
    void keysWorkTheBar();
    void aFailingSynthesiserLeavesTheStripUsable_data();
    void aFailingSynthesiserLeavesTheStripUsable();
    void saysFromTheStartThatNoVoiceIsThere();
};

void TestRecorderBar::buttonsFollowTheBackend()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, tone(44100, 1, 2.0, 0.5f), SF_FORMAT_PCM_16));
    FakeSoundSystem *sound = nullptr;
    MediaControl control(nullptr, fake(sound));
    control.show();
    // An item with a text is chosen and a voice can read it: its button follows the mode too.
    control.voice()->setSynthesiser({QStringLiteral("sh"), {}, {}, 500});
    control.setSpeechText([] { return QStringLiteral("El gat dorm."); });
    const QString voice = QStringLiteral("voiceButton");
    const QStringList atRest {QStringLiteral("playButton"), QStringLiteral("recordButton"), voice};

    QCOMPARE(enabledButtons(control), QStringList());
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));
    QCOMPARE(enabledButtons(control), atRest);

    // Commands from the window move the buttons as much as clicks do.
    control.setCommand(QStringLiteral("play"));
    QCOMPARE(enabledButtons(control),
             QStringList({QStringLiteral("prevButton"), QStringLiteral("pauseButton"),
                          QStringLiteral("stopButton"), QStringLiteral("recordButton"), voice}));
    QTRY_VERIFY(control.elapsedMs() > 0);

    QTest::mouseClick(button(control, "pauseButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Paused);
    QVERIFY(control.elapsedMs() > 0);
    QCOMPARE(enabledButtons(control),
             QStringList({QStringLiteral("prevButton"), QStringLiteral("playButton"),
                          QStringLiteral("stopButton"), QStringLiteral("recordButton"), voice}));

    QTest::mouseClick(button(control, "prevButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Stopped);
    QCOMPARE(control.elapsedMs(), 0);
    QCOMPARE(enabledButtons(control), atRest);

    QTest::mouseClick(button(control, "playButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Playing);
    QTest::mouseClick(button(control, "stopButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Stopped);
    QCOMPARE(control.elapsedMs(), 0);

    QTest::mouseClick(button(control, "recordButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Recording);
    QCOMPARE(enabledButtons(control), QStringList {QStringLiteral("stopButton")});
    QTRY_VERIFY(control.elapsedMs() >= 100);
    QTest::mouseClick(button(control, "stopButton"), Qt::LeftButton);
    QCOMPARE(control.mode(), Mode::Stopped);
    QCOMPARE(enabledButtons(control), atRest);

    // A clip that does not exist yet can only be recorded, by the microphone or the voice.
    control.setFileName(dir.filePath(QStringLiteral("new.wav")));
    control.setCommand(QStringLiteral("Open"));
    QCOMPARE(enabledButtons(control), QStringList({QStringLiteral("recordButton"), voice}));
}

void TestRecorderBar::keysWorkTheBar()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, tone(44100, 1, 2.0, 0.5f), SF_FORMAT_PCM_16));
    FakeSoundSystem *sound = nullptr;
    MediaControl control(nullptr, fake(sound));
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));
    // The keys go where the control hands its focus.
    QWidget *bar = control.focusProxy();
    QVERIFY(bar);

    QTest::keyClick(bar, Qt::Key_Space);
    QCOMPARE(control.mode(), Mode::Playing);
    QTest::keyClick(bar, Qt::Key_Space);
    QCOMPARE(control.mode(), Mode::Paused);
    QTest::keyClick(bar, Qt::Key_Home);
    QCOMPARE(control.mode(), Mode::Stopped);
    QTest::keyClick(bar, Qt::Key_R);
    QCOMPARE(control.mode(), Mode::Recording);
    QTest::keyClick(bar, Qt::Key_Escape);
    QCOMPARE(control.mode(), Mode::Stopped);
}

void TestRecorderBar::aFailingSynthesiserLeavesTheStripUsable_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("espeakLibrary");
    QTest::addColumn<bool>("speaks");
    QTest::addColumn<Voice::Kind>("voiceAfter"); // the voice the next text goes to

    const QString espeak = QStringLiteral("espeak-ng");
    const Voice::Kind espeakNext = Voice::Kind::Espeak;
    QTest::newRow("Festival hangs")
            << QStringLiteral("sleep") << QStringList {"60"} << espeak << true << espeakNext;
    QTest::newRow("Festival crashes") << QStringLiteral("sh") << QStringList {"-c", "kill -SEGV $$"}
                                      << espeak << true << espeakNext;
    // What text2wave does without the Catalan voice: it succeeds and writes nothing.
    QTest::newRow("Festival without its voice")
            << QStringLiteral("true") << QStringList() << espeak << true << espeakNext;
    QTest::newRow("Festival is missing") << QStringLiteral("/nonexistent/text2wave")
                                         << QStringList() << espeak << true << espeakNext;
    QTest::newRow("no voice at all")
            << QStringLiteral("/nonexistent/text2wave") << QStringList()
            << QStringLiteral("luvana-no-such-voice") << false << Voice::Kind::None;
    // What Ona does with "____" or "?": a WAV without a sample. eSpeak NG reads this text, and
    // Festival the next.
    const QStringList noWord {"-c",
                              "printf 'RIFF$\\0\\0\\0WAVEfmt \\20\\0\\0\\0\\1\\0\\1\\0"
                              "\\42\\126\\0\\0\\104\\254\\0\\0\\2\\0\\20\\0"
                              "data\\0\\0\\0\\0'"};
    QTest::newRow("a text Festival has no word for")
            << QStringLiteral("sh") << noWord << espeak << true << Voice::Kind::Festival;
    QTest::newRow("a text no voice has a word for")
            << QStringLiteral("sh") << noWord << QStringLiteral("luvana-no-such-voice") << false
            << Voice::Kind::Festival;
}

void TestRecorderBar::aFailingSynthesiserLeavesTheStripUsable()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, espeakLibrary);
    QFETCH(bool, speaks);
    QFETCH(Voice::Kind, voiceAfter);
    QTemporaryDir dir;
    const QString clipPath = dir.filePath(QStringLiteral("animals-3.wav"));

    FakeSoundSystem *sound = nullptr;
    MediaControl control(nullptr, fake(sound));
    control.voice()->setSynthesiser({program, arguments, {}, 500});
    control.voice()->setEspeakLibrary(espeakLibrary);
    control.setSpeechText([] { return QStringLiteral("On dorm el gat?"); });
    control.setCommand(QStringLiteral("close"));
    control.setFileName(clipPath);
    control.setCommand(QStringLiteral("Open"));
    control.setCommand(QStringLiteral("prev"));
    control.setCommand(QStringLiteral("play"));
    QSignalSpy spoken(&control, &MediaControl::speechFinished);
    QToolButton *voiceButton = button(control, "voiceButton");
    // With no voice at all the button says so before it is pressed, and a press does nothing.
    QTest::mouseClick(voiceButton, Qt::LeftButton);
    if (voiceAfter != Voice::Kind::None || speaks) {
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, 10000);
        QCOMPARE(spoken.at(0).at(0).toBool(), speaks);
    } else {
        // A voice that cannot speak answers from the event loop's next pass.
        QCoreApplication::processEvents();
        QCOMPARE(spoken.count(), 0);
    }

    QCOMPARE(control.voice()->kind(), voiceAfter);
    QCOMPARE(voiceButton->isEnabled(), voiceAfter != Voice::Kind::None);
    QCOMPARE(button(control, "playButton")->isEnabled(), speaks);
    if (voiceAfter != Voice::Kind::Festival)
        QVERIFY(voiceButton->toolTip().endsWith(speaks ? QStringLiteral("eSpeak NG")
                                                       : QStringLiteral("instal·lada")));
    QCOMPARE(control.runCommand(QStringLiteral("Save")),
             speaks ? Result::Done : Result::NothingRecorded);
    QCOMPARE(QFile::exists(clipPath), speaks);

    // The microphone works as before.
    QCOMPARE(control.runCommand(QStringLiteral("record")), Result::Done);
    QTRY_VERIFY(control.elapsedMs() >= 300);
    QCOMPARE(control.runCommand(QStringLiteral("Save")), Result::Done);
    QVERIFY(readWav(clipPath).clip.durationUSecs() > 0);
}

// On a machine without a Catalan voice the button says so once the window has started, before
// any item is chosen.
void TestRecorderBar::saysFromTheStartThatNoVoiceIsThere()
{
    FakeSoundSystem *sound = nullptr;
    MediaControl control(nullptr, fake(sound));
    control.voice()->setSynthesiser({QStringLiteral("/nonexistent/text2wave"), {}, {}, 500});
    control.voice()->setEspeakLibrary(QStringLiteral("luvana-no-such-voice"));
    QTRY_COMPARE(button(control, "voiceButton")->toolTip(),
                 QStringLiteral("Veu sintètica (V): no hi ha cap veu catalana instal·lada"));
}

QTEST_MAIN(TestRecorderBar)
#include "tst_recorderbar.moc"
