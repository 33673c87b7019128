// SPDX-License-Identifier: GPL-3.0-or-later
// JPEG files as cameras write them: the pixels as the sensor read them, and an Exif segment
// whose Orientation tag says how to turn them to show the scene upright. Qt writes no Exif, so
// the segment is built here byte by byte and put where cameras put it, right after the start.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

namespace pictures {

// Empty when the image cannot be written.
inline QByteArray jpegWithOrientation(const QImage &stored, int orientation)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    if (!writer.write(stored) || !jpeg.startsWith("\xff\xd8"))
        return QByteArray();

    // A big-endian TIFF header and one directory of one entry: tag 0x0112 (Orientation),
    // type SHORT, one value, held in the entry itself; then no next directory.
    QByteArray exif("Exif\0\0"
                    "MM\x00\x2a\x00\x00\x00\x08"
                    "\x00\x01"
                    "\x01\x12\x00\x03\x00\x00\x00\x01",
                    6 + 8 + 2 + 8);
    exif += char(0);
    exif += char(orientation);
    exif += QByteArray(2 + 4, '\0');
    const int length = int(exif.size()) + 2;
    const QByteArray segment = QByteArray("\xff\xe1") + char(length >> 8) + char(length & 0xff)
            + exif;
    return jpeg.left(2) + segment + jpeg.mid(2);
}

} // namespace pictures
