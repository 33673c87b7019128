// SPDX-License-Identifier: GPL-3.0-or-later

// Speech made slower with its pitch kept, so that the voice stays the teacher's voice: for
// pupils who follow slow speech better. SoundTouch stretches the clip (WSOLA, with the short
// sequences its authors give for speech), in a module of its own, luvana_slow, that the program
// loads the first time a pupil asks for slow speech; a window where nobody does maps none of it.
// What the program needs of it is in sound/soundsystem.h; this header is the module's own.
#pragma once

#include "sound/soundsystem.h"

// The module's function, exported as luvana_slowClip; called directly by what links the module
// (its tests, the benchmark).
AudioClip slowClip(const AudioClip &clip, double speed);
