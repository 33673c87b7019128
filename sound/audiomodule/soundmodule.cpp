// SPDX-License-Identifier: GPL-3.0-or-later

// The sound module's one entry point where Qt Multimedia reaches the devices (Windows, the
// browser): a SoundSystem made of a ClipPlayer, a ClipRecorder and the clip files.
#include "sound/audiomodule/clipfilesystem.h"
#include "sound/audiomodule/clipplayer.h"
#include "sound/audiomodule/cliprecorder.h"

#include <QMediaDevices>

#include <type_traits>

namespace {

class QtSoundSystem final : public ClipFileSystem
{
public:
    QtSoundSystem()
    {
        QObject::connect(&m_devices, &QMediaDevices::audioOutputsChanged, &m_devices,
                         [this] { call(devicesChanged); });
        QObject::connect(&m_devices, &QMediaDevices::audioInputsChanged, &m_devices,
                         [this] { call(devicesChanged); });
        QObject::connect(&m_player, &ClipPlayer::finished, &m_player,
                         [this] { call(playbackFinished); });
        QObject::connect(&m_player, &ClipPlayer::failed, &m_player,
                         [this] { call(playbackFailed); });
        QObject::connect(&m_recorder, &ClipRecorder::interrupted, &m_recorder,
                         [this] { call(recordingInterrupted); });
    }

    bool hasOutput() const override { return !QMediaDevices::audioOutputs().isEmpty(); }
    bool hasInput() const override { return !QMediaDevices::audioInputs().isEmpty(); }

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
    QMediaDevices m_devices;
    ClipPlayer m_player;
    ClipRecorder m_recorder;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundSystem *luvana_createSoundSystem()
{
    return new QtSoundSystem;
}
static_assert(std::is_same_v<decltype(&luvana_createSoundSystem), CreateSoundSystem>);
