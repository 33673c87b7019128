// SPDX-License-Identifier: GPL-3.0-or-later

// The recorder's engine against a sound system with pretend devices: the transport's state
// changes, one table of them. No sound server and no widget is involved; the clip files are
// real, read and written by the sound module's code. What the bar shows of the engine is in
// tst_recorderbar; what only real sound shows (what the sink hears, devices coming and going),
// in tst_mediacontrol.
#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/engine/recorderengine.h"
#include "sound/engine/voice.h"
#include "support/fakesound.h"
#include "support/soundclips.h"
#include "support/testfiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace soundclips;
using recorder::Command;
using recorder::Mode;
using recorder::Result;
using testfiles::fileBytes;

namespace {

// What happens to the engine: a command, news from the devices, or the pupil's turtle.
enum class Step {
    Close,
    Open,
    Rewind,
    Play,
    Pause,
    Stop,
    Record,
    Save,
    ClipEnds,
    InputLost,
    Vanish,
    ComeBack,
    Refuse,
    SilentInput,
    NoInput,
    Slow
};

Result apply(RecorderEngine &engine, FakeSoundSystem *sound, Step step)
{
    static const std::pair<Step, Command> commands[] = {
            {Step::Close, Command::Close},   {Step::Open, Command::Open},
            {Step::Rewind, Command::Rewind}, {Step::Play, Command::Play},
            {Step::Pause, Command::Pause},   {Step::Stop, Command::Stop},
            {Step::Record, Command::Record}, {Step::Save, Command::Save}};
    for (const auto &[each, command] : commands) {
        if (each == step)
            return engine.run(command);
    }
    switch (step) {
    case Step::ClipEnds:
        sound->playing = false;
        sound->playbackFinished();
        break;
    case Step::InputLost:
        sound->recordingInterrupted();
        break;
    case Step::Vanish:
        if (std::exchange(sound->playing, false))
            sound->playbackFailed();
        sound->setDevices(false);
        break;
    case Step::ComeBack:
        sound->refuse = false;
        sound->setDevices(true);
        break;
    case Step::Refuse:
        sound->refuse = true;
        break;
    case Step::SilentInput:
        sound->heard = tone(8000, 1, 0.4, 0.0f);
        break;
    case Step::NoInput:
        sound->heard = AudioClip();
        break;
    case Step::Slow:
        engine.setSlow(true);
        break;
    default:
        break;
    }
    return Result::Done;
}

} // namespace

class TestRecorderEngine : public QObject
{
    Q_OBJECT
private slots:
    void stateChanges_data();
    void stateChanges();
    void theTurtleKeepsThePlace_data();
    void theTurtleKeepsThePlace();
    void aFailedSaveKeepsTheRecording();
    void keepsARecordingTrimmedAndEven_data();
    void keepsARecordingTrimmedAndEven();
    void theTickLeavesButtonsAndTextAlone();
    void aTakeBegunWhileTheVoiceSpeaksIsKept();
};

