// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/cliprecorder.h"

#include <QAudioSource>
#include <QIODevice>
#include <QMediaDevices>

namespace {

constexpr int kRecordRate = 44100;
constexpr int kWatchIntervalMs = 250;
// An input that delivers nothing for this long has gone away.
constexpr qint64 kStallMs = 2000;

} // namespace

// Where the source writes what the device hears.
class CaptureBuffer : public QIODevice
{
public:
    CaptureBuffer(const QAudioFormat &format, QObject *parent) : QIODevice(parent), m_format(format)
    {
        open(QIODevice::WriteOnly);
    }

    const QByteArray &data() const { return m_data; }
    float level() const { return m_level; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        m_data.append(data, size);
        const QList<float> block = bytesToSamples(QByteArrayView(data, size),
                                                  m_format.sampleFormat());
        m_level = peakLevel(block.constData(), block.constData() + block.size());
        return size;
    }

private:
    QAudioFormat m_format;
    QByteArray m_data;
    float m_level = 0;
};

ClipRecorder::ClipRecorder(QObject *parent) : QObject(parent)
{
    m_watchTimer.setInterval(kWatchIntervalMs);
    connect(&m_watchTimer, &QTimer::timeout, this, &ClipRecorder::watch);
}

ClipRecorder::~ClipRecorder()
{
    stop();
}

StartResult ClipRecorder::start()
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull())
        return StartResult::NoDevice;
    QAudioFormat format;
    format.setSampleRate(kRecordRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        format = device.preferredFormat();
    if (!format.isValid())
        return StartResult::Refused;

    m_format = format;
    // No parent, and never deleted directly: Qt 6.4's source runs the event loop in its
    // destructor, which must not happen while a widget that owns this recorder is half destroyed.
    // The buffer goes with it, so the source never writes into a buffer already gone.
    m_source = new QAudioSource(device, format);
    m_buffer = new CaptureBuffer(format, m_source);
    // Queued: the source reports failures from inside its own calls, which must not be
    // re-entered.
    connect(
            m_source, &QAudioSource::stateChanged, this,
            [this](QAudio::State state) {
                if (m_source && state == QAudio::StoppedState
                    && m_source->error() != QAudio::NoError)
                    emit interrupted();
            },
            Qt::QueuedConnection);
    m_source->start(m_buffer);
    if (m_source->state() == QAudio::StoppedState) {
        stop();
        return StartResult::Refused;
    }
    m_lastSize = 0;
    m_sinceData.start();
    m_watchTimer.start();
    return StartResult::Started;
}

void ClipRecorder::watch()
{
    const qint64 size = m_buffer ? m_buffer->data().size() : 0;
    if (size != m_lastSize) {
        m_lastSize = size;
        m_sinceData.start();
    }
    if (m_sinceData.elapsed() > kStallMs || recordedUSecs() >= kMaxClipUSecs)
        emit interrupted();
}

AudioClip ClipRecorder::stop()
{
    m_watchTimer.stop();
    AudioClip clip;
    if (!m_source)
        return clip;
    m_source->stop();
    const QByteArray data = m_buffer->data();
    m_source->disconnect(this);
    m_source->deleteLater();
    m_source = nullptr;
    m_buffer = nullptr;
    clip.sampleRate = m_format.sampleRate();
    clip.channelCount = m_format.channelCount();
    clip.samples = bytesToSamples(
            QByteArrayView(data).first(data.size() - data.size() % m_format.bytesPerFrame()),
            m_format.sampleFormat());
    return clip;
}

qint64 ClipRecorder::recordedUSecs() const
{
    return m_buffer ? m_format.durationForBytes(m_buffer->data().size()) : 0;
}

float ClipRecorder::level() const
{
    return m_buffer ? m_buffer->level() : 0;
}
