// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/artworkrender.h"

#include <QPainter>
#include <QSvgRenderer>

QImage renderSvg(const QString &path, QSize pixelSize)
{
    QImage image(pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(path);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    return image;
}
