// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/wavfile.h"

#include "sound/audiomodule/riffcheck.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

QIODevice *deviceOf(void *user)
{
    return static_cast<QIODevice *>(user);
}

sf_count_t deviceLength(void *user)
{
    return deviceOf(user)->size();
}

sf_count_t deviceSeek(sf_count_t offset, int whence, void *user)
{
    QIODevice *device = deviceOf(user);
    qint64 target = offset;
    if (whence == SEEK_CUR)
        target += device->pos();
    else if (whence == SEEK_END)
        target += device->size();
    if (target < 0 || !device->seek(target))
        return -1;
    return device->pos();
}

sf_count_t deviceRead(void *data, sf_count_t count, void *user)
{
    const qint64 read = deviceOf(user)->read(static_cast<char *>(data), count);
    return read < 0 ? 0 : read;
}

sf_count_t deviceWrite(const void *data, sf_count_t count, void *user)
{
    const qint64 written = deviceOf(user)->write(static_cast<const char *>(data), count);
    return written < 0 ? 0 : written;
}

sf_count_t deviceTell(void *user)
{
    return deviceOf(user)->pos();
}

SF_VIRTUAL_IO deviceIo()
{
    return {deviceLength, deviceSeek, deviceRead, deviceWrite, deviceTell};
}

// More channels than any sound card a school has: a header claiming them is damaged.
constexpr int kMaxChannels = 8;
// The memory a clip may take whatever its rate and channels: as much as the longest clip in
// 48 kHz stereo. A limit on time alone would let a few bytes that declare eight channels at
// a megahertz ask for gigabytes.
constexpr qint64 kMaxClipSamples = kMaxClipUSecs / 1000000 * 48000 * 2;
// No encoding takes more than eight bytes a sample; beyond that, room for tags and pictures.
constexpr qint64 kMaxClipFileBytes = kMaxClipSamples * 8 + 64 * 1024 * 1024;

// The whole file is in memory before libsndfile sees it, so that it can be checked for damage
// that would hang the decoder.
ClipReadResult decodeClip(const QByteArray &bytes)
{
    ClipReadResult result;
    if (mightHangDecoder(bytes)) {
        result.error = ClipReadError::NotAudio;
        return result;
    }
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    SF_VIRTUAL_IO io = deviceIo();
    SF_INFO info {};
    SNDFILE *file = sf_open_virtual(&io, SFM_READ, &info, &device);
    if (!file) {
        result.error = ClipReadError::NotAudio;
        return result;
    }
    if (info.samplerate <= 0 || info.channels <= 0 || info.channels > kMaxChannels) {
        sf_close(file);
        result.error = ClipReadError::NotAudio;
        return result;
    }

    AudioClip &clip = result.clip;
    clip.sampleRate = info.samplerate;
    clip.channelCount = info.channels;
    const qint64 maxFrames = std::min(kMaxClipUSecs / 1000000 * info.samplerate,
                                      kMaxClipSamples / info.channels);
    // The frame count in a header can lie (or be unknown): it only sizes the first allocation,
    // and reading goes on until the data ends.
    constexpr sf_count_t kChunkFrames = 8192;
    if (info.frames > 0 && info.frames <= maxFrames)
        clip.samples.reserve((info.frames + kChunkFrames) * info.channels);
    qint64 frames = 0;
    for (;;) {
        clip.samples.resize((frames + kChunkFrames) * info.channels);
        const sf_count_t read = sf_readf_float(file, clip.samples.data() + frames * info.channels,
                                               kChunkFrames);
        if (read <= 0)
            break;
        frames += read;
        if (frames > maxFrames) {
            sf_close(file);
            return {ClipReadError::TooLong, {}};
        }
    }
    sf_close(file);
    clip.samples.resize(frames * info.channels);
    // A float file may carry NaN or infinity; the output device must never see them.
    for (float &sample : clip.samples) {
        if (!std::isfinite(sample))
            sample = 0;
    }
    return result;
}

} // namespace

