// SPDX-License-Identifier: GPL-3.0-or-later

// Form1: the one window of the program. It owns every control (built from the control table)
// and the exercise state that its handlers share: which dictation is open, which clip was
// last chosen, the item texts, and the counters that the grading tick turns into a grade
// (these name the fields of listening::Exercise, which holds the rules of an attempt).
//
// The handlers are thin: the dictation format, the clip names, the rules of an attempt, the
// grade, the messages, the access code and the picture name are plain functions and types of
// the dictation, listening and authoring libraries; a handler reads the controls, calls them
// and writes the results back.
// Handlers are grouped by the subsystem they belong to, one file each (form1_*.cpp).
#pragma once

#include "app/layoutscale.h"
#include "listening/exercise.h"
#include "sound/engine/recorder.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class BuiltControls;
class CommonDialog;
class ImageBox;
class MediaControl;
class NoticeLabel;
class PictureBox;
class PictureButton;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QScreen;
class QShortcut;
class QTimer;

class Form1 : public QWidget
{
    Q_OBJECT
    // The rules of the attempt and the item texts; declared first, as the fields below name
    // theirs.
    listening::Exercise m_exercise;
    std::array<QString, 10> m_frases;

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The exercise state.
    QString arxiu;    // the open dictation's full path
    QString arxiuwav; // the clip last chosen with a play button
    // The ten item texts as read from the dictation file, by their names.
    QString &frase1 = m_frases[0], &frase2 = m_frases[1], &frase3 = m_frases[2],
            &frase4 = m_frases[3], &frase5 = m_frases[4], &frase6 = m_frases[5],
            &frase7 = m_frases[6], &frase8 = m_frases[7], &frase9 = m_frases[8],
            &frase10 = m_frases[9];
    int &nfrases = m_exercise.nfrases;   // items of the open dictation that have text
    int &escoltes = m_exercise.escoltes; // presses since start-up or the last new attempt
    int &nota = m_exercise.nota;         // the grade, 0 to 10
    int &acabades = m_exercise.acabades; // distinct items played since the last new attempt

    // Events of the window's controls.
    void Form_Load();
    void Picture3_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Label4_Click();
    void Label7_DblClick();
    void dib_Click();
    void wav1_Click() { playItem(1); }
    void wav2_Click() { playItem(2); }
    void wav3_Click() { playItem(3); }
    void wav4_Click() { playItem(4); }
    void wav5_Click() { playItem(5); }
    void wav6_Click() { playItem(6); }
    void wav7_Click() { playItem(7); }
    void wav8_Click() { playItem(8); }
    void wav9_Click() { playItem(9); }
    void wav10_Click() { playItem(10); }
    void Timer1_Timer();
    void codi_Change();

    // A dictation named on the command line (a double click on it in the file manager) opens as
    // a new attempt chosen in the open dialog would; a path that is not an existing .dtd file,
    // which that dialog would not offer, changes nothing. False then.
    bool openGivenDictation(const QString &path);

    // Procedures of the window.
    void Picture4_Click();
    void carga(const QString &chosen);
    void guarda();
    void mensaje();

    QString &frase(int item);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void takeControls(const BuiltControls &built);
    void connectHandlers(const BuiltControls &built);
    // Every change of the caption but a failure's goes through here.
    void setCaption(const QString &caption);
    // A caption that tells of a failure, for good. While full screen hides the title bar, the
    // same words show in the window, and reach a screen reader, until the next key or click.
    void tellFailure(const QString &caption);
    void sayInWindow(const QString &words);
    // A failure of one kind, told as tellFailure() does; a later success of the same kind, or
    // any other caption, takes its words away again.
    enum class Failure { None, Sound, Recording, Voice };
    void showFailure(Failure kind, const QString &message);
    void clearFailure(Failure kind);
    // What the recorder strip's own buttons and the voice could not do.
    void recorderFailed(recorder::Command command, recorder::Result result);
    void voiceFinished(bool spoken);
    // The open dialog for a dictation; `chosen` is not called for a cancel.
    void chooseDictation(const std::function<void(const QString &chosen)> &chosen);
    // The attempt starts over on the dictation chosen.
    void startAttempt(const QString &chosen);
    // The rest of a save and of a picture's choice, once their dialog is closed.
    void saveChosen();
    void pictureChosen();
    // The dictation the program is started with, where there is one (platform/startupdictation.h).
    void openStartupDictation();
    // Pupils see item 1's picture only beside the dictation: one shown from elsewhere is copied
    // there, never over another file. False when the picture named is not there afterwards.
    bool putPictureBesideDictation(const QString &item1Block);
    void fitToScreen();
    // F11 turns full screen on and off, and Escape leaves it, for the class's whiteboard.
    void setUpFullScreenKeys();
    void leaveFullScreen();
    void playItem(int item);
    // The pupil's slow-speech toggle, off at start and at every new attempt.
    void setUpSlowToggle();
    // Ctrl+1 ... Ctrl+9 and Ctrl+0 press items 1 ... 10's play buttons; Enter presses the one
    // with the focus, as Space does.
    void setUpPlayKeys();
    void showStep(const listening::Display &display);
    QWidget *itemBox(int item) const;
    QPushButton *playButton(int item) const;
    QLineEdit *lineBox(int item) const; // items 2 to 10
    void setItemText(int item, const QString &text);
    // An item's text is what its box holds: what the voice speaks and what saving writes.
    QString itemText(int item) const;
    QString speakableText(int item) const;

    QPlainTextEdit *m_text1;
    std::array<QWidget *, 10> m_itemBoxes {};       // Text1..Text10
    std::array<QPushButton *, 10> m_playButtons {}; // wav1..wav10
    QLineEdit *m_titol;
    QLineEdit *m_nom;
    QLineEdit *m_codi;
    NoticeLabel *m_label2;
    NoticeLabel *m_label5;
    NoticeLabel *m_avis;
    ImageBox *m_image1;
    PictureBox *m_picture3;
    PictureButton *m_dib;
    PictureButton *m_lent;
    QPushButton *m_command3;
    QPushButton *m_command4;
    MediaControl *m_mmControl1;
    QTimer *m_timer1;
    CommonDialog *m_cmDialog1;
    // Which failure the caption tells of, and what it said before.
    Failure m_failure = Failure::None;
    QString m_captionBeforeFailure;

    // Where the layout is drawn for the screen the window is on (app/layoutscale.h).
    LayoutPlacement m_placement;
    QPointer<QScreen> m_watchedScreen;
    QMetaObject::Connection m_screenArea;
    std::unique_ptr<BuiltControls> m_controls;
    QShortcut *m_leaveFullScreen = nullptr;
    // The state full screen came from, maximized or normal, which leaving it returns to.
    Qt::WindowStates m_stateBeforeFullScreen = Qt::WindowMaximized;
    // Leaving full screen, the window manager goes through states and geometries of its own
    // (normal on the way to maximized, then the geometry it kept from before): a size or place
    // given the window on one of them would undo the next. They are given once the steps have
    // ended, which this timer, restarted by each, tells.
    QTimer *m_fullScreenLeft = nullptr;
    // A normal window's size follows the layout's scale, once the window is no longer settling.
    bool m_resizeToLayout = false;
    bool m_bringOnScreen = false;
};
