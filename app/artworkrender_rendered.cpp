// SPDX-License-Identifier: GPL-3.0-or-later

// Drawing the artwork where Qt SVG is not built (Windows): the build renders every drawing at
// five times its design size into a PNG beside it in the resources, and this reduces that
// picture to the size asked for, which averages many rendered pixels into each drawn one.

#include "app/artworkrender.h"

QImage renderSvg(const QString &path, QSize pixelSize)
{
    const QImage rendered(path + QLatin1String(".png"));
    if (rendered.isNull()) {
        QImage empty(pixelSize, QImage::Format_ARGB32_Premultiplied);
        empty.fill(Qt::transparent);
        return empty;
    }
    return rendered.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}
