// SPDX-License-Identifier: GPL-3.0-or-later

// The .dtd dictation file: a title and ten items, one line each except item 1.
//
//   title
//   item-1 lines (any number, none for an empty item 1)
//   x
//   item 2 ... item 10
//
// parse() turns the bytes of a file into a Dictation the way the window loads it: the item-1
// lines are read until the exact line "x", at most 100 reads in all, and are kept as one block
// of lines each ended by CR LF; a missing line reads as empty. serialize() writes the window's
// boxes back in the same layout, every line ended by CR LF. Any line end (CR LF, LF or CR) ends
// a line when reading, so files touched by other editors still load.
#pragma once

#include "codec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <array>

namespace dictation {

inline constexpr int kItemCount = 10;
// The reader gives item 1 at most this many line reads, the closing "x" among them, so a file
// without its "x" line cannot swallow everything after it.
inline constexpr int kItem1Reads = 100;
// The title, the item-1 reads and one line for each of items 2 to 10: nothing after them counts.
inline constexpr int kMaxLinesRead = 1 + kItem1Reads + (kItemCount - 1);

struct Dictation
{
    QString title;
    // items[0] is frase1: every item-1 line followed by CR LF. items[1..9] are frase2..frase10.
    std::array<QString, kItemCount> items;
    Encoding encoding = Encoding::Windows1252;
};

Dictation parse(QByteArrayView bytes);

// The texts as the window's boxes hold them; texts[0] separates its lines with "\n".
struct DictationTexts
{
    QString title;
    std::array<QString, kItemCount> texts;
};

// The title and items 2 to 10 are written through oneLine(), so no text can add a line.
QByteArray serialize(const DictationTexts &texts);

// The title or an item 2 to 10 as one line: each line end the reader knows (CR LF, CR, LF)
// becomes one space, so the text keeps its words and the items after it keep their lines. Any
// other character stays, so that a file read and written again holds what it held.
QString oneLine(QStringView text);

// Item 1 names a picture when it is one line that ends in the extension of a picture the window
// shows (gat.jpg, GAT.JPEG, gos.gif) and names no folder. Anything else is text, a reading whose
// last sentence ends ". Fi" included.
bool isPictureReference(QStringView item1Block);
// The block less its final CR LF.
QString pictureFileName(QStringView item1Block);
// What the item-1 box shows: each CR LF becomes "\n", so the block's final line end shows as an
// empty last line. A line longer than kMaxShownLine is cut there, as the one-line boxes cut
// theirs: laying out a line with nowhere to wrap takes time that grows with the square of its
// length, and a 50 MB line would freeze the window for hours.
inline constexpr qsizetype kMaxShownLine = 32767;
QString textBoxText(QStringView item1Block);
// nfrases: how many of the ten items hold text.
int countNonEmpty(const Dictation &d);

} // namespace dictation
