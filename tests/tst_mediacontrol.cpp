// SPDX-License-Identifier: GPL-3.0-or-later

// MMControl1 with real sound, on the private server of pulse-fixture.sh: what it plays must
// reach the sink, what it records must be what the sink heard, and it must follow the devices
// as they come and go. Its state changes are in tst_recorderengine, against pretend devices.
#include "sound/engine/voice.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/sinkcapture.h"
#include "support/soundclips.h"

#include <QAbstractButton>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <memory>
#include <optional>

using namespace soundclips;
using Mode = MediaControl::Mode;
using Result = MediaControl::CommandResult;

class TestMediaControl : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void playingDeliversTheClip_data();
    void playingDeliversTheClip();
    void recordingKeepsWhatWasHeard_data();
    void recordingKeepsWhatWasHeard();

    void speaksTheItemIntoTheRecording_data();
    void speaksTheItemIntoTheRecording();

    void pauseGoesOnWhereItStopped();
    void keepingOverAClipSendsItToTheTrash();
    void followsTheDefaultOutputAndSurvivesItsLoss();
    void aStalledOutputEndsTheClip();
    void aStalledInputEndsTheRecording();
    // Last: a long outage leaves Qt's own sound client, which SinkCapture uses, without a
    // server for good.
    void soundComesBackAfterTheServer_data();
    void soundComesBackAfterTheServer();

private:
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<PrivateHome> m_privateHome;
};

namespace {

constexpr int kSlowMs = 10000;

void addClipRows()
{
    QTest::addColumn<int>("subtype");
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<float>("amplitude");

    QTest::newRow("8-bit unsigned, mono, 11025 Hz") << int(SF_FORMAT_PCM_U8) << 11025 << 1 << 0.5f;
    QTest::newRow("16-bit, mono, 44100 Hz") << int(SF_FORMAT_PCM_16) << 44100 << 1 << 0.5f;
    QTest::newRow("16-bit, stereo, 48000 Hz, left only")
            << int(SF_FORMAT_PCM_16) << 48000 << 2 << 0.8f;
    QTest::newRow("24-bit, mono, 96000 Hz") << int(SF_FORMAT_PCM_24) << 96000 << 1 << 0.5f;
    QTest::newRow("32-bit, stereo, 22050 Hz, left only")
            << int(SF_FORMAT_PCM_32) << 22050 << 2 << 0.8f;
    QTest::newRow("float, mono, 48000 Hz") << int(SF_FORMAT_FLOAT) << 48000 << 1 << 0.5f;
    QTest::newRow("µ-law, mono, 8000 Hz") << int(SF_FORMAT_ULAW) << 8000 << 1 << 0.5f;
    QTest::newRow("A-law, mono, 8000 Hz") << int(SF_FORMAT_ALAW) << 8000 << 1 << 0.5f;
    QTest::newRow("IMA ADPCM, mono, 22050 Hz") << int(SF_FORMAT_IMA_ADPCM) << 22050 << 1 << 0.5f;
    QTest::newRow("MS ADPCM, stereo, 44100 Hz, left only")
            << int(SF_FORMAT_MS_ADPCM) << 44100 << 2 << 0.8f;
    // The measure must tell silence apart, or a control that plays nothing would pass.
    QTest::newRow("silence, 16-bit, mono, 44100 Hz") << int(SF_FORMAT_PCM_16) << 44100 << 1 << 0.0f;
}

AudioClip fetchedClip()
{
    QFETCH(int, rate);
    QFETCH(int, channels);
    QFETCH(float, amplitude);
    return tone(rate, channels, 0.4, amplitude, channels > 1);
}

// Empty when `heard` carries the sound of `played`: the same energy and the same peak.
QString soundDiffers(const AudioClip &heard, const AudioClip &played)
{
    const double heardEnergy = energy(heard);
    const double playedEnergy = energy(played);
    const float heardPeak = peak(heard);
    const float playedPeak = peak(played);
    if (std::abs(heardEnergy - playedEnergy) <= 0.2 * playedEnergy + 1e-5
        && std::abs(heardPeak - playedPeak) <= 0.15f * playedPeak + 0.01f)
        return {};
    return QStringLiteral("heard energy %1 and peak %2, played energy %3 and peak %4")
            .arg(heardEnergy)
            .arg(heardPeak)
            .arg(playedEnergy)
            .arg(playedPeak);
}

// What the window writes at start-up and sends for each play button.
void startUp(MediaControl &control)
{
    control.setNotify(false);
    control.setWait(true);
    control.setShareable(false);
    control.setDeviceType(QStringLiteral("WaveAudio"));
}

// Waits for the clip to end, then for the sink to have passed on its last 400 ms, so that the
// capture holds everything that was played. The caller checks QTest::currentTestFailed().
void hearToTheEnd(const MediaControl &control, const SinkCapture &capture)
{
    QTRY_COMPARE_WITH_TIMEOUT(control.mode(), MediaControl::Mode::Stopped, kSlowMs);
    const qint64 end = capture.frames();
    QTRY_VERIFY(capture.frames() >= end + capture.framesFor(400));
}

void playLikeTheWindow(MediaControl &control, const QString &path)
{
    control.setCommand(QStringLiteral("close"));
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));
    control.setCommand(QStringLiteral("prev"));
    control.setCommand(QStringLiteral("play"));
}

