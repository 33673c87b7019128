// SPDX-License-Identifier: GPL-3.0-or-later

// espeak-ng's Catalan voice, in this process: its library is opened the first time it speaks,
// never at start-up, and stays for the life of the process, as espeak-ng keeps one state for
// the whole process.
#pragma once

#include "sound/engine/synthesiser.h"

#include <QString>

#include <optional>

class Espeak final : public Synthesiser
{
    Q_OBJECT
public:
    explicit Espeak(QObject *parent = nullptr);

    // The name the library is opened by; tests name one that does not exist.
    void setLibrary(const QString &name);

    recorder::VoiceKind kind() const override { return recorder::VoiceKind::Espeak; }
    bool isInstalled() override;
    void speak(const QString &text, const Decoder &decode, Done done) override;
    void cancel() override;

private:
    QString m_library;
    std::optional<bool> m_installed;
    Done m_done;
};
