// Where item k's clip lives: beside the dictation, named after it, the pupil's name and k.
// "C:\dictats\animals.dtd", "anna", 3 -> "C:\dictats\animals-anna3.wav".
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

} // namespace listening