QToolButton *button(const MediaControl &control, const char *name)
{
    return control.findChild<QToolButton *>(QLatin1String(name));
}

bool pactl(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("pactl"), arguments) == 0;
}

// The index of the module loaded, empty if it would not load.
QString loadModule(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), QStringList {QStringLiteral("load-module")} + arguments);
    if (!process.waitForFinished() || process.exitCode() != 0)
        return {};
    return QString::fromLatin1(process.readAllStandardOutput().trimmed());
}

// Stops or starts the private server as the fixture does, between two commands of a test.
bool fixture(const char *command)
{
    return QProcess::execute(QStringLiteral("sh"),
                             {qEnvironmentVariable("LUVANA_SOURCE_DIR")
                                      + QStringLiteral("/tests/pulse-fixture.sh"),
                              QString::fromLatin1(command),
                              qEnvironmentVariable("LUVANA_PULSE_DIR")})
            == 0;
}

// A microphone that hears a steady tone, the default input while it lasts: the fixture's own
// input hears the sink, silent when nothing plays, and a silent take is not kept.
class ToneMicrophone
{
public:
    ToneMicrophone()
        : m_module(loadModule(
                {QStringLiteral("module-sine-source"), QStringLiteral("source_name=luvana_tone")}))
    {
        m_default = !m_module.isEmpty()
                && pactl({QStringLiteral("set-default-source"), QStringLiteral("luvana_tone")});
    }
    ~ToneMicrophone()
    {
        pactl({QStringLiteral("set-default-source"), QStringLiteral("luvana_input")});
        if (!m_module.isEmpty())
            pactl({QStringLiteral("unload-module"), m_module});
    }
    bool isDefault() const { return m_default; }

private:
    QString m_module;
    bool m_default = false;
};

} // namespace

void TestMediaControl::initTestCase()
{
    const QString missing = soundServerMissing();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QVERIFY2(!QMediaDevices::audioOutputs().isEmpty(), "the sound server offers no output");
    QVERIFY2(!QMediaDevices::audioInputs().isEmpty(), "the sound server offers no input");
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir(m_home->path()).mkdir(QStringLiteral("data")));
    m_privateHome = std::make_unique<PrivateHome>(m_home->path(),
                                                  m_home->filePath(QStringLiteral("data")));
}

void TestMediaControl::cleanupTestCase()
{
    m_privateHome.reset();
}

void TestMediaControl::playingDeliversTheClip_data()
{
    addClipRows();
}

