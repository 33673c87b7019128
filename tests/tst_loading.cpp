// SPDX-License-Identifier: GPL-3.0-or-later

// A new attempt as the pupil makes it: Command1 clicked in the real window, the dictation chosen
// in the open dialog (or named on the command line), and then what the window shows: the title,
// the item boxes and their play buttons, item 1 as text or as a picture, and the item count the
// grade is worked out from.
#include "app/widgets.h"
#include "support/pictures.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace testfiles;

namespace {

// Ten box texts: Text1 first; the ones not given are empty.
QStringList boxes(const QString &text1, const QStringList &others = {})
{
    QStringList all {text1};
    all += others;
    while (all.size() < 10)
        all.append(QString());
    return all;
}

QString nativePath(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// A picture the loader can read, in one colour so that what Image1 shows can be recognised.
bool writePicture(const QString &path, QColor colour, QSize size)
{
    return pictures::plain(size, colour).save(path, "JPEG");
}

using pictures::looksLike;

// What the window shows and the counters behind the grade, an entry each, so that a comparison
// names what changed.
QStringList windowState(const WindowUnderTest &w)
{
    QStringList state {w.get<QLineEdit>("titol")->text()};
    state += boxTexts(w);
    state << shownItems(w) << w->arxiu << w->windowTitle() << w.get<QLabel>("Label2")->text()
          << QStringLiteral("nfrases %1 escoltes %2 nota %3 acabades %4")
                     .arg(w->nfrases)
                     .arg(w->escoltes)
                     .arg(w->nota)
                     .arg(w->acabades)
          << QStringLiteral("dib %1 Picture3 %2")
                     .arg(w.get("dib")->isVisible())
                     .arg(w.get("Picture3")->isVisible());
    return state;
}

const QByteArray kTenItems = crLfLines({"Abans", "primer text"}) + "x\r\n"
        + numberedLines("abans ", 2, 10);

} // namespace

class TestLoading : public QObject
{
    Q_OBJECT

private slots:
    void showsTheDictation_data();
    void showsTheDictation();
    void pictureBesideTheDictation_data();
    void pictureBesideTheDictation();
    void pictureThatCannotBeLoaded_data();
    void pictureThatCannotBeLoaded();
    void textDictationLeavesThePicture();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void tickDuringTheDialogKeepsTheGrade();
    void newAttemptStartsOnceADictationIsChosen();
    void dictationNamedOnTheCommandLine_data();
    void dictationNamedOnTheCommandLine();
};

void TestLoading::showsTheDictation_data()
{
    QTest::addColumn<bool>("fileThere");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("shown");

    QTest::newRow("two-line item 1 shows an empty third line")
            << true
            << crLfLines({"El gat", "El gat dorm al sol.", "Despr\xE9s es renta la cara.", "x",
                          "La gata juga amb el fil.", "T\xE9 set vides.", "", "", "", "", "", "",
                          ""})
            << "El gat"
            << boxes("El gat dorm al sol.\nDesprés es renta la cara.\n",
                     {"La gata juga amb el fil.", "Té set vides."})
            << "TTT.......";

    QStringList nineItems;
    for (int n = 2; n <= 10; ++n)
        nineItems.append(QStringLiteral("item %1").arg(n));
    QTest::newRow("x right after the title")
            << true << crLfLines({"Preguntes", "x"}) + numberedLines("item ", 2, 10) << "Preguntes"
            << boxes(QString(), nineItems) << ".TTTTTTTTT";
    QTest::newRow("ten items") << true
                               << crLfLines({"Deu", "lectura", "x"}) + numberedLines("item ", 2, 10)
                               << "Deu" << boxes("lectura\n", nineItems) << "TTTTTTTTTT";
    QTest::newRow("no items") << true
                              << crLfLines({"Buit", "x", "", "", "", "", "", "", "", "", ""})
                              << "Buit" << boxes(QString()) << "..........";

    QString hundredLines;
    for (int n = 1; n <= 100; ++n)
        hundredLines += QStringLiteral("línia %1\n").arg(n);
    QStringList shiftedItems {"x"};
    for (int n = 2; n <= 9; ++n)
        shiftedItems.append(QStringLiteral("item %1").arg(n));
    QTest::newRow("100-line item 1 pushes x into item 2")
            << true
            << "Llarg\r\n" + numberedLines("l\xEDnia ", 1, 100) + "x\r\n"
                    + numberedLines("item ", 2, 10)
            << "Llarg" << boxes(hundredLines, shiftedItems) << "TTTTTTTTTT";

    QString ninetyNineLines;
    for (int n = 1; n <= 99; ++n)
        ninetyNineLines += QStringLiteral("línia %1\n").arg(n);
    QTest::newRow("99-line item 1 read as written")
            << true
            << "Llarg\r\n" + numberedLines("l\xEDnia ", 1, 99) + "x\r\n"
                    + numberedLines("item ", 2, 10)
            << "Llarg" << boxes(ninetyNineLines, nineItems) << "TTTTTTTTTT";

    // Nothing of the dictation loaded before may show through the lines this file lacks.
    QTest::newRow("file shorter than the layout")
            << true << crLfLines({"Curt", "una l\xEDnia", "x", "pregunta"}) << "Curt"
            << boxes("una línia\n", {"pregunta"}) << "TT........";
    QTest::newRow("file ending before its x line")
            << true << QByteArray("Sense final\r\nprimera\r\nsegona") << "Sense final"
            << boxes("primera\nsegona\n") << "T.........";
    QTest::newRow("missing file") << false << QByteArray() << QString() << boxes(QString())
                                  << "..........";
    QTest::newRow("empty file") << true << QByteArray() << QString() << boxes(QString())
                                << "..........";

    // Too short for a picture name with its extension: what the teacher typed is shown.
    QTest::newRow("one-letter item 1 is text") << true << crLfLines({"Curt", "a", "x", "b"})
                                               << "Curt" << boxes("a\n", {"b"}) << "TT........";
    QTest::newRow("three characters with a dot are text")
            << true << crLfLines({"Curt", "a.b", "x", "b"}) << "Curt" << boxes("a.b\n", {"b"})
            << "TT........";
    // Text that looks like a picture name only where a three-letter extension would end.
    QTest::newRow("last sentence ending \". Fi\" is text")
            << true << crLfLines({"Final", "El gat dorm. Fi", "x", "b"}) << "Final"
            << boxes("El gat dorm. Fi\n", {"b"}) << "TT........";
    QTest::newRow("one empty item-1 line is an empty item 1")
            << true << crLfLines({"Buit", "", "x", "b"}) << "Buit" << boxes(QString(), {"b"})
            << ".T........";

    QTest::newRow("capital X and spaced x are text")
            << true << crLfLines({"Xs", "X", " x", "x ", "x", "b"}) << "Xs"
            << boxes("X\n x\nx \n", {"b"}) << "TT........";
    QTest::newRow("item of spaces counts")
            << true << crLfLines({"Espais", "text", "x", "  ", "", "c"}) << "Espais"
            << boxes("text\n", {"  ", "", "c"}) << "TT.T......";

    QTest::newRow("UTF-8 without a byte-order mark")
            << true
            << crLfLines({"L\xE2\x80\x99i\xC5\x80lusi\xC3\xB3", "Col\xC2\xB7legi i para\xC5\x80lel",
                          "x",
                          "\xC2\xAB"
                          "cam\xC3\xAD"
                          "\xC2\xBB"})
            << "L’iŀlusió" << boxes("Col·legi i paraŀlel\n", {"«camí»"}) << "TT........";
    QTest::newRow("UTF-8 with a byte-order mark")
            << true << "\xEF\xBB\xBF" + crLfLines({"Pa\xC5\x80la", "a", "x", "b"}) << "Paŀla"
            << boxes("a\n", {"b"}) << "TT........";
    QTest::newRow("Windows-1252 with LF line ends")
            << true
            << QByteArray("Can\xE7\xF3\nP\xE8rgola \x80 5\nx\n\xAB"
                          "Fu\xEF"
                          "t\xBB\n")
            << "Cançó" << boxes("Pèrgola € 5\n", {"«Fuït»"}) << "TT........";
    QTest::newRow("lone CR line ends") << true << QByteArray("T\rl1\rl2\rx\rb\r") << "T"
                                       << boxes("l1\nl2\n", {"b"}) << "TT........";
}

void TestLoading::showsTheDictation()
{
    QFETCH(bool, fileThere);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, title);
    QFETCH(QStringList, texts);
    QFETCH(QString, shown);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString before = folder.filePath(QStringLiteral("abans.dtd"));
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(before, kTenItems));
    if (fileThere)
        QVERIFY(writeFile(path, bytes));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, before);
    QCOMPARE(shownItems(w), QStringLiteral("TTTTTTTTTT"));
    load(w, path);

    QCOMPARE(w.requests.size(), 2);
    QCOMPARE(w.requests.last().action, CommonDialog::Action::Open);
    QCOMPARE(w.requests.last().nameFilters, QStringList {"Dictats (*.dtd)"});
    QCOMPARE(w.get<QLineEdit>("titol")->text(), title);
    QCOMPARE(boxTexts(w), texts);
    QCOMPARE(shownItems(w), shown);
    QCOMPARE(w->nfrases, int(shown.count(u'T') + shown.count(u'P')));
    QCOMPARE(w->arxiu, nativePath(path));
    QCOMPARE(w->windowTitle(), QStringLiteral("Luvana"));
    for (int item = 1; item <= 10; ++item)
        QVERIFY(w.get(("Text" + QByteArray::number(item)).constData())->isEnabled());
    QVERIFY(w.get("Picture3")->isHidden());
}

