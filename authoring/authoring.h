// SPDX-License-Identifier: GPL-3.0-or-later

// The teacher's side: the access code that guards saving, and the bare picture name that a
// dictation keeps for its item-1 picture.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace authoring {

// Exact, whole text, case-sensitive: "Kub" or " kub" is not the code.
bool accessCodeMatches(QStringView typed);

// The folder separators of the paths the file dialog returns on this platform.
QStringView pathSeparators();

// The part of a chosen path after its last separator, looking from the second-to-last
// character down (a trailing separator stays in the name), at most 100 characters.
// Nothing for an empty path.
std::optional<QString> pictureName(QStringView fileName, QStringView separators = pathSeparators());

} // namespace authoring
