// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures of one plain colour, so that what a control shows can be recognised, and the
// tolerance that JPEG's blur needs when comparing their colours.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

namespace pictures {

inline QImage plain(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

inline QByteArray jpeg(QSize size, QColor colour)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    plain(size, colour).save(&buffer, "JPEG");
    return bytes;
}

// JPEG moves a plain colour a little.
inline bool closeTo(QColor seen, QColor expected)
{
    return qAbs(seen.red() - expected.red()) < 24 && qAbs(seen.green() - expected.green()) < 24
            && qAbs(seen.blue() - expected.blue()) < 24;
}

// The size, and the colour at the middle, of a plain picture after a JPEG round trip.
inline bool looksLike(const QImage &image, QColor colour, QSize size)
{
    return image.size() == size
            && closeTo(image.pixelColor(size.width() / 2, size.height() / 2), colour);
}

} // namespace pictures
