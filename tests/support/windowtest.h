// SPDX-License-Identifier: GPL-3.0-or-later

// Shared by the tests that drive the real window: a shown Form1 whose file dialog is
// answered from a queue, and a way to click a control by name as a user would.
#pragma once

#include "app/controltable.h"
#include "app/form1.h"
#include "platform/commondialog.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QQueue>
#include <QTest>
#include <QWidget>

#include <memory>
#include <optional>

// A control's rectangle at the design size, worked out here from its twips (15 to a pixel) and
// not by the window's own layout code.
inline QRect pixelRect(const ControlEntry &entry)
{
    return QRect(entry.left / 15, entry.top / 15, entry.width / 15, entry.height / 15);
}

// The window or the panel a control was placed on (a panel's children live in its client area).
inline QWidget *containerOf(const QWidget *control)
{
    QWidget *parent = control->parentWidget();
    if (parent && parent->objectName() == QLatin1String("clientArea"))
        return parent->parentWidget();
    return parent;
}

class WindowUnderTest
{
public:
    WindowUnderTest() : m_previousDir(QDir::currentPath()), m_window(std::make_unique<Form1>())
    {
        dialog()->setChooser([this](const CommonDialog::Request &request) {
            requests.append(request);
            return answers.isEmpty() ? std::optional<QString>() : answers.dequeue();
        });
        m_window->show();
        m_exposed = QTest::qWaitForWindowExposed(m_window.get());
    }
    ~WindowUnderTest() { QDir::setCurrent(m_previousDir); }
    WindowUnderTest(const WindowUnderTest &) = delete;
    WindowUnderTest &operator=(const WindowUnderTest &) = delete;

    bool exposed() const { return m_exposed; }
    Form1 *window() const { return m_window.get(); }
    Form1 *operator->() const { return m_window.get(); }
    CommonDialog *dialog() const
    {
        return m_window->findChild<CommonDialog *>(QStringLiteral("CMDialog1"));
    }

    template<typename T = QWidget>
    T *get(const char *name) const
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }

    // A click in the middle of a control's visible part, delivered where the window would
    // deliver it: to whatever control lies in front at that point.
    void click(const char *name, std::optional<QPoint> at = std::nullopt) const
    {
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, windowPoint(name, at));
    }
    void doubleClick(const char *name, std::optional<QPoint> at = std::nullopt) const
    {
        QTest::mouseDClick(m_window->windowHandle(), Qt::LeftButton, {}, windowPoint(name, at));
    }
    QPoint windowPoint(const char *name, std::optional<QPoint> at = std::nullopt) const
    {
        QWidget *control = get(name);
        return control->mapTo(m_window.get(), at.value_or(control->rect().center()));
    }

    // The table control that receives a click at a point of the window (its own children,
    // such as a text box's viewport or a panel's client area, count as the control).
    QString controlAt(QPoint windowPoint) const
    {
        QWidget *widget = m_window->childAt(windowPoint);
        while (widget && widget != m_window.get()) {
            for (const ControlEntry &entry : kControls) {
                if (widget->objectName() == QLatin1String(entry.name))
                    return widget->objectName();
            }
            widget = widget->parentWidget();
        }
        return QStringLiteral("Form1");
    }

    // Answers for the next dialogs; nothing queued means the user cancels.
    QQueue<std::optional<QString>> answers;
    QList<CommonDialog::Request> requests;

private:
    QString m_previousDir;
    std::unique_ptr<Form1> m_window;
    bool m_exposed = false;
};

// A new attempt with the dictation at `path`: Command1 clicked, the file chosen in the dialog.
inline void load(WindowUnderTest &w, const QString &path)
{
    w.answers.enqueue(path);
    w.click("Command1");
}

// One letter per item: T its box and its play button, P its play button alone (the picture in
// place of Text1), '.' neither, '?' a box without its button.
inline QString shownItems(const WindowUnderTest &w)
{
    QString shown;
    for (int item = 1; item <= 10; ++item) {
        const QByteArray number = QByteArray::number(item);
        const bool box = w.get(("Text" + number).constData())->isVisible();
        const bool button = w.get(("wav" + number).constData())->isVisible();
        shown += button ? (box ? u'T' : u'P') : (box ? u'?' : u'.');
    }
    return shown;
}

// What the ten item boxes show, Text1 first.
inline QStringList boxTexts(const WindowUnderTest &w)
{
    QStringList texts {w.get<QPlainTextEdit>("Text1")->toPlainText()};
    for (int item = 2; item <= 10; ++item)
        texts.append(w.get<QLineEdit>(("Text" + QByteArray::number(item)).constData())->text());
    return texts;
}

// Typed key by key into a control, which takes the focus first; QTest::keyClicks takes ASCII
// only, and Catalan needs its accents.
inline void typeInto(const WindowUnderTest &w, const char *name, const QString &text)
{
    QWidget *box = w.get(name);
    box->setFocus();
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// What the teacher does to save: the access code, then the save dialog answered with `path`.
inline void save(WindowUnderTest &w, const QString &path)
{
    typeInto(w, "codi", QStringLiteral("kub"));
    w.answers.enqueue(path);
    w.click("Command2");
}
