// SPDX-License-Identifier: GPL-3.0-or-later

// Clips a teacher recorded are never deleted outright: they go to the desktop's trash, from
// where a slip of a pupil's mouse can be undone.
#pragma once

#include <QString>

enum class [[nodiscard]] TrashResult {Moved, NoFile, Failed};

TrashResult moveFileToTrash(const QString &path);
