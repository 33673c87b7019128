// SPDX-License-Identifier: GPL-3.0-or-later
// The baseline of bench_startup: a bare Qt window with a plain Qt widget for each control of
// the program's table, showing the same texts in the same fonts (see startupchild.h).
#include "app/controltable.h"
#include "startupchild.h"

#include <QApplication>
#include <QFrame>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace {

QWidget *plainWidget(ControlKind kind, QWidget *parent)
{
    switch (kind) {
    case ControlKind::TextBox:
        return new QLineEdit(parent);
    case ControlKind::MultiLineTextBox:
        return new QPlainTextEdit(parent);
    case ControlKind::Label:
    case ControlKind::Notice:
    case ControlKind::Image:
        return new QLabel(parent);
    case ControlKind::Button:
    case ControlKind::PictureButton:
        return new QPushButton(parent);
    case ControlKind::PictureBox:
    case ControlKind::MediaControl:
        return new QFrame(parent);
    }
    return new QWidget(parent);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    for (const ControlEntry &entry : kControls) {
        QWidget *widget = plainWidget(entry.kind, &window);
        if (entry.font.family) {
            static const QHash<QByteArray, QString> kFreeFamilies {
                    {"Arial", QStringLiteral("Liberation Sans")},
                    {"MS Sans Serif", QStringLiteral("Liberation Sans")},
                    {"Comic Sans MS", QStringLiteral("Comic Neue")},
            };
            QFont font(
                    kFreeFamilies.value(entry.font.family, QString::fromLatin1(entry.font.family)));
            font.setPointSizeF(entry.font.points);
            font.setBold(entry.font.bold);
            widget->setFont(font);
        }
        const QString text = entry.text ? QString::fromUtf16(entry.text) : QString();
        if (auto *label = qobject_cast<QLabel *>(widget))
            label->setText(text);
        else if (auto *button = qobject_cast<QPushButton *>(widget))
            button->setText(text);
        // The design's rectangle as it is: twips, 15 to a pixel.
        widget->setGeometry(
                QRect(entry.left / 15, entry.top / 15, entry.width / 15, entry.height / 15));
        widget->setVisible(!(entry.flags & Hidden));
    }
    window.resize(801, 801);
    startupchild::FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    return app.exec();
}
