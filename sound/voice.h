// SPDX-License-Identifier: GPL-3.0-or-later
// The Catalan voice behind the recorder strip's "Veu" button: it turns an item's text into a
// clip, so a teacher can give a dictation its voice without a microphone.
//
// Festival with the Ona voice sounds the most natural, but Festival exists only as a program
// (text2wave), so it runs as a child process: the text goes in on its standard input, a WAV
// comes back on its standard output, and a timer ends it if it hangs. Where Festival or Ona is
// missing, or fails, espeak-ng's Catalan voice speaks instead, in this process: its library is
// opened the first time it is needed, never at start-up. Neither exists for the window until
// the button is pressed.
#pragma once

#include "sound/audioclip.h"
#include "sound/recorder.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QProcess;
class QTimer;

// How Festival is started. The program always uses festivalSynthesiser(); tests and the
// benchmark hand the voice another one, to make the synthesiser hang or go missing.
struct SynthesiserCommand
{
    QString program;
    QStringList arguments;
    // Relative to the system's data folders (/usr/share); empty when nothing needs checking.
    QString voiceData;
    int timeoutMs = 0;
};
SynthesiserCommand festivalSynthesiser();

// The text as Festival's Catalan voice reads it: ISO-8859-15, the typographic quotes and
// dashes a word processor puts in as their plain forms, anything else it cannot spell as a
// blank, and every line end as one.
QByteArray festivalText(QStringView text);

class Voice : public QObject
{
    Q_OBJECT
public:
    using Kind = recorder::VoiceKind;

    using Decoder = std::function<AudioClip(const QByteArray &wav)>;
    using Done = std::function<void(AudioClip spoken)>;

    explicit Voice(QObject *parent = nullptr);
    ~Voice() override;

    void setSynthesiser(const SynthesiserCommand &command);
    // The name espeak-ng's library is opened by; tests name one that does not exist.
    void setEspeakLibrary(const QString &name);

    // The voice that will speak next: Festival until it has failed once, then espeak-ng until
    // that has failed to load. A synthesiser that hung once would keep the teacher waiting at
    // every item, so the rest of the session does without it.
    Kind kind() const;
    bool isSpeaking() const;

    // Speaks the text; `done` is called from the event loop with the clip, or with an empty
    // clip when no voice could speak. Festival's WAV goes through `decode`. A call while
    // speaking, or cancel(), drops what the earlier call would have delivered.
    void speak(const QString &text, Decoder decode, Done done);
    void cancel();

private:
    void festivalEnded();
    void speakWithEspeak();
    void finish(AudioClip spoken);

    SynthesiserCommand m_command;
    QString m_espeakLibrary;
    mutable std::optional<bool> m_festivalInstalled;
    bool m_festivalFailed = false;
    bool m_espeakFailed = false;

    QString m_text;
    Decoder m_decode;
    Done m_done;
    QProcess *m_process = nullptr;
    QTimer *m_timeout = nullptr;
};
