// SPDX-License-Identifier: GPL-3.0-or-later
// One start of a window, timed by bench_startup from outside: the child prints "painted" once
// the window's first paint is done, then its peak resident memory, and quits. Two children
// share this: bench_startup_window with the program's window, and bench_startup_bare with a
// bare Qt window of as many plain Qt widgets showing the same texts in the same fonts, so that
// the ratio is what the program's own code costs.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <cstdio>

namespace startupchild {

inline long peakResidentKiB()
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

} // namespace startupchild
