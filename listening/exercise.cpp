// SPDX-License-Identifier: GPL-3.0-or-later
#include "listening/exercise.h"

#include "listening/grading.h"

namespace listening {

Display Exercise::reset()
{
    nfrases = 0;
    escoltes = 0;
    nota = 0;
    acabades = 0;
    m_itemsPlayed.reset();
    m_finalGradeShown.reset();
    m_graded = false;
    m_caption.clear();
    return {QString(), false};
}

void Exercise::load(int itemsWithText)
{
    nfrases = itemsWithText;
}

void Exercise::listen(int item, bool itemHasText)
{
    ++escoltes;
    // The authoring layout shows the play buttons of empty items too: hearing one of those
    // must not make the exercise impossible to finish, nor may hearing an item twice finish it.
    const auto bit = std::size_t(item - 1);
    if (itemHasText && bit < m_itemsPlayed.size() && !m_itemsPlayed.test(bit)) {
        m_itemsPlayed.set(bit);
        ++acabades;
    }
}

Display Exercise::tick()
{
    Display display;
    if (nfrases < 1)
        return display;
    // Until a tick has graded this attempt, a grade that stays as it was stays at the full
    // grade, not at the 0 a new attempt starts from: a pupil who plays an item twice before
    // the first tick after the load has listened no more than allowed.
    nota = gradeAfterTick(escoltes, nfrases, m_graded ? nota : kFullGrade);
    m_graded = true;
    const QString caption = gradeCaption(nota);
    if (caption != m_caption) {
        m_caption = caption;
        display.caption = caption;
    }
    if (acabades == nfrases && m_finalGradeShown != nota) {
        m_finalGradeShown = nota;
        display.finalDisplay = true;
    }
    return display;
}

} // namespace listening