void TestLoading::pictureBesideTheDictation_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("jpg") << "gat.jpg";
    QTest::newRow("jpeg, in capitals") << "GAT.JPEG";
}

void TestLoading::pictureBesideTheDictation()
{
    QFETCH(QString, picture);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(writePicture(folder.filePath(picture), Qt::red, QSize(40, 30)));
    const QString path = folder.filePath(QStringLiteral("gat.dtd"));
    QVERIFY(writeFile(path, crLfLines({"El gat", picture.toLatin1(), "x", "De quin color \xE9s?"})));
    // The picture is found beside the dictation, wherever the program was started from.
    QTemporaryDir elsewhere;
    QVERIFY(elsewhere.isValid());
    QVERIFY(QDir::setCurrent(elsewhere.path()));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, path);

    QVERIFY(looksLike(w.get<ImageBox>("Image1")->image(), Qt::red, QSize(40, 30)));
    QCOMPARE(shownItems(w), QStringLiteral("PT........"));
    QCOMPARE(w->nfrases, 2);
    QCOMPARE(w.controlAt(w.windowPoint("Image1")), QStringLiteral("Image1"));
    // The hidden box keeps the name, so that saving again keeps the picture.
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), picture);
    QCOMPARE(w->frase1, picture + QStringLiteral("\r\n"));
    QCOMPARE(w.get<QLineEdit>("Text2")->text(), QStringLiteral("De quin color és?"));
}

