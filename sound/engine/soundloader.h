// SPDX-License-Identifier: GPL-3.0-or-later

// The program's side of loading its modules: the sound system (sound/soundsystem.h) and the
// slow-speech stretch (kSlowClip), each found by one path relative to the program.
#pragma once

#include "sound/soundsystem.h"

#include <QString>
#include <QStringList>

#include <memory>

// The module installed with the program, or nothing where it cannot be loaded: then there is
// no sound, as on a computer without a sound card, and standard error says why.
std::unique_ptr<SoundSystem> loadSoundSystem();

// A function of a module installed with the program (`relative` to the program's folder, or
// beside it); nothing, with the reasons added to `reasons`, where it cannot be loaded.
QFunctionPointer resolveModule(const QString &relative, const char *symbol, QStringList *reasons);
