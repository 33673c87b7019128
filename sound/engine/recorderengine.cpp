// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/engine/recorderengine.h"

#include "platform/filetrash.h"
#include "sound/engine/slowcopies.h"
#include "sound/engine/soundloader.h"
#include "sound/engine/voice.h"

#include <algorithm>

using recorder::Command;
using recorder::Mode;
using recorder::Result;

namespace {

constexpr int kTickMs = 50;

// Qt 6.4's PulseAudio backend never signals added or removed devices; the engine asks instead.
constexpr int kDevicePollMs = 1000;
// Which voice there is is looked for this long after the engine is made: after the window has
// started, so that a machine without a Catalan voice says so before the button is first tried.
constexpr int kVoiceLookupMs = 1500;
// The meter shows the loudest sample of the last stretch of sound of this length.
constexpr qint64 kLevelWindowUSecs = 50000;

} // namespace

RecorderEngine::RecorderEngine(SoundSystemFactory factory, QObject *parent)
    : QObject(parent),
      m_factory(factory ? std::move(factory) : SoundSystemFactory(loadSoundSystem)),
      m_voice(new Voice(this))
{
    m_tick.setInterval(kTickMs);
    connect(&m_tick, &QTimer::timeout, this, &RecorderEngine::tick);
    m_devicePoll.setInterval(kDevicePollMs);
    connect(&m_devicePoll, &QTimer::timeout, this, &RecorderEngine::refreshDevices);
    QTimer::singleShot(kVoiceLookupMs, this, [this] {
        m_state.voiceLookedFor = true;
        refreshState();
    });
}

RecorderEngine::~RecorderEngine() = default;

void RecorderEngine::setSoundSystemFactory(SoundSystemFactory factory)
{
    m_factory = std::move(factory);
}

void RecorderEngine::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

QString RecorderEngine::fileName() const
{
    return m_fileName;
}

Result RecorderEngine::run(Command command)
{
    switch (command) {
    case Command::Close:
        return close();
    case Command::Open:
        return open();
    case Command::Rewind:
        return rewind();
    case Command::Play:
        return play();
    case Command::Pause:
        return pause();
    case Command::Stop:
        return stop();
    case Command::Record:
        return record();
    case Command::Save:
        return save();
    }
    return Result::UnknownCommand;
}

void RecorderEngine::setSpeechText(std::function<QString()> text)
{
    m_speechText = std::move(text);
    m_state.itemChosen = bool(m_speechText);
    m_state.voiceLookedFor = m_state.voiceLookedFor || m_state.itemChosen;
    speechTextChanged();
}

void RecorderEngine::speechTextChanged()
{
    m_state.hasText = m_speechText && !m_speechText().trimmed().isEmpty();
    refreshState();
}

Voice *RecorderEngine::voice() const
{
    return m_voice;
}

Mode RecorderEngine::mode() const
{
    return m_state.mode;
}

const recorder::State &RecorderEngine::state() const
{
    return m_state;
}

qint64 RecorderEngine::elapsedMs() const
{
    switch (m_state.mode) {
    case Mode::Playing:
        return m_sound->positionUSecs() / 1000;
    case Mode::Recording:
        return m_sound->recordedUSecs() / 1000;
    case Mode::NotOpen:
    case Mode::Stopped:
    case Mode::Paused:
        break;
    }
    return m_positionUSecs / 1000;
}

float RecorderEngine::level() const
{
    if (m_state.mode == Mode::Recording)
        return m_sound->level();
    if (m_state.mode != Mode::Playing)
        return 0;
    const qint64 now = m_sound->positionUSecs();
    const float *samples = m_heard.samples.constData();
    const qint64 from = m_heard.frameAt(now - kLevelWindowUSecs) * m_heard.channelCount;
    const qint64 to = m_heard.frameAt(now) * m_heard.channelCount;
    return std::min(peakLevel(samples + from, samples + to), 1.0f);
}

void RecorderEngine::setSlow(bool slow)
{
    m_slow = slow;
    if (slow && !m_slowCopies)
        m_slowCopies = std::make_unique<SlowCopies>();
    // A clip that is playing goes on at the new speed from the word it has got to.
    if (m_state.mode != Mode::Playing)
        return;
    // Where the pupil is now, before the slow copy takes its time to make.
    const qint64 heardUSecs = m_sound->positionUSecs();
    const AudioClip &clip = heardClip();
    if (clip.durationUSecs() == m_heard.durationUSecs())
        return;
    const qint64 position = heardUSecs * clip.durationUSecs()
            / std::max<qint64>(m_heard.durationUSecs(), 1);
    if (startHearing(clip, position) != StartResult::Started)
        backToStart();
}

