// SPDX-License-Identifier: GPL-3.0-or-later

// The window's play buttons, the grading tick and the feedback message.
#include "app/form1.h"

#include "app/widgets.h"
#include "listening/clippath.h"
#include "listening/exercise.h"
#include "listening/grading.h"
#include "sound/mediacontrol.h"

#include <QLineEdit>

void Form1::playItem(int item)
{
    m_exercise.listen(item, !frase(item).isEmpty());
    if (const auto path = listening::clipPath(arxiu, m_nom->text(), item))
        arxiuwav = *path;
    // The recorder's synthetic voice speaks this item, as its box holds it when asked.
    m_mmControl1->setSpeechText([this, item] { return speakableText(item); });
    m_mmControl1->setCommand(QStringLiteral("close"));
    // What is heard may be the clip with no name, or one in another letter case; arxiuwav stays
    // the clip of the name typed, where the recorder keeps and discards.
    m_mmControl1->setFileName(listening::clipToPlay(arxiu, m_nom->text(), item).value_or(arxiuwav));
    m_mmControl1->setCommand(QStringLiteral("Open"));
    m_mmControl1->setCommand(QStringLiteral("prev"));
    m_mmControl1->setCommand(QStringLiteral("play"));
}

void Form1::setUpSlowToggle()
{
    m_lent->setCheckable(true);
    m_lent->setToolTip(QStringLiteral("Més a poc a poc"));
    // A slow play is a play like any other: only what the sink is given changes.
    connect(m_lent, &QPushButton::toggled, m_mmControl1, &MediaControl::setSlow);
}

void Form1::Timer1_Timer()
{
    showStep(m_exercise.tick());
}

void Form1::showStep(const listening::Display &display)
{
    if (display.caption)
        m_label2->setText(*display.caption);
    if (display.finalDisplay) {
        m_label2->setVisible(true);
        mensaje();
    }
}

void Form1::mensaje()
{
    m_picture3->setVisible(true);
    m_label5->setText(listening::feedbackMessage(nota));
}
