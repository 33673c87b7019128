// SPDX-License-Identifier: GPL-3.0-or-later

// What the application needs before its window is made: its names, and the Catalan texts
// of Qt's own dialogs.
#pragma once

class QApplication;

void setUpApplication(QApplication &app);
