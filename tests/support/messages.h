// SPDX-License-Identifier: GPL-3.0-or-later
// The texts the window shows the pupil, written out byte for byte: a test compares what a
// label says with these, never with what the code under test would compute.
#pragma once

#include <QString>

namespace messages {

inline const QString kLow = QStringLiteral(
        " Sembla que no has estat massa atent, hauries de repetir el dictat.");
inline const QString kMiddle = QStringLiteral(
        " Repassa el dictat i escriu a la teva llibreta les frases que t'han costat més.");
inline const QString kFair = QStringLiteral(
        " Hi ha paraules que et costen una mica, escriu-les a la teva llibreta i "
        "comprova que coneixes bé el seu significat.");
inline const QString kGood = QStringLiteral(
        "Està força bé, encara que hi ha hagut alguna frase que t'ha costat una mica.");
inline const QString kBest = QStringLiteral("Molt bé, ho has fet gairebé perfecte, segueix així.");

} // namespace messages
