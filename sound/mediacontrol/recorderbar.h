// SPDX-License-Identifier: GPL-3.0-or-later

// The recorder's bar of buttons, its clock and its level meter. It only shows: a click or a key
// becomes a command for whoever listens, the buttons follow the state it is given, and the
// clock and the meter follow showProgress(), which the engine's tick drives while a clip plays
// or records. While it has the focus, R records, Space plays or pauses, Home rewinds, Escape
// stops and V has the voice speak; each button's tooltip names its key.
#pragma once

#include "sound/engine/recorder.h"

#include <QSize>
#include <QWidget>

// The time the bar shows: minutes and seconds, "0:07", "12:30".
QString elapsedText(qint64 msecs);

class LevelMeter;
class QLabel;
class QToolButton;

class RecorderBar : public QWidget
{
    Q_OBJECT
public:
    explicit RecorderBar(QWidget *parent = nullptr);

    void setState(const recorder::State &state);
    void showProgress(qint64 elapsedMs, float level);

signals:
    void commandRequested(recorder::Command command);
    void voiceRequested();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void addButton(QToolButton *&button, const char *name, const char16_t *text, int symbol,
                   Qt::Key key);
    void showVoiceButton();
    void fitBar();

    recorder::State m_state;
    QToolButton *m_prevButton;
    QToolButton *m_playButton;
    QToolButton *m_pauseButton;
    QToolButton *m_stopButton;
    QToolButton *m_recordButton;
    QToolButton *m_voiceButton;
    QLabel *m_elapsedLabel;
    LevelMeter *m_levelMeter;
    QSize m_designIconSize;
};
