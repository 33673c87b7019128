// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/pulseclient.h"

#include "sound/audiomodule/audioclip.h"

#include <QDeadlineTimer>
#include <QThread>

#include <pulse/pulseaudio.h>

#include <algorithm>

namespace {

// The longest the window's thread waits for the server: a local server answers within a few
// milliseconds, and one that takes this long will not answer at all.
constexpr int kAnswerMs = 400;
constexpr int kRetryMs = 1000;
// As much sound as the server holds for a playing stream: enough to ride out a busy moment of
// the server, and the delay before a press is heard.
constexpr qint64 kBufferUSecs = 200000;
constexpr int kWatchMs = 100;
// A device that takes or gives no sound for this long has gone away.
constexpr qint64 kStallMs = 2000;
constexpr int kRecordRate = 44100;

void unref(pa_operation *operation)
{
    if (operation)
        pa_operation_unref(operation);
}

// The lock of the server's loop for one scope.
class Locked
{
public:
    explicit Locked(PulseServer *server) : m_server(server) { m_server->lock(); }
    ~Locked() { m_server->unlock(); }
    Locked(const Locked &) = delete;
    Locked &operator=(const Locked &) = delete;

private:
    PulseServer *m_server;
};

bool streamSettled(pa_stream *stream)
{
    const pa_stream_state_t state = pa_stream_get_state(stream);
    return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
}

// Connects a new stream and waits for it; nullptr when the server refused it or did not answer.
pa_stream *openStream(PulseServer *server, const pa_sample_spec &format,
                      const std::function<int(pa_stream *)> &connect)
{
    pa_channel_map map;
    pa_channel_map_init_extend(&map, format.channels, PA_CHANNEL_MAP_DEFAULT);
    pa_stream *stream = pa_stream_new(server->context(), "Luvana", &format, &map);
    if (!stream)
        return nullptr;
    if (connect(stream) < 0 || !server->waitFor([stream] { return streamSettled(stream); })
        || pa_stream_get_state(stream) != PA_STREAM_READY) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        return nullptr;
    }
    return stream;
}

void closeStream(pa_stream *&stream)
{
    if (!stream)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}

} // namespace

PulseServer::PulseServer() : m_loop(pa_threaded_mainloop_new())
{
    pa_threaded_mainloop_start(m_loop);
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, this, [this] {
        Locked locked(this);
        if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
            startConnecting();
        else if (pa_context_get_state(m_context) == PA_CONTEXT_READY)
            m_retry.stop();
    });
    // The module loads at the first command that needs sound: the devices are known from then.
    connect();
}

PulseServer::~PulseServer()
{
    lock();
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    unlock();
    pa_threaded_mainloop_stop(m_loop);
    pa_threaded_mainloop_free(m_loop);
}

void PulseServer::lock()
{
    pa_threaded_mainloop_lock(m_loop);
}

void PulseServer::unlock()
{
    pa_threaded_mainloop_unlock(m_loop);
}

bool PulseServer::waitFor(const std::function<bool()> &done)
{
    // pa_threaded_mainloop_wait() has no time limit: look again every few milliseconds instead.
    const QDeadlineTimer deadline(kAnswerMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        unlock();
        QThread::msleep(2);
        lock();
    }
    return true;
}

bool PulseServer::connect()
{
    Locked locked(this);
    if (!m_context || !PA_CONTEXT_IS_GOOD(pa_context_get_state(m_context)))
        startConnecting();
    if (!m_context)
        return false;
    // Until the devices have been counted once, there is nothing to play on.
    waitFor([this] {
        const pa_context_state_t state = pa_context_get_state(m_context);
        return (state == PA_CONTEXT_READY && m_devicesCounted) || !PA_CONTEXT_IS_GOOD(state);
    });
    return pa_context_get_state(m_context) == PA_CONTEXT_READY && m_devicesCounted;
}

