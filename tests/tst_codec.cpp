// SPDX-License-Identifier: GPL-3.0-or-later

// Windows-1252 and UTF-8 handling of dictation texts: byte-exact round trips, the Catalan
// letters, and how a file's encoding is recognised.
#include "dictation/codec.h"

#include <QStringDecoder>
#include <QTest>

using dictation::Encoding;

namespace dictation {
char *toString(Encoding encoding)
{
    return qstrdup(encoding == Encoding::Utf8 ? "Utf8" : "Windows1252");
}
} // namespace dictation

namespace {

QByteArray allBytes()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

} // namespace

class TestCodec : public QObject
{
    Q_OBJECT

private slots:
    void decodesLikeTheSystemsWindows1252();
    void everyByteRoundTrips();
    void catalanLetters_data();
    void catalanLetters();
    void fits_data();
    void fits();
    void characterOutsideTheCodePageBecomesQuestionMark();
    void decodeDocument_data();
    void decodeDocument();
    void encodeDocument_data();
    void encodeDocument();
    void documentRoundTrip_data();
    void documentRoundTrip();
};

void TestCodec::decodesLikeTheSystemsWindows1252()
{
    QStringDecoder reference("windows-1252");
    if (!reference.isValid())
        QSKIP("this Qt has no Windows-1252 codec to compare with");
    for (int value = 0; value < 256; ++value) {
        const char byte = char(value);
        const QByteArrayView bytes(&byte, 1);
        QCOMPARE(dictation::decodeWindows1252(bytes), reference.decode(bytes));
    }
}

void TestCodec::everyByteRoundTrips()
{
    const QByteArray bytes = allBytes();
    const QString text = dictation::decodeWindows1252(bytes);
    QCOMPARE(text.size(), 256);
    QVERIFY(dictation::fitsWindows1252(text));
    QCOMPARE(dictation::encodeWindows1252(text), bytes);
    // The undefined bytes keep their value as C1 controls instead of collapsing into one
    // replacement character.
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'})
        QCOMPARE(text.at(static_cast<unsigned char>(undefined)).unicode(),
                 char16_t(static_cast<unsigned char>(undefined)));
}

void TestCodec::catalanLetters_data()
{
    QTest::addColumn<QString>("letter");
    QTest::addColumn<char>("byte");

    QTest::newRow("à") << QStringLiteral("à") << '\xE0';
    QTest::newRow("è") << QStringLiteral("è") << '\xE8';
    QTest::newRow("é") << QStringLiteral("é") << '\xE9';
    QTest::newRow("í") << QStringLiteral("í") << '\xED';
    QTest::newRow("ï") << QStringLiteral("ï") << '\xEF';
    QTest::newRow("ò") << QStringLiteral("ò") << '\xF2';
    QTest::newRow("ó") << QStringLiteral("ó") << '\xF3';
    QTest::newRow("ú") << QStringLiteral("ú") << '\xFA';
    QTest::newRow("ü") << QStringLiteral("ü") << '\xFC';
    QTest::newRow("ç") << QStringLiteral("ç") << '\xE7';
    QTest::newRow("À") << QStringLiteral("À") << '\xC0';
    QTest::newRow("É") << QStringLiteral("É") << '\xC9';
    QTest::newRow("Ç") << QStringLiteral("Ç") << '\xC7';
    QTest::newRow("middle dot of l·l") << QStringLiteral("·") << '\xB7';
    QTest::newRow("apostrophe ’") << QStringLiteral("’") << '\x92';
    QTest::newRow("opening «") << QStringLiteral("«") << '\xAB';
    QTest::newRow("closing »") << QStringLiteral("»") << '\xBB';
    QTest::newRow("euro €") << QStringLiteral("€") << '\x80';
    QTest::newRow("ellipsis …") << QStringLiteral("…") << '\x85';
    QTest::newRow("dash –") << QStringLiteral("–") << '\x96';
}

void TestCodec::catalanLetters()
{
    QFETCH(QString, letter);
    QFETCH(char, byte);

    QCOMPARE(dictation::decodeWindows1252(QByteArrayView(&byte, 1)), letter);
    QVERIFY(dictation::fitsWindows1252(letter));
    QCOMPARE(dictation::encodeWindows1252(letter), QByteArray(1, byte));
}

void TestCodec::fits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");

    QTest::newRow("empty") << QString() << true;
    QTest::newRow("ASCII") << QStringLiteral("El gat dorm al sol.") << true;
    QTest::newRow("Catalan sentence")
            << QStringLiteral("«Això és col·lecció d’un pèl ïntim», va dir l’Òscar.") << true;
    QTest::newRow("undefined byte's C1 control") << QStringLiteral("\u0081") << true;
    QTest::newRow("ŀ, the one-character l with middle dot") << QStringLiteral("coŀlecció") << false;
    QTest::newRow("C1 control whose byte is the euro sign") << QStringLiteral("\u0080") << false;
    QTest::newRow("emoji") << QStringLiteral("gat 🐈") << false;
    QTest::newRow("byte-order mark character") << QStringLiteral("\uFEFFgat") << false;
    QTest::newRow("Greek") << QStringLiteral("γάτα") << false;
}