void TestLoading::pictureThatCannotBeLoaded_data()
{
    QTest::addColumn<QByteArray>("besideTheDictation");

    QTest::newRow("missing picture") << QByteArray();
    QTest::newRow("file that is no picture") << QByteArray("gos\r\n");
}

void TestLoading::pictureThatCannotBeLoaded()
{
    QFETCH(QByteArray, besideTheDictation);

    QTemporaryDir first;
    QTemporaryDir second;
    QVERIFY(first.isValid() && second.isValid());
    QVERIFY(writePicture(first.filePath(QStringLiteral("gat.jpg")), Qt::blue, QSize(20, 10)));
    QVERIFY(writeFile(first.filePath(QStringLiteral("gat.dtd")),
                      crLfLines({"Gat", "gat.jpg", "x", "a"})));
    const QString path = second.filePath(QStringLiteral("gos.dtd"));
    QVERIFY(writeFile(path, crLfLines({"Gos", "gos.jpg", "x", "b", "c"})));
    if (!besideTheDictation.isNull())
        QVERIFY(writeFile(second.filePath(QStringLiteral("gos.jpg")), besideTheDictation));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, first.filePath(QStringLiteral("gat.dtd")));
    load(w, path);

    // No picture, rather than the earlier dictation's; item 1 is still an item to listen to.
    QVERIFY(w.get<ImageBox>("Image1")->image().isNull());
    QCOMPARE(shownItems(w), QStringLiteral("PTT......."));
    QCOMPARE(w->nfrases, 3);
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("gos.jpg"));
    QCOMPARE(w.get<QLineEdit>("titol")->text(), QStringLiteral("Gos"));
}