void TestRecorderEngine::stateChanges_data()
{
    QTest::addColumn<QString>("file"); // as support/soundclips.h's putClipFile() takes it
    QTest::addColumn<bool>("devices");
    QTest::addColumn<QList<Step>>("steps");
    QTest::addColumn<QList<Result>>("results");
    QTest::addColumn<QList<Mode>>("changes"); // every mode the engine announced, in order
    QTest::addColumn<bool>("kept");           // a clip file was written

    const QList<Step> window {Step::Close, Step::Open, Step::Rewind, Step::Play};
    QTest::newRow("the window's play button, to the clip's end")
            << "clip" << true << window + QList {Step::ClipEnds} << QList<Result>(5, Result::Done)
            << QList {Mode::Stopped, Mode::Playing, Mode::Stopped} << false;
    QTest::newRow("pause, then play on")
            << "clip" << true << window + QList {Step::Pause, Step::Play}
            << QList<Result>(6, Result::Done)
            << QList {Mode::Stopped, Mode::Playing, Mode::Paused, Mode::Playing} << false;
    QTest::newRow("back to the start while playing keeps playing")
            << "clip" << true << window + QList {Step::Rewind} << QList<Result>(5, Result::Done)
            << QList {Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("back to the start while paused stops")
            << "clip" << true << window + QList {Step::Pause, Step::Rewind}
            << QList<Result>(6, Result::Done)
            << QList {Mode::Stopped, Mode::Playing, Mode::Paused, Mode::Stopped} << false;
    QTest::newRow("stop while playing")
            << "clip" << true << window + QList {Step::Stop} << QList<Result>(5, Result::Done)
            << QList {Mode::Stopped, Mode::Playing, Mode::Stopped} << false;
    QTest::newRow("record over a clip not made yet, stop, keep")
            << "missing" << true << QList {Step::Open, Step::Record, Step::Stop, Step::Save}
            << QList<Result>(4, Result::Done)
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped} << true;
    QTest::newRow("keep while recording ends the recording")
            << "missing" << true << QList {Step::Open, Step::Record, Step::Save}
            << QList<Result>(3, Result::Done)
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped} << true;
    QTest::newRow("play while recording plays the recording")
            << "missing" << true << QList {Step::Open, Step::Record, Step::Play}
            << QList<Result>(3, Result::Done)
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("a lost input ends the recording, which can be kept")
            << "missing" << true << QList {Step::Open, Step::Record, Step::InputLost, Step::Save}
            << QList<Result>(4, Result::Done)
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped} << true;
    QTest::newRow("a discarded recording is not kept")
            << "missing" << true << QList {Step::Open, Step::Record, Step::Close, Step::Save}
            << QList {Result::Done, Result::Done, Result::Done, Result::NothingOpen}
            << QList {Mode::Stopped, Mode::Recording, Mode::NotOpen} << false;
    QTest::newRow("kept once is kept")
            << "missing" << true << QList {Step::Open, Step::Record, Step::Save, Step::Save}
            << QList {Result::Done, Result::Done, Result::Done, Result::NothingRecorded}
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped} << true;
    QTest::newRow("without devices")
            << "clip" << false << window + QList {Step::Record}
            << QList {Result::Done, Result::Done, Result::Done, Result::NoDevice, Result::NoDevice}
            << QList {Mode::Stopped} << false;
    QTest::newRow("a server that cannot finish a start, then answers again")
            << "clip" << true << QList {Step::Open,   Step::Refuse,   Step::Play,
                                        Step::Record, Step::ComeBack, Step::Play}
            << QList {Result::Done,          Result::Done, Result::DeviceRefused,
                      Result::DeviceRefused, Result::Done, Result::Done}
            << QList {Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("the devices go in the middle of a play and come back")
            << "clip" << true
            << window + QList {Step::Vanish, Step::Play, Step::ComeBack, Step::Play}
            << QList {Result::Done, Result::Done,     Result::Done, Result::Done,
                      Result::Done, Result::NoDevice, Result::Done, Result::Done}
            << QList {Mode::Stopped, Mode::Playing, Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("record while the clip plays records over it")
            << "clip" << true << window + QList {Step::Record, Step::Stop, Step::Save}
            << QList<Result>(7, Result::Done)
            << QList {Mode::Stopped, Mode::Playing, Mode::Recording, Mode::Stopped} << true;
    QTest::newRow("a silent take is not kept, and the old clip plays")
            << "clip" << true
            << QList {Step::Open, Step::SilentInput, Step::Record, Step::Save, Step::Play}
            << QList {Result::Done, Result::Done, Result::Done, Result::SilentRecording,
                      Result::Done}
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("a take the device gave nothing for leaves the clip, which plays")
            << "clip" << true
            << QList {Step::Open, Step::NoInput, Step::Record, Step::Stop, Step::Play}
            << QList<Result>(5, Result::Done)
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped, Mode::Playing} << false;
    QTest::newRow("a clip longer than ten minutes")
            << "long" << true << QList {Step::Open, Step::Play}
            << QList {Result::TooLong, Result::BadFile} << QList {Mode::Stopped} << false;
    QTest::newRow("a file that is not audio")
            << "text" << true << QList {Step::Open, Step::Play, Step::Record, Step::Stop}
            << QList {Result::BadFile, Result::BadFile, Result::Done, Result::Done}
            << QList {Mode::Stopped, Mode::Recording, Mode::Stopped} << false;
    QTest::newRow("nothing open") << "clip" << true
                                  << QList {Step::Rewind, Step::Play,   Step::Pause,
                                            Step::Stop,   Step::Record, Step::Save}
                                  << QList<Result>(6, Result::NothingOpen) << QList<Mode>()
                                  << false;
}

