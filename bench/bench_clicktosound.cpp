// SPDX-License-Identifier: GPL-3.0-or-later

// How long a pupil waits between pressing a play button and hearing the clip: the time from
// the window's commands to the first sample reaching the sound server's sink, measured on a
// private PulseAudio server (tests/pulse-fixture.sh) by listening to the sink's monitor.
//
// Two rows: the play button's whole sequence ("close", FileName, "Open", "prev", "play", so the
// clip is decoded from disk each time) and "play" alone on a clip already open. Beside each, a
// bare QAudioSink fed the same samples in the same run: the part of the wait that is Qt's and
// the server's, not ours. The time includes the monitor's own delivery, so it errs long.
//
//   bench_clicktosound [presses]    (default 30)
#include "benchtable.h"
#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "sound/slowmodule/slowclip.h"

#include <QApplication>
#include <QAudioSink>
#include <QAudioSource>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMediaDevices>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRate = 48000;
constexpr float kLoud = 0.05f;

// Notes when the first loud sample of a clip came out of the sink's monitor.
class Listener : public QIODevice
{
public:
    explicit Listener(const QElapsedTimer &clock) : m_clock(clock) { open(QIODevice::WriteOnly); }

    bool start()
    {
        QAudioFormat format;
        format.setSampleRate(kRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Float);
        m_source = new QAudioSource(QMediaDevices::defaultAudioInput(), format, this);
        m_source->setBufferSize(format.bytesForDuration(5000));
        m_source->start(this);
        return m_source->state() != QAudio::StoppedState;
    }
    qint64 frames() const { return m_frames; }
    // Nanoseconds on the clock when the first loud sample after arm() arrived, or -1.
    qint64 heardAt() const { return m_heardAt; }
    void arm() { m_heardAt = -1; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 now = m_clock.nsecsElapsed();
        const QList<float> block = bytesToSamples(QByteArrayView(data, size), QAudioFormat::Float);
        m_frames += block.size();
        if (m_heardAt >= 0)
            return size;
        for (qsizetype i = 0; i < block.size(); ++i) {
            if (std::abs(block[i]) > kLoud) {
                // The block arrived when its last sample did; this one came that much earlier.
                m_heardAt = now - (block.size() - i) * 1000000000LL / kRate;
                break;
            }
        }
        return size;
    }

private:
    const QElapsedTimer &m_clock;
    QAudioSource *m_source = nullptr;
    qint64 m_frames = 0;
    qint64 m_heardAt = -1;
};

void runEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

bool waitFor(const std::function<bool()> &done, int milliseconds)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > milliseconds)
            return false;
        runEventLoop(1);
    }
    return true;
}

// Milliseconds from `press` to the first loud sample at the sink, or -1 if none came.
double measure(Listener &listener, const QElapsedTimer &clock, const std::function<void()> &press)
{
    // Let the last clip and its tail die away first.
    runEventLoop(500);
    listener.arm();
    const qint64 pressedAt = clock.nsecsElapsed();
    press();
    if (!waitFor([&] { return listener.heardAt() >= 0; }, 2000))
        return -1;
    return (listener.heardAt() - pressedAt) / 1e6;
}

struct Stats
{
    double median = -1;
    double p90 = -1;
    int missed = 0;
};

Stats statsOf(std::vector<double> values)
{
    Stats stats;
    stats.missed = int(std::count(values.begin(), values.end(), -1.0));
    values.erase(std::remove(values.begin(), values.end(), -1.0), values.end());
    if (values.empty())
        return stats;
    std::sort(values.begin(), values.end());
    stats.median = values[values.size() / 2];
    stats.p90 = values[std::min(values.size() - 1, values.size() * 9 / 10)];
    return stats;
}

QString describe(const Stats &ours, const Stats &bare)
{
    QString text = QStringLiteral("%1 ms (p90 %2; bare sink %3, x%4)")
                           .arg(ours.median, 0, 'f', 1)
                           .arg(ours.p90, 0, 'f', 1)
                           .arg(bare.median, 0, 'f', 1)
                           .arg(ours.median / bare.median, 0, 'f', 2);
    if (ours.missed > 0)
        text += QStringLiteral(", %1 unheard").arg(ours.missed);
    return text;
}

