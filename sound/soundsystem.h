// SPDX-License-Identifier: GPL-3.0-or-later

// The sound system as MMControl1 sees it: reading and keeping clip files, playing a clip and
// recording one, and the devices there are.
//
// It lives in a module of its own (luvana_audio), the only part of the program that needs Qt
// Multimedia and libsndfile; loadSoundSystem() loads it on the first command that needs sound,
// so that starting the window maps and relocates none of the two dozen libraries behind them
// (the sound server's client, codecs, Kerberos...). The program and the module each have their
// own copy of whatever meta-objects they share, so nothing crosses between them as a signal:
// the module calls back through plain functions instead.
#pragma once

#include "sound/audioclip.h"
#include "sound/wavfile.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// Whether playing or recording began, for the player, the recorder and the system alike.
enum class StartResult { Started, NoDevice, Refused };

class SoundSystem
{
public:
    virtual ~SoundSystem() = default;

    virtual ClipReadResult readClipFile(const QString &path) = 0;
    // A WAV in memory, as the synthetic voice writes it into a pipe (withStreamedSizes()).
    virtual ClipReadResult readClipBytes(const QByteArray &wav) = 0;
    // A microphone's recording as "Save" keeps it (sound/audioclip.h).
    virtual AudioClip keptRecording(const AudioClip &recording) = 0;
    // The program hands over its trash, so that the module need not carry a copy of it.
    virtual ClipSaveResult saveClipFile(const AudioClip &clip, const QString &path,
                                        TrashFunction trash) = 0;

    virtual bool hasOutput() const = 0;
    virtual bool hasInput() const = 0;

    // Plays on the default output at the moment of the call, stopping what played before.
    virtual StartResult startPlayback(const AudioClip &clip, qint64 fromUSecs) = 0;
    virtual void stopPlayback() = 0;
    // Time within the clip last heard, playing or stopped.
    virtual qint64 positionUSecs() const = 0;

    // Records from the default input at the moment of the call.
    virtual StartResult startRecording() = 0;
    // What was recorded; an empty clip when nothing was.
    virtual AudioClip stopRecording() = 0;
    virtual qint64 recordedUSecs() const = 0;
    // Loudest sample of the last block that came in, 0..1.
    virtual float level() const = 0;

    // Called from the event loop; each may be left empty.
    std::function<void()> playbackFinished;
    std::function<void()> playbackFailed;       // the device went away
    std::function<void()> recordingInterrupted; // the device went away, or the clip is full
    std::function<void()> devicesChanged;
};

// What the module exports, unmangled, under kCreateSoundSystem.
using CreateSoundSystem = SoundSystem *(*)();
inline constexpr char kCreateSoundSystem[] = "luvana_createSoundSystem";

// The module installed with the program, or nothing where it cannot be loaded: then there is
// no sound, as on a computer without a sound card, and standard error says why.
std::unique_ptr<SoundSystem> loadSoundSystem();

// A function of a module installed with the program (`relative` to the program's folder, or
// beside it); nothing, with the reasons added to `reasons`, where it cannot be loaded.
QFunctionPointer resolveModule(const QString &relative, const char *symbol, QStringList *reasons);
