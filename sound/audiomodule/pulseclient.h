// SPDX-License-Identifier: GPL-3.0-or-later

// The sound module's own client of the PulseAudio server, which mixes the sound of Linux
// desktops: the connection, a player and a recorder.
//
// Qt 6.4's PulseAudio back end waits without end for a stream that fails to connect (a
// microphone that went with a server that restarted: the window froze on record) and gives up
// for good on a server that was away longer than three seconds (sound then stayed gone until
// the program restarted). This client never waits longer than kAnswerMs for the server, and
// connects again, in the background and at the next command, whenever it has lost the server,
// however long it was away.
//
// libpulse calls back on a thread of its own (pa_threaded_mainloop). Every call from the
// window's thread takes that loop's lock, and the bytes of a stream are handed over under it;
// whatever the window must hear of is posted to its event loop. Each play and each recording
// opens the default device as it is at that moment.
#pragma once

#include "sound/soundsystem.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <functional>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

class PulseServer : public QObject
{
    Q_OBJECT
public:
    PulseServer();
    ~PulseServer() override;

    // Connected within kAnswerMs, connecting anew first when the server was lost or never found.
    bool connect();
    bool hasOutput() const { return m_hasOutput; }
    bool hasInput() const { return m_hasInput; }

    pa_context *context() const { return m_context; }
    void lock();
    void unlock();
    // With the lock held: lets the loop run until `done` holds, for kAnswerMs at most.
    bool waitFor(const std::function<bool()> &done);

signals:
    void devicesChanged();

private:
    // With the lock held: drops the old connection and starts a new one without waiting.
    void startConnecting();
    void queryDevices();
    void connectionLost();

    pa_threaded_mainloop *m_loop;
    pa_context *m_context = nullptr;
    std::atomic<bool> m_hasOutput = false;
    std::atomic<bool> m_hasInput = false;
    bool m_devicesCounted = false; // since the connection was made, under the lock
    // While the server is away, a connection is tried again every second in the background.
    QTimer m_retry;
};

// Plays a clip on the default output of the moment; the server converts it to the device's
// format. The end is when the server has played everything out (a drain), not when the last
// byte was handed over, so the last syllable is heard.
class PulsePlayer : public QObject
{
    Q_OBJECT
public:
    explicit PulsePlayer(PulseServer *server);
    ~PulsePlayer() override;

    StartResult start(const AudioClip &clip, qint64 fromUSecs);
    void stop();
    qint64 positionUSecs() const;

signals:
    void finished();
    void failed();

private:
    void write(pa_stream *stream, std::size_t bytes);
    // Posts to the window's thread what happened to the stream it was given.
    void post(void (PulsePlayer::*handler)());
    void drained();
    void fail();
    void watch();
    void release();
    qint64 playedUSecs() const;

    PulseServer *m_server;
    pa_stream *m_stream = nullptr;
    // Counts streams, so that news of one already released is dropped.
    quint64 m_generation = 0;
    AudioClip m_clip;
    QByteArray m_bytes; // what is left of m_clip from where playing began
    qint64 m_written = 0;
    bool m_draining = false;
    qint64 m_startUSecs = 0;
    qint64 m_lengthUSecs = 0;
    qint64 m_stoppedAtUSecs = 0;
    qint64 m_lastPlayed = -1;
    QElapsedTimer m_sinceProgress;
    QTimer m_watch;
};

// Records 16-bit mono at 44.1 kHz from the default input of the moment into memory.
class PulseRecorder : public QObject
{
    Q_OBJECT
public:
    explicit PulseRecorder(PulseServer *server);
    ~PulseRecorder() override;

    StartResult start();
    AudioClip stop();
    qint64 recordedUSecs() const;
    float level() const;

signals:
    // The input went away or stopped delivering, or the recording is as long as a clip can be.
    void interrupted();

private:
    void read(pa_stream *stream);
    void watch();
    void release();

    PulseServer *m_server;
    pa_stream *m_stream = nullptr;
    quint64 m_generation = 0;
    QByteArray m_data;
    float m_level = 0;
    qint64 m_lastSize = 0;
    QElapsedTimer m_sinceData;
    QTimer m_watch;
};
