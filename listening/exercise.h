// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of one attempt at a dictation, without widgets: the counters the window shares
// with its handlers, which plays count towards completing the exercise, the grade after each
// timer tick, and when the final grade and message show. Each step returns what the window
// must show; the window copies that into its controls and keeps no rule of its own.
//
//   reset()       start-up and a new attempt: counters to 0, the grade label emptied
//   load(n)       a dictation with n items of text is open
//   listen(k, t)  play button k pressed; t: item k has text, so hearing it counts
//   tick()        the grading timer: the grade, and the final display once complete
#pragma once

#include <QString>

#include <bitset>
#include <optional>

namespace listening {

// What a step asks of the window. Nothing in `caption` leaves the grade label as it is, so an
// idle window is not repainted at every tick.
struct Display
{
    std::optional<QString> caption;
    // The final display: the grade label shown, and the feedback panel with the message for
    // the grade.
    bool finalDisplay = false;
};

class Exercise
{
public:
    int nfrases = 0;  // items of the open dictation that have text
    int escoltes = 0; // play-button presses since start-up or the last reset
    int nota = 0;     // the grade, 0 to 10
    int acabades = 0; // distinct items with text played since the last reset

    Display reset();
    void load(int itemsWithText);
    void listen(int item, bool itemHasText);
    Display tick();

private:
    std::bitset<10> m_itemsPlayed;
    // The final display comes back only when the grade it showed changes: at every tick it
    // would bring back a panel the pupil has just put away.
    std::optional<int> m_finalGradeShown;
    bool m_graded = false; // a tick has graded since the last reset
    QString m_caption;
};

} // namespace listening
