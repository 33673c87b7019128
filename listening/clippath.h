// SPDX-License-Identifier: GPL-3.0-or-later

// Where item k's clip lives: beside the dictation, named after it, the pupil's name and k.
// "C:\dictats\animals.dtd", "anna", 3 -> "C:\dictats\animals-anna3.wav".
//
// That path is where the recorder keeps and discards the clip. What a press plays may be
// another file: with a name typed and no clip under it, the clip recorded with no name (the
// teacher's, and every sample's); and either one under a name in another letter case, as a
// dictation made on Windows has it.
#pragma once

#include <QString>

#include <optional>

namespace listening {

// Nothing when the dictation path is shorter than the four characters it loses.
std::optional<QString> clipPath(const QString &arxiu, const QString &nom, int item);

// The name as it may stand in a file name: folder separators and control characters would
// let a typed name lead the clip (which the recorder writes and deletes) out of the
// dictation's folder, so each becomes "_". Everything else stays as typed.
QString safeNameForClip(const QString &nom);

// The file a press of item k's button plays: the clip of the name typed, else the clip with no
// name, each under its exact name or else one that differs only in letter case. Nothing when
// neither exists, or when no path can be formed.
std::optional<QString> clipToPlay(const QString &arxiu, const QString &nom, int item);

} // namespace listening
