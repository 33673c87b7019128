// SPDX-License-Identifier: GPL-3.0-or-later

// The window's controls built from its design (app/controldesign.h), each as the widget of
// its kind (app/controlkinds.h), placed at the layout's scale (app/layoutscale.h); and the
// handles to them, which the window keeps to place them again at another scale.
#pragma once

#include "app/controldesign.h"
#include "app/controlkinds.h"
#include "app/layoutscale.h"

#include <QtGlobal>

#include <array>
#include <cstddef>
#include <string_view>

class QWidget;

// The controls buildControls() made, by row, which the window keeps. get<T, entryIndex("name")>()
// checks at compile time that the name is in the table and that its kind makes a T; at() checks the
// kind of a row computed at run time.
class BuiltControls
{
public:
    template<typename T, std::size_t Row>
    T *get() const
    {
        static_assert(Row < kControlCount);
        static_assert(kindMakes<T>(kControls[Row].kind), "the table makes another kind of widget");
        return static_cast<T *>(m_widgets[Row]);
    }
    template<typename T>
    T *at(std::size_t row) const
    {
        Q_ASSERT(row < kControlCount && kindMakes<T>(kControls[row].kind));
        return static_cast<T *>(m_widgets[row]);
    }

    // The ten items' controls named `prefix` and their number, in item order.
    template<typename T>
    std::array<T *, 10> items(std::string_view prefix) const
    {
        std::array<T *, 10> controls {};
        for (int item = 1; item <= 10; ++item)
            controls[std::size_t(item - 1)] = at<T>(itemRow(prefix, item));
        return controls;
    }

private:
    friend BuiltControls buildControls(QWidget *window, qreal scale);
    std::array<QWidget *, kControlCount> m_widgets {};
};

// Creates every control of the table on the window, in order, placed at the layout's scale
// (app/layoutscale.h), and sets the tab order.
BuiltControls buildControls(QWidget *window, qreal scale);

// Places every control again at another placement: rectangles, fonts and pictures. The origin
// moves the window's own controls; a panel's children stay where they are on their panel.
void placeControls(QWidget *window, const BuiltControls &built, const LayoutPlacement &placement);