const AudioClip &RecorderEngine::heardClip()
{
    if (m_slow && m_recording == Recording::None)
        return m_slowCopies->copyOf(m_fileName, m_clip);
    return m_clip;
}

StartResult RecorderEngine::startHearing(const AudioClip &clip, qint64 fromUSecs)
{
    m_heard = clip;
    return m_sound->startPlayback(clip, fromUSecs);
}

Result RecorderEngine::failedStart(StartResult started)
{
    return started == StartResult::NoDevice ? Result::NoDevice : Result::DeviceRefused;
}

Result RecorderEngine::close()
{
    if (m_sound) {
        m_sound->stopPlayback();
        // A recording that was not kept is dropped with the clip: that is what discarding means.
        m_sound->stopRecording();
    }
    // A voice still speaking for the clip that goes is not heard.
    m_voice->cancel();
    m_clip = {};
    m_heard = {};
    m_recording = Recording::None;
    m_positionUSecs = 0;
    setMode(Mode::NotOpen);
    return Result::Done;
}

Result RecorderEngine::open()
{
    // Closing cannot fail.
    static_cast<void>(close());
    if (m_fileName.isEmpty())
        return Result::BadFile;
    SoundSystem *sound = soundSystem();
    if (!sound)
        return Result::NoDevice;
    ClipReadResult read = sound->readClipFile(m_fileName);
    m_clip = std::move(read.clip);
    // Open even without a usable clip: the teacher records the item's clip from here, over a
    // missing file or a broken one alike.
    backToStart();
    switch (read.error) {
    case ClipReadError::None:
    case ClipReadError::NoFile:
        return Result::Done;
    case ClipReadError::TooLong:
        return Result::TooLong;
    case ClipReadError::Unreadable:
    case ClipReadError::NotAudio:
        break;
    }
    return Result::BadFile;
}

Result RecorderEngine::rewind()
{
    switch (m_state.mode) {
    case Mode::NotOpen:
        return Result::NothingOpen;
    case Mode::Playing:
        m_positionUSecs = 0;
        if (startHearing(heardClip(), 0) != StartResult::Started)
            backToStart();
        return Result::Done;
    case Mode::Recording:
        finishRecording();
        break;
    case Mode::Stopped:
    case Mode::Paused:
        break;
    }
    backToStart();
    return Result::Done;
}

Result RecorderEngine::play()
{
    if (m_state.mode == Mode::NotOpen)
        return Result::NothingOpen;
    if (m_state.mode == Mode::Playing)
        return Result::Done;
    if (m_state.mode == Mode::Recording)
        finishRecording();
    if (m_clip.isEmpty())
        return Result::BadFile;
    const AudioClip &clip = heardClip();
    // A pause held while the speed changed resumes at the same word.
    if (m_heard.durationUSecs() > 0 && clip.durationUSecs() != m_heard.durationUSecs())
        m_positionUSecs = m_positionUSecs * clip.durationUSecs() / m_heard.durationUSecs();
    if (m_positionUSecs >= clip.durationUSecs())
        m_positionUSecs = 0;
    if (const StartResult started = startHearing(clip, m_positionUSecs);
        started != StartResult::Started)
        return failedStart(started);
    setMode(Mode::Playing);
    return Result::Done;
}

Result RecorderEngine::pause()
{
    if (m_state.mode == Mode::NotOpen)
        return Result::NothingOpen;
    if (m_state.mode == Mode::Playing) {
        m_sound->stopPlayback();
        m_positionUSecs = m_sound->positionUSecs();
        setMode(Mode::Paused);
    }
    return Result::Done;
}

Result RecorderEngine::stop()
{
    switch (m_state.mode) {
    case Mode::NotOpen:
        return Result::NothingOpen;
    case Mode::Recording:
        finishRecording();
        return Result::Done;
    case Mode::Playing:
    case Mode::Paused:
        m_sound->stopPlayback();
        break;
    case Mode::Stopped:
        break;
    }
    backToStart();
    return Result::Done;
}

Result RecorderEngine::record()
{
    if (m_state.mode == Mode::NotOpen)
        return Result::NothingOpen;
    if (m_state.mode == Mode::Recording)
        return Result::Done;
    // Over a clip that plays: the teacher who pressed its speaker to hear it records at once.
    m_sound->stopPlayback();
    if (const StartResult started = m_sound->startRecording(); started != StartResult::Started) {
        backToStart();
        return failedStart(started);
    }
    m_positionUSecs = 0;
    setMode(Mode::Recording);
    return Result::Done;
}