void PulseServer::startConnecting()
{
    if (m_context) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_disconnect(m_context);
        pa_context_unref(m_context);
    }
    m_devicesCounted = false;
    m_context = pa_context_new(pa_threaded_mainloop_get_api(m_loop), "Luvana");
    pa_context_set_state_callback(
            m_context,
            [](pa_context *context, void *self) {
                auto *server = static_cast<PulseServer *>(self);
                const pa_context_state_t state = pa_context_get_state(context);
                if (state == PA_CONTEXT_READY) {
                    pa_context_set_subscribe_callback(
                            context,
                            [](pa_context *, pa_subscription_event_type_t, uint32_t, void *me) {
                                static_cast<PulseServer *>(me)->queryDevices();
                            },
                            self);
                    unref(pa_context_subscribe(context,
                                               pa_subscription_mask_t(PA_SUBSCRIPTION_MASK_SINK
                                                                      | PA_SUBSCRIPTION_MASK_SOURCE
                                                                      | PA_SUBSCRIPTION_MASK_SERVER),
                                               nullptr, nullptr));
                    server->queryDevices();
                } else if (!PA_CONTEXT_IS_GOOD(state)) {
                    server->connectionLost();
                }
            },
            this);
    // Never spawns a server: where none runs, the desktop has chosen to have none.
    if (pa_context_connect(m_context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        pa_context_set_state_callback(m_context, nullptr, nullptr);
        pa_context_unref(m_context);
        m_context = nullptr;
        connectionLost();
    }
}

void PulseServer::connectionLost()
{
    // Both go, whichever was there.
    const bool hadOutput = m_hasOutput.exchange(false);
    const bool hadInput = m_hasInput.exchange(false);
    const bool had = hadOutput || hadInput;
    QMetaObject::invokeMethod(
            this,
            [this, had] {
                m_retry.start();
                if (had)
                    emit devicesChanged();
            },
            Qt::QueuedConnection);
}

// On the loop's thread: counts the outputs and the microphones (a monitor of an output is
// none), then tells the window. Each count has its own tally, so that news of a device arriving
// in the middle of one never mixes two counts.
void PulseServer::queryDevices()
{
    struct Tally
    {
        PulseServer *server;
        int sinks = 0;
        int microphones = 0;
    };
    auto *tally = new Tally {this};
    unref(pa_context_get_sink_info_list(
            m_context,
            [](pa_context *, const pa_sink_info *info, int eol, void *data) {
                if (eol == 0 && info)
                    ++static_cast<Tally *>(data)->sinks;
            },
            tally));
    unref(pa_context_get_source_info_list(
            m_context,
            [](pa_context *, const pa_source_info *info, int eol, void *data) {
                auto *counted = static_cast<Tally *>(data);
                if (eol == 0) {
                    if (info && info->monitor_of_sink == PA_INVALID_INDEX)
                        ++counted->microphones;
                    return;
                }
                // Answers come in the order asked: the outputs are counted by now.
                PulseServer *server = counted->server;
                const bool output = eol > 0 && counted->sinks > 0;
                const bool input = eol > 0 && counted->microphones > 0;
                delete counted;
                server->m_devicesCounted = true;
                const bool outputChanged = server->m_hasOutput.exchange(output) != output;
                const bool inputChanged = server->m_hasInput.exchange(input) != input;
                if (outputChanged || inputChanged)
                    QMetaObject::invokeMethod(
                            server, [server] { emit server->devicesChanged(); },
                            Qt::QueuedConnection);
            },
            tally));
}

PulsePlayer::PulsePlayer(PulseServer *server) : m_server(server)
{
    m_watch.setInterval(kWatchMs);
    QObject::connect(&m_watch, &QTimer::timeout, this, &PulsePlayer::watch);
}

PulsePlayer::~PulsePlayer()
{
    release();
}

