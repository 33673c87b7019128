// SPDX-License-Identifier: GPL-3.0-or-later

// Records from the default input device into memory with a QAudioSource.
//
// The source writes into a buffer of this class as the device delivers; stop() hands the
// recording over as an AudioClip, which the media control plays back or keeps with "Save".
// The format is 16-bit mono at 44.1 kHz, or the device's own where it takes nothing else.
//
// A device that goes away (a stopped source with an error, or no sound for a while) and a
// recording that reaches kMaxClipUSecs end with interrupted(); what was recorded is kept
// for stop().
#pragma once

#include "sound/audiomodule/audioclip.h"
#include "sound/soundsystem.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAudioSource;
class CaptureBuffer;

class ClipRecorder : public QObject
{
    Q_OBJECT
public:
    explicit ClipRecorder(QObject *parent = nullptr);
    ~ClipRecorder() override;

    StartResult start();
    AudioClip stop();
    qint64 recordedUSecs() const;
    // Loudest sample of the last block that came in, 0..1.
    float level() const;

signals:
    void interrupted();

private:
    void watch();

    QAudioSource *m_source = nullptr;
    CaptureBuffer *m_buffer = nullptr;
    QAudioFormat m_format;
    qint64 m_lastSize = 0;
    QElapsedTimer m_sinceData;
    QTimer m_watchTimer;
};