void TestRecorderEngine::stateChanges()
{
    QFETCH(QString, file);
    QFETCH(bool, devices);
    QFETCH(QList<Step>, steps);
    QFETCH(QList<Result>, results);
    QFETCH(QList<Mode>, changes);
    QFETCH(bool, kept);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("animals-anna3.wav"));
    QVERIFY(putClipFile(path, file));
    const QByteArray before = fileBytes(path);
    FakeSoundSystem *sound = nullptr;
    RecorderEngine engine(fake(sound, devices));
    QSignalSpy announced(&engine, &RecorderEngine::modeChanged);
    engine.setFileName(path);

    QList<Result> got;
    for (const Step step : steps)
        got << apply(engine, sound, step);
    QCOMPARE(got, results);
    QList<Mode> gotChanges;
    for (const QList<QVariant> &change : announced)
        gotChanges << change.at(0).value<Mode>();
    QCOMPARE(gotChanges, changes);
    QCOMPARE(fileBytes(path) != before, kept);
    // Playing and recording are the only modes that hold a device.
    QCOMPARE(sound && sound->playing, engine.mode() == Mode::Playing);
    QCOMPARE(sound && sound->recording, engine.mode() == Mode::Recording);
}

void TestRecorderEngine::theTurtleKeepsThePlace_data()
{
    QTest::addColumn<bool>("paused");
    QTest::newRow("switched on while the clip plays") << false;
    QTest::newRow("switched on while paused, then play") << true;
}

// Slow speech goes on from the word the pupil had got to, in the slow copy.
void TestRecorderEngine::theTurtleKeepsThePlace()
{
    QFETCH(bool, paused);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    const AudioClip clip = tone(22050, 1, 2.0, 0.5f);
    QVERIFY(writeWav(path, clip, SF_FORMAT_PCM_16));
    FakeSoundSystem *sound = nullptr;
    RecorderEngine engine(fake(sound));
    engine.setFileName(path);
    QCOMPARE(engine.run(Command::Open), Result::Done);
    QCOMPARE(engine.run(Command::Play), Result::Done);
    QTRY_VERIFY(engine.elapsedMs() >= 500);
    if (paused)
        QCOMPARE(engine.run(Command::Pause), Result::Done);
    const qint64 at = sound->positionUSecs();
    engine.setSlow(true);
    if (paused)
        QCOMPARE(engine.run(Command::Play), Result::Done);

    QCOMPARE(engine.mode(), Mode::Playing);
    QVERIFY(std::abs(sound->lastStarted.durationUSecs() - clip.durationUSecs() / kSlowSpeed)
            < 50000);
    QVERIFY2(std::abs(sound->position - at / kSlowSpeed) < 20000,
             qPrintable(QStringLiteral("%1 from %2").arg(sound->position).arg(at)));
}

void TestRecorderEngine::aFailedSaveKeepsTheRecording()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("dictats/animals-anna3.wav"));
    FakeSoundSystem *sound = nullptr;
    RecorderEngine engine(fake(sound));
    engine.setFileName(path);
    QCOMPARE(engine.run(Command::Open), Result::Done);
    QCOMPARE(engine.run(Command::Record), Result::Done);
    QTRY_VERIFY(engine.elapsedMs() >= 300);
    QCOMPARE(engine.run(Command::Stop), Result::Done);

    QCOMPARE(engine.run(Command::Save), Result::WriteFailed);
    QVERIFY(!QFile::exists(path));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("dictats")));
    QCOMPARE(engine.run(Command::Save), Result::Done);
    QVERIFY(readWav(path).clip.durationUSecs() >= 300000);
}

