// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pictureloader.h"

#include <QImageIOHandler>
#include <QImageReader>

#include <algorithm>

namespace {
constexpr double kShapeTolerance = 0.05;
} // namespace

std::optional<QImage> loadPicture(const QString &fileName, const QSize &shownPixels)
{
    if (fileName.isEmpty())
        return std::nullopt;
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    const bool huge = declared.isValid()
            && qint64(declared.width()) * declared.height() > qint64(8192) * 8192;
    bool decodedSmaller = false;
    if (declared.isValid() && !shownPixels.isEmpty()) {
        // The reader scales the pixels as stored and turns them afterwards, so a picture taken
        // on its side is asked for with the shown width and height swapped.
        const bool onItsSide = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize upright = onItsSide ? declared.transposed() : declared;
        const QSize shown = pictureArea(upright, QRect(QPoint(), shownPixels)).size();
        // Below twice the shown size a JPEG cannot be decoded at a fraction of its size, and
        // scaling it here would only add a pass that painting does anyway.
        const bool large = upright.width() >= 2 * shown.width()
                || upright.height() >= 2 * shown.height();
        if (large || huge) {
            reader.setScaledSize(onItsSide ? shown.transposed() : shown);
            decodedSmaller = reader.supportsOption(QImageIOHandler::ScaledSize);
        }
    }
    // A reader that decodes at the shown size holds no more than that, a fraction of a phone's
    // 108 megapixels, and Qt's allocation limit stands guard over what it does hold. Any other
    // decodes every declared pixel first: its declared size is checked before it decodes one,
    // so a GIF claiming 60000 x 60000 pixels is refused here instead of exhausting memory.
    if (huge && !decodedSmaller)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}

QRect pictureArea(const QSize &picture, const QRect &box)
{
    if (picture.isEmpty() || box.isEmpty())
        return box;
    const double pictureShape = double(picture.width()) / picture.height();
    const double boxShape = double(box.width()) / box.height();
    if (std::max(pictureShape, boxShape) / std::min(pictureShape, boxShape) <= 1 + kShapeTolerance)
        return box;
    const QSize fitted = picture.scaled(box.size(), Qt::KeepAspectRatio);
    return QRect(box.topLeft()
                         + QPoint((box.width() - fitted.width()) / 2,
                                  (box.height() - fitted.height()) / 2),
                 fitted);
}
