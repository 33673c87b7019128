// SPDX-License-Identifier: GPL-3.0-or-later

#include "codec.h"

#include <QStringDecoder>

#include <array>
#include <optional>

namespace dictation {

namespace {

// Bytes 0x80..0x9F; every other byte is the Latin-1 character of the same value.
constexpr std::array<char16_t, 32> kHighControlRange = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");

std::optional<char> toWindows1252(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (std::size_t i = 0; i < kHighControlRange.size(); ++i) {
        if (kHighControlRange[i] == c)
            return char(0x80 + i);
    }
    return std::nullopt;
}

QString decodeUtf8(QByteArrayView bytes)
{
    // A U+FEFF inside a line is text; only the file's own mark is dropped, and that by the caller.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringConverter::Flag::Stateless
                                   | QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isValidUtf8(QByteArrayView bytes)
{
    // Qt's decoder rejects overlong forms, surrogates and code points past U+10FFFF, and being
    // stateless it also rejects a sequence cut short at the end.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringConverter::Flag::Stateless
                                   | QStringConverter::Flag::ConvertInitialBom);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

bool hasNonAscii(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        *out++ = QChar(value >= 0x80 && value < 0xA0 ? kHighControlRange[value - 0x80]
                                                     : char16_t(value));
    }
    return text;
}

bool fitsWindows1252(QStringView text)
{
    for (const QChar c : text) {
        if (!toWindows1252(c.unicode()))
            return false;
    }
    return true;
}

QByteArray encodeWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(toWindows1252(c.unicode()).value_or('?'));
    return bytes;
}

bool hasUtf8Bom(QByteArrayView bytes)
{
    return bytes.startsWith(kUtf8Bom);
}

QByteArrayView withoutUtf8Bom(QByteArrayView bytes)
{
    return hasUtf8Bom(bytes) ? bytes.sliced(kUtf8Bom.size()) : bytes;
}

Encoding detectEncoding(QByteArrayView bytes)
{
    if (hasUtf8Bom(bytes) || (hasNonAscii(bytes) && isValidUtf8(bytes)))
        return Encoding::Utf8;
    return Encoding::Windows1252;
}

QString decode(QByteArrayView bytes, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

DecodedText decodeDocument(QByteArrayView bytes)
{
    const Encoding encoding = detectEncoding(bytes);
    return {decode(withoutUtf8Bom(bytes), encoding), encoding};
}

QByteArray encodeDocument(QStringView text)
{
    return fitsWindows1252(text) ? encodeWindows1252(text) : encodeUtf8WithBom(text);
}

QByteArray encodeUtf8WithBom(QStringView text)
{
    return kUtf8Bom.toByteArray() + text.toUtf8();
}

} // namespace dictation
