// SPDX-License-Identifier: GPL-3.0-or-later

// Test clips made on the spot with libsndfile, in every WAV encoding a school may have, and
// the two numbers the sound tests compare: peak and energy of the mono mix.
#pragma once

#include "restorers.h"
#include "sound/soundsystem.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <sndfile.h>

#include <cmath>
#include <vector>

namespace soundclips {

constexpr double kPi = 3.14159265358979323846;

// A 440 Hz tone; with `leftOnly` the right channel stays silent, so a player that loses or
// swaps channels changes the mix.
inline AudioClip tone(int rate, int channels, double seconds, float amplitude, bool leftOnly = false)
{
    AudioClip clip;
    clip.sampleRate = rate;
    clip.channelCount = channels;
    const qint64 frames = qint64(seconds * rate);
    clip.samples.resize(frames * channels);
    for (qint64 i = 0; i < frames; ++i) {
        const float value = amplitude * float(std::sin(2 * kPi * 440.0 * double(i) / rate));
        for (int c = 0; c < channels; ++c)
            clip.samples[i * channels + c] = (leftOnly && c > 0) ? 0.0f : value;
    }
    return clip;
}

// What a microphone catches of one spoken item: `before` seconds of room, the voice (a tone
// here), `after` seconds of room; the room is digital silence or, with `hiss`, white noise of
// that amplitude. The same seed gives the same hiss.
inline AudioClip spokenInARoom(int rate, int channels, double before, const AudioClip &voice,
                               double after, float hiss)
{
    AudioClip clip {rate, channels, {}};
    const qint64 beforeFrames = qint64(before * rate);
    const qint64 frames = beforeFrames + voice.frameCount() + qint64(after * rate);
    clip.samples.resize(frames * channels);
    quint32 seed = 12345;
    for (float &sample : clip.samples) {
        seed = seed * 1664525u + 1013904223u;
        sample = hiss * (float(seed >> 8) / float(1 << 24) * 2 - 1);
    }
    for (qsizetype i = 0; i < voice.samples.size(); ++i)
        clip.samples[beforeFrames * channels + i] += voice.samples[i];
    return clip;
}

inline std::vector<float> monoMix(const AudioClip &clip)
{
    std::vector<float> mix(size_t(clip.frameCount()));
    for (size_t i = 0; i < mix.size(); ++i) {
        float sum = 0;
        for (int c = 0; c < clip.channelCount; ++c)
            sum += clip.samples[qsizetype(i) * clip.channelCount + c];
        mix[i] = sum / clip.channelCount;
    }
    return mix;
}

// Sum of squares of the mono mix over one second's worth of frames: the same for a clip and
// for the sound captured from it, whatever the rates and however much silence surrounds it.
inline double energy(const AudioClip &clip)
{
    double sum = 0;
    for (float s : monoMix(clip))
        sum += double(s) * s;
    return clip.sampleRate > 0 ? sum / clip.sampleRate : 0;
}

inline float peak(const AudioClip &clip)
{
    float result = 0;
    for (float s : monoMix(clip))
        result = std::max(result, std::abs(s));
    return result;
}

// Writes the clip with the given libsndfile WAV subtype (SF_FORMAT_PCM_U8, SF_FORMAT_ULAW...).
inline bool writeWav(const QString &path, const AudioClip &clip, int subtype)
{
    SF_INFO info {};
    info.samplerate = clip.sampleRate;
    info.channels = clip.channelCount;
    info.format = SF_FORMAT_WAV | subtype;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const sf_count_t written = sf_writef_float(file, clip.samples.constData(), clip.frameCount());
    return sf_close(file) == 0 && written == clip.frameCount();
}

// What a command test leaves where the control looks for its clip: "clip" a short tone, "text"
// a file that is not sound; any other kind leaves nothing there.
inline bool putClipFile(const QString &path, const QString &kind)
{
    if (kind == u"clip")
        return writeWav(path, tone(22050, 1, 0.2, 0.5f), SF_FORMAT_PCM_16);
    // Longer than a clip may be (10 minutes), small on disk.
    if (kind == u"long")
        return writeWav(path, tone(1000, 1, 624.0, 0.5f), SF_FORMAT_PCM_U8);
    if (kind == u"text") {
        QFile text(path);
        return text.open(QIODevice::WriteOnly) && text.write("Animals\r\nEl gat dorm.\r\n") > 0;
    }
    return true;
}

struct WavInfo
{
    int format = 0;
    int sampleRate = 0;
    int channels = 0;
    AudioClip clip;
};

// Reads a WAV file back with libsndfile itself, so a test does not trust the reader it tests.
inline WavInfo readWav(const QString &path)
{
    WavInfo result;
    SF_INFO info {};
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return result;
    result.format = info.format;
    result.sampleRate = info.samplerate;
    result.channels = info.channels;
    result.clip.sampleRate = info.samplerate;
    result.clip.channelCount = info.channels;
    result.clip.samples.resize(info.frames * info.channels);
    const sf_count_t read = sf_readf_float(file, result.clip.samples.data(), info.frames);
    result.clip.samples.resize(read * info.channels);
    sf_close(file);
    return result;
}

// Points HOME and XDG_DATA_HOME somewhere of the test's own, so the trash is one it can look
// into; restores them when it goes.
class PrivateHome
{
public:
    explicit PrivateHome(const QString &home, const QString &dataHome)
        : m_home("HOME", QFile::encodeName(home)),
          m_dataHome("XDG_DATA_HOME", QFile::encodeName(dataHome))
    {
    }

private:
    EnvironmentRestorer m_home;
    EnvironmentRestorer m_dataHome;
};

} // namespace soundclips
