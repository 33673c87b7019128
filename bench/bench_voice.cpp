// SPDX-License-Identifier: GPL-3.0-or-later
// What the teacher's voice tools cost: how long the recorder strip takes from a click on "Veu"
// to a clip it can play, for an item of twelve words, with Festival's Ona and with espeak-ng;
// and how long "Save" spends trimming and evening a ten-second recording, beside the time it
// takes to write that recording as a WAV in the same run.
//
//   bench_voice [runs]    (default 5 with Festival, four times as many for the rest)
#include "benchtable.h"
#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/engine/voice.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
const QString kItem = QStringLiteral(
        "Els ocells del jardí canten cada matí quan surt el sol daurat.");

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Milliseconds from the click to the clip, or a negative number when no voice spoke.
double clickToClip(MediaControl &control)
{
    auto *button = control.findChild<QToolButton *>(QStringLiteral("voiceButton"));
    auto *play = control.findChild<QToolButton *>(QStringLiteral("playButton"));
    QEventLoop loop;
    const auto connection = QObject::connect(&control, &MediaControl::speechFinished, &loop,
                                             &QEventLoop::quit);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    button->click();
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    QObject::disconnect(connection);
    return play->isEnabled() ? ms : -1;
}

// The strip with a clip chosen and the item to say, as after a play-button press.
void prepare(MediaControl &control, const QString &clipPath)
{
    control.setSpeechText([] { return kItem; });
    control.setCommand(QStringLiteral("close"));
    control.setFileName(clipPath);
    control.setCommand(QStringLiteral("Open"));
}

// Ten seconds of a teacher's take: a second of room either side of eight seconds of voice.
AudioClip tenSecondTake()
{
    constexpr int kRate = 44100;
    AudioClip clip {kRate, 1, {}};
    clip.samples.resize(10 * kRate);
    quint32 seed = 1;
    for (qsizetype i = 0; i < clip.samples.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float hiss = 0.003f * (float(seed >> 8) / float(1 << 24) * 2 - 1);
        const bool voiced = i >= kRate && i < 9 * kRate;
        // A voice-like sound: 180 Hz with a syllable's rise and fall five times a second.
        const double t = double(i) / kRate;
        const float voice = voiced
                ? 0.05f * float(std::sin(2 * kPi * 180 * t) * std::abs(std::sin(kPi * 5 * t)))
                : 0.0f;
        clip.samples[i] = hiss + voice;
    }
    return clip;
}

double timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 5;
    // The strip plays only where there is an output: a private server gives it one, silently.
    QTemporaryDir serverDir;
    const QString fixture = QStringLiteral(LUVANA_PULSE_FIXTURE);
    if (QProcess::execute(fixture, {QStringLiteral("start"), serverDir.path()}) != 0) {
        std::fprintf(stderr, "%s could not start a sound server\n", qPrintable(fixture));
        return 1;
    }
    const auto stopServer = qScopeGuard([&] {
        QProcess::execute(fixture, {QStringLiteral("stop"), serverDir.path()});
    });
    qputenv("PULSE_SERVER",
            QFile::encodeName(serverDir.filePath(QStringLiteral("runtime/native"))).prepend("unix:"));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(serverDir.filePath(QStringLiteral("runtime"))));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clipPath = dir.filePath(QStringLiteral("bench-3.wav"));
    BenchTable table;

    {
        MediaControl control;
        prepare(control, clipPath);
        const bool festival = control.voice()->kind() == Voice::Kind::Festival;
        std::vector<double> times;
        for (int i = 0; festival && i < runs; ++i) {
            const double ms = clickToClip(control);
            if (ms < 0 || control.voice()->kind() != Voice::Kind::Festival)
                break;
            times.push_back(ms);
        }
        const bool spoke = int(times.size()) == runs;
        table.row(
                QStringLiteral("\"Veu\" to clip, 12 words, Ona (Festival)"),
                spoke ? QStringLiteral("%1 ms median of %2").arg(median(times), 0, 'f', 0).arg(runs)
                      : QStringLiteral("Festival with Ona did not speak"),
                QStringLiteral("<= 1500 ms"), spoke && median(times) <= 1500);
    }
    {
        MediaControl control;
        control.voice()->setSynthesiser({QStringLiteral("luvana-no-festival"), {}, {}, 1000});
        prepare(control, clipPath);
        const double first = clickToClip(control);
        std::vector<double> times;
        for (int i = 0; first >= 0 && i < 4 * runs; ++i)
            times.push_back(clickToClip(control));
        const bool spoke = first >= 0
                && std::none_of(times.begin(), times.end(), [](double ms) { return ms < 0; });
        table.row(QStringLiteral("\"Veu\" to clip, 12 words, eSpeak NG"),
                  spoke ? QStringLiteral("%1 ms median, first %2 ms")
                                  .arg(median(times), 0, 'f', 1)
                                  .arg(first, 0, 'f', 1)
                        : QStringLiteral("espeak-ng did not speak"),
                  QStringLiteral("<= 100 ms"), spoke && median(times) <= 100);
    }
    {
        const AudioClip take = tenSecondTake();
        std::vector<double> evening;
        std::vector<double> writing;
        bool written = true;
        for (int i = 0; i < 4 * runs; ++i) {
            AudioClip kept;
            evening.push_back(timed([&] { kept = keptRecording(take); }));
            writing.push_back(timed([&] {
                QBuffer buffer;
                buffer.open(QIODevice::WriteOnly);
                written = written && writeWav16(take, buffer) == ClipWriteError::None;
            }));
        }
        const double ms = median(evening);
        table.row(QStringLiteral("trim and loudness, 10 s recording"),
                  QStringLiteral("%1 ms (%2x writing its WAV)")
                          .arg(ms, 0, 'f', 1)
                          .arg(ms / std::max(median(writing), 1e-3), 0, 'f', 1),
                  QStringLiteral("<= 20 ms"), written && ms <= 20);
    }
    table.print();
    return 0;
}
