// SPDX-License-Identifier: GPL-3.0-or-later

// MMControl1: the window's media recorder. The window drives it only by writing properties
// (Notify, Wait, Shareable, DeviceType, FileName) and command names ("close", "Open", "prev",
// "play", "Save"); it reads nothing back. The control's own button bar sends the commands a
// user needs (previous, play, pause, stop, record) and follows the backend's state.
//
// "Open" decodes the whole clip into memory (sound/wavfile.h), so a clip file is never
// held open and can be replaced or deleted at any time. ClipPlayer plays the clip, and
// ClipRecorder records a new one that replaces it in memory until "Save" keeps it in the file.
// Both pick the default device at the moment they start, so a device that appears later is
// used without a restart. They, and the sound system behind them, live in a module of their
// own (sound/soundsystem.h), loaded on the first command that needs sound: start-up neither
// maps its libraries nor waits for the sound server, and a server that comes up after the
// window is still found. Without the module, sound commands fail as they do without a device.
//
// The "Veu" button speaks the text of the item whose play button was pressed last, as it stands
// in its box, into the same place a recording goes (sound/voice.h): play, "Save" and "close"
// then treat it as they treat a recording, except that "Save" keeps a recording made with the
// microphone trimmed and evened (sound/audioclip.h) and a synthetic one as it came.
//
// A command that fails leaves the control ready for the next; runCommand() says why it failed.
#pragma once

#include "sound/audioclip.h"

#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// The time the button bar shows: minutes and seconds, "0:07", "12:30".
QString elapsedText(qint64 msecs);

class QLabel;
class QProgressBar;
class QToolButton;
class SlowCopies;
class SoundSystem;
class Voice;

class MediaControl : public QWidget
{
    Q_OBJECT
public:
    enum class Mode { NotOpen, Stopped, Playing, Paused, Recording };
    Q_ENUM(Mode)

    // Why a command did not run. The window reads it where a user must hear of a failure.
    enum class [[nodiscard]] CommandResult {Done,    UnknownCommand,  NothingOpen, NoDevice,
                                            BadFile, NothingRecorded, WriteFailed};
    Q_ENUM(CommandResult)

    explicit MediaControl(QWidget *parent = nullptr);
    ~MediaControl() override;

    // The window's start-up settings. They are accepted and change nothing: nobody listens
    // for notifications, "play" never blocks (the grading timer must keep ticking), the
    // device is only held while a clip plays or records, and the kind of clip is found from
    // the file itself.
    void setNotify(bool notify);
    void setWait(bool wait);
    void setShareable(bool shareable);
    void setDeviceType(const QString &deviceType);

    void setFileName(const QString &fileName);
    QString fileName() const;

    // Writing Command: runs the named command (case-insensitive) for a caller that goes on
    // whatever happens, as playing and discarding do.
    void setCommand(const QString &command);
    CommandResult runCommand(const QString &command);

    // Where the "Veu" button reads the text it speaks; the window hands it over with every
    // play-button press, and calls speechTextChanged() when an item's text changes.
    void setSpeechText(std::function<QString()> text);
    void speechTextChanged();
    // The window never changes the voice; tests make it hang or go missing through it.
    Voice *voice() const;

    // While on, "play" plays a clip read from a file slower, its pitch kept (sound/slowcopies.h);
    // a recording not yet kept plays as it was made. Takes effect at the next "play".
    void setSlow(bool slow);

    Mode mode() const;
    // What the bar's clock shows: the position in the clip, or the length recorded so far.
    qint64 elapsedMs() const;

signals:
    void modeChanged(MediaControl::Mode mode);
    // The voice has spoken, or failed to; the button can be pressed again.
    void speechFinished();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    CommandResult close();
    CommandResult open();
    CommandResult rewind();
    CommandResult play();
    CommandResult pause();
    CommandResult stop();
    CommandResult record();
    CommandResult save();
    void speak();
    void speechArrived(AudioClip spoken, quint64 openCount);

    // What "play" sounds: the clip, or its slow copy.
    const AudioClip &heardClip();
    // False when the sink would not start.
    bool startHearing(const AudioClip &clip, qint64 fromUSecs);
    // Loads the sound system on first use; nullptr where there is none.
    SoundSystem *soundSystem();
    void finishRecording();
    void playbackEnded();
    void setMode(Mode mode);
    void refreshDevices();
    void updateBar();
    void updateVoiceButton();
    void fitBar();
    float level() const;

    QString m_fileName;
    AudioClip m_clip;
    // What the sink was last given: m_clip, or its slow copy. Positions are within it.
    AudioClip m_heard;
    bool m_slow = false;
    // Made when slow speech is first asked for, so a window that never asks loads none of it.
    std::unique_ptr<SlowCopies> m_slowCopies;
    // What m_clip is when "Save" has not kept it yet: a recording, or the voice's.
    enum class Recording { None, Microphone, Synthetic };
    Recording m_recording = Recording::None;
    // Counts "close": a voice that speaks after the clip it was for has gone is not heard.
    quint64 m_openCount = 0;
    qint64 m_positionUSecs = 0;
    Mode m_mode = Mode::NotOpen;
    bool m_hasOutput = false;
    bool m_hasInput = false;

    // Every mode but NotOpen is entered through open(), which has made sure of m_sound.
    std::unique_ptr<SoundSystem> m_sound;
    bool m_soundLoaded = false; // loading was tried, whether or not it worked
    Voice *m_voice;
    std::function<QString()> m_speechText;

    QToolButton *m_prevButton;
    QToolButton *m_playButton;
    QToolButton *m_pauseButton;
    QToolButton *m_stopButton;
    QToolButton *m_recordButton;
    QToolButton *m_voiceButton;
    QLabel *m_elapsedLabel;
    QProgressBar *m_levelMeter;
    QSize m_designIconSize;
    QTimer m_barTimer;
    QTimer m_devicePoll;
};