void TestMediaControl::playingDeliversTheClip()
{
    QFETCH(int, subtype);
    const AudioClip source = fetchedClip();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("animals-anna3.wav"));
    QVERIFY(writeWav(path, source, subtype));

    SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY(capture.frames() > 0);

    MediaControl control;
    startUp(control);
    playLikeTheWindow(control, path);
    QCOMPARE(control.mode(), Mode::Playing);
    hearToTheEnd(control, capture);
    if (QTest::currentTestFailed())
        return;
    capture.stop();

    const QString differs = soundDiffers(capture.clip(), source);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestMediaControl::recordingKeepsWhatWasHeard_data()
{
    addClipRows();
}

void TestMediaControl::recordingKeepsWhatWasHeard()
{
    QFETCH(int, subtype);
    const AudioClip source = fetchedClip();
    QTemporaryDir dir;
    const QString sourcePath = dir.filePath(QStringLiteral("teacher.wav"));
    QVERIFY(writeWav(sourcePath, source, subtype));
    const QString clipPath = dir.filePath(QStringLiteral("animals-anna3.wav"));

    // The teacher's road: the play button opens a clip that does not exist yet, then the
    // control records, stops, and "Save" keeps the recording.
    MediaControl recorder;
    startUp(recorder);
    playLikeTheWindow(recorder, clipPath);
    QCOMPARE(recorder.mode(), Mode::Stopped);
    QCOMPARE(recorder.runCommand(QStringLiteral("record")), Result::Done);
    QCOMPARE(recorder.mode(), Mode::Recording);
    QTRY_VERIFY(recorder.elapsedMs() >= 200);

    MediaControl player;
    playLikeTheWindow(player, sourcePath);
    QTRY_COMPARE_WITH_TIMEOUT(player.mode(), Mode::Stopped, kSlowMs);
    const qint64 end = recorder.elapsedMs();
    QTRY_VERIFY(recorder.elapsedMs() >= end + 400);
    QCOMPARE(recorder.runCommand(QStringLiteral("stop")), Result::Done);
    QVERIFY(!QFile::exists(clipPath));
    // A take that heard nothing at all is no clip.
    const bool silent = peak(source) == 0;
    QCOMPARE(recorder.runCommand(QStringLiteral("Save")),
             silent ? Result::SilentRecording : Result::Done);
    if (silent) {
        QVERIFY(!QFile::exists(clipPath));
        return;
    }

    const WavInfo kept = readWav(clipPath);
    QCOMPARE(kept.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QCOMPARE(kept.channels, 1);
    QCOMPARE(kept.sampleRate, 44100);
    // "Save" evens the loudness: what is kept is the tone, at one gain for the whole clip.
    const float gain = peak(source) > 0 ? peak(kept.clip) / peak(source) : 1.0f;
    AudioClip evened = source;
    for (float &sample : evened.samples)
        sample *= gain;
    const QString differs = soundDiffers(kept.clip, evened);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestMediaControl::speaksTheItemIntoTheRecording_data()
{
    QTest::addColumn<QString>("synthesiser");
    QTest::addColumn<Voice::Kind>("kind");
    QTest::addColumn<QString>("voiceName");

    QTest::newRow("Ona, from Festival")
            << QString() << Voice::Kind::Festival << QStringLiteral("Ona (Festival)");
    QTest::newRow("eSpeak NG, where Festival is missing")
            << QStringLiteral("/nonexistent/text2wave") << Voice::Kind::Espeak
            << QStringLiteral("eSpeak NG");
}

void TestMediaControl::speaksTheItemIntoTheRecording()
{
    QFETCH(QString, synthesiser);
    QFETCH(Voice::Kind, kind);
    QFETCH(QString, voiceName);
    QTemporaryDir dir;
    const QString clipPath = dir.filePath(QStringLiteral("animals-3.wav"));
    QString item = QStringLiteral("El gat dorm al sol del jardí cada matí.");
    const int words = 9;

    MediaControl control;
    if (!synthesiser.isEmpty())
        control.voice()->setSynthesiser({synthesiser, {}, {}, 5000});
    QToolButton *voiceButton = button(control, "voiceButton");
    control.setSpeechText([&item] { return item; });
    QVERIFY(!voiceButton->isEnabled()); // no clip chosen yet
    playLikeTheWindow(control, clipPath);
    QVERIFY(voiceButton->isEnabled());
    QCOMPARE(control.voice()->kind(), kind);
    QVERIFY2(voiceButton->toolTip().endsWith(voiceName), qPrintable(voiceButton->toolTip()));
    item = QStringLiteral("  ");
    control.speechTextChanged();
    QVERIFY(!voiceButton->isEnabled());
    QCOMPARE(voiceButton->toolTip(),
             QStringLiteral("Veu sintètica (V): l'element triat no té cap text per llegir"));
    item = QStringLiteral("El gat dorm al sol del jardí cada matí.");
    control.speechTextChanged();

    QSignalSpy spoken(&control, &MediaControl::speechFinished);
    QTest::mouseClick(voiceButton, Qt::LeftButton);
    QVERIFY(!voiceButton->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), 1, kSlowMs);
    // The voice that spoke is still the one in use: it did not fail on the way.
    QCOMPARE(control.voice()->kind(), kind);
    QCOMPARE(control.mode(), Mode::Stopped);
    QVERIFY(button(control, "playButton")->isEnabled());

    SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY(capture.frames() > 0);
    capture.clear();
    QCOMPARE(control.runCommand(QStringLiteral("play")), Result::Done);
    hearToTheEnd(control, capture);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(control.runCommand(QStringLiteral("Save")), Result::Done);

    const WavInfo kept = readWav(clipPath);
    QCOMPARE(kept.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    const double seconds = kept.clip.durationUSecs() / 1e6;
    QVERIFY2(seconds > 0.2 * words && seconds < 0.8 * words, qPrintable(QString::number(seconds)));
    QVERIFY(peak(kept.clip) > 0.05f);
    // The last 10 ms are quiet: nothing of what the synthesiser wrote after the voice is heard.
    const float *end = kept.clip.samples.constData() + kept.clip.samples.size();
    const float tail = peakLevel(end - kept.clip.sampleRate / 100 * kept.clip.channelCount, end);
    QVERIFY2(tail < 0.05f, qPrintable(QString::number(tail)));
    const QString differs = soundDiffers(capture.clip(), kept.clip);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestMediaControl::pauseGoesOnWhereItStopped()
{
    const AudioClip source = tone(44100, 1, 1.0, 0.5f);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, source, SF_FORMAT_PCM_16));
    SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY(capture.frames() > 0);

    MediaControl control;
    playLikeTheWindow(control, path);
    QTRY_VERIFY(control.elapsedMs() >= 500);
    QCOMPARE(control.runCommand(QStringLiteral("pause")), Result::Done);
    QCOMPARE(control.mode(), Mode::Paused);
    const qint64 pausedAt = control.elapsedMs();
    QVERIFY(pausedAt >= 500);
    QCOMPARE(control.runCommand(QStringLiteral("play")), Result::Done);
    hearToTheEnd(control, capture);
    if (QTest::currentTestFailed())
        return;

    // Played from the start again, half the clip would have been heard twice.
    const QString differs = soundDiffers(capture.clip(), source);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestMediaControl::keepingOverAClipSendsItToTheTrash()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("animals-anna3.wav"));
    QVERIFY(writeWav(path, tone(8000, 1, 0.2, 0.5f), SF_FORMAT_PCM_U8));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = old.readAll();
    old.close();

    const ToneMicrophone microphone;
    QVERIFY(microphone.isDefault());
    MediaControl control;
    playLikeTheWindow(control, path);
    control.setCommand(QStringLiteral("stop"));
    QCOMPARE(control.runCommand(QStringLiteral("record")), Result::Done);
    QTRY_VERIFY(control.elapsedMs() >= 300);
    control.setCommand(QStringLiteral("stop"));
    QCOMPARE(control.runCommand(QStringLiteral("Save")), Result::Done);

    const WavInfo kept = readWav(path);
    QCOMPARE(kept.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    QVERIFY(kept.clip.durationUSecs() >= 300000);
    QFile trashed(m_home->filePath(QStringLiteral("data/Trash/files/animals-anna3.wav")));
    QVERIFY(trashed.open(QIODevice::ReadOnly));
    QCOMPARE(trashed.readAll(), oldBytes);
    // Kept once is kept: a second "Save" has nothing new to store.
    QCOMPARE(control.runCommand(QStringLiteral("Save")), Result::NothingRecorded);
}

void TestMediaControl::followsTheDefaultOutputAndSurvivesItsLoss()
{
    const AudioClip source = tone(44100, 1, 1.5, 0.5f);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, source, SF_FORMAT_PCM_16));
    SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY(capture.frames() > 0);

    MediaControl control;
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));

    // A device plugged in while the program runs becomes the default, and the next clip goes
    // there: nothing of it reaches the fixture's sink.
    const QString module = loadModule(
            {QStringLiteral("module-null-sink"), QStringLiteral("sink_name=luvana_other")});
    QVERIFY(!module.isEmpty());
    bool unplugged = false;
    const auto restore = qScopeGuard([&] {
        if (!unplugged)
            pactl({QStringLiteral("unload-module"), module});
        pactl({QStringLiteral("set-default-sink"), QStringLiteral("luvana_sink")});
    });
    QVERIFY(pactl({QStringLiteral("set-default-sink"), QStringLiteral("luvana_other")}));
    QTRY_COMPARE(QMediaDevices::defaultAudioOutput().id(), QByteArray("luvana_other"));
    QCOMPARE(control.runCommand(QStringLiteral("play")), Result::Done);
    QTRY_VERIFY(control.elapsedMs() >= 300);
    QVERIFY(energy(capture.clip()) < 1e-6);

    // Unplugged in the middle of the clip: the clip ends, and the next command plays anew.
    unplugged = pactl({QStringLiteral("unload-module"), module});
    QVERIFY(unplugged);
    QVERIFY(pactl({QStringLiteral("set-default-sink"), QStringLiteral("luvana_sink")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.mode(), Mode::Stopped, kSlowMs);
    QTRY_COMPARE(QMediaDevices::defaultAudioOutput().id(), QByteArray("luvana_sink"));

    capture.clear();
    playLikeTheWindow(control, path);
    QCOMPARE(control.mode(), Mode::Playing);
    hearToTheEnd(control, capture);
    if (QTest::currentTestFailed())
        return;
    const QString differs = soundDiffers(capture.clip(), source);
    QVERIFY2(differs.isEmpty(), qPrintable(differs));
}

void TestMediaControl::aStalledOutputEndsTheClip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, tone(44100, 1, 30.0, 0.5f), SF_FORMAT_PCM_16));
    MediaControl control;
    playLikeTheWindow(control, path);
    QTRY_VERIFY(control.elapsedMs() >= 200);

    // A device that stops taking sound (a suspended card, a stuck driver) must not leave the
    // control playing forever.
    const auto resume = qScopeGuard([] {
        pactl({QStringLiteral("suspend-sink"), QStringLiteral("luvana_sink"), QStringLiteral("0")});
    });
    QVERIFY(pactl(
            {QStringLiteral("suspend-sink"), QStringLiteral("luvana_sink"), QStringLiteral("1")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.mode(), Mode::Stopped, kSlowMs);
    QVERIFY(pactl(
            {QStringLiteral("suspend-sink"), QStringLiteral("luvana_sink"), QStringLiteral("0")}));
    QCOMPARE(control.runCommand(QStringLiteral("play")), Result::Done);
    QCOMPARE(control.mode(), Mode::Playing);
}

void TestMediaControl::aStalledInputEndsTheRecording()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("animals-anna3.wav"));
    const ToneMicrophone microphone;
    QVERIFY(microphone.isDefault());
    MediaControl control;
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));
    QCOMPARE(control.runCommand(QStringLiteral("record")), Result::Done);
    QTRY_VERIFY(control.elapsedMs() >= 300);

    const auto resume = qScopeGuard([] {
        pactl({QStringLiteral("suspend-source"), QStringLiteral("luvana_tone"),
               QStringLiteral("0")});
    });
    QVERIFY(pactl({QStringLiteral("suspend-source"), QStringLiteral("luvana_tone"),
                   QStringLiteral("1")}));
    QTRY_COMPARE_WITH_TIMEOUT(control.mode(), Mode::Stopped, kSlowMs);
    // What was recorded before the input went quiet is still there to keep.
    QCOMPARE(control.runCommand(QStringLiteral("Save")), Result::Done);
    QVERIFY(readWav(path).clip.durationUSecs() >= 300000);
}

