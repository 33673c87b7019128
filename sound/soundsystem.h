// SPDX-License-Identifier: GPL-3.0-or-later

// The boundary between the program and its sound modules: every type both sides use, and the
// sound system as MMControl1 sees it (reading and keeping clip files, playing a clip and
// recording one, and the devices there are).
//
// The module (luvana_audio) is the only part of the program that needs Qt Multimedia and
// libsndfile; the program loads it on the first command that needs sound (sound/soundloader.h),
// so that starting the window maps and relocates none of the two dozen libraries behind them
// (the sound server's client, codecs, Kerberos...). Nothing here is compiled on either side but
// inline code: what only the module compiles (sound/audiomodule/audioclip.h,
// sound/audiomodule/wavfile.h) is private to it. The program and the module each have their own
// copy of whatever meta-objects they share, so nothing crosses between them as a signal: the module
// calls back through plain functions.
#pragma once

#include "platform/filetrash.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cmath>
#include <functional>

// A clip in memory. Whatever a WAV file held is decoded once into 32-bit float samples with
// the channels interleaved.
struct AudioClip
{
    int sampleRate = 0;
    int channelCount = 0;
    QList<float> samples; // frame by frame, the channels of a frame side by side

    qint64 frameCount() const { return channelCount > 0 ? samples.size() / channelCount : 0; }
    qint64 durationUSecs() const
    {
        return sampleRate > 0 ? frameCount() * 1000000 / sampleRate : 0;
    }
    bool isEmpty() const { return frameCount() == 0; }
    // The first frame at or after the time, clamped to the clip.
    qint64 frameAt(qint64 usecs) const
    {
        if (usecs <= 0 || sampleRate <= 0)
            return 0;
        // Rounded up, so a position taken from frameAt and turned back into time never moves
        // back.
        const qint64 frame = (usecs * sampleRate + 999999) / 1000000;
        return std::min(frame, frameCount());
    }
};

// The longest clip held in memory, played or recorded: far beyond any spoken item, and short
// enough that a huge or mislabelled file cannot exhaust the memory of a school computer.
constexpr qint64 kMaxClipUSecs = 10 * 60 * qint64(1000000);

// Loudest absolute sample value in [begin, end), 0 for an empty range.
inline float peakLevel(const float *begin, const float *end)
{
    float peak = 0;
    for (const float *s = begin; s < end; ++s)
        peak = std::max(peak, std::abs(*s));
    return peak;
}

// Below this peak a clip holds no voice at all: a muted or unplugged microphone gives zeros,
// or a hiss far under it (-60 dBFS).
inline constexpr float kSilencePeak = 0.001f;

inline bool isSilent(const AudioClip &clip)
{
    const float *samples = clip.samples.constData();
    return peakLevel(samples, samples + clip.samples.size()) < kSilencePeak;
}

enum class ClipReadError { None, NoFile, Unreadable, NotAudio, TooLong };

struct [[nodiscard]] ClipReadResult
{
    ClipReadError error = ClipReadError::None;
    AudioClip clip;
};

// How keeping a recording as a clip file ended (sound/wavfile.h says what each means).
enum class [[nodiscard]] ClipSaveResult {Saved, WriteFailed, OldClipKept};

// The trash that takes the clip a kept recording replaces: the program's (platform/filetrash.h),
// handed over so that the module need not carry a copy of it, or one a test makes refuse.
using TrashFunction = TrashResult (*)(const QString &path);

// Whether playing or recording began, for the player, the recorder and the system alike.
enum class StartResult { Started, NoDevice, Refused };

class SoundSystem
{
public:
    virtual ~SoundSystem() = default;

    virtual ClipReadResult readClipFile(const QString &path) = 0;
    // A WAV in memory, as the synthetic voice writes it into a pipe (sound/wavfile.h:
    // withStreamedSizes()).
    virtual ClipReadResult readClipBytes(const QByteArray &wav) = 0;
    // A microphone's recording as "Save" keeps it (sound/audioclip.h).
    virtual AudioClip keptRecording(const AudioClip &recording) = 0;
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

// The slow-speech module (luvana_slow, sound/slowmodule/slowclip.h), which the program loads apart,
// and the speed of slow speech, as a share of the recorded speed.
inline constexpr double kSlowSpeed = 0.75;

// What the module exports, unmangled, under kSlowClip: writes into `slowed` the clip played at
// `speed` times its tempo, its pitch unchanged; a clip that cannot be stretched (no sound, more
// channels than SoundTouch takes) is copied as it is.
using SlowClipFunction = void (*)(const AudioClip *clip, double speed, AudioClip *slowed);
inline constexpr char kSlowClip[] = "luvana_slowClip";
