// SPDX-License-Identifier: GPL-3.0-or-later

// Which shared libraries this process has mapped, for the tests that check that the sound
// libraries are loaded only by a command that needs sound, never by start-up.
#pragma once

#include <QByteArray>
#include <QFile>

#include <optional>

namespace soundclips {

// The libraries the program must not map before a sound command: the module and the dozen that
// come with it (the sound server's client, the loudness meter).
constexpr const char *kSoundLibraries[] = {"libluvana_audio.so", "libpulse.so", "libebur128.so"};

// The process's memory map, where the system shows one (Linux); nothing elsewhere.
inline std::optional<QByteArray> memoryMap()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        return std::nullopt;
    return maps.readAll();
}

} // namespace soundclips
