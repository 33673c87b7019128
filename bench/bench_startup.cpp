// SPDX-License-Identifier: GPL-3.0-or-later

// Start-to-first-paint time and peak memory of the program's window, as a ratio against a
// bare Qt window with as many plain widgets, both measured in this run, alternating.
#include "benchtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Sample
{
    double milliseconds;
    double peakKiB;
};

bool startOnce(const QString &program, Sample *sample)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    process.start(program, {});
    if (!process.waitForStarted(10000))
        return false;
    QByteArray output;
    while (!output.contains("painted\n")) {
        if (!process.waitForReadyRead(10000))
            return false;
        output += process.readAllStandardOutput();
    }
    sample->milliseconds = double(clock.nsecsElapsed()) / 1e6;
    process.waitForFinished(10000);
    output += process.readAllStandardOutput();
    sample->peakKiB = output.split('\n').value(1).toDouble();
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QByteArray(argv[1]).toInt() : 15;
    const QDir here(QCoreApplication::applicationDirPath());
    const QString window = here.absoluteFilePath(QStringLiteral("bench_startup_window"));
    const QString bare = here.absoluteFilePath(QStringLiteral("bench_startup_bare"));

    std::vector<double> windowMs, bareMs, windowKiB, bareKiB;
    for (int run = 0; run < runs + 1; ++run) {
        Sample w {}, b {};
        if (!startOnce(window, &w) || !startOnce(bare, &b)) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        if (run == 0)
            continue; // the first start warms the disk cache for both
        windowMs.push_back(w.milliseconds);
        bareMs.push_back(b.milliseconds);
        windowKiB.push_back(w.peakKiB);
        bareKiB.push_back(b.peakKiB);
    }

    BenchTable table;
    const double timeRatio = median(windowMs) / median(bareMs);
    const double memoryRatio = median(windowKiB) / median(bareKiB);
    table.row(QStringLiteral("start to first paint (median of %1)").arg(runs),
              QStringLiteral("%1 ms vs bare %2 ms = %3x")
                      .arg(median(windowMs), 0, 'f', 1)
                      .arg(median(bareMs), 0, 'f', 1)
                      .arg(timeRatio, 0, 'f', 2),
              QStringLiteral("<= 1.15x"), timeRatio <= 1.15);
    table.row(QStringLiteral("peak memory"),
              QStringLiteral("%1 MiB vs bare %2 MiB = %3x")
                      .arg(median(windowKiB) / 1024, 0, 'f', 1)
                      .arg(median(bareKiB) / 1024, 0, 'f', 1)
                      .arg(memoryRatio, 0, 'f', 2),
              QStringLiteral("<= 1.2x"), memoryRatio <= 1.2);
    table.print();
    return 0;
}