ClipReadResult readClip(QIODevice &device)
{
    if (device.size() > kMaxClipFileBytes)
        return {ClipReadError::TooLong, {}};
    return decodeClip(device.readAll());
}

ClipReadResult readClipBytes(const QByteArray &wav)
{
    QBuffer device;
    device.setData(withStreamedSizes(wav));
    device.open(QIODevice::ReadOnly);
    return readClip(device);
}

ClipReadResult readClipFile(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        return {ClipReadError::NoFile, {}};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return {ClipReadError::Unreadable, {}};
    // Read whole, not mapped: a clip on a network share that fails or shrinks while mapped
    // would bring the program down instead of failing a read.
    return readClip(file);
}

QByteArray withStreamedSizes(QByteArray wav)
{
    constexpr qsizetype kRiffHeader = 12;
    if (wav.size() < kRiffHeader || !wav.startsWith("RIFF") || wav.mid(8, 4) != "WAVE")
        return wav;
    qsizetype at = kRiffHeader;
    while (at + 8 <= wav.size() && wav.mid(at, 4) != "data") {
        const quint32 size = qFromLittleEndian<quint32>(wav.constData() + at + 4);
        at += 8 + qsizetype(size) + (size & 1);
    }
    if (at + 8 > wav.size())
        return wav;
    const qsizetype header = at + 8; // up to the data chunk's size
    const qsizetype rest = wav.size() - header;
    const quint32 size = qFromLittleEndian<quint32>(wav.constData() + at + 4);
    if (size != 0 && size <= quint64(rest))
        return wav;

    quint32 dataSize = quint32(rest & ~qsizetype(1));
    if (rest >= header) {
        const QByteArrayView trailer = QByteArrayView(wav).last(header);
        if (trailer.startsWith("RIFF") && trailer.sliced(8, 4) == "WAVE"
            && trailer.sliced(at, 4) == "data"
            && qFromLittleEndian<quint32>(trailer.data() + at + 4) == quint64(rest - header)) {
            dataSize = quint32(rest - header);
            wav.chop(header);
        }
    }
    qToLittleEndian<quint32>(dataSize, wav.data() + at + 4);
    qToLittleEndian<quint32>(quint32(wav.size() - 8), wav.data() + 4);
    return wav;
}

ClipWriteError writeWav16(const AudioClip &clip, QIODevice &device)
{
    if (clip.sampleRate <= 0 || clip.channelCount <= 0 || clip.isEmpty())
        return ClipWriteError::Rejected;
    SF_VIRTUAL_IO io = deviceIo();
    SF_INFO info {};
    info.samplerate = clip.sampleRate;
    info.channels = clip.channelCount;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open_virtual(&io, SFM_WRITE, &info, &device);
    if (!file)
        return ClipWriteError::WriteFailed;
    // A recording that went over full scale is clipped, not wrapped round into a crack.
    sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    const sf_count_t written = sf_writef_float(file, clip.samples.constData(), clip.frameCount());
    const bool failed = written != clip.frameCount() || sf_error(file) != SF_ERR_NO_ERROR;
    // Closing writes the final sizes into the header; a failure there is a failed file too.
    if (sf_close(file) != 0 || failed)
        return ClipWriteError::WriteFailed;
    return ClipWriteError::None;
}

ClipSaveResult saveClipFile(const AudioClip &clip, const QString &path, TrashFunction trash)
{
    if (path.isEmpty())
        return ClipSaveResult::WriteFailed;
    QSaveFile file(path);
    // Unbuffered: through its buffer, a write that a full disk cut short can go unreported, and
    // the old clip would go to the trash for a truncated new one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return ClipSaveResult::WriteFailed;
    if (writeWav16(clip, file) != ClipWriteError::None) {
        file.cancelWriting();
        return ClipSaveResult::WriteFailed;
    }
    if (QFileInfo::exists(path) && trash(path) == TrashResult::Failed) {
        file.cancelWriting();
        return ClipSaveResult::OldClipKept;
    }
    return file.commit() ? ClipSaveResult::Saved : ClipSaveResult::WriteFailed;
}
