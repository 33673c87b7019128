// SPDX-License-Identifier: GPL-3.0-or-later
// The window's layout is drawn at one scale. It was designed in twips for a screen that holds
// its whole client area (801 x 797 pixels, the feedback panel included); on a screen whose free
// area cannot, every position, size, font and picture is drawn smaller by one factor, the
// largest that fits, so the panel and its message stay in sight. Where the layout fits, the
// factor is 1 and every control stands at twips / 15 pixels. A maximized or full-screen window
// that holds the whole layout draws what is in sight, down to the bottom bar, at the factor that
// fills the window, centred across it, larger on a whiteboard; the feedback panel, hidden until
// the end, then stands where it fits (the window keeps it whole).
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QFont;

inline constexpr int kTwipsPerPixel = 15;

// Each function is given the client area the layout covers at its design size, in twips.

// The client area the layout needs at a scale.
QSize layoutSize(const QSize &designTwips, qreal scale);

// The largest factor, at most 1, at which the layout and the window's frame fit the area.
qreal layoutScale(const QSize &designTwips, const QRect &available, const QMargins &frame);

// Where the layout is drawn: its factor, and where its top-left corner stands in the client area.
struct LayoutPlacement
{
    qreal scale = 1;
    QPoint origin;
    friend bool operator==(const LayoutPlacement &a, const LayoutPlacement &b)
    {
        return qFuzzyCompare(a.scale, b.scale) && a.origin == b.origin;
    }
    friend bool operator!=(const LayoutPlacement &a, const LayoutPlacement &b) { return !(a == b); }
};

// The placement that fills the client area of a maximized or full-screen window, as on a class's
// whiteboard. A client area that holds the whole layout gets the layout in sight (the design's
// width, `visibleHeightTwips` high) at the largest factor that fits, centred across; a smaller
// one, the whole layout at the factor that fits it, from the corner, as it always had.
LayoutPlacement filledPlacement(const QSize &designTwips, int visibleHeightTwips,
                                const QSize &client);

// A rectangle in twips, in pixels at the scale. Each edge is rounded on its own, so that
// controls that meet in the design meet when scaled too.
QRect scaledRect(int left, int top, int width, int height, qreal scale);

QFont scaledFont(const QFont &font, qreal scale);
