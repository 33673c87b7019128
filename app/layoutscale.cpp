// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/layoutscale.h"

#include <QFont>

#include <algorithm>

namespace {

int scaledEdge(int twips, qreal scale)
{
    return qRound(twips * scale / kTwipsPerPixel);
}

} // namespace

QSize layoutSize(const QSize &designTwips, qreal scale)
{
    return scaledRect(0, 0, designTwips.width(), designTwips.height(), scale).size();
}

qreal layoutScale(const QSize &designTwips, const QRect &available, const QMargins &frame)
{
    const QSize design = layoutSize(designTwips, 1);
    const qreal width = available.width() - frame.left() - frame.right();
    const qreal height = available.height() - frame.top() - frame.bottom();
    // A screen too small for any sensible layout still gets a window, if an unreadable one.
    return std::clamp(std::min(width / design.width(), height / design.height()), 0.1, 1.0);
}

LayoutPlacement filledPlacement(const QSize &designTwips, int visibleHeightTwips,
                                const QSize &client)
{
    const QSize design = layoutSize(designTwips, 1);
    const qreal across = qreal(client.width()) / design.width();
    const qreal whole = std::min(across, qreal(client.height()) / design.height());
    if (whole < 1)
        return {std::max(0.1, whole), QPoint()};
    const int visibleHeight = layoutSize(QSize(designTwips.width(), visibleHeightTwips), 1).height();
    const qreal scale = std::min(across, qreal(client.height()) / visibleHeight);
    return {scale, QPoint((client.width() - layoutSize(designTwips, scale).width()) / 2, 0)};
}

QRect scaledRect(int left, int top, int width, int height, qreal scale)
{
    const int x = scaledEdge(left, scale);
    const int y = scaledEdge(top, scale);
    return QRect(x, y, scaledEdge(left + width, scale) - x, scaledEdge(top + height, scale) - y);
}

QFont scaledFont(const QFont &font, qreal scale)
{
    QFont scaled = font;
    if (font.pointSizeF() > 0)
        scaled.setPointSizeF(font.pointSizeF() * scale);
    else
        scaled.setPixelSize(std::max(1, qRound(font.pixelSize() * scale)));
    return scaled;
}
