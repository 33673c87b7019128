// The window's play buttons, the grading tick and the feedback message.
#include "app/form1.h"

#include "app/widgets.h"
#include "listening/clippath.h"
#include "listening/grading.h"
#include "sound/mediacontrol.h"

#include <QLineEdit>

void Form1::playItem(int item)
{
    ++escoltes;
    // Only items of the exercise count towards completing it: the authoring layout also shows
    // the play buttons of empty items, and hearing one of those must not make the exercise
    // impossible to finish.
    if (!frase(item).isEmpty() && !m_itemsPlayed.test(std::size_t(item - 1))) {
        m_itemsPlayed.set(std::size_t(item - 1));
        ++acabades;
    }
    if (const auto path = listening::clipPath(arxiu, m_nom->text(), item))
        arxiuwav = *path;
    m_mmControl1->setCommand(QStringLiteral("close"));
    m_mmControl1->setFileName(arxiuwav);
    m_mmControl1->setCommand(QStringLiteral("Open"));
    m_mmControl1->setCommand(QStringLiteral("prev"));
    m_mmControl1->setCommand(QStringLiteral("play"));
}

void Form1::Timer1_Timer()
{
    if (nfrases < 1)
        return;
    nota = listening::gradeAfterTick(escoltes, nfrases, nota);
    const QString caption = listening::gradeCaption(nota);
    // An idle window must not repaint five times a second: only a new caption is written.
    if (m_label2->text() != caption)
        m_label2->setText(caption);

    // The final display runs when the exercise becomes complete, and again only when the
    // grade it showed has changed: run on every tick, it would bring back a panel the pupil
    // has just put away. The caption above already holds the grade it shows.
    if (acabades == nfrases && m_finalGradeShown != nota) {
        m_finalGradeShown = nota;
        m_label2->setVisible(true);
        mensaje();
    }
}

void Form1::mensaje()
{
    m_picture3->setVisible(true);
    m_label5->setText(listening::feedbackMessage(nota));
}
