// SPDX-License-Identifier: GPL-3.0-or-later

// What reached the private sound server's sink, heard through its remapped monitor (the
// default input of pulse-fixture.sh), as 48 kHz mono float; and how much sound the server
// holds for this process's stream.
#pragma once

#include "sound/audiomodule/audioclip.h"

#include <QAudioSource>
#include <QCoreApplication>
#include <QFile>
#include <QIODevice>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMediaDevices>
#include <QProcess>
#include <QString>
#include <QTest>

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

// The sound the server holds for this process's playing stream, as `pactl list sink-inputs`
// reports it ("Buffer Latency"): the player keeps it topped up, so it shows the buffer the
// stream was granted. -1 when no stream of this process plays.
inline qint64 ownStreamBufferUSecs()
{
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"),
                {QStringLiteral("--format=json"), QStringLiteral("list"),
                 QStringLiteral("sink-inputs")});
    // The player goes on feeding the stream meanwhile, as it would were nobody asking.
    if (!QTest::qWaitFor([&] { return pactl.state() == QProcess::NotRunning; })
        || pactl.exitCode() != 0)
        return -1;
    const QString pid = QString::number(QCoreApplication::applicationPid());
    const QJsonArray inputs = QJsonDocument::fromJson(pactl.readAllStandardOutput()).array();
    for (const QJsonValue &input : inputs) {
        if (input[u"properties"][u"application.process.id"].toString() == pid)
            return qint64(input[u"buffer_latency_usec"].toDouble());
    }
    return -1;
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
