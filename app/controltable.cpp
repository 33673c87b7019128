// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/controltable.h"

#include "app/layoutscale.h"
#include "platform/fontfamilies.h"

#include <QApplication>
#include <QPointer>
#include <QStyle>
#include <QStyleFactory>

#include <utility>

namespace {

// Checked when the program is compiled: every name in the tab order is a control of the table,
// each of the ten items has its box and its play button, and every container is a panel made
// before the controls it holds.
constexpr bool tableIsConsistent()
{
    for (const char *name : kTabOrder)
        entryIndex(name);
    for (int item = 1; item <= 10; ++item) {
        if (!kindMakes<QPushButton>(kControls[itemRow("wav", item)].kind))
            return false;
        const ControlKind box = kControls[itemRow("Text", item)].kind;
        if (box != (item == 1 ? ControlKind::MultiLineTextBox : ControlKind::TextBox))
            return false;
    }
    for (std::size_t row = 0; row < kControlCount; ++row) {
        const char *container = kControls[row].container;
        if (container
            && (entryIndex(container) >= row
                || kControls[entryIndex(container)].kind != ControlKind::PictureBox))
            return false;
    }
    return true;
}
static_assert(tableIsConsistent());

void applyText(QWidget *control, const QString &text, unsigned flags)
{
    if (auto *label = qobject_cast<QLabel *>(control)) {
        label->setText(text);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment((flags & Centered) ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    } else if (auto *line = qobject_cast<QLineEdit *>(control)) {
        line->setText(text);
        if (flags & Centered)
            line->setAlignment(Qt::AlignCenter);
        if (flags & PasswordEcho)
            line->setEchoMode(QLineEdit::Password);
    } else if (auto *box = qobject_cast<QPlainTextEdit *>(control)) {
        box->setPlainText(text);
    } else if (auto *button = qobject_cast<QPushButton *>(control)) {
        button->setText(text);
    }
}

// One style for every control whose colours come from the design, owned by the application.
QStyle *designColoursStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = QStyleFactory::create(QStringLiteral("Fusion"));
        style->setParent(qApp);
    }
    return style;
}

// Each colour goes only to the roles its kind of control paints with, so that a panel's
// black does not spread to the boxes and buttons it holds.
void applyColours(QWidget *control, const ControlEntry &entry)
{
    QPalette::ColorRole foregroundRole = QPalette::WindowText;
    QPalette::ColorRole backgroundRole = QPalette::Window;
    switch (entry.kind) {
    case ControlKind::TextBox:
    case ControlKind::MultiLineTextBox:
        foregroundRole = QPalette::Text;
        backgroundRole = QPalette::Base;
        break;
    case ControlKind::Button:
    case ControlKind::PictureButton:
        foregroundRole = QPalette::ButtonText;
        backgroundRole = QPalette::Button;
        break;
    default:
        break;
    }
    QPalette palette = control->palette();
    if (entry.foreground)
        palette.setColor(foregroundRole, QColor::fromRgb(*entry.foreground));
    if (entry.background)
        palette.setColor(backgroundRole, QColor::fromRgb(*entry.background));
    control->setPalette(palette);
    // Windows' own style paints push buttons and text box frames in the system's colours,
    // whatever the palette says: "Textos a la Web" came out white instead of green, and the
    // black title box had a white frame inside the black bar. A button or box the design colours
    // is painted by Qt's Fusion style, as on the free desktops, on every system.
    const bool paintedBySystem = entry.kind == ControlKind::Button
            || entry.kind == ControlKind::TextBox;
    if (paintedBySystem && entry.background)
        control->setStyle(designColoursStyle());

    // Opaque labels show the system's button face behind their text (keeping their own text
    // colour, which Qt would otherwise pair with that background), and so does the recorder's
    // bar, which lies over the black title bar.
    const bool label = entry.kind == ControlKind::Label || entry.kind == ControlKind::Notice;
    const bool opaqueLabel = label && (entry.flags & Opaque);
    const bool buttonFace = opaqueLabel || entry.kind == ControlKind::MediaControl;
    if (buttonFace) {
        control->setBackgroundRole(QPalette::Button);
        control->setForegroundRole(opaqueLabel ? QPalette::WindowText : QPalette::ButtonText);
    }
    control->setAutoFillBackground(
            buttonFace || ((entry.kind == ControlKind::PictureBox || label) && entry.background));
}

