// SPDX-License-Identifier: GPL-3.0-or-later
// The Catalan voice behind the recorder strip's "Veu" button: it turns an item's text into a
// clip, so a teacher can give a dictation its voice without a microphone.
//
// It asks an ordered list of synthesisers (sound/synthesiser.h): Festival with the Ona voice,
// which sounds the most natural (sound/festival.h), then espeak-ng's Catalan voice
// (sound/espeak.h). The voice is chosen for each text: the next one speaks only a text the one
// before had no word for ("____", "?"). One that fails is passed over for the rest of the
// session: a synthesiser that hung once would keep the teacher waiting at every item. None of
// them exists for the window until the button is pressed.
#pragma once

#include "sound/engine/festival.h"
#include "sound/engine/recorder.h"
#include "sound/engine/synthesiser.h"
#include "sound/soundsystem.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class Espeak;

class Voice : public QObject
{
    Q_OBJECT
public:
    using Kind = recorder::VoiceKind;
    using Decoder = Synthesiser::Decoder;
    using Done = std::function<void(AudioClip spoken)>;

    explicit Voice(QObject *parent = nullptr);
    ~Voice() override;

    void setSynthesiser(const SynthesiserCommand &command);
    // The name espeak-ng's library is opened by; tests name one that does not exist.
    void setEspeakLibrary(const QString &name);

    // The voice that will speak next: the first synthesiser that is installed and has not
    // failed. Asking may look for Festival on disk, the first time.
    Kind kind();
    bool isSpeaking() const;

    // Speaks the text; `done` is called from the event loop with the clip, or with an empty
    // clip when no voice could speak it. A WAV a synthesiser writes goes through `decode`. A call
    // while speaking, or cancel(), drops what the earlier call would have delivered.
    void speak(const QString &text, Decoder decode, Done done);
    void cancel();

private:
    void speakFrom(std::size_t first);
    void finish(AudioClip spoken);

    Festival *m_festival;
    Espeak *m_espeak;
    // In the order they are asked, each with whether it failed.
    std::vector<std::pair<Synthesiser *, bool>> m_synthesisers;
    Synthesiser *m_speaking = nullptr;

    QString m_text;
    Decoder m_decode;
    Done m_done;
};
