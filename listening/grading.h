// SPDX-License-Identifier: GPL-3.0-or-later

// The grade by listens: two listens per item and two more in all keep 10; every further two
// listens cost a point down to 5, every further three down to 0. The tick recomputes it from
// the counters; in the band of 0 to 2 extra listens it keeps the previous grade.
#pragma once

#include <QString>

namespace listening {

// The grade a pupil has before listening more than allowed.
inline constexpr int kFullGrade = 10;

// The grade after a tick, given the previous one. Only meaningful with nfrases >= 1.
int gradeAfterTick(int escoltes, int nfrases, int previousNota);

// "La teva nota és: 7"
QString gradeCaption(int nota);

// The feedback written in the panel's speech bubble for a grade of 0 to 10.
QString feedbackMessage(int nota);

} // namespace listening