constexpr double kPi = 3.14159265358979323846;

// Ten seconds of a voice-like sound: a 180 Hz buzz with its harmonics, in syllables.
AudioClip tenSecondClip()
{
    AudioClip clip {44100, 1, {}};
    clip.samples.resize(10 * 44100);
    for (qsizetype i = 0; i < clip.samples.size(); ++i) {
        const double t = double(i) / clip.sampleRate;
        const double buzz = std::sin(2 * kPi * 180 * t) + 0.5 * std::sin(2 * kPi * 360 * t)
                + 0.25 * std::sin(2 * kPi * 540 * t);
        clip.samples[i] = float(0.3 * buzz * std::max(0.0, std::sin(2 * kPi * 3 * t)));
    }
    return clip;
}

// Milliseconds to make the slow copy of a ten-second clip, against resampling the same clip for
// a 48 kHz stereo device, as the player does at each play; medians of a few runs.
void timeSlowCopy(BenchTable &table)
{
    const AudioClip clip = tenSecondClip();
    std::vector<double> slow, resampled;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer timer;
        timer.start();
        const AudioClip slowed = slowClip(clip, kSlowSpeed);
        slow.push_back(timer.nsecsElapsed() / 1e6);
        timer.restart();
        const AudioClip converted = convertedClip(clip, 0, 48000, 2);
        resampled.push_back(timer.nsecsElapsed() / 1e6);
        if (slowed.isEmpty() || converted.isEmpty())
            return;
    }
    const double slowMs = statsOf(slow).median;
    const double baseMs = statsOf(resampled).median;
    table.row(QStringLiteral("slow copy of a 10 s clip, median"),
              QStringLiteral("%1 ms (resampling it %2 ms, x%3)")
                      .arg(slowMs, 0, 'f', 1)
                      .arg(baseMs, 0, 'f', 1)
                      .arg(slowMs / baseMs, 0, 'f', 2),
              QStringLiteral("<= 30 ms"), slowMs <= 30);
}

AudioClip clickClip()
{
    // A tone that is loud from its first samples, so the first one heard marks the start.
    AudioClip clip;
    clip.sampleRate = 44100;
    clip.channelCount = 1;
    clip.samples.resize(44100 / 5);
    for (qsizetype i = 0; i < clip.samples.size(); ++i)
        clip.samples[i] = i % 100 < 50 ? 0.5f : -0.5f;
    return clip;
}

} // namespace

