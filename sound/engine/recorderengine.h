// SPDX-License-Identifier: GPL-3.0-or-later

// The recorder's engine: the clip open in MMControl1, where playing has got to, what was
// recorded, and the transport's mode. It has no widgets; the bar shows what it reports.
//
// "Open" decodes the whole clip into memory, so a clip file is never held open and can be
// replaced or deleted at any time. The sound system plays the clip and records a new one that
// replaces it in memory until "Save" keeps it in the file. It is made by a factory on the first
// command that needs sound: the real one loads the sound module (sound/soundsystem.h), so
// start-up neither maps its libraries nor waits for the sound server; tests hand in a fake.
//
// The voice speaks the chosen item's text into the same place a recording goes: play, "Save"
// and "close" then treat it as they treat a recording, except that "Save" keeps a recording
// made with the microphone trimmed and evened and a synthetic one as it came.
#pragma once

#include "sound/engine/recorder.h"
#include "sound/soundsystem.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class SlowCopies;
class Voice;

class RecorderEngine : public QObject
{
    Q_OBJECT
public:
    using SoundSystemFactory = std::function<std::unique_ptr<SoundSystem>()>;

    // Without a factory, the sound module installed with the program.
    explicit RecorderEngine(SoundSystemFactory factory = {}, QObject *parent = nullptr);
    ~RecorderEngine() override;

    // Takes effect at the first command that needs sound; tests hand in pretend devices.
    void setSoundSystemFactory(SoundSystemFactory factory);

    void setFileName(const QString &fileName);
    QString fileName() const;

    recorder::Result run(recorder::Command command);

    // While on, "play" plays a clip read from a file slower, its pitch kept (sound/slowcopies.h);
    // a recording not yet kept plays as it was made. A clip that is playing changes speed at
    // once, from where it has got to.
    void setSlow(bool slow);

    // Where the voice reads the text it speaks; speechTextChanged() when that text changes.
    void setSpeechText(std::function<QString()> text);
    void speechTextChanged();
    // Speaks the chosen item's text into the recording, when the state allows it.
    void speak();
    Voice *voice() const;

    recorder::Mode mode() const;
    const recorder::State &state() const;
    // The position in the clip, or the length recorded so far.
    qint64 elapsedMs() const;
    // Loudest sample of what was heard or recorded last, 0..1.
    float level() const;

signals:
    void modeChanged(recorder::Mode mode);
    void stateChanged(const recorder::State &state);
    // While a clip plays or records, for the clock and the meter; nothing else changes with it.
    void tick();
    // The voice has spoken into the recording, or no voice could speak the text; it can be
    // asked again.
    void speechFinished(bool spoken);

private:
    recorder::Result close();
    recorder::Result open();
    recorder::Result rewind();
    recorder::Result play();
    recorder::Result pause();
    recorder::Result stop();
    recorder::Result record();
    recorder::Result save();
    void speechArrived(AudioClip spoken);

    // What "play" sounds: the clip, or its slow copy.
    const AudioClip &heardClip();
    StartResult startHearing(const AudioClip &clip, qint64 fromUSecs);
    static recorder::Result failedStart(StartResult started);
    // Loads the sound system on first use; nullptr where there is none.
    SoundSystem *soundSystem();
    void finishRecording();
    void playbackEnded();
    // The one way back to the start of the clip, stopped.
    void backToStart();
    void setMode(recorder::Mode mode);
    void refreshDevices();
    void refreshState();

    SoundSystemFactory m_factory;
    QString m_fileName;
    AudioClip m_clip;
    // What the sink was last given: m_clip, or its slow copy. Positions are within it.
    AudioClip m_heard;
    bool m_slow = false;
    // Made when slow speech is first asked for, so a window that never asks loads none of it.
    std::unique_ptr<SlowCopies> m_slowCopies;
    // What m_clip is when "Save" has not kept it yet: a recording, or the voice's.
    enum class Recording { None, Microphone, Synthetic };
    Recording m_recording = Recording::None;
    qint64 m_positionUSecs = 0;
    recorder::State m_state;
    recorder::State m_shown; // as stateChanged() last told it

    // Every mode but NotOpen is entered through open(), which has made sure of m_sound.
    std::unique_ptr<SoundSystem> m_sound;
    Voice *m_voice;
    std::function<QString()> m_speechText;
    QTimer m_tick;
    QTimer m_devicePoll;
};
