#include "platform/pictureloader.h"

#include <QImageReader>

std::optional<QImage> loadPicture(const QString &fileName)
{
    if (fileName.isEmpty())
        return std::nullopt;
    QImageReader reader(fileName);
    // The declared size is checked before any pixel is decoded: a GIF claiming 60000 x 60000
    // pixels is refused here instead of exhausting memory.
    const QSize declared = reader.size();
    if (declared.isValid() && qint64(declared.width()) * declared.height() > qint64(8192) * 8192)
        return std::nullopt;
    QImage image;
    if (!reader.read(&image) || image.isNull())
        return std::nullopt;
    return image;
}
