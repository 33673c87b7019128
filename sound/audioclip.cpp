#include "sound/audioclip.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

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
