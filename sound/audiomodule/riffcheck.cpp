// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/audiomodule/riffcheck.h"

#include <QtEndian>

#include <algorithm>
#include <iterator>

namespace {

constexpr quint32 kLargest = 0xFFFFFFFF;
// A clip has one list, two if it carries both tags and labels.
constexpr int kMostLists = 16;
// libsndfile keeps entries of text up to this size, and refuses larger ones.
constexpr quint32 kTextLimit = 2048;

class Reader
{
public:
    Reader(QByteArrayView bytes, bool bigEndian) : m_bytes(bytes), m_bigEndian(bigEndian) { }

    qint64 size() const { return m_bytes.size(); }

    // The four bytes at `at`; empty when they run past the end.
    QByteArrayView word(qint64 at) const
    {
        return at >= 0 && at + 4 <= m_bytes.size() ? m_bytes.sliced(at, 4) : QByteArrayView();
    }

    bool number(qint64 at, quint32 &value) const
    {
        const QByteArrayView bytes = word(at);
        if (bytes.isEmpty())
            return false;
        value = m_bigEndian ? qFromBigEndian<quint32>(bytes.data())
                            : qFromLittleEndian<quint32>(bytes.data());
        return true;
    }

private:
    QByteArrayView m_bytes;
    bool m_bigEndian;
};

bool isTextEntry(QByteArrayView marker)
{
    static constexpr const char *kTextMarkers[] = {"ISFT", "ICOP", "IARL", "IART", "ICMT",
                                                   "ICRD", "IENG", "IGNR", "INAM", "IPRD",
                                                   "ISBJ", "ISRC", "IAUT", "ITRK"};
    return std::any_of(std::begin(kTextMarkers), std::end(kTextMarkers),
                       [marker](const char *text) { return marker == QByteArrayView(text, 4); });
}

// After an "exif" entry libsndfile goes on from wherever its own reader stopped, so from there
// any word may be taken for an entry's size: the list is refused if one of them could wrap.
bool anyWordWraps(const Reader &reader, qint64 from, qint64 end, quint32 length)
{
    const qint64 threshold = qint64(kLargest) - length - 9;
    for (qint64 at = from; at + 4 <= end; ++at) {
        quint32 value = 0;
        if (reader.number(at, value) && qint64(value) >= threshold)
            return true;
    }
    return false;
}

// Reads one LIST or INFO chunk, whose size field is at `at`, the way libsndfile does.
bool listRunsAway(const Reader &reader, qint64 at)
{
    quint32 length = 0;
    if (!reader.number(at, length) || length <= 8)
        return false;
    const qint64 start = at + 4;
    length = quint32(std::min<qint64>(length, reader.size() - start));

    qint64 pos = start;
    quint32 read = 0; // in 32 bits, as libsndfile counts
    while (read < length) {
        const QByteArrayView marker = reader.word(pos);
        if (marker.isEmpty())
            return false;
        pos += 4;
        read += 4;
        if (marker == "INFO" || marker == "adtl")
            continue; // a heading, with no size of its own
        if (marker == "exif")
            return anyWordWraps(reader, pos, start + length, length);
        // Where libsndfile stops reading the list.
        if (marker == "data" || marker == QByteArrayView("\0\0\0\0", 4) || marker == "DISP"
            || marker == "ltxt" || marker == "note")
            return false;

        quint32 size = 0;
        if (!reader.number(pos, size))
            return false;
        pos += 4;
        read += 4;
        if (marker == "labl") {
            // A cue number comes before the label's text and counts in its size.
            const quint32 text = (size - 4) + ((size - 4) & 1);
            if (text < 1 || text >= kTextLimit || text >= length)
                return false;
            pos += 4 + text;
            read += 4 + text;
            continue;
        }
        const quint32 padded = size + (size & 1);
        if (isTextEntry(marker)) {
            if (padded >= kTextLimit || padded >= length)
                return false;
        } else if (quint64(read) + padded > kLargest) {
            return true;
        } else if (read + padded > length || padded >= length) {
            return false;
        }
        pos += padded;
        read += padded;
    }
    return false;
}

} // namespace

bool mightHangDecoder(QByteArrayView bytes)
{
    if (bytes.size() < 12 || bytes.sliced(8, 4) != "WAVE")
        return false;
    const QByteArrayView form = bytes.first(4);
    if (form != "RIFF" && form != "RIFX" && form != "RF64")
        return false;
    const Reader reader(bytes, form == "RIFX");

    // libsndfile finds its way from chunk to chunk with rules of its own for odd sizes and
    // damaged markers, so it can come upon a list anywhere: every "LIST" and "INFO" in the file
    // is read. One that is really part of the sound, by chance, reads as nonsense entries and
    // refuses the clip only if one of them declares nearly 4 GiB.
    int lists = 0;
    for (const QByteArrayView name : {QByteArrayView("LIST"), QByteArrayView("INFO")}) {
        for (qsizetype hit = bytes.indexOf(name, 12); hit >= 0; hit = bytes.indexOf(name, hit + 4)) {
            if (++lists > kMostLists || listRunsAway(reader, hit + 4))
                return true;
        }
    }
    return false;
}
