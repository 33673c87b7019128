// SPDX-License-Identifier: GPL-3.0-or-later

#include "format.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace dictation {

namespace {

constexpr QStringView kLineEnd = u"\r\n";
constexpr QByteArrayView kEndOfItem1("x");
// What the picture loader reads: JPEG, under either of its usual extensions, and GIF.
constexpr std::array<QStringView, 3> kPictureExtensions {u".jpg", u".jpeg", u".gif"};

// Lines are split on the raw bytes: CR and LF are single bytes in both encodings and never part
// of a UTF-8 sequence, so the lines can be found before the encoding is known.
class LineReader
{
public:
    explicit LineReader(QByteArrayView bytes) : m_bytes(bytes) { }

    std::optional<QByteArrayView> next()
    {
        if (m_position >= m_bytes.size())
            return std::nullopt;
        const qsizetype start = m_position;
        while (m_position < m_bytes.size() && m_bytes[m_position] != '\r'
               && m_bytes[m_position] != '\n') {
            ++m_position;
        }
        const QByteArrayView line = m_bytes.sliced(start, m_position - start);
        if (m_position < m_bytes.size()) {
            const bool crLf = m_bytes[m_position] == '\r' && m_position + 1 < m_bytes.size()
                    && m_bytes[m_position + 1] == '\n';
            m_position += crLf ? 2 : 1;
        }
        return line;
    }

    qsizetype position() const { return m_position; }

private:
    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

// Where each part of a dictation lies in the bytes, and how many bytes the reader used.
struct Layout
{
    QByteArrayView title;
    std::vector<QByteArrayView> item1Lines;
    std::array<QByteArrayView, kItemCount - 1> otherItems;
    qsizetype usedBytes = 0;
};

Layout layOut(QByteArrayView bytes)
{
    const QByteArrayView body = withoutUtf8Bom(bytes);
    LineReader reader(body);
    Layout layout;
    // A line the file does not have reads as empty; in item 1 it ends the item.
    layout.title = reader.next().value_or(QByteArrayView());
    for (int read = 0; read < kItem1Reads; ++read) {
        const std::optional<QByteArrayView> line = reader.next();
        if (!line || *line == kEndOfItem1)
            break;
        layout.item1Lines.push_back(*line);
    }
    for (QByteArrayView &item : layout.otherItems)
        item = reader.next().value_or(QByteArrayView());
    layout.usedBytes = bytes.size() - body.size() + reader.position();
    return layout;
}

// The window sends every line end of the item-1 box as CR LF, and ends the last line unless
// the text already does; an empty box gives no line at all.
QString item1Lines(QStringView text)
{
    QString lines;
    lines.reserve(text.size() + kLineEnd.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            lines += kLineEnd;
        } else {
            lines += c;
        }
    }
    if (!lines.isEmpty() && !lines.endsWith(kLineEnd))
        lines += kLineEnd;
    return lines;
}

} // namespace

Dictation parse(QByteArrayView bytes)
{
    const Layout layout = layOut(bytes);
    // Only what the reader uses decides the encoding: whatever follows item 10 cannot change
    // how the dictation reads, and the file need not be read beyond it.
    const Encoding encoding = detectEncoding(bytes.first(layout.usedBytes));

    Dictation dictation;
    dictation.encoding = encoding;
    dictation.title = decode(layout.title, encoding);
    // One empty line is how an empty item-1 box has long been saved, not an item of its own.
    const bool emptyItem1 = layout.item1Lines.size() == 1 && layout.item1Lines.front().isEmpty();
    if (!emptyItem1) {
        QString &block = dictation.items[0];
        for (const QByteArrayView line : layout.item1Lines) {
            block += decode(line, encoding);
            block += kLineEnd;
        }
    }
    for (std::size_t k = 0; k < layout.otherItems.size(); ++k)
        dictation.items[k + 1] = decode(layout.otherItems[k], encoding);
    return dictation;
}

QByteArray serialize(const DictationTexts &texts)
{
    QString text = oneLine(texts.title);
    text += kLineEnd;
    text += item1Lines(texts.texts[0]);
    text += u'x';
    text += kLineEnd;
    for (std::size_t k = 1; k < texts.texts.size(); ++k) {
        text += oneLine(texts.texts[k]);
        text += kLineEnd;
    }

    const QByteArray bytes = encodeDocument(text);
    // Windows-1252 bytes can happen to form UTF-8 ("PERÒ…" is D2 85), and would then be read
    // back as other letters; the byte-order mark keeps such a text as typed.
    const bool readBackAsUtf8 = !hasUtf8Bom(bytes) && parse(bytes).encoding == Encoding::Utf8;
    return readBackAsUtf8 ? encodeUtf8WithBom(text) : bytes;
}

QString oneLine(QStringView text)
{
    QString line;
    line.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            line += u' ';
        } else {
            line += c;
        }
    }
    return line;
}

bool isPictureReference(QStringView item1Block)
{
    if (!item1Block.endsWith(kLineEnd))
        return false;
    const QStringView name = item1Block.chopped(kLineEnd.size());
    for (const QChar c : name) {
        // A second line, or a folder: the file keeps only a bare name beside the dictation.
        if (c == u'\r' || c == u'\n' || c == u'/' || c == u'\\')
            return false;
    }
    return std::any_of(kPictureExtensions.cbegin(), kPictureExtensions.cend(),
                       [name](QStringView extension) {
                           return name.endsWith(extension, Qt::CaseInsensitive);
                       });
}

QString pictureFileName(QStringView item1Block)
{
    return (item1Block.endsWith(kLineEnd) ? item1Block.chopped(kLineEnd.size()) : item1Block)
            .toString();
}

QString textBoxText(QStringView item1Block)
{
    QString shown;
    shown.reserve(item1Block.size());
    qsizetype start = 0;
    while (start < item1Block.size()) {
        qsizetype end = item1Block.indexOf(kLineEnd, start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = item1Block.size();
        shown += item1Block.sliced(start, end - start).left(kMaxShownLine);
        if (lastLine)
            break;
        shown += u'\n';
        start = end + kLineEnd.size();
    }
    return shown;
}

int countNonEmpty(const Dictation &d)
{
    return int(std::count_if(d.items.cbegin(), d.items.cend(),
                             [](const QString &item) { return !item.isEmpty(); }));
}

} // namespace dictation
