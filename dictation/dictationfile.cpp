// SPDX-License-Identifier: GPL-3.0-or-later

#include "dictationfile.h"

#include "format.h"

#include <QFile>
#include <QSaveFile>

namespace dictation {

namespace {

constexpr qint64 kReadChunk = 64 * 1024;

} // namespace

std::optional<QByteArray> readDictationBytes(const QString &path)
{
    // No name (a cancel before any file was chosen) is simply no file.
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;

    QByteArray bytes;
    int linesEnded = 0;
    qsizetype scanned = 0;
    while (linesEnded < kMaxLinesRead) {
        const qsizetype oldSize = bytes.size();
        bytes.resize(oldSize + kReadChunk);
        const qint64 got = file.read(bytes.data() + oldSize, kReadChunk);
        if (got < 0)
            return std::nullopt;
        bytes.resize(oldSize + got);
        if (got == 0)
            break;
        // CR LF, a lone CR and a lone LF each end one line. Looking back at the byte before an
        // LF, not ahead, keeps the count right when a chunk ends between CR and LF.
        for (; scanned < bytes.size(); ++scanned) {
            const char byte = bytes[scanned];
            if (byte == '\r' || (byte == '\n' && (scanned == 0 || bytes[scanned - 1] != '\r')))
                ++linesEnded;
        }
    }
    return bytes;
}

SaveResult saveDictationBytes(const QString &path, const QByteArray &bytes)
{
    return saveDictationBytes(path, bytes, [](QIODevice &file, QByteArrayView rest) {
        return file.write(rest.data(), rest.size());
    });
}

SaveResult saveDictationBytes(const QString &path, const QByteArray &bytes,
                              const WriteFunction &write)
{
    // QSaveFile writes beside the target and renames over it only once everything is written;
    // it never falls back to writing the target in place.
    // QSaveFile opens even without a name and only fails at the end; a cancelled dialog must
    // not look like a write that went wrong.
    if (path.isEmpty())
        return SaveResult::CannotOpen;
    QSaveFile file(path);
    // Unbuffered: through its buffer, a write that a full disk cut short can go unreported,
    // and QSaveFile then commits the truncated file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return SaveResult::CannotOpen;
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        const qint64 written = write(file, rest);
        if (written <= 0) {
            file.cancelWriting();
            return SaveResult::WriteFailed;
        }
        rest = rest.sliced(written);
    }
    return file.commit() ? SaveResult::Saved : SaveResult::CommitFailed;
}

} // namespace dictation
