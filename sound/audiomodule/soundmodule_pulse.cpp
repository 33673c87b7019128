// SPDX-License-Identifier: GPL-3.0-or-later

// The sound module's one entry point on Linux: a SoundSystem that reaches the devices through
// the PulseAudio server with a client of its own (sound/pulseclient.h), and the clip files.
#include "sound/audiomodule/clipfilesystem.h"
#include "sound/audiomodule/pulseclient.h"

#include <type_traits>

namespace {

class PulseSoundSystem final : public ClipFileSystem
{
public:
    PulseSoundSystem()
    {
        QObject::connect(&m_server, &PulseServer::devicesChanged, &m_server,
                         [this] { call(devicesChanged); });
        QObject::connect(&m_player, &PulsePlayer::finished, &m_player,
                         [this] { call(playbackFinished); });
        QObject::connect(&m_player, &PulsePlayer::failed, &m_player,
                         [this] { call(playbackFailed); });
        QObject::connect(&m_recorder, &PulseRecorder::interrupted, &m_recorder,
                         [this] { call(recordingInterrupted); });
    }

    bool hasOutput() const override { return m_server.hasOutput(); }
    bool hasInput() const override { return m_server.hasInput(); }

    StartResult startPlayback(const AudioClip &clip, qint64 fromUSecs) override
    {
        return m_player.start(clip, fromUSecs);
    }
    void stopPlayback() override { m_player.stop(); }
    qint64 positionUSecs() const override { return m_player.positionUSecs(); }

    StartResult startRecording() override { return m_recorder.start(); }
    AudioClip stopRecording() override { return m_recorder.stop(); }
    qint64 recordedUSecs() const override { return m_recorder.recordedUSecs(); }
    float level() const override { return m_recorder.level(); }

private:
    // Declared first: the streams go before the connection they belong to.
    PulseServer m_server;
    PulsePlayer m_player {&m_server};
    PulseRecorder m_recorder {&m_server};
};

} // namespace

extern "C" Q_DECL_EXPORT SoundSystem *luvana_createSoundSystem()
{
    return new PulseSoundSystem;
}
static_assert(std::is_same_v<decltype(&luvana_createSoundSystem), CreateSoundSystem>);
