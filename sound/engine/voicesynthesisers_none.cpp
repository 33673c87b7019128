// SPDX-License-Identifier: GPL-3.0-or-later

// The voice where no synthesiser can run (the browser: a page starts no program, such as
// Festival, and opens no library, such as eSpeak NG's). It has no synthesiser to ask, so the
// "Veu" button says there is no voice, and a text asked for anyway comes back unspoken from the
// event loop, as the desktop's voice answers when none of its synthesisers could speak it.
#include "sound/engine/voice.h"

#include <QTimer>

#include <utility>

Voice::Voice(QObject *parent) : QObject(parent), m_festival(nullptr), m_espeak(nullptr) { }

Voice::~Voice()
{
    cancel();
}

// Tests of the desktop's voice set these; here there is no synthesiser for them to change.
void Voice::setSynthesiser(const SynthesiserCommand &) { }

void Voice::setEspeakLibrary(const QString &) { }

Voice::Kind Voice::kind()
{
    return Kind::None;
}

bool Voice::isSpeaking() const
{
    return bool(m_done);
}

void Voice::speak(const QString &text, Decoder decode, Done done)
{
    cancel();
    m_text = text;
    m_decode = std::move(decode);
    m_done = std::move(done);
    QTimer::singleShot(0, this, [this] { finish({}); });
}

void Voice::cancel()
{
    m_done = nullptr;
    m_decode = nullptr;
}

void Voice::finish(AudioClip spoken)
{
    const Done done = std::exchange(m_done, nullptr);
    m_decode = nullptr;
    if (done)
        done(std::move(spoken));
}