void TestMediaControl::soundComesBackAfterTheServer_data()
{
    QTest::addColumn<bool>("startsLater"); // the server starts after the control was made
    QTest::addColumn<int>("awayMs");
    QTest::addColumn<bool>("otherMicrophone"); // back with another default input
    QTest::newRow("away for 6 s in the middle of a play") << false << 6000 << false;
    QTest::newRow("a server that starts after the program") << true << 0 << false;
    QTest::newRow("a take, then back at once with another microphone") << false << 0 << true;
}

// Whatever the gap and whatever was happening, the first play and the first recording after
// the server is back work, and no command holds the window while it is away.
void TestMediaControl::soundComesBackAfterTheServer()
{
    QFETCH(bool, startsLater);
    QFETCH(int, awayMs);
    QFETCH(bool, otherMicrophone);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("animals-anna2.wav"));
    QVERIFY(writeWav(clip, tone(44100, 1, 1.0, 0.5f), SF_FORMAT_PCM_16));
    const QString take = dir.filePath(QStringLiteral("animals-anna3.wav"));
    const auto serverAsMade = qScopeGuard([] { fixture("start"); });

    MediaControl control;
    if (startsLater) {
        QVERIFY(fixture("stop"));
        playLikeTheWindow(control, clip);
        QCOMPARE(control.runCommand(QStringLiteral("play")), Result::NoDevice);
    } else if (otherMicrophone) {
        control.setFileName(take);
        control.setCommand(QStringLiteral("Open"));
        QCOMPARE(control.runCommand(QStringLiteral("record")), Result::Done);
        QTRY_VERIFY(control.elapsedMs() >= 200);
        control.setCommand(QStringLiteral("stop"));
    } else {
        playLikeTheWindow(control, clip);
        QCOMPARE(control.mode(), Mode::Playing);
        QVERIFY(fixture("stop"));
        QTRY_COMPARE_WITH_TIMEOUT(control.mode(), Mode::Stopped, kSlowMs);
    }
    if (otherMicrophone)
        QVERIFY(fixture("stop"));
    QTest::qWait(awayMs); // the outage itself
    QVERIFY(fixture("start"));
    std::optional<ToneMicrophone> headset;
    if (otherMicrophone) {
        headset.emplace();
        QVERIFY(headset->isDefault());
    }

    playLikeTheWindow(control, clip);
    QCOMPARE(control.mode(), Mode::Playing);
    QVERIFY(ownStreamBufferUSecs() >= 0); // the server is playing it
    QTRY_COMPARE_WITH_TIMEOUT(control.mode(), Mode::Stopped, kSlowMs);

    control.setFileName(take);
    control.setCommand(QStringLiteral("Open"));
    QElapsedTimer answered;
    answered.start();
    QCOMPARE(control.runCommand(QStringLiteral("record")), Result::Done);
    // A record that cannot start fails within a moment; one that hangs never comes back.
    QVERIFY(answered.elapsed() < 1000);
    QTRY_VERIFY(control.elapsedMs() >= 300);
    control.setCommand(QStringLiteral("stop"));
    // Recorded from the default input of the moment: the new microphone's tone, or the sink's
    // silence, which is not kept.
    QCOMPARE(control.runCommand(QStringLiteral("Save")),
             otherMicrophone ? Result::Done : Result::SilentRecording);
}

QTEST_MAIN(TestMediaControl)
#include "tst_mediacontrol.moc"