// The window was designed with fonts that free systems lack; each has a free equivalent of
// the same size and feel, which the package installs (platform/fontfamilies.h says which the
// control asks for).
QStringList familiesFor(const char *designed)
{
    static constexpr std::pair<const char *, const char *> kEquivalents[] = {
            {"Arial", "Liberation Sans"},
            {"MS Sans Serif", "Liberation Sans"},
            {"Comic Sans MS", "Comic Neue"},
    };
    for (const auto &[name, equivalent] : kEquivalents) {
        if (qstrcmp(designed, name) == 0)
            return fontFamilies(QString::fromLatin1(designed), QString::fromLatin1(equivalent));
    }
    return {QString::fromLatin1(designed)};
}

void applyLook(QWidget *control, const ControlEntry &entry)
{
    if (auto *box = qobject_cast<QPlainTextEdit *>(control)) {
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setTabChangesFocus(true);
    }
    if (auto *box = qobject_cast<PictureBox *>(control)) {
        if (entry.flags & SunkenBorder) {
            box->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        } else if (entry.flags & SingleBorder) {
            box->setFrameStyle(QFrame::Box | QFrame::Plain);
            box->setLineWidth(1);
        } else {
            box->setFrameStyle(QFrame::NoFrame);
        }
        // Panels take part in the tab order, as the window's other controls do.
        box->setFocusPolicy(Qt::TabFocus);
        if (entry.picture)
            box->setPicture(QString::fromUtf16(entry.picture));
    }
    if (auto *button = qobject_cast<PictureButton *>(control)) {
        button->setPictures(QString::fromUtf16(entry.picture),
                            entry.downPicture ? QString::fromUtf16(entry.downPicture) : QString());
    }
    if (qobject_cast<QPushButton *>(control))
        control->setFocusPolicy(Qt::StrongFocus);
    // The recorder is one stop in the tab order, whatever buttons it holds.
    if (entry.kind == ControlKind::MediaControl)
        control->setFocusPolicy(Qt::TabFocus);
    if (entry.kind == ControlKind::Label || entry.kind == ControlKind::Notice
        || entry.kind == ControlKind::Image)
        control->setFocusPolicy(Qt::NoFocus);
    applyColours(control, entry);
}

// Everything about a control that the layout's scale changes: its rectangle, its font and the
// size of its picture.
void placeControl(QWidget *control, const ControlEntry &entry, qreal scale, QPoint origin = QPoint())
{
    if (entry.font.family) {
        QFont font;
        font.setFamilies(familiesFor(entry.font.family));
        font.setPointSizeF(entry.font.points * scale);
        font.setBold(entry.font.bold);
        control->setFont(font);
    }
    if (auto *button = qobject_cast<PictureButton *>(control))
        button->setPictureScale(scale);
    control->setGeometry(scaledRect(entry.left, entry.top, entry.width, entry.height, scale)
                                 .translated(entry.container ? QPoint() : origin));
    if (auto *box = qobject_cast<PictureBox *>(control))
        box->layoutClientArea();
}

} // namespace

BuiltControls buildControls(QWidget *window, qreal scale)
{
    // Controls without a font of their own, such as the recorder's clock, take the window's.
    window->setFont(scaledFont(QApplication::font(), scale));
    BuiltControls built;
    for (std::size_t row = 0; row < kControlCount; ++row) {
        const ControlEntry &entry = kControls[row];
        QWidget *parent = window;
        // A panel comes before the controls it holds.
        if (entry.container)
            parent = built.at<PictureBox>(entryIndex(entry.container))->clientArea();
        QWidget *control = createControl(entry.kind, parent);
        control->setObjectName(QString::fromLatin1(entry.name));
        applyLook(control, entry);
        applyText(control, entry.text ? QString::fromUtf16(entry.text) : QString(), entry.flags);
        if (entry.accessibleName)
            control->setAccessibleName(QString::fromUtf16(entry.accessibleName));
        placeControl(control, entry, scale);
        control->setVisible(!(entry.flags & Hidden));
        built.m_widgets[row] = control;
    }

    QWidget *previous = nullptr;
    for (const char *name : kTabOrder) {
        QWidget *control = built.at<QWidget>(entryIndex(name));
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
    return built;
}

void placeControls(QWidget *window, const BuiltControls &built, const LayoutPlacement &placement)
{
    window->setFont(scaledFont(QApplication::font(), placement.scale));
    for (std::size_t row = 0; row < kControlCount; ++row)
        placeControl(built.at<QWidget>(row), kControls[row], placement.scale, placement.origin);
}
