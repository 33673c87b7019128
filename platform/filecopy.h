// SPDX-License-Identifier: GPL-3.0-or-later

// A copy of a file put where the program needs it, never over another file: a dictation names
// its picture without a folder, so a photo from the teacher's pictures folder must lie beside
// the dictation too, and a picture of the same name already there may belong to another one.
#pragma once

#include <QString>

enum class [[nodiscard]] CopyResult {Copied, AlreadyThere, OtherFileThere, Failed};

// Copies `source` to `target` unless a file is at `target` already, which is left as it is:
// AlreadyThere when it holds the same bytes, OtherFileThere when it does not. Failed when the
// copy cannot be made, or the two files cannot be read to compare them.
CopyResult copyWithoutReplacing(const QString &source, const QString &target);
