// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/artwork.h"

#include "app/artworkbaked.h"
#include "app/artworklist.h"
#include "app/artworkrender.h"

#include <QPixmapCache>

namespace {

// The build's pixels for the picture at this many pixels: its own when the build drew it at
// that size; else, on a screen too small for the layout, its largest drawing reduced, which
// averages several drawn pixels into each and so is as sharp as drawing the SVG there, at a
// fraction of the cost. A null image when it has none.
QImage bakedImage(const QString &name, QSize pixelSize)
{
    QImage largest;
    for (int i = 0; i < kBakedArtworkCount; ++i) {
        const BakedArtwork &baked = kBakedArtwork[i];
        if (name != QStringView(baked.name))
            continue;
        const QImage image(reinterpret_cast<const uchar *>(baked.pixels), baked.width, baked.height,
                           QImage::Format_ARGB32_Premultiplied);
        if (image.size() == pixelSize)
            return image;
        if (image.width() > largest.width())
            largest = image;
    }
    if (largest.isNull() || largest.width() < pixelSize.width()
        || largest.height() < pixelSize.height())
        return {};
    return largest.scaled(pixelSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

QSize pictureSize(const QString &name)
{
    for (const ArtworkPicture &picture : kArtworkPictures) {
        if (name == QStringView(picture.name))
            return {picture.width, picture.height};
    }
    return {};
}

QString artworkPath(const QString &name)
{
    return QStringLiteral(":/artwork/") + name;
}

QPixmap artwork(const QString &name, QSize logicalSize, qreal devicePixelRatio)
{
    const QString key = QStringLiteral("luvana:") + name + u'@'
            + QString::number(logicalSize.width()) + u'x' + QString::number(logicalSize.height())
            + u'@' + QString::number(devicePixelRatio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap))
        return pixmap;

    const QSize pixelSize = (QSizeF(logicalSize) * devicePixelRatio).toSize();
    QImage image = bakedImage(name, pixelSize);
    if (image.isNull())
        image = renderSvg(artworkPath(name), pixelSize);
    pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}