Result RecorderEngine::save()
{
    if (m_state.mode == Mode::NotOpen)
        return Result::NothingOpen;
    if (m_state.mode == Mode::Recording)
        finishRecording();
    if (m_recording == Recording::None)
        return Result::NothingRecorded;
    if (m_recording == Recording::Microphone && isSilent(m_clip)) {
        // A microphone that gave nothing (unplugged, muted, the wrong one) never replaces a
        // teacher's clip: the clip in the file is what plays again.
        if (m_state.mode == Mode::Playing || m_state.mode == Mode::Paused)
            m_sound->stopPlayback();
        m_clip = m_sound->readClipFile(m_fileName).clip;
        m_recording = Recording::None;
        backToStart();
        return Result::SilentRecording;
    }
    AudioClip kept = m_recording == Recording::Microphone ? m_sound->keptRecording(m_clip) : m_clip;
    // On failure the recording stays here, so the teacher can keep it once the cause is gone.
    if (m_sound->saveClipFile(kept, m_fileName, moveFileToTrash) != ClipSaveResult::Saved)
        return Result::WriteFailed;
    // From now on the strip plays what the pupils will hear.
    if (m_state.mode == Mode::Playing || m_state.mode == Mode::Paused)
        m_sound->stopPlayback();
    m_clip = std::move(kept);
    m_recording = Recording::None;
    backToStart();
    return Result::Done;
}

void RecorderEngine::speak()
{
    const QString text = m_speechText ? m_speechText().trimmed() : QString();
    if (m_state.mode == Mode::NotOpen || m_state.mode == Mode::Recording || text.isEmpty()
        || m_voice->isSpeaking())
        return;
    if (m_state.mode == Mode::Playing || m_state.mode == Mode::Paused) {
        m_sound->stopPlayback();
        backToStart();
    }
    m_voice->speak(
            text, [this](const QByteArray &wav) { return m_sound->readClipBytes(wav).clip; },
            [this](AudioClip spoken) { speechArrived(std::move(spoken)); });
    refreshState();
}

void RecorderEngine::speechArrived(AudioClip spoken)
{
    const bool spokeWords = !spoken.isEmpty();
    // A recording begun while the voice spoke is the teacher's later word.
    if (m_state.mode != Mode::Recording && spokeWords) {
        m_sound->stopPlayback();
        m_clip = std::move(spoken);
        m_recording = Recording::Synthetic;
        backToStart();
    }
    refreshState();
    emit speechFinished(spokeWords);
}

SoundSystem *RecorderEngine::soundSystem()
{
    if (m_state.soundLoaded)
        return m_sound.get();
    m_state.soundLoaded = true;
    m_sound = m_factory();
    if (!m_sound) {
        refreshState();
        return nullptr;
    }
    m_sound->playbackFinished = [this] { playbackEnded(); };
    m_sound->playbackFailed = [this] { playbackEnded(); };
    m_sound->recordingInterrupted = [this] { finishRecording(); };
    m_sound->devicesChanged = [this] { refreshDevices(); };
    m_devicePoll.start();
    refreshDevices();
    return m_sound.get();
}

void RecorderEngine::finishRecording()
{
    if (m_state.mode != Mode::Recording)
        return;
    AudioClip recording = m_sound->stopRecording();
    // A device that delivered nothing leaves the clip that was there.
    if (!recording.isEmpty()) {
        m_clip = std::move(recording);
        m_recording = Recording::Microphone;
    }
    backToStart();
}

void RecorderEngine::playbackEnded()
{
    // The player lets the clip's tail out on its own; stopping it here would cut that short.
    if (m_state.mode == Mode::Playing)
        backToStart();
}

void RecorderEngine::backToStart()
{
    m_positionUSecs = 0;
    setMode(Mode::Stopped);
}

void RecorderEngine::setMode(Mode mode)
{
    if (mode == Mode::Playing || mode == Mode::Recording)
        m_tick.start();
    else
        m_tick.stop();
    const bool changed = mode != m_state.mode;
    m_state.mode = mode;
    refreshState();
    if (changed)
        emit modeChanged(mode);
}

void RecorderEngine::refreshDevices()
{
    m_state.hasOutput = m_sound->hasOutput();
    m_state.hasInput = m_sound->hasInput();
    refreshState();
}

// Emits the state when something the bar shows has changed; the tick never comes here.
void RecorderEngine::refreshState()
{
    m_state.hasClip = !m_clip.isEmpty();
    m_state.speaking = m_voice->isSpeaking();
    // Which voice there is is not looked for while the window starts.
    m_state.voice = m_state.voiceLookedFor ? m_voice->kind() : recorder::VoiceKind::None;
    if (m_state == m_shown)
        return;
    m_shown = m_state;
    emit stateChanged(m_state);
}
