// SPDX-License-Identifier: GPL-3.0-or-later

// What reached the private sound server's sink, heard through its remapped monitor (the
// default input of pulse-fixture.sh), as 48 kHz mono float.
#pragma once

#include "sound/audioclip.h"

#include <QAudioSource>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QString>

#include <memory>

namespace soundclips {

// Why the sound tests cannot run here, or an empty string when they can.
inline QString soundServerMissing()
{
    const QString dir = qEnvironmentVariable("LUVANA_PULSE_DIR");
    if (dir.isEmpty())
        return QStringLiteral("needs the private sound server: run it through ctest");
    QFile reason(dir + QStringLiteral("/unavailable"));
    if (reason.open(QIODevice::ReadOnly))
        return QStringLiteral("no sound server: ") + QString::fromUtf8(reason.readAll().trimmed());
    return {};
}

class SinkCapture : public QIODevice
{
public:
    static constexpr int kRate = 48000;

    SinkCapture() { open(QIODevice::WriteOnly); }
    ~SinkCapture() override { stop(); }

    bool start()
    {
        QAudioFormat format;
        format.setSampleRate(kRate);
        format.setChannelCount(1);
        format.setSampleFormat(QAudioFormat::Float);
        m_source = std::make_unique<QAudioSource>(QMediaDevices::defaultAudioInput(), format);
        // Small blocks, so that what arrived is known within a few milliseconds.
        m_source->setBufferSize(format.bytesForDuration(20000));
        m_source->start(this);
        return m_source->state() != QAudio::StoppedState;
    }
    void stop()
    {
        if (m_source)
            m_source->stop();
    }
    // Forgets what was heard so far; the capture goes on.
    void clear() { m_clip.samples.clear(); }

    qint64 frames() const { return m_clip.samples.size(); }
    qint64 framesFor(qint64 msecs) const { return msecs * kRate / 1000; }
    const AudioClip &clip() const { return m_clip; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_clip.samples.append(bytesToSamples(QByteArrayView(data, size), QAudioFormat::Float));
        return size;
    }

private:
    std::unique_ptr<QAudioSource> m_source;
    AudioClip m_clip {kRate, 1, {}};
};

} // namespace soundclips
