// SPDX-License-Identifier: GPL-3.0-or-later

// Text encodings of dictation files.
//
// Dictation files have always been Windows-1252, one byte per character, with no marker. Text
// that Windows-1252 cannot hold (ŀ, say) is written as UTF-8 behind a byte-order mark instead,
// and a file that another editor saved as UTF-8 without one is recognised by its multi-byte
// sequences. Every byte of a Windows-1252 file decodes to a character that encodes back to that
// same byte, so reading and writing a file never alters what it holds.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace dictation {

enum class Encoding { Windows1252, Utf8 };

// The five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) decode to the C1
// controls of the same value.
QString decodeWindows1252(QByteArrayView bytes);
bool fitsWindows1252(QStringView text);
// Precondition: fitsWindows1252(text). A character outside the code page becomes '?'.
QByteArray encodeWindows1252(QStringView text);

bool hasUtf8Bom(QByteArrayView bytes);
QByteArrayView withoutUtf8Bom(QByteArrayView bytes);
// A byte-order mark, or valid UTF-8 with at least one multi-byte sequence, means UTF-8;
// anything else (plain ASCII included) is Windows-1252.
Encoding detectEncoding(QByteArrayView bytes);
// Bytes without a byte-order mark; a U+FEFF at their start is kept as a character. Invalid UTF-8
// sequences become U+FFFD.
QString decode(QByteArrayView bytes, Encoding encoding);

struct DecodedText
{
    QString text;
    Encoding encoding;
};

// The byte-order mark is dropped from the text.
DecodedText decodeDocument(QByteArrayView bytes);
// Windows-1252 when the text fits, else UTF-8 with a byte-order mark.
QByteArray encodeDocument(QStringView text);
QByteArray encodeUtf8WithBom(QStringView text);

} // namespace dictation