void TestCodec::fits()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);

    QCOMPARE(dictation::fitsWindows1252(text), fits);
}

void TestCodec::characterOutsideTheCodePageBecomesQuestionMark()
{
    QCOMPARE(dictation::encodeWindows1252(QStringLiteral("coŀl")), QByteArray("co?l"));
}

void TestCodec::decodeDocument_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Encoding>("encoding");

    QTest::newRow("empty") << QByteArray() << QString() << Encoding::Windows1252;
    QTest::newRow("ASCII only") << QByteArray("El gat\r\nx\r\n")
                                << QStringLiteral("El gat\r\nx\r\n") << Encoding::Windows1252;
    QTest::newRow("Windows-1252 letters")
            << QByteArray("Despr\xE9s t\xE9 col\xB7le\x92s")
            << QStringLiteral("Després té col·le’s") << Encoding::Windows1252;
    QTest::newRow("UTF-8 without mark")
            << QByteArray("Despr\xC3\xA9s") << QStringLiteral("Després") << Encoding::Utf8;
    QTest::newRow("UTF-8 ŀ without mark") << QByteArray("co\xC5\x80lecci\xC3\xB3")
                                          << QStringLiteral("coŀlecció") << Encoding::Utf8;
    QTest::newRow("UTF-8 four-byte sequence")
            << QByteArray("gat \xF0\x9F\x90\x88") << QStringLiteral("gat 🐈") << Encoding::Utf8;
    QTest::newRow("mark and ASCII")
            << QByteArray("\xEF\xBB\xBFgat") << QStringLiteral("gat") << Encoding::Utf8;
    QTest::newRow("mark only") << QByteArray("\xEF\xBB\xBF") << QString() << Encoding::Utf8;
    QTest::newRow("mark then invalid byte") << QByteArray("\xEF\xBB\xBF"
                                                          "a\xE9z")
                                            << QStringLiteral("a\uFFFDz") << Encoding::Utf8;
    QTest::newRow("second mark is text") << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFgat")
                                         << QStringLiteral("\uFEFFgat") << Encoding::Utf8;
    QTest::newRow("valid UTF-8 then a stray Windows-1252 letter")
            << QByteArray("\xC3\xA9 \xE9") << QStringLiteral("Ã© é") << Encoding::Windows1252;
    QTest::newRow("overlong slash")
            << QByteArray("\xC0\xAF") << QStringLiteral("À¯") << Encoding::Windows1252;
    QTest::newRow("encoded surrogate")
            << QByteArray("\xED\xA0\x80") << QStringLiteral("í\u00A0€") << Encoding::Windows1252;
    QTest::newRow("sequence cut short at the end")
            << QByteArray("gat\xC3") << QStringLiteral("gatÃ") << Encoding::Windows1252;
    QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << QStringLiteral("ô\u0090€€")
                                   << Encoding::Windows1252;
}

void TestCodec::decodeDocument()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(Encoding, encoding);

    const dictation::DecodedText decoded = dictation::decodeDocument(bytes);
    QCOMPARE(decoded.text, text);
    QCOMPARE(decoded.encoding, encoding);
}

void TestCodec::encodeDocument_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("ASCII") << QStringLiteral("gat\r\n") << QByteArray("gat\r\n");
    QTest::newRow("Catalan letters stay single bytes")
            << QStringLiteral("l’àvia és aquí: «col·lecció» 5 €")
            << QByteArray("l\x92\xE0via \xE9s aqu\xED: \xAB"
                          "col\xB7lecci\xF3\xBB 5 \x80");
    QTest::newRow("ŀ turns the whole text to UTF-8 with a mark")
            << QStringLiteral("é coŀl") << QByteArray("\xEF\xBB\xBF\xC3\xA9 co\xC5\x80l");
    QTest::newRow("undefined byte's C1 control") << QStringLiteral("\u008D") << QByteArray("\x8D");
}

void TestCodec::encodeDocument()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(dictation::encodeDocument(text), bytes);
}

void TestCodec::documentRoundTrip_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("Catalan") << QStringLiteral("Què és això? «L’àvia» ïntima, pingüí, çà!");
    QTest::newRow("ŀ") << QStringLiteral("La coŀlecció");
    QTest::newRow("emoji") << QStringLiteral("gat 🐈\r\n");
    QTest::newRow("leading byte-order mark character") << QStringLiteral("\uFEFFgat");
    QTest::newRow("every Windows-1252 character") << dictation::decodeWindows1252(allBytes());
}

void TestCodec::documentRoundTrip()
{
    QFETCH(QString, text);

    QCOMPARE(dictation::decodeDocument(dictation::encodeDocument(text)).text, text);
}

QTEST_APPLESS_MAIN(TestCodec)

#include "tst_codec.moc"
