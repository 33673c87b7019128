// SPDX-License-Identifier: GPL-3.0-or-later

// The voice where no synthesiser can run (the browser: a page starts no program, such as
// Festival, and opens no library, such as eSpeak NG's). With none to ask, the "Veu" button says
// there is no voice, and a text asked for anyway comes back unspoken from the event loop.
#include "sound/engine/voice.h"

Voice::Voice(QObject *parent) : QObject(parent), m_festival(nullptr), m_espeak(nullptr) { }

// Tests of the desktop's voice set these; here there is no synthesiser for them to change.
void Voice::setSynthesiser(const SynthesiserCommand &) { }

void Voice::setEspeakLibrary(const QString &) { }
