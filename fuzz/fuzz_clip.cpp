// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the clip decoder: whatever bytes lie at a clip's name, "Open" must
// either refuse them or give a clip the player can use, and a kept recording of that clip
// must read back as the same clip.
//
// The checks abort on a mismatch, which libFuzzer reports like a crash with the input saved.
#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"

#include <QBuffer>
#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

ClipReadResult readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readClip(buffer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const ClipReadResult read = readBytes(bytes);
    if (read.error != ClipReadError::None)
        return 0;

    const AudioClip &clip = read.clip;
    require(clip.sampleRate > 0, "a decoded clip has a rate");
    require(clip.channelCount > 0, "a decoded clip has channels");
    require(clip.samples.size() % clip.channelCount == 0, "whole frames only");
    require(clip.durationUSecs() <= kMaxClipUSecs, "no longer than the longest clip");
    for (const float sample : clip.samples)
        require(std::isfinite(sample), "no NaN or infinity reaches the player");
    if (clip.isEmpty())
        return 0;

    // What the player hands a typical output device, from near the end of the clip where a
    // position rounding up would step past it. Only the last frames: a clip of a few frames a
    // second grows a hundredfold when fitted, which is slow and proves nothing more.
    const qint64 tail = std::min<qint64>(clip.frameCount(), 16);
    const AudioClip fitted = convertedClip(clip, clip.frameCount() - tail, 48000, 2);
    require(fitted.channelCount == 2 && fitted.samples.size() % 2 == 0, "fitted to the device");
    const AudioClip mono = convertedClip(clip, clip.frameCount() - tail, 22050, 1);
    require(mono.samples.size() == mono.frameCount(), "fitted to a mono device");

    // What "Save" keeps: 16-bit PCM at the clip's rate and channels, read back frame for frame.
    // Recordings come from sound cards, so only their rates are kept this way.
    if (clip.sampleRate < 8000 || clip.sampleRate > 192000)
        return 0;
    QBuffer saved;
    saved.open(QIODevice::ReadWrite);
    require(writeWav16(clip, saved) == ClipWriteError::None, "a decoded clip can be kept");
    const ClipReadResult again = readBytes(saved.data());
    require(again.error == ClipReadError::None, "a kept clip opens again");
    require(again.clip.sampleRate == clip.sampleRate, "rate kept");
    require(again.clip.channelCount == clip.channelCount, "channels kept");
    require(again.clip.frameCount() == clip.frameCount(), "length kept");
    return 0;
}
