// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/startupdictation.h"

// The desktop is started without a dictation: its pupils open one with the open dialog.
void fetchStartupDictation(QObject *, StartupDictationCalls) { }
