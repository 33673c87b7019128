// SPDX-License-Identifier: GPL-3.0-or-later

// Festival with the Ona voice, the most natural Catalan voice there is. Festival exists only as
// a program (text2wave), so it runs as a child process: the text goes in on its standard
// input, a WAV comes back on its standard output, and a timer ends it if it hangs.
#pragma once

#include "sound/engine/synthesiser.h"

#include <QString>
#include <QStringList>

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

class Festival final : public Synthesiser
{
    Q_OBJECT
public:
    explicit Festival(QObject *parent = nullptr);
    ~Festival() override;

    void setCommand(const SynthesiserCommand &command);

    recorder::VoiceKind kind() const override { return recorder::VoiceKind::Festival; }
    bool isInstalled() override;
    void speak(const QString &text, const Decoder &decode, Done done) override;
    void cancel() override;

private:
    void ended();

    SynthesiserCommand m_command;
    std::optional<bool> m_installed;
    Decoder m_decode;
    Done m_done;
    QProcess *m_process = nullptr;
    QTimer *m_timeout;
};
