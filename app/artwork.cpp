#include "app/artwork.h"

#include "app/artworkbaked.h"
#include "app/artworklist.h"
#include "app/artworkrender.h"

#include <QPixmapCache>

namespace {

// The build's pixels for the picture at this size and ratio; a null image when it has none.
QImage bakedImage(const QString &name, QSize logicalSize, qreal devicePixelRatio)
{
    for (int i = 0; i < kBakedArtworkCount; ++i) {
        const BakedArtwork &baked = kBakedArtwork[i];
        if (baked.ratio == devicePixelRatio && name == QStringView(baked.name)
            && QSize(baked.width, baked.height) == logicalSize * baked.ratio) {
            return QImage(reinterpret_cast<const uchar *>(baked.pixels), baked.width, baked.height,
                          QImage::Format_ARGB32_Premultiplied);
        }
    }
    return {};
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

    QImage image = bakedImage(name, logicalSize, devicePixelRatio);
    if (image.isNull())
        image = renderSvg(artworkPath(name), (QSizeF(logicalSize) * devicePixelRatio).toSize());
    pixmap = QPixmap::fromImage(image);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}
