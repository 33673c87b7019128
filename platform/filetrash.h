// SPDX-License-Identifier: GPL-3.0-or-later

// Clips a teacher recorded are never deleted outright: they go to the system's trash, from
// where a slip of a pupil's mouse can be undone. Where there is no trash (a USB stick on
// Windows), the clip is set aside in its own folder under a name that says it was discarded.
// The trash itself is the system's: filetrash_<system>.cpp, which CMake picks.
#pragma once

#include <QString>

enum class [[nodiscard]] TrashResult {Moved, NoFile, Failed};

TrashResult moveFileToTrash(const QString &path);

// The file renamed beside itself: "gat-1.wav" becomes "gat-1 (descartat).wav", or
// "gat-1 (descartat 2).wav" and so on when that name is taken; never over another file.
TrashResult setAsideAsDiscarded(const QString &path);

// The system's part of moveFileToTrash(), for a path known to name a file.
TrashResult moveToSystemTrash(const QString &path);