void TestRecorderEngine::keepsARecordingTrimmedAndEven_data()
{
    QTest::addColumn<float>("amplitude");
    QTest::newRow("a second of silence before and after") << 0.5f;
    QTest::newRow("at -30 dBFS") << 0.0316f;
}

void TestRecorderEngine::keepsARecordingTrimmedAndEven()
{
    QFETCH(float, amplitude);
    QTemporaryDir dir;
    const QString clipPath = dir.filePath(QStringLiteral("animals-anna3.wav"));
    FakeSoundSystem *sound = nullptr;
    RecorderEngine recorder(fake(sound));
    recorder.setFileName(clipPath);
    QCOMPARE(recorder.run(Command::Open), Result::Done);
    sound->heard = spokenInARoom(44100, 1, 1.0, tone(44100, 1, 1.0, amplitude), 1.0, 0.0f);
    QCOMPARE(recorder.run(Command::Record), Result::Done);
    QCOMPARE(recorder.run(Command::Save), Result::Done);

    const WavInfo kept = readWav(clipPath);
    QCOMPARE(kept.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(kept.sampleRate, 44100);
    // The second of voice and the margin either side.
    const double seconds = kept.clip.durationUSecs() / 1e6;
    QVERIFY2(std::abs(seconds - (1.0 + 2 * kTrimMarginUSecs / 1e6)) <= 0.05,
             qPrintable(QString::number(seconds)));
    const std::optional<double> loudness = integratedLoudness(kept.clip);
    QVERIFY(loudness);
    QVERIFY2(std::abs(*loudness - kTargetLufs) <= 1.0, qPrintable(QString::number(*loudness)));
}

// While a clip plays, 20 times a second, only the clock and the meter move: the buttons'
// state and the item's text are left alone.
void TestRecorderEngine::theTickLeavesButtonsAndTextAlone()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(putClipFile(path, QStringLiteral("clip")));
    FakeSoundSystem *sound = nullptr;
    RecorderEngine engine(fake(sound));
    int textReads = 0;
    engine.setSpeechText([&textReads] {
        ++textReads;
        return QStringLiteral("El gat dorm.");
    });
    engine.setFileName(path);
    QCOMPARE(engine.run(Command::Open), Result::Done);
    QCOMPARE(engine.run(Command::Play), Result::Done);
    const int readsBefore = textReads;
    QSignalSpy states(&engine, &RecorderEngine::stateChanged);
    QSignalSpy ticks(&engine, &RecorderEngine::tick);
    QTRY_VERIFY(ticks.size() >= 5);
    QCOMPARE(states.size(), 0);
    QCOMPARE(textReads, readsBefore);
}

// A teacher who asked for the voice and then, before it answered, chose to record her own
// reading keeps her take: the voice's words arriving later change nothing.
void TestRecorderEngine::aTakeBegunWhileTheVoiceSpeaksIsKept()
{
    QTemporaryDir dir;
    const QString spoken = dir.filePath(QStringLiteral("spoken.wav"));
    QVERIFY(writeWav(spoken, tone(22050, 1, 1.0, 0.5f), SF_FORMAT_PCM_16));
    const QString path = dir.filePath(QStringLiteral("animals-3.wav"));
    FakeSoundSystem *sound = nullptr;
    RecorderEngine engine(fake(sound));
    engine.voice()->setSynthesiser(
            {QStringLiteral("sh"), {QStringLiteral("-c"), "sleep 0.3; cat " + spoken}, {}, 5000});
    engine.setSpeechText([] { return QStringLiteral("El gat dorm."); });
    engine.setFileName(path);
    QCOMPARE(engine.run(Command::Open), Result::Done);
    QSignalSpy finished(&engine, &RecorderEngine::speechFinished);
    engine.speak();
    sound->heard = tone(44100, 1, 1.0, 0.5f);
    QCOMPARE(engine.run(Command::Record), Result::Done);
    QTRY_COMPARE(finished.count(), 1);

    QCOMPARE(engine.mode(), Mode::Recording);
    QCOMPARE(engine.run(Command::Save), Result::Done);
    QCOMPARE(readWav(path).sampleRate, 44100);
}

QTEST_GUILESS_MAIN(TestRecorderEngine)
#include "tst_recorderengine.moc"
