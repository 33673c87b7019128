// SPDX-License-Identifier: GPL-3.0-or-later

#include "listening/grading.h"

#include <array>

namespace listening {

namespace {

struct Threshold
{
    int extraListens;
    int grade;
};

// Exceeding an extra-listen count sets its grade; later rows overwrite earlier ones.
constexpr std::array<Threshold, 10> kThresholds {{
        {2, 9},
        {4, 8},
        {6, 7},
        {8, 6},
        {10, 5},
        {13, 4},
        {16, 3},
        {19, 2},
        {22, 1},
        {25, 0},
}};

} // namespace

int gradeAfterTick(int escoltes, int nfrases, int previousNota)
{
    int nota = previousNota;
    const int allowed = 2 * nfrases;
    if (escoltes < allowed)
        nota = 10;
    for (const Threshold &t : kThresholds) {
        if (escoltes > allowed + t.extraListens)
            nota = t.grade;
    }
    return nota;
}

QString gradeCaption(int nota)
{
    return QStringLiteral("La teva nota és: ") + QString::number(nota);
}

QString feedbackMessage(int nota)
{
    // The bands' lower limits lie just below the previous band's upper limit, so each whole
    // grade at a boundary belongs to the upper band.
    const double grade = nota;
    QString text;
    if (grade < 3)
        text = QStringLiteral(
                " Sembla que no has estat massa atent, hauries de repetir el dictat.");
    if (grade > 2.9 && grade < 6)
        text = QStringLiteral(" Repassa el dictat i escriu a la teva llibreta les frases que "
                              "t'han costat més.");
    if (grade > 5.9 && grade < 8)
        text = QStringLiteral(" Hi ha paraules que et costen una mica, escriu-les a la teva "
                              "llibreta i comprova que coneixes bé el seu significat.");
    if (grade > 7.9 && grade < 9)
        text = QStringLiteral("Està força bé, encara que hi ha hagut alguna frase que t'ha "
                              "costat una mica.");
    if (grade >= 9)
        text = QStringLiteral("Molt bé, ho has fet gairebé perfecte, segueix així.");
    return text;
}

} // namespace listening
