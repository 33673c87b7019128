// SPDX-License-Identifier: GPL-3.0-or-later

// One way of turning an item's text into a clip. The voice (sound/voice.h) keeps an ordered
// list of them and speaks with the first that is installed and has not failed.
#pragma once

#include "sound/engine/recorder.h"
#include "sound/soundsystem.h"

#include <QObject>

#include <functional>
#include <optional>

class Synthesiser : public QObject
{
    Q_OBJECT
public:
    using Decoder = std::function<AudioClip(const QByteArray &wav)>;
    // A clip, possibly empty; nothing when the synthesiser failed and should not be asked again.
    using Done = std::function<void(std::optional<AudioClip> spoken)>;

    using QObject::QObject;

    virtual recorder::VoiceKind kind() const = 0;
    // Looked for once, when first asked: never while the window starts.
    virtual bool isInstalled() = 0;
    // `done` is called from the event loop. A WAV the synthesiser writes goes through `decode`.
    virtual void speak(const QString &text, const Decoder &decode, Done done) = 0;
    // Drops what speak() would have delivered.
    virtual void cancel() = 0;
};
