// SPDX-License-Identifier: GPL-3.0-or-later
// Dictations travel between Windows, where file names ignore letter case, and systems where
// they do not: a dictation saved there as "ANIMALS.DTD" has its clips as "ANIMALS-2.WAV" and
// may name its picture "GAT.JPG" while the file is "gat.jpg". The window asks here for the file
// a Windows computer would have opened, so such a folder works as it did where it was made.
#pragma once

#include <QString>

#include <optional>

// The file at `path` when there is one. Otherwise the file in the same folder whose name differs
// from the last part of `path` only in letter case, returned as `path` with that name in place of
// its last part. Nothing when there is neither. Folders are taken as written.
//
// The exact name always wins, and then nothing but that one file is looked at. Among several
// names that differ only in case the first in character-code order wins (capitals before small
// letters: "GAT.JPG", then "Gat.jpg", then "gat.jpg"), whatever order the folder lists them in.
std::optional<QString> findFileIgnoringCase(const QString &path);
