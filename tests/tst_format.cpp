// SPDX-License-Identifier: GPL-3.0-or-later

// The .dtd reader and writer, byte for byte: every layout a file can have, the picture
// reference and the item-1 box, and round trips through both.
#include "dictation/format.h"
#include "support/testfiles.h"

#include <QTest>

using dictation::Encoding;
using namespace testfiles;

Q_DECLARE_METATYPE(dictation::DictationTexts)

namespace dictation {
char *toString(Encoding encoding)
{
    return qstrdup(encoding == Encoding::Utf8 ? "Utf8" : "Windows1252");
}
} // namespace dictation

namespace {

QString repeatedBlock(const QString &stem, int first, int last)
{
    QString block;
    for (int n = first; n <= last; ++n)
        block += stem + QString::number(n) + QStringLiteral("\r\n");
    return block;
}

// frase1 followed by frase2..frase10; missing ones are empty.
QStringList items(const QString &item1, const QStringList &others = {})
{
    QStringList all {item1};
    all += others;
    while (all.size() < dictation::kItemCount)
        all.append(QString());
    return all;
}

QStringList itemsOf(const dictation::Dictation &d)
{
    return QStringList(d.items.cbegin(), d.items.cend());
}

dictation::DictationTexts texts(const QString &title, const QStringList &boxes)
{
    dictation::DictationTexts t;
    t.title = title;
    for (qsizetype k = 0; k < boxes.size(); ++k)
        t.texts[std::size_t(k)] = boxes[k];
    return t;
}

// What the window's boxes hold after loading a dictation whose item 1 is text.
dictation::DictationTexts boxesAfterLoading(const dictation::Dictation &d)
{
    dictation::DictationTexts t;
    t.title = d.title;
    t.texts[0] = dictation::textBoxText(d.items[0]);
    for (std::size_t k = 1; k < d.items.size(); ++k)
        t.texts[k] = d.items[k];
    return t;
}

const QByteArray kNineItems = numberedLines("item ", 2, 10);
const QStringList kNineItemTexts = {"item 2", "item 3", "item 4", "item 5", "item 6",
                                    "item 7", "item 8", "item 9", "item 10"};

} // namespace

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void parseIgnoresWhatFollowsItem10();
    void pictureReference_data();
    void pictureReference();
    void textBoxText_data();
    void textBoxText();
    void countNonEmpty_data();
    void countNonEmpty();
    void serialize_data();
    void serialize();
    void roundTrip_data();
    void roundTrip();
    void everyByteOfATitleRoundTrips();
};

