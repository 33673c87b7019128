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

// A plain grey JPEG of any size, written in a blink and a few hundred kilobytes however many
// megapixels it has: baseline, one channel, and Huffman tables of a single code each, so that
// every 8 x 8 block (no change of level, then its end) takes two bits, all of them zero.
inline QByteArray greyJpeg(QSize size)
{
    const auto segment = [](char marker, const QByteArray &body) {
        const qsizetype length = body.size() + 2;
        return QByteArray("\xff") + marker + char(length >> 8) + char(length & 0xff) + body;
    };
    const auto twoBytes = [](int value) { return QByteArray(1, char(value >> 8)) + char(value); };
    const QByteArray oneCode = QByteArray(1, '\x01') + QByteArray(16, '\0');
    const qint64 blocks = qint64((size.width() + 7) / 8) * ((size.height() + 7) / 8);
    QByteArray scan(blocks / 4, '\0');
    if (blocks % 4)
        scan += char(0xff >> (2 * (blocks % 4))); // the last byte padded with ones
    return QByteArray("\xff\xd8") + segment('\xdb', QByteArray(1, '\0') + QByteArray(64, '\x01'))
            + segment('\xc0',
                      "\x08" + twoBytes(size.height()) + twoBytes(size.width()) + "\x01\x01\x11"
                              + QByteArray(1, '\0'))
            + segment('\xc4', QByteArray(1, '\0') + oneCode + '\x10' + oneCode)
            + segment('\xda', QByteArray("\x01\x01\x00\x00\x3f\x00", 6)) + scan
            + QByteArray("\xff\xd9");
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