void TestLoading::textDictationLeavesThePicture()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(writePicture(folder.filePath(QStringLiteral("gat.jpg")), Qt::green, QSize(16, 16)));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("gat.dtd")),
                      crLfLines({"Gat", "gat.jpg", "x", "a"})));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("text.dtd")),
                      crLfLines({"Text", "Un text llarg.", "x", "a"})));
    QVERIFY(writeFile(folder.filePath(QStringLiteral("buit.dtd")), crLfLines({"Buit", "x", "a"})));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, folder.filePath(QStringLiteral("gat.dtd")));
    load(w, folder.filePath(QStringLiteral("text.dtd")));
    QCOMPARE(shownItems(w), QStringLiteral("TT........"));
    QCOMPARE(w.controlAt(w.windowPoint("Image1")), QStringLiteral("Text1"));
    QVERIFY(looksLike(w.get<ImageBox>("Image1")->image(), Qt::green, QSize(16, 16)));

    // With no item 1 the area shows the picture left there.
    load(w, folder.filePath(QStringLiteral("buit.dtd")));
    QCOMPARE(shownItems(w), QStringLiteral(".T........"));
    QCOMPARE(w->nfrases, 1);
    QVERIFY(looksLike(w.get<ImageBox>("Image1")->image(), Qt::green, QSize(16, 16)));
    QVERIFY(w.get<QPlainTextEdit>("Text1")->toPlainText().isEmpty());
}

void TestLoading::cancelChangesNothing_data()
{
    // What the window holds when Command1 is clicked and its dialog cancelled.
    QTest::addColumn<QString>("before");

    QTest::newRow("right after start-up") << "start-up";
    QTest::newRow("a graded dictation whose file changed since") << "graded";
    QTest::newRow("authoring layout, title and questions typed") << "typed";
    QTest::newRow("a dictation edited in the authoring layout, its file changed since") << "edited";
    QTest::newRow("a picture chosen for item 1") << "picture";
}

void TestLoading::cancelChangesNothing()
{
    QFETCH(QString, before);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, crLfLines({"Primer", "text", "x", "a", "b"})));
    const QString picture = folder.filePath(QStringLiteral("gat.jpg"));
    QVERIFY(writePicture(picture, Qt::blue, QSize(8, 8)));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.get<QTimer>("Timer1")->stop();
    if (before == u"graded" || before == u"edited")
        load(w, path);
    if (before == u"graded") {
        w->escoltes = 12;
        w->Timer1_Timer();
    }
    if (before == u"typed" || before == u"edited" || before == u"picture") {
        w.doubleClick("Label7");
        typeInto(w, "titol", QStringLiteral("Un títol nou"));
        typeInto(w, "Text1", QStringLiteral("Un text que no s'ha desat."));
        typeInto(w, "Text2", QStringLiteral("Què hi ha?"));
        typeInto(w, "Text10", QStringLiteral("On és?"));
    }
    if (before == u"picture") {
        w.answers.enqueue(picture);
        w.click("dib");
    }
    // A cancel must not put back what the file on disk holds either.
    QVERIFY(writeFile(path, crLfLines({"Segon", "altre text", "x", "c"})));
    const QStringList state = windowState(w);
    const QImage image = w.get<ImageBox>("Image1")->image();

    w.click("Command1");
    QCOMPARE(w.requests.last().action, CommonDialog::Action::Open);
    QCOMPARE(windowState(w), state);
    QCOMPARE(w.get<ImageBox>("Image1")->image(), image);
}

