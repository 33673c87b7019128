// SPDX-License-Identifier: GPL-3.0-or-later

// Clip files: reading any WAV a school will have, and keeping a recording as 16-bit PCM.
//
// libsndfile does the decoding (8-bit unsigned, 16/24/32-bit, float, µ-law, A-law, IMA and
// MS ADPCM, any rate and channel count) and the encoding. It reads and writes through a
// QIODevice, so a path is only ever handled by Qt (any letters, any platform) and a test can
// hand it a QBuffer. Only the sound module compiles these; the program reads and keeps clips
// through its SoundSystem (sound/soundsystem.h).
#pragma once

#include "sound/audiomodule/audioclip.h"
#include "sound/soundsystem.h"

#include <QIODevice>
#include <QString>

ClipReadResult readClip(QIODevice &device);
ClipReadResult readClipFile(const QString &path);

// A WAV that a program wrote into a pipe, with the sizes a file would have. A writer that
// cannot seek back to its header leaves the sizes there 0; text2wave then writes the whole
// header again, with the true sizes, behind the sound, where it would be heard as a loud click.
// Where the data chunk is the last one, that trailing header is cut and its data size taken;
// without one, the data is whatever follows. Any other WAV comes back as it was.
QByteArray withStreamedSizes(QByteArray wav);
// A WAV held in memory (a voice's output), with its streamed sizes mended as above.
ClipReadResult readClipBytes(const QByteArray &wav);

enum class [[nodiscard]] ClipWriteError {None, Rejected, WriteFailed};

// Writes the clip as a WAV file of 16-bit PCM at the clip's rate and channel count.
// Rejected: an empty clip or one with no valid rate.
ClipWriteError writeWav16(const AudioClip &clip, QIODevice &device);

// Keeps a recording as the clip at `path`, never losing what was there before: the new file
// is written beside the target first, an existing clip then goes to the trash, and only then
// does the new file take its name. OldClipKept: the trash would not take the existing clip,
// so it stays as it was and nothing was written.
ClipSaveResult saveClipFile(const AudioClip &clip, const QString &path, TrashFunction trash);
