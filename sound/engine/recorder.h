// SPDX-License-Identifier: GPL-3.0-or-later

// What the recorder's engine and its bar say to each other: the commands a user or the window
// gives, the modes the engine moves through, why a command did not run, and the state the bar
// shows. The bar turns clicks and keys into commands; the engine runs them and reports its
// state back; neither knows the other.
#pragma once

#include <QObject>

namespace recorder {
Q_NAMESPACE

enum class Command { Close, Open, Rewind, Play, Pause, Stop, Record, Save };
Q_ENUM_NS(Command)

enum class Mode { NotOpen, Stopped, Playing, Paused, Recording };
Q_ENUM_NS(Mode)

// Why a command did not run. The window reads it where a user must hear of a failure: no
// device, or one that would not start (or did not answer in time); a clip too long to hold; a
// microphone that gave nothing but silence, which "Save" does not keep over a clip.
enum class [[nodiscard]] Result {
        Done,    UnknownCommand, NothingOpen,     NoDevice,        DeviceRefused,
        BadFile, TooLong,        NothingRecorded, SilentRecording, WriteFailed};
Q_ENUM_NS(Result)

// Which voice the "Veu" button would speak with.
enum class VoiceKind { Festival, Espeak, None };
Q_ENUM_NS(VoiceKind)

// Everything the bar's buttons and tooltips depend on; it changes far less often than the
// clock and the meter, which follow the engine's tick instead.
struct State
{
    Mode mode = Mode::NotOpen;
    bool hasClip = false;
    // Devices are looked for once the sound system loads, at the first play-button press.
    bool soundLoaded = false;
    bool hasOutput = false;
    bool hasInput = false;
    // The voice: whether an item was chosen to speak, whether its box holds words, whether the
    // voice has been looked for yet (once the window has started, or at the first item chosen),
    // and who would speak them.
    bool itemChosen = false;
    bool hasText = false;
    bool voiceLookedFor = false;
    VoiceKind voice = VoiceKind::None;
    bool speaking = false;

    friend bool operator==(const State &a, const State &b)
    {
        return a.mode == b.mode && a.hasClip == b.hasClip && a.soundLoaded == b.soundLoaded
                && a.hasOutput == b.hasOutput && a.hasInput == b.hasInput
                && a.itemChosen == b.itemChosen && a.hasText == b.hasText
                && a.voiceLookedFor == b.voiceLookedFor && a.voice == b.voice
                && a.speaking == b.speaking;
    }
    friend bool operator!=(const State &a, const State &b) { return !(a == b); }
};

} // namespace recorder