void TestLoading::tickDuringTheDialogKeepsTheGrade()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, crLfLines({"Tres", "text", "x", "a", "b"})));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    // The ticks are given by hand, at the moments that matter.
    w.get<QTimer>("Timer1")->stop();
    load(w, path);
    w->escoltes = 12;
    w->Timer1_Timer();
    const QString graded = w.get<QLabel>("Label2")->text();
    QVERIFY(!graded.isEmpty() && graded != QStringLiteral("La teva nota és: 10"));

    // Until a dictation is chosen the attempt under way goes on.
    QString labelDuringDialog = QStringLiteral("no tick");
    int itemsDuringDialog = -1;
    w.dialog()->setChooser([&](const CommonDialog::Request &) -> std::optional<QString> {
        w->Timer1_Timer();
        labelDuringDialog = w.get<QLabel>("Label2")->text();
        itemsDuringDialog = w->nfrases;
        return path;
    });
    w.click("Command1");

    QCOMPARE(labelDuringDialog, graded);
    QCOMPARE(itemsDuringDialog, 3);
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    QCOMPARE(w->nfrases, 3);
    // The grade starts afresh with the dictation loaded again.
    w->Timer1_Timer();
    QCOMPARE(w.get<QLabel>("Label2")->text(), QStringLiteral("La teva nota és: 10"));
}

void TestLoading::newAttemptStartsOnceADictationIsChosen()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, crLfLines({"Dos", "text", "x", "a"})));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.get<QTimer>("Timer1")->stop();
    load(w, path);
    QCOMPARE(shownItems(w), QStringLiteral("TT........"));
    w->escoltes = 5;
    w->nota = 4;
    w->acabades = 2;
    w->Timer1_Timer();
    w.get("dib")->show();
    w.get("Picture3")->show();
    const QStringList before = windowState(w);

    QStringList duringDialog;
    w.dialog()->setChooser([&](const CommonDialog::Request &) -> std::optional<QString> {
        duringDialog = windowState(w);
        return path;
    });
    w.click("Command1");

    QCOMPARE(duringDialog, before);
    QCOMPARE(w->escoltes, 0);
    QCOMPARE(w->nota, 0);
    QCOMPARE(w->acabades, 0);
    QCOMPARE(w->nfrases, 2);
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    QVERIFY(w.get("dib")->isHidden());
    QVERIFY(w.get("Picture3")->isHidden());
    QCOMPARE(shownItems(w), QStringLiteral("TT........"));
    QCOMPARE(w->windowTitle(), QStringLiteral("Luvana"));
}

void TestLoading::dictationNamedOnTheCommandLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("a dictation") << "dictat.dtd" << true;
    QTest::newRow("a dictation named in capitals") << "DICTAT.DTD" << true;
    QTest::newRow("a text file") << "dictat.txt" << false;
    QTest::newRow("a missing dictation") << "cap.dtd" << false;
    QTest::newRow("a folder named like a dictation") << "carpeta.dtd" << false;
}

void TestLoading::dictationNamedOnTheCommandLine()
{
    QFETCH(QString, name);
    QFETCH(bool, opens);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    for (const char *file : {"dictat.dtd", "DICTAT.DTD", "dictat.txt"})
        QVERIFY(writeFile(folder.filePath(file), crLfLines({"Dos", "text", "x", "a"})));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("carpeta.dtd")));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    const QStringList atStartUp = windowState(w);
    const QString path = folder.filePath(name);
    QCOMPARE(w->openGivenDictation(path), opens);
    QVERIFY(w.requests.isEmpty());
    if (!opens) {
        QCOMPARE(windowState(w), atStartUp);
        return;
    }
    QCOMPARE(w.get<QLineEdit>("titol")->text(), QStringLiteral("Dos"));
    QCOMPARE(shownItems(w), QStringLiteral("TT........"));
    QCOMPARE(w->arxiu, nativePath(path));
    QCOMPARE(w.get<QLineEdit>("nom")->text(), QString());
    // Pictures and clips named by bare file name are found beside it, and the next open dialog
    // starts there, as after choosing it in the dialog.
    w.click("Command1");
    QCOMPARE(w.requests.size(), 1);
    QCOMPARE(QFileInfo(w.requests.first().startFolder).canonicalFilePath(),
             QFileInfo(folder.path()).canonicalFilePath());
}

QTEST_MAIN(TestLoading)
#include "tst_loading.moc"
