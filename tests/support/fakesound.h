// SPDX-License-Identifier: GPL-3.0-or-later

// A sound system with pretend devices, for the recorder's engine and the window: no sound
// server is involved; clip files are real, read and written by the sound module's code.
#pragma once

#include "sound/audiomodule/audioclip.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/engine/recorderengine.h"
#include "soundclips.h"

#include <QElapsedTimer>

#include <memory>
#include <utility>

namespace soundclips {

// Devices that do what they are told at once; the test moves time and ends clips, and makes the
// devices go away, come back, or refuse to start as a server that does not answer would.
class FakeSoundSystem final : public SoundSystem
{
public:
    ClipReadResult readClipFile(const QString &path) override { return ::readClipFile(path); }
    ClipReadResult readClipBytes(const QByteArray &wav) override { return ::readClipBytes(wav); }
    AudioClip keptRecording(const AudioClip &clip) override { return ::keptRecording(clip); }
    ClipSaveResult saveClipFile(const AudioClip &clip, const QString &path,
                                TrashFunction trash) override
    {
        return ::saveClipFile(clip, path, trash);
    }

    bool hasOutput() const override { return output; }
    bool hasInput() const override { return input; }

    // The clip goes on in real time until it is stopped; it ends when the test says so.
    StartResult startPlayback(const AudioClip &clip, qint64 fromUSecs) override
    {
        if (!output)
            return StartResult::NoDevice;
        if (refuse)
            return StartResult::Refused;
        playing = true;
        lastStarted = clip;
        position = fromUSecs;
        m_since.start();
        return StartResult::Started;
    }
    void stopPlayback() override
    {
        position = positionUSecs();
        playing = false;
    }
    qint64 positionUSecs() const override
    {
        return playing ? position + m_since.nsecsElapsed() / 1000 : position;
    }

    StartResult startRecording() override
    {
        if (!input)
            return StartResult::NoDevice;
        if (refuse)
            return StartResult::Refused;
        recording = true;
        return StartResult::Started;
    }
    AudioClip stopRecording() override
    {
        return std::exchange(recording, false) ? heard : AudioClip();
    }
    qint64 recordedUSecs() const override { return recording ? heard.durationUSecs() : 0; }
    float level() const override { return 0.5f; }

    // Tells the engine, as the server's client does, that devices came or went.
    void setDevices(bool available)
    {
        output = input = available;
        devicesChanged();
    }

    bool output = true;
    bool input = true;
    bool refuse = false;
    AudioClip lastStarted;
    bool playing = false;
    bool recording = false;
    qint64 position = 0;
    AudioClip heard = tone(8000, 1, 0.4, 0.5f);

private:
    QElapsedTimer m_since;
};

// A factory for the engine that leaves the test a look at what it made.
inline RecorderEngine::SoundSystemFactory fake(FakeSoundSystem *&made, bool devices = true,
                                               bool refuse = false)
{
    return [&made, devices, refuse] {
        auto sound = std::make_unique<FakeSoundSystem>();
        sound->output = sound->input = devices;
        sound->refuse = refuse;
        made = sound.get();
        return sound;
    };
}

} // namespace soundclips
