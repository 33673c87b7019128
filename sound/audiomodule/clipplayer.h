// SPDX-License-Identifier: GPL-3.0-or-later

// Plays an AudioClip through the default output device with a QAudioSink.
//
// The sink runs in push mode: start() writes as much of the clip as the device takes at once,
// so the first samples go out without waiting for a timer, and a 10 ms timer tops the buffer
// up on the event thread. start() returns at once; the window stays responsive while a clip
// plays.
//
// The end of a clip is when processedUSecs() reaches its length, not the sink's IdleState,
// which comes while the last samples are still on their way to the loudspeaker. Silence is
// fed after the clip so that the device keeps counting, and the stream is kept open a little
// longer so the tail is heard before the stream closes.
//
// A device that goes away shows up as a stopped sink with an error or as a count that no
// longer advances; either ends the clip with failed().
#pragma once

#include "sound/audiomodule/audioclip.h"
#include "sound/soundsystem.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAudioSink;
class QIODevice;

class ClipPlayer : public QObject
{
    Q_OBJECT
public:
    explicit ClipPlayer(QObject *parent = nullptr);
    ~ClipPlayer() override;

    // Plays `clip` from `fromUSecs` on the current default output, stopping what played before.
    StartResult start(const AudioClip &clip, qint64 fromUSecs);
    // Stops at once; positionUSecs() then tells where the listener was.
    void stop();
    // Time within the clip last heard.
    qint64 positionUSecs() const;

signals:
    void finished();
    void failed();

private:
    enum class Phase { Idle, Playing, Tail };

    QAudioFormat outputFormat(const QAudioDevice &device, const AudioClip &clip) const;
    void prepareSink(const QAudioDevice &device, const QAudioFormat &format);
    void feed();
    void fail();
    void release();
    qint64 playedUSecs() const;

    QAudioSink *m_sink = nullptr;
    QAudioDevice m_device;
    QIODevice *m_output = nullptr;
    AudioClip m_clip; // holds the samples that m_bytes may point into
    QByteArray m_bytes;
    QByteArray m_silence;
    qint64 m_written = 0;
    qint64 m_startUSecs = 0;
    qint64 m_lengthUSecs = 0;
    qint64 m_stoppedAtUSecs = 0;
    qint64 m_lastProcessed = -1;
    Phase m_phase = Phase::Idle;
    QElapsedTimer m_sinceProgress;
    QElapsedTimer m_sinceEnd;
    QTimer m_feedTimer;
};