int main(int argc, char *argv[])
{
    int presses = 30;
    if (argc > 1) {
        presses = QString::fromLocal8Bit(argv[1]).toInt();
        if (presses <= 0) {
            std::fprintf(stderr, "usage: %s [presses]\n", argv[0]);
            return 2;
        }
    }

    // A private server, so the benchmark neither sounds on the desktop nor hears it.
    QTemporaryDir serverDir;
    const QString fixture = QStringLiteral(LUVANA_PULSE_FIXTURE);
    if (QProcess::execute(fixture, {QStringLiteral("start"), serverDir.path()}) != 0) {
        std::fprintf(stderr, "%s could not start a sound server\n", qPrintable(fixture));
        return 1;
    }
    BenchTable table;
    const QString name = QStringLiteral("play button to first sample at the sink");
    QFile unavailable(serverDir.filePath(QStringLiteral("unavailable")));
    if (unavailable.open(QIODevice::ReadOnly)) {
        table.row(name,
                  QStringLiteral("no sound server: ")
                          + QString::fromUtf8(unavailable.readAll().trimmed()),
                  QStringLiteral("<= 25 ms"), false);
        table.print();
        return 0;
    }
    qputenv("PULSE_SERVER",
            QFile::encodeName(serverDir.filePath(QStringLiteral("runtime/native"))).prepend("unix:"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(serverDir.filePath(QStringLiteral("runtime"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    int status = 0;
    {
        QApplication app(argc, argv);
        QElapsedTimer clock;
        clock.start();

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("animals-anna3.wav"));
        const AudioClip clip = clickClip();
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || writeWav16(clip, file) != ClipWriteError::None
            || !file.commit()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            status = 1;
        }

        Listener listener(clock);
        if (status == 0
            && (!listener.start() || !waitFor([&] { return listener.frames() > 0; }, 5000))) {
            std::fprintf(stderr, "the sink's monitor delivers nothing\n");
            status = 1;
        }

        if (status == 0) {
            MediaControl control;
            QAudioFormat format;
            format.setSampleRate(clip.sampleRate);
            format.setChannelCount(1);
            format.setSampleFormat(QAudioFormat::Float);
            QAudioSink bare(QMediaDevices::defaultAudioOutput(), format);
            const QByteArray bareBytes = samplesToBytes(clip.samples.constData(),
                                                        clip.samples.size(), QAudioFormat::Float);
            auto playBare = [&] {
                bare.stop();
                QIODevice *output = bare.start();
                if (output)
                    output->write(bareBytes.left(bare.bytesFree()));
            };

            // One round of each first, so that no row pays for connecting to the server.
            measure(listener, clock, playBare);
            control.setFileName(path);
            control.setCommand(QStringLiteral("Open"));
            measure(listener, clock, [&] { control.setCommand(QStringLiteral("play")); });

            // The same press with slow speech on; its first press makes the slow copy.
            MediaControl slowControl;
            slowControl.setSlow(true);
            const auto pressOn = [&](MediaControl &pressed) {
                pressed.setCommand(QStringLiteral("close"));
                pressed.setFileName(path);
                pressed.setCommand(QStringLiteral("Open"));
                pressed.setCommand(QStringLiteral("prev"));
                pressed.setCommand(QStringLiteral("play"));
            };
            const double firstSlow = measure(listener, clock, [&] { pressOn(slowControl); });

            std::vector<double> button, slowButton, playAlone, bareSink;
            for (int i = 0; i < presses; ++i) {
                button.push_back(measure(listener, clock, [&] { pressOn(control); }));
                slowButton.push_back(measure(listener, clock, [&] { pressOn(slowControl); }));
                playAlone.push_back(measure(listener, clock, [&] {
                    control.setCommand(QStringLiteral("prev"));
                    control.setCommand(QStringLiteral("play"));
                }));
                bareSink.push_back(measure(listener, clock, playBare));
            }
            bare.stop();
            const Stats bareStats = statsOf(bareSink);
            const Stats buttonStats = statsOf(button);
            const Stats playStats = statsOf(playAlone);
            table.row(name + QStringLiteral(", median"), describe(buttonStats, bareStats),
                      QStringLiteral("<= 25 ms"),
                      buttonStats.median >= 0 && buttonStats.median <= 25
                              && buttonStats.missed == 0);
            const Stats slowStats = statsOf(slowButton);
            const double slowRatio = slowStats.median / buttonStats.median;
            table.row(QStringLiteral("slow play button to first sample, median"),
                      QStringLiteral("%1 ms (first, copy made: %2 ms; normal %3 ms, x%4)")
                              .arg(slowStats.median, 0, 'f', 1)
                              .arg(firstSlow, 0, 'f', 1)
                              .arg(buttonStats.median, 0, 'f', 1)
                              .arg(slowRatio, 0, 'f', 2),
                      QStringLiteral("<= 1.5x normal"),
                      slowStats.median >= 0 && slowRatio <= 1.5 && slowStats.missed == 0);
            table.row(QStringLiteral("\"play\" on an open clip to first sample, median"),
                      describe(playStats, bareStats), QStringLiteral("<= 25 ms"),
                      playStats.median >= 0 && playStats.median <= 25 && playStats.missed == 0);
        }
    }
    QProcess::execute(fixture, {QStringLiteral("stop"), serverDir.path()});
    timeSlowCopy(table);
    table.print();
    return status;
}
