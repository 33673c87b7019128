// SPDX-License-Identifier: GPL-3.0-or-later

// The sound module's SoundSystem less its devices: reading and keeping clip files, the same on
// every system. Each system's devices complete it (sound/soundmodule*.cpp, picked by CMake).
#pragma once

#include "sound/audiomodule/wavfile.h"
#include "sound/soundsystem.h"

#include <functional>

class ClipFileSystem : public SoundSystem
{
public:
    ClipReadResult readClipFile(const QString &path) override { return ::readClipFile(path); }
    ClipReadResult readClipBytes(const QByteArray &wav) override { return ::readClipBytes(wav); }
    AudioClip keptRecording(const AudioClip &recording) override
    {
        return ::keptRecording(recording);
    }
    ClipSaveResult saveClipFile(const AudioClip &clip, const QString &path,
                                TrashFunction trash) override
    {
        return ::saveClipFile(clip, path, trash);
    }

protected:
    static void call(const std::function<void()> &callback)
    {
        if (callback)
            callback();
    }
};
