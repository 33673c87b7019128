// SPDX-License-Identifier: GPL-3.0-or-later

// The window's play buttons, the grading tick and the feedback message.
#include "app/form1.h"

#include "app/widgets.h"
#include "listening/clippath.h"
#include "listening/exercise.h"
#include "listening/grading.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>

namespace {

// Enter on a focused play button plays it, as Space does: a pupil who moves with the keyboard
// confirms with whichever key is at hand.
class EnterClicks final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        static_cast<QAbstractButton *>(watched)->click();
        return true;
    }
};

const QString kNoSoundOutput = QStringLiteral(
        "No se sent res: no hi ha cap sortida de so (l'escolta no compta)");
const QString kSoundRefused = QStringLiteral(
        "No se sent res: el so de l'ordinador no respon (l'escolta no compta)");
const QString kClipTooLong = QStringLiteral(
        "Aquest clip dura més de 10 minuts i no es pot reproduir");

} // namespace

void Form1::playItem(int item)
{
    if (const auto path = listening::clipPath(arxiu, m_nom->text(), item))
        arxiuwav = *path;
    // The recorder's synthetic voice speaks this item, as its box holds it when asked.
    m_mmControl1->setSpeechText([this, item] { return speakableText(item); });
    m_mmControl1->setCommand(QStringLiteral("close"));
    // What is heard may be the clip with no name, or one in another letter case; arxiuwav stays
    // the clip of the name typed, where the recorder keeps and discards.
    m_mmControl1->setFileName(listening::clipToPlay(arxiu, m_nom->text(), item).value_or(arxiuwav));
    using Result = MediaControl::CommandResult;
    const Result opened = m_mmControl1->runCommand(QStringLiteral("Open"));
    m_mmControl1->setCommand(QStringLiteral("prev"));
    const Result played = m_mmControl1->runCommand(QStringLiteral("play"));

    // A play nobody could hear, because the sound would not start, is no listen: the caption
    // says why for as long as it is so. A clip missing or unreadable is the dictation's own and
    // counts, so the exercise still ends.
    if (opened == Result::NoDevice || played == Result::NoDevice
        || played == Result::DeviceRefused) {
        showFailure(Failure::Sound,
                    played == Result::DeviceRefused ? kSoundRefused : kNoSoundOutput);
        return;
    }
    // Whether hearing the item counts towards completing the exercise is the dictation's, as it
    // was loaded: emptying a box does not take its item out of the exercise.
    m_exercise.listen(item, !frase(item).isEmpty());
    if (opened == Result::TooLong)
        showFailure(Failure::Sound, kClipTooLong);
    else if (played == Result::Done)
        clearFailure(Failure::Sound);
}

void Form1::setUpSlowToggle()
{
    m_lent->setCheckable(true);
    m_lent->setToolTip(QStringLiteral("Més a poc a poc"));
    // A slow play is a play like any other: only what the sink is given changes.
    connect(m_lent, &QPushButton::toggled, m_mmControl1, &MediaControl::setSlow);
}

void Form1::setUpPlayKeys()
{
    auto *enterClicks = new EnterClicks(this);
    for (int item = 1; item <= 10; ++item) {
        QPushButton *button = playButton(item);
        const QKeySequence keys(Qt::CTRL | (item == 10 ? Qt::Key_0 : Qt::Key(Qt::Key_0 + item)));
        button->setToolTip(QStringLiteral("%1 (%2)").arg(button->accessibleName(),
                                                         keys.toString(QKeySequence::NativeText)));
        button->installEventFilter(enterClicks);
        // From anywhere in the window, the name box included, as a click would: a hidden or
        // disabled button does nothing, and every play counts.
        connect(new QShortcut(keys, this), &QShortcut::activated, button, [this, button] {
            if (button->isVisibleTo(this) && button->isEnabled())
                button->click();
        });
    }
}

void Form1::Timer1_Timer()
{
    showStep(m_exercise.tick());
}

void Form1::showStep(const listening::Display &display)
{
    if (display.caption)
        m_label2->announce(*display.caption);
    if (display.finalDisplay) {
        m_label2->setVisible(true);
        mensaje();
    }
}

void Form1::mensaje()
{
    // The message is written before the panel shows, so that what a screen reader says as the
    // panel comes into sight is this grade's message; a panel in sight already says it again.
    m_label5->announce(listening::feedbackMessage(nota));
    m_picture3->setVisible(true);
}