StartResult PulsePlayer::start(const AudioClip &clip, qint64 fromUSecs)
{
    release();
    m_stoppedAtUSecs = fromUSecs;
    if (!m_server->connect() || !m_server->hasOutput())
        return StartResult::NoDevice;
    const pa_sample_spec format {PA_SAMPLE_FLOAT32NE, uint32_t(clip.sampleRate),
                                 uint8_t(clip.channelCount)};
    if (clip.channelCount > int(PA_CHANNELS_MAX) || !pa_sample_spec_valid(&format))
        return StartResult::Refused;

    Locked locked(m_server);
    m_clip = clip;
    const qint64 first = clip.frameAt(fromUSecs) * clip.channelCount;
    m_bytes = QByteArray::fromRawData(
            reinterpret_cast<const char *>(m_clip.samples.constData() + first),
            (m_clip.samples.size() - first) * qsizetype(sizeof(float)));
    m_written = 0;
    m_draining = false;
    pa_buffer_attr buffer;
    std::fill_n(reinterpret_cast<uint32_t *>(&buffer), sizeof buffer / sizeof(uint32_t),
                uint32_t(-1));
    buffer.tlength = uint32_t(pa_usec_to_bytes(kBufferUSecs, &format));
    m_stream = openStream(m_server, format, [this, &buffer](pa_stream *stream) {
        pa_stream_set_write_callback(
                stream,
                [](pa_stream *connected, std::size_t bytes, void *self) {
                    static_cast<PulsePlayer *>(self)->write(connected, bytes);
                },
                this);
        return pa_stream_connect_playback(stream, nullptr, &buffer,
                                          pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY
                                                            | PA_STREAM_AUTO_TIMING_UPDATE
                                                            | PA_STREAM_INTERPOLATE_TIMING),
                                          nullptr, nullptr);
    });
    if (!m_stream) {
        m_clip = {};
        m_bytes.clear();
        return StartResult::Refused;
    }
    // From here on a failure of the stream (the device unplugged, the server gone) ends the clip.
    pa_stream_set_state_callback(
            m_stream,
            [](pa_stream *stream, void *self) {
                if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
                    static_cast<PulsePlayer *>(self)->post(&PulsePlayer::fail);
            },
            this);
    m_startUSecs = fromUSecs;
    m_lengthUSecs = qint64(m_bytes.size()) / qint64(pa_frame_size(&format)) * 1000000
            / clip.sampleRate;
    m_lastPlayed = -1;
    m_sinceProgress.start();
    m_watch.start();
    return StartResult::Started;
}

// On the loop's thread, with the lock held; the server asks for sound as soon as the stream
// connects, before start() has it.
void PulsePlayer::write(pa_stream *stream, std::size_t bytes)
{
    const std::size_t frame = pa_frame_size(pa_stream_get_sample_spec(stream));
    const std::size_t left = std::size_t(m_bytes.size() - m_written);
    const std::size_t count = std::min(bytes, left) / frame * frame;
    if (count > 0) {
        pa_stream_write(stream, m_bytes.constData() + m_written, count, nullptr, 0,
                        PA_SEEK_RELATIVE);
        m_written += qint64(count);
    }
    if (m_written < m_bytes.size() || m_draining)
        return;
    m_draining = true;
    unref(pa_stream_drain(
            stream,
            [](pa_stream *, int success, void *self) {
                if (success)
                    static_cast<PulsePlayer *>(self)->post(&PulsePlayer::drained);
            },
            this));
}

void PulsePlayer::post(void (PulsePlayer::*handler)())
{
    QMetaObject::invokeMethod(
            this,
            [this, handler, generation = m_generation] {
                if (generation == m_generation && m_stream)
                    (this->*handler)();
            },
            Qt::QueuedConnection);
}

void PulsePlayer::drained()
{
    release();
    m_stoppedAtUSecs = m_startUSecs + m_lengthUSecs;
    emit finished();
}

void PulsePlayer::fail()
{
    stop();
    emit failed();
}

void PulsePlayer::watch()
{
    const qint64 played = playedUSecs();
    if (played != m_lastPlayed) {
        m_lastPlayed = played;
        m_sinceProgress.start();
    } else if (m_sinceProgress.elapsed() > kStallMs) {
        fail();
    }
}

void PulsePlayer::stop()
{
    if (m_stream)
        m_stoppedAtUSecs = m_startUSecs + playedUSecs();
    release();
}

void PulsePlayer::release()
{
    m_watch.stop();
    Locked locked(m_server);
    ++m_generation;
    closeStream(m_stream);
}

