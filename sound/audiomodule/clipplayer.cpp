// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/clipplayer.h"

#include "sound/audiomodule/mixformat.h"

#include <QAudioSink>
#include <QMediaDevices>

#include <algorithm>

namespace {

// Enough buffered sound to ride out a busy moment of the event thread (a dialog opening, a
// picture loading); the first samples do not wait for it to fill, so it costs no latency.
constexpr qint64 kBufferUSecs = 200000;
constexpr int kFeedIntervalMs = 10;
// What the device still holds when it reports the clip as played: the stream stays open for
// that long after the end so the last syllable is heard.
constexpr qint64 kTailMs = kBufferUSecs / 1000 + 50;
// A device that takes no sound for this long has gone away.
constexpr qint64 kStallMs = 2000;

} // namespace

ClipPlayer::ClipPlayer(QObject *parent) : QObject(parent)
{
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    m_feedTimer.setInterval(kFeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &ClipPlayer::feed);
}

ClipPlayer::~ClipPlayer()
{
    release();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->deleteLater();
    }
}

QAudioFormat ClipPlayer::outputFormat(const QAudioDevice &device, const AudioClip &clip) const
{
    // Where the system mixes in one format, the clip is converted here, once, and not by a
    // converter the system may lack.
    QAudioFormat format = mixFormat(device);
    if (format.isValid())
        return format;
    format.setSampleRate(clip.sampleRate);
    format.setChannelCount(clip.channelCount);
    format.setSampleFormat(QAudioFormat::Float);
    if (device.isFormatSupported(format))
        return format;
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(format))
        return format;
    return device.preferredFormat();
}

void ClipPlayer::prepareSink(const QAudioDevice &device, const QAudioFormat &format)
{
    if (m_sink && m_device == device && m_sink->format() == format)
        return;
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->deleteLater();
    }
    m_device = device;
    // No parent, and never deleted directly: Qt 6.4's sink runs the event loop in its
    // destructor, which must not happen while a widget that owns this player is half destroyed.
    m_sink = new QAudioSink(device, format);
    // Queued: the sink reports failures from inside its own calls, which must not be re-entered.
    connect(
            m_sink, &QAudioSink::stateChanged, this,
            [this](QAudio::State state) {
                if (m_phase != Phase::Idle && state == QAudio::StoppedState
                    && m_sink->error() != QAudio::NoError)
                    fail();
            },
            Qt::QueuedConnection);
}

StartResult ClipPlayer::start(const AudioClip &clip, qint64 fromUSecs)
{
    release();
    m_stoppedAtUSecs = fromUSecs;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return StartResult::NoDevice;
    const QAudioFormat format = outputFormat(device, clip);
    if (!format.isValid())
        return StartResult::Refused;

    const qint64 fromFrame = clip.frameAt(fromUSecs);
    m_clip = clip;
    if (format.sampleRate() == clip.sampleRate && format.channelCount() == clip.channelCount) {
        const float *first = m_clip.samples.constData() + fromFrame * clip.channelCount;
        const qsizetype count = m_clip.samples.size() - fromFrame * clip.channelCount;
        m_bytes = format.sampleFormat() == QAudioFormat::Float
                ? QByteArray::fromRawData(reinterpret_cast<const char *>(first), count * 4)
                : samplesToBytes(first, count, format.sampleFormat());
    } else {
        const AudioClip fitted = convertedClip(clip, fromFrame, format.sampleRate(),
                                               format.channelCount());
        m_bytes = samplesToBytes(fitted.samples.constData(), fitted.samples.size(),
                                 format.sampleFormat());
    }
    const float silence = 0;
    m_silence = samplesToBytes(&silence, 1, format.sampleFormat())
                        .repeated(format.bytesForDuration(kBufferUSecs) / format.bytesPerSample());

    prepareSink(device, format);
    // Asked for at every start, not once per sink: Qt 6.4's PulseAudio sink keeps what the
    // server granted as the size it asks for at the next start, and the server grants less than
    // asked, so every play would have a smaller buffer than the last, down to a millisecond,
    // where a clip comes out seconds late, choppy and slowed.
    m_sink->setBufferSize(format.bytesForDuration(kBufferUSecs));
    m_output = m_sink->start();
    if (!m_output || m_sink->state() == QAudio::StoppedState) {
        m_output = nullptr;
        return StartResult::Refused;
    }
    m_startUSecs = fromUSecs;
    m_lengthUSecs = format.durationForBytes(m_bytes.size());
    m_written = 0;
    m_lastProcessed = -1;
    m_phase = Phase::Playing;
    m_sinceProgress.start();
    feed();
    m_feedTimer.start();
    return StartResult::Started;
}

void ClipPlayer::feed()
{
    if (m_phase == Phase::Idle || !m_output)
        return;
    const int frameBytes = m_sink->format().bytesPerFrame();
    // A stream that failed reports a negative free size; writing to it could block the sink.
    qint64 free = m_sink->bytesFree();
    free -= free % frameBytes;
    if (free > 0 && m_written < m_bytes.size()) {
        const qint64 written = m_output->write(m_bytes.constData() + m_written,
                                               std::min<qint64>(free, m_bytes.size() - m_written));
        if (written > 0) {
            m_written += written;
            free -= written;
        }
    }
    if (free > 0 && m_written >= m_bytes.size())
        m_output->write(m_silence.constData(), std::min<qint64>(free, m_silence.size()));

    const qint64 processed = m_sink->processedUSecs();
    if (processed != m_lastProcessed) {
        m_lastProcessed = processed;
        m_sinceProgress.start();
    } else if (m_sinceProgress.elapsed() > kStallMs) {
        fail();
        return;
    }

    if (m_phase == Phase::Playing && processed >= m_lengthUSecs) {
        m_phase = Phase::Tail;
        m_stoppedAtUSecs = m_startUSecs + m_lengthUSecs;
        m_sinceEnd.start();
        emit finished();
    } else if (m_phase == Phase::Tail && m_sinceEnd.elapsed() > kTailMs) {
        release();
    }
}

void ClipPlayer::stop()
{
    if (m_phase == Phase::Playing)
        m_stoppedAtUSecs = m_startUSecs + playedUSecs();
    release();
}

void ClipPlayer::fail()
{
    if (m_phase == Phase::Idle)
        return;
    const bool wasPlaying = m_phase == Phase::Playing;
    stop();
    if (wasPlaying)
        emit failed();
}

void ClipPlayer::release()
{
    m_feedTimer.stop();
    m_phase = Phase::Idle;
    m_output = nullptr;
    if (m_sink)
        m_sink->stop();
}

qint64 ClipPlayer::playedUSecs() const
{
    return std::clamp<qint64>(m_sink ? m_sink->processedUSecs() : 0, 0, m_lengthUSecs);
}

qint64 ClipPlayer::positionUSecs() const
{
    return m_phase == Phase::Playing ? m_startUSecs + playedUSecs() : m_stoppedAtUSecs;
}
