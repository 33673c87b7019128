// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/audioclip.h"

#include <QtEndian>

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

float sourceSample(const AudioClip &clip, qint64 frame, int channel, int targetChannels)
{
    const float *f = clip.samples.constData() + frame * clip.channelCount;
    if (clip.channelCount == targetChannels)
        return f[channel];
    if (targetChannels == 1) {
        float sum = 0;
        for (int c = 0; c < clip.channelCount; ++c)
            sum += f[c];
        return sum / clip.channelCount;
    }
    return f[std::min(channel, clip.channelCount - 1)];
}

} // namespace

AudioClip convertedClip(const AudioClip &clip, qint64 fromFrame, int sampleRate, int channelCount)
{
    AudioClip out;
    out.sampleRate = sampleRate;
    out.channelCount = channelCount;
    const qint64 frames = clip.frameCount() - std::clamp<qint64>(fromFrame, 0, clip.frameCount());
    if (frames <= 0 || sampleRate <= 0 || channelCount <= 0 || clip.sampleRate <= 0)
        return out;

    const qint64 outFrames = frames * sampleRate / clip.sampleRate;
    out.samples.resize(outFrames * channelCount);
    float *dest = out.samples.data();
    const double step = double(clip.sampleRate) / sampleRate;
    for (qint64 i = 0; i < outFrames; ++i) {
        const double at = i * step;
        const qint64 left = std::min<qint64>(qint64(at), frames - 1);
        const qint64 right = std::min<qint64>(left + 1, frames - 1);
        const float weight = float(at - left);
        for (int c = 0; c < channelCount; ++c) {
            const float a = sourceSample(clip, fromFrame + left, c, channelCount);
            const float b = sourceSample(clip, fromFrame + right, c, channelCount);
            *dest++ = a + (b - a) * weight;
        }
    }
    return out;
}

namespace {

template<typename Int>
Int scaled(float sample)
{
    // The same scale as reading back (-1.0 is the lowest value, full scale one step short of
    // +1.0), rounded, so a sample survives a round trip to within half a step.
    constexpr double kLowest = double(std::numeric_limits<Int>::min());
    constexpr double kHighest = double(std::numeric_limits<Int>::max());
    if (std::isnan(sample))
        return 0;
    return Int(std::clamp(std::round(double(sample) * -kLowest), kLowest, kHighest));
}

} // namespace

QByteArray samplesToBytes(const float *samples, qsizetype count, QAudioFormat::SampleFormat format)
{
    QByteArray bytes;
    switch (format) {
    case QAudioFormat::UInt8:
        bytes.resize(count);
        for (qsizetype i = 0; i < count; ++i)
            bytes[i] = char(quint8(scaled<qint8>(samples[i]) + 128));
        break;
    case QAudioFormat::Int16:
        bytes.resize(count * 2);
        for (qsizetype i = 0; i < count; ++i)
            qToLittleEndian<qint16>(scaled<qint16>(samples[i]), bytes.data() + i * 2);
        break;
    case QAudioFormat::Int32:
        bytes.resize(count * 4);
        for (qsizetype i = 0; i < count; ++i)
            qToLittleEndian<qint32>(scaled<qint32>(samples[i]), bytes.data() + i * 4);
        break;
    case QAudioFormat::Float:
        bytes.resize(count * 4);
        std::memcpy(bytes.data(), samples, count * 4);
        break;
    case QAudioFormat::Unknown:
    case QAudioFormat::NSampleFormats:
        break;
    }
    return bytes;
}

QList<float> bytesToSamples(QByteArrayView bytes, QAudioFormat::SampleFormat format)
{
    QList<float> samples;
    const char *data = bytes.data();
    switch (format) {
    case QAudioFormat::UInt8:
        samples.resize(bytes.size());
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = (int(quint8(data[i])) - 128) / 128.0f;
        break;
    case QAudioFormat::Int16:
        samples.resize(bytes.size() / 2);
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = qFromLittleEndian<qint16>(data + i * 2) / 32768.0f;
        break;
    case QAudioFormat::Int32:
        samples.resize(bytes.size() / 4);
        for (qsizetype i = 0; i < samples.size(); ++i)
            samples[i] = float(qFromLittleEndian<qint32>(data + i * 4) / 2147483648.0);
        break;
    case QAudioFormat::Float:
        samples.resize(bytes.size() / 4);
        std::memcpy(samples.data(), data, samples.size() * 4);
        break;
    case QAudioFormat::Unknown:
    case QAudioFormat::NSampleFormats:
        break;
    }
    return samples;
}

