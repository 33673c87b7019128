#include "app/artwork.h"

#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>

namespace {

struct Picture
{
    const char16_t *name;
    int width;
    int height;
};

constexpr Picture kPictures[] = {
        {u"icon.svg", 32, 32},          {u"icon-16.svg", 16, 16},       {u"comencar.svg", 130, 38},
        {u"feedback.svg", 695, 295},    {u"speaker.svg", 18, 18},       {u"dib.svg", 32, 32},
        {u"command1.svg", 29, 33},      {u"command1-down.svg", 28, 32}, {u"command2.svg", 28, 32},
        {u"command2-down.svg", 29, 33},
};

} // namespace

QSize pictureSize(const QString &name)
{
    for (const Picture &picture : kPictures) {
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

    pixmap = QPixmap(logicalSize * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(artworkPath(name));
    if (renderer.isValid()) {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}
