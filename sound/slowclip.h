// SPDX-License-Identifier: GPL-3.0-or-later

// Speech made slower with its pitch kept, so that the voice stays the teacher's voice: for
// pupils who follow slow speech better. SoundTouch stretches the clip (WSOLA, with the short
// sequences its authors give for speech), in a module of its own, luvana_slow, that the program
// loads the first time a pupil asks for slow speech; a window where nobody does maps none of it.
#pragma once

#include "sound/soundsystem.h"

// The speed of slow speech, as a share of the recorded speed.
inline constexpr double kSlowSpeed = 0.75;

// What the module exports, unmangled, under kSlowClip: writes into `slowed` the clip played at
// `speed` times its tempo, its pitch unchanged; a clip that cannot be stretched (no sound, more
// channels than SoundTouch takes) is copied as it is.
using SlowClipFunction = void (*)(const AudioClip *clip, double speed, AudioClip *slowed);
inline constexpr char kSlowClip[] = "luvana_slowClip";

// The module's function, called directly by what links the module (its tests, the benchmark).
AudioClip slowClip(const AudioClip &clip, double speed);