namespace {

// The envelope is read in blocks this long: short enough that a cut lands within a syllable's
// onset, long enough that one block of hiss does not look like a voice.
constexpr qint64 kBlockUSecs = 10000;
// Blocks quieter than this share of the clip are its noise floor.
constexpr double kFloorQuantile = 0.1;
// A voice is 12 dB above the floor at least...
constexpr float kAboveFloor = 4.0f;
// ...and never need be closer than 12 dB to the loudest block: a clip with no pause at all
// has its floor in the voice itself.
constexpr float kBelowLoudest = 0.25f;
// Digital silence has no floor; -60 dBFS is below any voice and above any dither.
constexpr float kQuietest = 0.001f;
// The most a quiet recording is raised: more only turns the room's hiss into a roar.
constexpr double kMaxGainDb = 30.0;

std::vector<float> blockLevels(const AudioClip &clip, qint64 blockFrames)
{
    const qint64 frames = clip.frameCount();
    std::vector<float> levels;
    levels.reserve(size_t((frames + blockFrames - 1) / blockFrames));
    const float *samples = clip.samples.constData();
    for (qint64 from = 0; from < frames; from += blockFrames) {
        const qint64 to = std::min(from + blockFrames, frames);
        double sum = 0;
        for (qint64 i = from * clip.channelCount; i < to * clip.channelCount; ++i)
            sum += double(samples[i]) * samples[i];
        levels.push_back(float(std::sqrt(sum / double((to - from) * clip.channelCount))));
    }
    return levels;
}

AudioClip framesOf(const AudioClip &clip, qint64 from, qint64 to)
{
    AudioClip out;
    out.sampleRate = clip.sampleRate;
    out.channelCount = clip.channelCount;
    out.samples = clip.samples.mid(from * clip.channelCount, (to - from) * clip.channelCount);
    return out;
}

} // namespace

AudioClip trimmedSilence(const AudioClip &clip, qint64 marginUSecs)
{
    if (clip.isEmpty() || clip.sampleRate <= 0)
        return clip;
    const qint64 blockFrames = std::max<qint64>(1, clip.sampleRate * kBlockUSecs / 1000000);
    const std::vector<float> levels = blockLevels(clip, blockFrames);

    std::vector<float> sorted = levels;
    const auto floorAt = sorted.begin() + qsizetype(double(sorted.size() - 1) * kFloorQuantile);
    std::nth_element(sorted.begin(), floorAt, sorted.end());
    const float floor = *floorAt;
    const float loudest = *std::max_element(levels.begin(), levels.end());
    const float threshold = std::min(std::max(floor * kAboveFloor, kQuietest),
                                     loudest * kBelowLoudest);

    const auto first = std::find_if(levels.begin(), levels.end(),
                                    [threshold](float level) { return level > threshold; });
    if (first == levels.end())
        return clip;
    const auto last = std::find_if(levels.rbegin(), levels.rend(),
                                   [threshold](float level) { return level > threshold; });
    const qint64 margin = marginUSecs * clip.sampleRate / 1000000;
    const qint64 from = std::max<qint64>(0, qint64(first - levels.begin()) * blockFrames - margin);
    const qint64 to = std::min(clip.frameCount(),
                               qint64(levels.rend() - last) * blockFrames + margin);
    return framesOf(clip, from, to);
}

std::optional<double> integratedLoudness(const AudioClip &clip)
{
    if (clip.isEmpty() || clip.sampleRate <= 0)
        return std::nullopt;
    const std::unique_ptr<ebur128_state, void (*)(ebur128_state *)> state(
            ebur128_init(unsigned(clip.channelCount), static_cast<unsigned long>(clip.sampleRate),
                         EBUR128_MODE_I),
            [](ebur128_state *st) { ebur128_destroy(&st); });
    if (!state
        || ebur128_add_frames_float(state.get(), clip.samples.constData(), size_t(clip.frameCount()))
                != EBUR128_SUCCESS)
        return std::nullopt;
    double loudness = 0;
    // Below the absolute gate (-70 LUFS) or shorter than one 400 ms block: -inf.
    if (ebur128_loudness_global(state.get(), &loudness) != EBUR128_SUCCESS
        || !std::isfinite(loudness))
        return std::nullopt;
    return loudness;
}

AudioClip evenedLoudness(const AudioClip &clip, double targetLufs, double ceilingDbfs)
{
    const std::optional<double> loudness = integratedLoudness(clip);
    const float peak = peakLevel(clip.samples.constData(),
                                 clip.samples.constData() + clip.samples.size());
    if (!loudness || peak <= 0)
        return clip;
    const double gainDb = std::min(
            {targetLufs - *loudness, kMaxGainDb, ceilingDbfs - 20 * std::log10(double(peak))});
    const float gain = float(std::pow(10.0, gainDb / 20));
    AudioClip out = clip;
    for (float &sample : out.samples)
        sample *= gain;
    return out;
}

AudioClip keptRecording(const AudioClip &clip)
{
    return evenedLoudness(trimmedSilence(clip));
}
