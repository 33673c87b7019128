// SPDX-License-Identifier: GPL-3.0-or-later

// The plain arithmetic done on a clip in memory (sound/soundsystem.h holds the clip itself).
//
// Whatever a WAV file held (8-bit, 24-bit, µ-law, ADPCM...) is decoded once into 32-bit float
// samples with the channels interleaved; the player turns those into the bytes the output
// device takes, the recorder turns the device's bytes back into them and the WAV writer stores
// them as 16-bit PCM. No audio device is needed for anything here.
//
// Only the sound module compiles these, so only the module and what links it (its tests, the
// benchmarks) include this header. It names QAudioFormat, whose headers the program's side is
// not given: an include from there fails to compile rather than to link.
#pragma once

#include "sound/soundsystem.h"

#include <QAudioFormat>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

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
