// SPDX-License-Identifier: GPL-3.0-or-later

// The one table of kinds: the widget class that each kind of control in the design
// (app/controldesign.h) is made as. Building a control and checking a handle's type at compile
// time both read it, so a kind's class is written here and nowhere else.
#pragma once

#include "app/controldesign.h"
#include "app/widgets.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <type_traits>
#include <utility>

template<ControlKind Kind>
struct KindWidget;
// clang-format off
template<> struct KindWidget<ControlKind::TextBox> { using type = QLineEdit; };
template<> struct KindWidget<ControlKind::MultiLineTextBox> { using type = QPlainTextEdit; };
template<> struct KindWidget<ControlKind::Label> { using type = ClickLabel; };
template<> struct KindWidget<ControlKind::Notice> { using type = NoticeLabel; };
template<> struct KindWidget<ControlKind::Image> { using type = ImageBox; };
template<> struct KindWidget<ControlKind::Button> { using type = QPushButton; };
template<> struct KindWidget<ControlKind::PictureButton> { using type = PictureButton; };
template<> struct KindWidget<ControlKind::PictureBox> { using type = PictureBox; };
template<> struct KindWidget<ControlKind::MediaControl> { using type = MediaControl; };
// clang-format on

namespace controlkinds {

inline constexpr std::size_t kKindCount = std::size_t(ControlKind::MediaControl) + 1;
using Kinds = std::make_index_sequence<kKindCount>;

template<std::size_t K>
using WidgetOf = typename KindWidget<ControlKind(K)>::type;

template<typename T, std::size_t... K>
constexpr bool makes(ControlKind kind, std::index_sequence<K...>)
{
    return ((kind == ControlKind(K) && std::is_base_of_v<T, WidgetOf<K>>) || ...);
}

template<std::size_t... K>
QWidget *create(ControlKind kind, QWidget *parent, std::index_sequence<K...>)
{
    QWidget *made = nullptr;
    ((kind == ControlKind(K) ? void(made = new WidgetOf<K>(parent)) : void()), ...);
    return made;
}

} // namespace controlkinds

// Whether a control of the kind is a T (its own class or one it derives from).
template<typename T>
constexpr bool kindMakes(ControlKind kind)
{
    return controlkinds::makes<T>(kind, controlkinds::Kinds());
}

// A new widget of the kind's class.
inline QWidget *createControl(ControlKind kind, QWidget *parent)
{
    return controlkinds::create(kind, parent, controlkinds::Kinds());
}
