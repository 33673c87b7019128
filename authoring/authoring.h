// SPDX-License-Identifier: GPL-3.0-or-later

// The teacher's side: the access code that guards saving, and the bare picture name that a
// dictation keeps for its item-1 picture.
#pragma once

#include "platform/pathseparators.h"

#include <QString>
#include <QStringView>

namespace authoring {

// Exact, whole text, case-sensitive: "Kub" or " kub" is not the code.
bool accessCodeMatches(QStringView typed);

// The longest picture name a dictation keeps for item 1.
inline constexpr qsizetype kMaxPictureName = 100;

// What a chosen path gives item 1 as its picture's name, or why it gives none.
struct PictureName
{
    enum class Status {
        Named,
        EmptyPath, // a dialog that gave no path
        // Longer than kMaxPictureName: cut, it would name another file, or none, and pupils
        // would read the cut name as the reading text.
        TooLong,
    };
    Status status;
    QString name; // when Named
};

// The part of a chosen path after its last separator, looking from the second-to-last
// character down (a trailing separator stays in the name).
PictureName pictureName(QStringView fileName, QStringView separators = pathSeparators());

} // namespace authoring