qint64 PulsePlayer::playedUSecs() const
{
    pa_usec_t played = 0;
    Locked locked(m_server);
    if (!m_stream || pa_stream_get_time(m_stream, &played) < 0)
        return 0;
    return std::clamp<qint64>(qint64(played), 0, m_lengthUSecs);
}

qint64 PulsePlayer::positionUSecs() const
{
    return m_stream ? m_startUSecs + playedUSecs() : m_stoppedAtUSecs;
}

PulseRecorder::PulseRecorder(PulseServer *server) : m_server(server)
{
    m_watch.setInterval(kWatchMs);
    QObject::connect(&m_watch, &QTimer::timeout, this, &PulseRecorder::watch);
}

PulseRecorder::~PulseRecorder()
{
    release();
}

StartResult PulseRecorder::start()
{
    release();
    if (!m_server->connect() || !m_server->hasInput())
        return StartResult::NoDevice;
    const pa_sample_spec format {PA_SAMPLE_S16NE, kRecordRate, 1};
    pa_buffer_attr buffer;
    std::fill_n(reinterpret_cast<uint32_t *>(&buffer), sizeof buffer / sizeof(uint32_t),
                uint32_t(-1));
    // Small blocks, so the meter follows the voice.
    buffer.fragsize = uint32_t(pa_usec_to_bytes(20000, &format));
    Locked locked(m_server);
    m_data.clear();
    m_level = 0;
    m_stream = openStream(m_server, format, [this, &buffer](pa_stream *stream) {
        pa_stream_set_read_callback(
                stream,
                [](pa_stream *connected, std::size_t, void *self) {
                    static_cast<PulseRecorder *>(self)->read(connected);
                },
                this);
        return pa_stream_connect_record(stream, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY);
    });
    if (!m_stream)
        return StartResult::Refused;
    pa_stream_set_state_callback(
            m_stream,
            [](pa_stream *stream, void *self) {
                auto *recorder = static_cast<PulseRecorder *>(self);
                if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
                    return;
                QMetaObject::invokeMethod(
                        recorder,
                        [recorder, generation = recorder->m_generation] {
                            if (generation == recorder->m_generation && recorder->m_stream)
                                emit recorder->interrupted();
                        },
                        Qt::QueuedConnection);
            },
            this);
    m_lastSize = 0;
    m_sinceData.start();
    m_watch.start();
    return StartResult::Started;
}

// On the loop's thread, with the lock held.
void PulseRecorder::read(pa_stream *stream)
{
    const void *data = nullptr;
    std::size_t size = 0;
    while (pa_stream_peek(stream, &data, &size) == 0 && size > 0) {
        // A hole in what the server has is silence.
        const QByteArray block = data ? QByteArray(static_cast<const char *>(data), qsizetype(size))
                                      : QByteArray(qsizetype(size), '\0');
        m_data += block;
        const QList<float> samples = bytesToSamples(block, QAudioFormat::Int16);
        m_level = peakLevel(samples.constData(), samples.constData() + samples.size());
        pa_stream_drop(stream);
    }
}

void PulseRecorder::watch()
{
    const qint64 size = [this] {
        Locked locked(m_server);
        return qint64(m_data.size());
    }();
    if (size != m_lastSize) {
        m_lastSize = size;
        m_sinceData.start();
    }
    if (m_sinceData.elapsed() > kStallMs || recordedUSecs() >= kMaxClipUSecs)
        emit interrupted();
}

AudioClip PulseRecorder::stop()
{
    AudioClip clip;
    if (!m_stream)
        return clip;
    release();
    clip.sampleRate = kRecordRate;
    clip.channelCount = 1;
    clip.samples = bytesToSamples(QByteArrayView(m_data).first(m_data.size() & ~qsizetype(1)),
                                  QAudioFormat::Int16);
    m_data.clear();
    return clip;
}

void PulseRecorder::release()
{
    m_watch.stop();
    Locked locked(m_server);
    ++m_generation;
    closeStream(m_stream);
}

qint64 PulseRecorder::recordedUSecs() const
{
    Locked locked(m_server);
    return qint64(m_data.size()) / 2 * 1000000 / kRecordRate;
}

float PulseRecorder::level() const
{
    Locked locked(m_server);
    return m_level;
}
