// SPDX-License-Identifier: GPL-3.0-or-later

// MMControl1: the window's media recorder. The window drives it only by writing properties
// (Notify, Wait, Shareable, DeviceType, FileName) and command names ("close", "Open", "prev",
// "play", "Save"); it reads nothing back. The control owns the recorder's bar
// (sound/mediacontrol/recorderbar.h) and its engine (sound/engine/recorderengine.h): the names
// the window writes become the engine's commands here, the bar's clicks and keys go to the
// engine, and only the engine's state, as it announces it, sets what the bar shows. The bar
// takes the control's place in the tab order and answers to its accessible name.
//
// The "Veu" button speaks the text of the item whose play button was pressed last, as it stands
// in its box, into the same place a recording goes (sound/voice.h).
//
// A command that fails leaves the control ready for the next; runCommand() says why it failed.
#pragma once

#include "sound/engine/recorderengine.h"

#include <QString>
#include <QWidget>

#include <functional>

class RecorderBar;
class Voice;

class MediaControl : public QWidget
{
    Q_OBJECT
public:
    using Mode = recorder::Mode;
    using CommandResult = recorder::Result;

    explicit MediaControl(QWidget *parent = nullptr,
                          RecorderEngine::SoundSystemFactory soundSystem = {});
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
    // The window never changes the voice or the devices; tests make them hang or go missing
    // through these.
    Voice *voice() const;
    void setSoundSystemFactory(RecorderEngine::SoundSystemFactory factory);

    // While on, "play" plays a clip read from a file slower, its pitch kept (sound/slowcopies.h);
    // a recording not yet kept plays as it was made. Takes effect at the next "play".
    void setSlow(bool slow);

    Mode mode() const;
    // What the bar's clock shows: the position in the clip, or the length recorded so far.
    qint64 elapsedMs() const;

signals:
    void modeChanged(MediaControl::Mode mode);
    // The voice has spoken into the recording, or no voice could speak the text; the button can
    // be pressed again.
    void speechFinished(bool spoken);
    // A command of the bar's own buttons or keys did not run; the window tells why.
    void commandFailed(recorder::Command command, MediaControl::CommandResult result);
    // An output or a microphone came or went.
    void devicesChanged(bool hasOutput, bool hasInput);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refreshProgress();

    RecorderEngine m_engine;
    RecorderBar *m_bar;
    recorder::State m_shown;
};
