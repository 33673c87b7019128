// SPDX-License-Identifier: GPL-3.0-or-later

// A clip in memory, and the plain arithmetic done on it.
//
// Whatever a WAV file held (8-bit, 24-bit, µ-law, ADPCM...) is decoded once into 32-bit float
// samples with the channels interleaved; the player turns those into the bytes the output
// device takes, the recorder turns the device's bytes back into them, the level meter reads
// them and the WAV writer stores them as 16-bit PCM. No audio device is needed for anything
// here.
//
// The struct and peakLevel() are inline because both sides use them: the media control in the
// program, and the sound module, which alone compiles audioclip.cpp.
#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <algorithm>
#include <cmath>
#include <optional>

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

// The clip from `fromFrame` on, resampled (linear interpolation) and with its channels
// mixed for a device that takes only `sampleRate` and `channelCount`. Mono goes to every
// channel; more channels down to mono are averaged; otherwise channels beyond the first
// `channelCount` are dropped and missing ones repeat the last.
AudioClip convertedClip(const AudioClip &clip, qint64 fromFrame, int sampleRate, int channelCount);

// Samples as the bytes of a device format, and back. Out-of-range floats are clipped.
QByteArray samplesToBytes(const float *samples, qsizetype count, QAudioFormat::SampleFormat format);
QList<float> bytesToSamples(QByteArrayView bytes, QAudioFormat::SampleFormat format);

// What "Save" does to a recording made with the strip's microphone before it keeps it: a clip
// that starts when the voice does, at the same loudness as every other item's clip, so that a
// pupil never strains for one item and then jumps at the next. A synthetic voice or a clip read
// from a file is kept as it is. These need libebur128, so only the sound module has them.
inline constexpr qint64 kTrimMarginUSecs = 150000;
inline constexpr double kTargetLufs = -20.0;
inline constexpr double kPeakCeilingDbfs = -1.0;

// The clip less its leading and trailing silence, `marginUSecs` of it left on either side.
// Silence is measured against the clip's own noise floor (the hiss of its microphone), so a
// quiet room and a noisy one are cut alike. A clip that is all silence comes back whole.
AudioClip trimmedSilence(const AudioClip &clip, qint64 marginUSecs = kTrimMarginUSecs);
// EBU R128 integrated loudness, in LUFS; nothing for a clip too short or too quiet to measure.
std::optional<double> integratedLoudness(const AudioClip &clip);
// The clip brought to `targetLufs`, but never with a sample beyond `ceilingDbfs`; a clip that
// cannot be measured comes back as it is.
AudioClip evenedLoudness(const AudioClip &clip, double targetLufs = kTargetLufs,
                         double ceilingDbfs = kPeakCeilingDbfs);
// Both, as a kept recording gets them.
AudioClip keptRecording(const AudioClip &clip);

// Loudest absolute sample value in [begin, end), 0 for an empty range.
inline float peakLevel(const float *begin, const float *end)
{
    float peak = 0;
    for (const float *s = begin; s < end; ++s)
        peak = std::max(peak, std::abs(*s));
    return peak;
}