void TestFormat::parse_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<Encoding>("encoding");

    QTest::newRow("two-line text and two items")
            << crLfLines({"El gat", "El gat dorm al sol.", "Despr\xE9s es renta la cara.", "x",
                          "La gata juga amb el fil.", "T\xE9 set vides.", "", "", "", "", "", "",
                          ""})
            << QStringLiteral("El gat")
            << items(QStringLiteral("El gat dorm al sol.\r\nDesprés es renta la cara.\r\n"),
                     {QStringLiteral("La gata juga amb el fil."), QStringLiteral("Té set vides.")})
            << Encoding::Windows1252;
    QTest::newRow("picture reference")
            << crLfLines({"Gats", "gat.jpg", "x"}) + kNineItems << QStringLiteral("Gats")
            << items(QStringLiteral("gat.jpg\r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("x right after the title")
            << crLfLines({"T", "x"}) + kNineItems << QStringLiteral("T")
            << items(QString(), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("capital X is text")
            << crLfLines({"T", "X", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral("X\r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("space before x is text")
            << crLfLines({"T", " x", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral(" x\r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("space after x is text")
            << crLfLines({"T", "x ", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral("x \r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("an x line inside item 1 cuts it")
            << crLfLines({"T", "a", "x", "b", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral("a\r\n"), QStringList {"b", "x"} + kNineItemTexts.mid(0, 7))
            << Encoding::Windows1252;
    QTest::newRow("99 item-1 lines are read as written")
            << "T\r\n" + numberedLines("line ", 1, 99) + "x\r\n" + kNineItems << QStringLiteral("T")
            << items(repeatedBlock("line ", 1, 99), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("100 item-1 lines push x into item 2")
            << "T\r\n" + numberedLines("line ", 1, 100) + "x\r\n" + kNineItems
            << QStringLiteral("T")
            << items(repeatedBlock("line ", 1, 100), QStringList {"x"} + kNineItemTexts.mid(0, 8))
            << Encoding::Windows1252;
    QTest::newRow("101 item-1 lines shift the rest")
            << "T\r\n" + numberedLines("line ", 1, 101) + "x\r\n" + kNineItems
            << QStringLiteral("T")
            << items(repeatedBlock("line ", 1, 100),
                     QStringList {"line 101", "x"} + kNineItemTexts.mid(0, 7))
            << Encoding::Windows1252;
    QTest::newRow("file ends inside item 1")
            << crLfLines({"T", "a", "b"}) << QStringLiteral("T")
            << items(QStringLiteral("a\r\nb\r\n")) << Encoding::Windows1252;
    QTest::newRow("file ends inside item 1 without a line end")
            << QByteArray("T\r\na\r\nb") << QStringLiteral("T")
            << items(QStringLiteral("a\r\nb\r\n")) << Encoding::Windows1252;
    QTest::newRow("file ends before item 10")
            << crLfLines({"T", "a", "x", "i2", "i3"}) << QStringLiteral("T")
            << items(QStringLiteral("a\r\n"), {"i2", "i3"}) << Encoding::Windows1252;
    QTest::newRow("last item without a line end")
            << crLfLines({"T", "x", "2", "3", "4", "5", "6", "7", "8", "9"}) + "10"
            << QStringLiteral("T")
            << items(QString(), {"2", "3", "4", "5", "6", "7", "8", "9", "10"})
            << Encoding::Windows1252;
    QTest::newRow("empty file") << QByteArray() << QString() << items(QString())
                                << Encoding::Windows1252;
    QTest::newRow("title only without a line end")
            << QByteArray("T") << QStringLiteral("T") << items(QString()) << Encoding::Windows1252;
    QTest::newRow("one empty item-1 line is an empty item 1")
            << crLfLines({"T", "", "x"}) + kNineItems << QStringLiteral("T")
            << items(QString(), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("two empty item-1 lines are text")
            << crLfLines({"T", "", "", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral("\r\n\r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("item-1 line of spaces is text")
            << crLfLines({"T", " ", "x"}) + kNineItems << QStringLiteral("T")
            << items(QStringLiteral(" \r\n"), kNineItemTexts) << Encoding::Windows1252;
    QTest::newRow("all items empty") << crLfLines({"", "", "x", "", "", "", "", "", "", "", "", ""})
                                     << QString() << items(QString()) << Encoding::Windows1252;
    QTest::newRow("item of spaces is kept")
            << crLfLines({"T", "x", "  ", "", "\t"}) << QStringLiteral("T")
            << items(QString(), {"  ", "", "\t"}) << Encoding::Windows1252;
    QTest::newRow("LF line ends") << QByteArray("T\na\nb\nx\ni2\ni3\n") << QStringLiteral("T")
                                  << items(QStringLiteral("a\r\nb\r\n"), {"i2", "i3"})
                                  << Encoding::Windows1252;
    QTest::newRow("CR line ends") << QByteArray("T\ra\rb\rx\ri2\ri3\r") << QStringLiteral("T")
                                  << items(QStringLiteral("a\r\nb\r\n"), {"i2", "i3"})
                                  << Encoding::Windows1252;
    QTest::newRow("mixed line ends")
            << QByteArray("T\r\na\nb\rx\r\ni2\n\ri3") << QStringLiteral("T")
            << items(QStringLiteral("a\r\nb\r\n"), {"i2", "", "i3"}) << Encoding::Windows1252;
    QTest::newRow("CR then CR LF leaves an empty line between")
            << QByteArray("T\r\na\r\r\nb\r\nx\r\ni2") << QStringLiteral("T")
            << items(QStringLiteral("a\r\n\r\nb\r\n"), {"i2"}) << Encoding::Windows1252;
    QTest::newRow("Windows-1252 Catalan letters")
            << crLfLines({"L\x92\xE0via",
                          "\xAB"
                          "Col\xB7legi\xBB \xE8\xE9\xED\xEF\xF2\xF3\xFA\xFC\xE7",
                          "x", "5 \x80"})
            << QStringLiteral("L’àvia")
            << items(QStringLiteral("«Col·legi» èéíïòóúüç\r\n"), {QStringLiteral("5 €")})
            << Encoding::Windows1252;
    QTest::newRow("UTF-8 with mark")
            << QByteArray("\xEF\xBB\xBF")
                    + crLfLines({"La coo\xC5\x80", "\xC3\xA0via", "x", "\xC5\x80"})
            << QStringLiteral("La cooŀ") << items(QStringLiteral("àvia\r\n"), {QStringLiteral("ŀ")})
            << Encoding::Utf8;
    QTest::newRow("UTF-8 without mark")
            << crLfLines({"Despr\xC3\xA9s", "x", "pl\xC3\xA0tan"}) << QStringLiteral("Després")
            << items(QString(), {QStringLiteral("plàtan")}) << Encoding::Utf8;
    QTest::newRow("mark makes an ASCII file UTF-8")
            << QByteArray("\xEF\xBB\xBF") + crLfLines({"T", "x", "i2"}) << QStringLiteral("T")
            << items(QString(), {"i2"}) << Encoding::Utf8;
    QTest::newRow("mark before an x right after it is still the title")
            << QByteArray("\xEF\xBB\xBFx\r\nx\r\ni2\r\n") << QStringLiteral("x")
            << items(QString(), {"i2"}) << Encoding::Utf8;
    QTest::newRow("NUL bytes are text")
            << QByteArray("T\0t\r\nx\r\n\0\r\n", 11) << QStringLiteral("T\u0000t")
            << items(QString(), {QStringLiteral("\u0000")}) << Encoding::Windows1252;
}

void TestFormat::parse()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QStringList, items);
    QFETCH(Encoding, encoding);

    const dictation::Dictation d = dictation::parse(bytes);
    QCOMPARE(d.title, title);
    QCOMPARE(itemsOf(d), items);
    QCOMPARE(d.encoding, encoding);
}

void TestFormat::parseIgnoresWhatFollowsItem10()
{
    // Only the lines the reader uses decide the encoding: an ASCII dictation followed by UTF-8,
    // or a UTF-8 one followed by a stray Windows-1252 byte, reads the same as without the tail.
    const dictation::Dictation ascii = dictation::parse(crLfLines({"T", "x"}) + kNineItems
                                                        + "more\r\n\xC3\xA9\r\n");
    QCOMPARE(ascii.title, QStringLiteral("T"));
    QCOMPARE(itemsOf(ascii), items(QString(), kNineItemTexts));
    QCOMPARE(ascii.encoding, Encoding::Windows1252);

    const dictation::Dictation utf8 = dictation::parse(crLfLines({"T\xC3\xA9", "x"}) + kNineItems
                                                       + "\xE9");
    QCOMPARE(utf8.title, QStringLiteral("Té"));
    QCOMPARE(itemsOf(utf8), items(QString(), kNineItemTexts));
    QCOMPARE(utf8.encoding, Encoding::Utf8);
}

void TestFormat::pictureReference_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("gat.jpg") << QStringLiteral("gat.jpg\r\n") << true << QStringLiteral("gat.jpg");
    QTest::newRow("one-letter name")
            << QStringLiteral("a.gif\r\n") << true << QStringLiteral("a.gif");
    QTest::newRow("only dot and extension")
            << QStringLiteral(".jpg\r\n") << true << QStringLiteral(".jpg");
    QTest::newRow("jpeg, JPEG's four-letter extension")
            << QStringLiteral("gat.jpeg\r\n") << true << QStringLiteral("gat.jpeg");
    QTest::newRow("extension in capitals")
            << QStringLiteral("GAT.JPG\r\n") << true << QStringLiteral("GAT.JPG");
    QTest::newRow("two-letter extension is text")
            << QStringLiteral("gat.jp\r\n") << false << QStringLiteral("gat.jp");
    QTest::newRow("picture the window does not show is text")
            << QStringLiteral("gat.png\r\n") << false << QStringLiteral("gat.png");
    QTest::newRow("name with a folder is text")
            << QStringLiteral("fotos/gat.jpg\r\n") << false << QStringLiteral("fotos/gat.jpg");
    QTest::newRow("name with a Windows folder is text")
            << QStringLiteral("C:\\fotos\\gat.jpg\r\n") << false
            << QStringLiteral("C:\\fotos\\gat.jpg");
    QTest::newRow("picture name on a second line is text")
            << QStringLiteral("Mira:\r\ngat.jpg\r\n") << false
            << QStringLiteral("Mira:\r\ngat.jpg");
    QTest::newRow("sentence ending in full stop, space and two letters is text")
            << QStringLiteral("El gat dorm. Fi\r\n") << false << QStringLiteral("El gat dorm. Fi");
    QTest::newRow("sentence ending in a full stop")
            << QStringLiteral("El gat dorm.\r\n") << false << QStringLiteral("El gat dorm.");
    QTest::newRow("five characters are text")
            << QStringLiteral("a.b\r\n") << false << QStringLiteral("a.b");
    QTest::newRow("three-letter line is text")
            << QStringLiteral("gat\r\n") << false << QStringLiteral("gat");
    QTest::newRow("one empty line is text") << QStringLiteral("\r\n") << false << QString();
    QTest::newRow("empty") << QString() << false << QString();
}

void TestFormat::pictureReference()
{
    QFETCH(QString, block);
    QFETCH(bool, picture);
    QFETCH(QString, fileName);

    QCOMPARE(dictation::isPictureReference(block), picture);
    QCOMPARE(dictation::pictureFileName(block), fileName);
}

void TestFormat::textBoxText_data()
{
    QTest::addColumn<QString>("block");
    QTest::addColumn<QString>("shown");

    QTest::newRow("two lines and the empty third")
            << QStringLiteral("a\r\nb\r\n") << QStringLiteral("a\nb\n");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("empty lines") << QStringLiteral("\r\n\r\n") << QStringLiteral("\n\n");
    QTest::newRow("no final line end") << QStringLiteral("a\r\nb") << QStringLiteral("a\nb");
    const QString longest(dictation::kMaxShownLine, u'a');
    QTest::newRow("a line of the longest shown length")
            << longest + QStringLiteral("\r\nb\r\n") << longest + QStringLiteral("\nb\n");
    QTest::newRow("a longer line is cut, the next kept")
            << longest + QStringLiteral("zz\r\nb\r\n") << longest + QStringLiteral("\nb\n");
}

void TestFormat::textBoxText()
{
    QFETCH(QString, block);
    QFETCH(QString, shown);

    QCOMPARE(dictation::textBoxText(block), shown);
}

void TestFormat::countNonEmpty_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("count");

    QTest::newRow("ten items") << crLfLines({"T", "a", "x"}) + kNineItems << 10;
    QTest::newRow("all empty") << crLfLines({"T", "x", "", "", "", "", "", "", "", "", ""}) << 0;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("x right after the title") << crLfLines({"T", "x"}) + kNineItems << 9;
    QTest::newRow("one empty item-1 line") << crLfLines({"T", "", "x"}) + kNineItems << 9;
    QTest::newRow("spaces count") << crLfLines({"T", "x", " ", "", " "}) << 2;
    QTest::newRow("three items") << crLfLines({"T", "a", "b", "x", "c", "d"}) << 3;
}

void TestFormat::countNonEmpty()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);

    QCOMPARE(dictation::countNonEmpty(dictation::parse(bytes)), count);
}

void TestFormat::serialize_data()
{
    QTest::addColumn<dictation::DictationTexts>("texts");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray nineEmpty = QByteArray("\r\n").repeated(9);

    QTest::newRow("all boxes empty") << texts({}, {}) << "\r\nx\r\n" + nineEmpty;
    QTest::newRow("two-line text and two items")
            << texts(QStringLiteral("El gat"),
                     {QStringLiteral("El gat dorm al sol.\nDesprés es renta la cara."),
                      QStringLiteral("La gata juga amb el fil."), QStringLiteral("Té set vides.")})
            << crLfLines({"El gat", "El gat dorm al sol.", "Despr\xE9s es renta la cara.", "x",
                          "La gata juga amb el fil.", "T\xE9 set vides.", "", "", "", "", "", "",
                          ""});
    QTest::newRow("item 1 of three lines without a final line end")
            << texts(QStringLiteral("T"), {QStringLiteral("a\nb\nc")})
            << "T\r\na\r\nb\r\nc\r\nx\r\n" + nineEmpty;
    QTest::newRow("final line end of item 1 is not doubled")
            << texts(QStringLiteral("T"), {QStringLiteral("a\nb\n")})
            << "T\r\na\r\nb\r\nx\r\n" + nineEmpty;
    QTest::newRow("item 1 ending in an empty line keeps it")
            << texts(QStringLiteral("T"), {QStringLiteral("a\n\n")})
            << "T\r\na\r\n\r\nx\r\n" + nineEmpty;
    QTest::newRow("item 1 of only a line end")
            << texts(QStringLiteral("T"), {QStringLiteral("\n")}) << "T\r\n\r\nx\r\n" + nineEmpty;
    QTest::newRow("CR LF in item 1 stays one line end")
            << texts(QStringLiteral("T"), {QStringLiteral("a\r\nb\r\n")})
            << "T\r\na\r\nb\r\nx\r\n" + nineEmpty;
    QTest::newRow("lone CR in item 1 becomes CR LF")
            << texts(QStringLiteral("T"), {QStringLiteral("a\rb\r")})
            << "T\r\na\r\nb\r\nx\r\n" + nineEmpty;
    QTest::newRow("x line inside item 1 is written as it comes")
            << texts(QStringLiteral("T"), {QStringLiteral("a\nx\nb")})
            << "T\r\na\r\nx\r\nb\r\nx\r\n" + nineEmpty;
    QTest::newRow("picture name") << texts(QStringLiteral("Gats"), {QStringLiteral("gat.jpg")})
                                  << "Gats\r\ngat.jpg\r\nx\r\n" + nineEmpty;
    // The title and items 2 to 10 have one line each in the file: a line end inside them would
    // move every later item down a line.
    QTest::newRow("line end inside an item becomes a space")
            << texts(QStringLiteral("T"), {QString(), QStringLiteral("a\nb")})
            << "T\r\nx\r\na b\r\n" + QByteArray("\r\n").repeated(8);
    QTest::newRow("CR LF in the title and lone CR in item 10 become spaces")
            << texts(QStringLiteral("El\r\ngat"),
                     QStringList {QString()} + QStringList(8) + QStringList {"a\rb\r"})
            << "El gat\r\nx\r\n" + QByteArray("\r\n").repeated(8) + "a b \r\n";
    QTest::newRow("ten items") << texts(QStringLiteral("T"), QStringList {"a"} + kNineItemTexts)
                               << "T\r\na\r\nx\r\n" + kNineItems;
    QTest::newRow("Catalan letters as Windows-1252")
            << texts(QStringLiteral("L’àvia"),
                     {QStringLiteral("«Col·legi» èéíïòóúüç"), QStringLiteral("5 €")})
            << "L\x92\xE0via\r\n\xAB"
               "Col\xB7legi\xBB \xE8\xE9\xED\xEF\xF2\xF3\xFA\xFC\xE7\r\nx\r\n5 \x80\r\n"
                    + QByteArray("\r\n").repeated(8);
    QTest::newRow("ŀ makes it UTF-8 with a mark")
            << texts(QStringLiteral("La coŀlecció"), {})
            << "\xEF\xBB\xBFLa co\xC5\x80lecci\xC3\xB3\r\nx\r\n" + nineEmpty;
    QTest::newRow("Windows-1252 that would read as UTF-8 gets a mark")
            << texts(QStringLiteral("PERÒ…"), {})
            << "\xEF\xBB\xBFPER\xC3\x92\xE2\x80\xA6\r\nx\r\n" + nineEmpty;
}

void TestFormat::serialize()
{
    QFETCH(dictation::DictationTexts, texts);
    QFETCH(QByteArray, bytes);

    QCOMPARE(dictation::serialize(texts), bytes);
}

void TestFormat::roundTrip_data()
{
    QTest::addColumn<dictation::DictationTexts>("texts");

    QTest::newRow("all boxes empty") << texts({}, {});
    QTest::newRow("two-line text")
            << texts(QStringLiteral("El gat"),
                     {QStringLiteral("El gat dorm al sol.\nDesprés es renta la cara.\n"),
                      QStringLiteral("La gata juga amb el fil.")});
    QTest::newRow("item 1 ending in empty lines")
            << texts(QStringLiteral("T"), {QStringLiteral("a\n\n\n")});
    QTest::newRow("item 1 of two empty lines")
            << texts(QStringLiteral("T"), {QStringLiteral("\n\n")});
    QTest::newRow("ten items") << texts(QStringLiteral("T"), QStringList {"a\n"} + kNineItemTexts);
    QTest::newRow("99 item-1 lines")
            << texts(QStringLiteral("T"), {QString(QStringLiteral("línia\n")).repeated(99)});
    QTest::newRow("Catalan letters")
            << texts(QStringLiteral("L’àvia"),
                     {QStringLiteral("«Col·legi» èéíïòóúüç\n"), QStringLiteral("5 €")});
    QTest::newRow("ŀ") << texts(QStringLiteral("Coŀlecció"), {QStringLiteral("coŀl\n")});
    QTest::newRow("Windows-1252 that looks like UTF-8")
            << texts(QStringLiteral("PERÒ…"), {QStringLiteral("È·\n")});
    QTest::newRow("leading byte-order mark character in the title")
            << texts(QStringLiteral("\uFEFFgat"), {});
    QTest::newRow("spaces and an X")
            << texts(QStringLiteral(" "), {QStringLiteral("X\n x\n"), " "});
}

void TestFormat::roundTrip()
{
    QFETCH(dictation::DictationTexts, texts);

    const QByteArray bytes = dictation::serialize(texts);
    const dictation::DictationTexts loaded = boxesAfterLoading(dictation::parse(bytes));
    QCOMPARE(loaded.title, texts.title);
    for (std::size_t k = 0; k < texts.texts.size(); ++k)
        QCOMPARE(loaded.texts[k], texts.texts[k]);
    // Load and save again: the file does not change, so item 1 no longer grows each time.
    QCOMPARE(dictation::serialize(loaded), bytes);
}

void TestFormat::everyByteOfATitleRoundTrips()
{
    QByteArray title;
    for (int value = 0; value < 256; ++value) {
        if (value != '\r' && value != '\n')
            title.append(char(value));
    }
    const QByteArray bytes = title + "\r\nx\r\n" + QByteArray("\r\n").repeated(9);
    const dictation::Dictation d = dictation::parse(bytes);
    QCOMPARE(d.title.size(), title.size());
    QCOMPARE(dictation::serialize(boxesAfterLoading(d)), bytes);
}

QTEST_APPLESS_MAIN(TestFormat)

#include "tst_format.moc"
