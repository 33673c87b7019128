// SPDX-License-Identifier: GPL-3.0-or-later
// The one-line boxes (the title, items 2 to 10) hold only what a dictation file can hold: a line
// break that enters one, typed, pasted or dropped, becomes a space there and then, so the teacher
// sees what will be saved.
#pragma once

class QLineEdit;

void keepOnOneLine(QLineEdit *box);
