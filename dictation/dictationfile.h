// SPDX-License-Identifier: GPL-3.0-or-later

// Reading and writing dictation files on disk; the bytes themselves are format.h's business.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace dictation {

// nullopt when the file cannot be opened or read. Only as much is read as the reader can use
// (its title, item-1 and item lines), so choosing a huge file that is no dictation does not
// load all of it.
[[nodiscard]] std::optional<QByteArray> readDictationBytes(const QString &path);

enum class [[nodiscard]] SaveResult {Saved, CannotOpen, WriteFailed, CommitFailed};

// Puts bytes on the open file and returns how many it took, or -1; a test passes its own to
// make the medium fail part-way.
using WriteFunction = std::function<qint64(QIODevice &file, QByteArrayView bytes)>;

// The file is replaced as a whole or not at all: on failure the old file is left as it was and
// no temporary file stays behind.
SaveResult saveDictationBytes(const QString &path, const QByteArray &bytes);
SaveResult saveDictationBytes(const QString &path, const QByteArray &bytes,
                              const WriteFunction &write);

} // namespace dictation
