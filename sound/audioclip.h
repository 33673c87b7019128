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

// Loudest absolute sample value in [begin, end), 0 for an empty range.
inline float peakLevel(const float *begin, const float *end)
{
    float peak = 0;
    for (const float *s = begin; s < end; ++s)
        peak = std::max(peak, std::abs(*s));
    return peak;
}
