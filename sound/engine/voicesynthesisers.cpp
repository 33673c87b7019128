// SPDX-License-Identifier: GPL-3.0-or-later

// The synthesisers of the desktop's voice, in the order they are asked: Festival with Ona, then
// eSpeak NG.
#include "sound/engine/espeak.h"
#include "sound/engine/voice.h"

Voice::Voice(QObject *parent)
    : QObject(parent), m_festival(new Festival(this)), m_espeak(new Espeak(this))
{
    m_synthesisers = {{m_festival, false}, {m_espeak, false}};
}

void Voice::setSynthesiser(const SynthesiserCommand &command)
{
    m_festival->setCommand(command);
    m_synthesisers.front().second = false;
}

void Voice::setEspeakLibrary(const QString &name)
{
    m_espeak->setLibrary(name);
    m_synthesisers.back().second = false;
}
