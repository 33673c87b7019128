// SPDX-License-Identifier: GPL-3.0-or-later

// libFuzzer target for the dictation reader: any bytes a pupil's dialog can pick must load
// without a crash, and whatever loaded must survive being saved and loaded again.
//
// The checks abort on a mismatch, which libFuzzer reports like a crash with the input saved.
#include "dictation/codec.h"
#include "dictation/format.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A Windows-1252 file keeps every byte it had through decoding and encoding again.
void checkCodec(QByteArrayView bytes)
{
    const dictation::DecodedText decoded = dictation::decodeDocument(bytes);
    if (decoded.encoding == dictation::Encoding::Windows1252) {
        require(dictation::fitsWindows1252(decoded.text), "decoded Windows-1252 text fits");
        require(dictation::encodeWindows1252(decoded.text) == bytes,
                "Windows-1252 bytes come back unchanged");
    }
}

// What the window holds after loading the dictation: item 1's block as its box shows it.
dictation::DictationTexts boxesOf(const dictation::Dictation &d)
{
    dictation::DictationTexts texts;
    texts.title = d.title;
    texts.texts[0] = dictation::textBoxText(d.items[0]);
    for (int k = 1; k < dictation::kItemCount; ++k)
        texts.texts[k] = d.items[k];
    return texts;
}

void checkRoundTrip(QByteArrayView bytes)
{
    const dictation::Dictation loaded = dictation::parse(bytes);
    require(dictation::countNonEmpty(loaded) >= 0
                    && dictation::countNonEmpty(loaded) <= dictation::kItemCount,
            "item count within the ten items");
    // A picture name is one bare file name: no line end, no folder.
    if (dictation::isPictureReference(loaded.items[0])) {
        const QString name = dictation::pictureFileName(loaded.items[0]);
        require(!name.contains(u'\r') && !name.contains(u'\n') && !name.contains(u'/'),
                "a picture name is one line and names no folder");
    }

    // An item 1 of 100 lines or more cannot come back: the reader stops after 100 line reads
    // by design, so such a file is read differently once written.
    if (loaded.items[0].count(u"\r\n") >= dictation::kItem1Reads)
        return;

    const QByteArray saved = dictation::serialize(boxesOf(loaded));
    const dictation::Dictation reloaded = dictation::parse(saved);
    require(reloaded.title == loaded.title, "title survives a save");
    for (int k = 0; k < dictation::kItemCount; ++k)
        require(reloaded.items[k] == loaded.items[k], "item survives a save");
    // Saving what was loaded again gives the same bytes: the writer is stable.
    require(dictation::serialize(boxesOf(reloaded)) == saved, "second save is identical");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkCodec(bytes);
    checkRoundTrip(bytes);
    return 0;
}
