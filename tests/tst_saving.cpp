// SPDX-License-Identifier: GPL-3.0-or-later

// Saving as the teacher does it: the access code typed, Command2 clicked, a name chosen in the
// save dialog; then the bytes on disk, what happens to an older file when the save fails, and
// dictations that go through a load and a save and come back as they were.
#include "app/widgets.h"
#include "support/pictures.h"
#include "support/restorers.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QAccessible>
#include <QClipboard>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

using namespace testfiles;

namespace {

const QByteArray kNineEmptyLines = QByteArray("\r\n").repeated(9);

QLineEdit *lineBox(const WindowUnderTest &w, int item)
{
    return w.get<QLineEdit>(("Text" + QByteArray::number(item)).constData());
}

// The title, then Text1 to Text10, as the teacher typed them.
void fillBoxes(const WindowUnderTest &w, const QStringList &texts)
{
    w.get<QLineEdit>("titol")->setText(texts.value(0));
    w.get<QPlainTextEdit>("Text1")->setPlainText(texts.value(1));
    for (int item = 2; item <= 10; ++item)
        lineBox(w, item)->setText(texts.value(item));
}

QStringList shownTexts(const WindowUnderTest &w)
{
    return QStringList {w.get<QLineEdit>("titol")->text()} + boxTexts(w);
}

} // namespace

class TestSaving : public QObject
{
    Q_OBJECT

private slots:
    void writesTheBoxes_data();
    void writesTheBoxes();
    void pictureGoesBesideTheDictation_data();
    void pictureGoesBesideTheDictation();
    void savingAgainReplacesTheFile();
    void cancelledSaveWritesNothing();
    void failedSaveKeepsTheOldFile_data();
    void failedSaveKeepsTheOldFile();
    void saveDialogStartsWhereItCanWrite_data();
    void saveDialogStartsWhereItCanWrite();
    void loadAndSaveKeepsTheDictation_data();
    void loadAndSaveKeepsTheDictation();
    void typedNameGetsTheExtension_data();
    void typedNameGetsTheExtension();
    void pastedLineBreakBecomesASpace_data();
    void pastedLineBreakBecomesASpace();
};

void TestSaving::writesTheBoxes_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("bytes");

    // An empty item 1 is no line at all, so that it reads back empty.
    QTest::newRow("all boxes empty") << QStringList() << "\r\nx\r\n" + kNineEmptyLines;
    QTest::newRow("three lines without a final line end")
            << QStringList {"T", "u\ndos\ntres"}
            << crLfLines({"T", "u", "dos", "tres", "x"}) + kNineEmptyLines;
    QTest::newRow("final line end not doubled")
            << QStringList {"T", "u\ndos\n"} << crLfLines({"T", "u", "dos", "x"}) + kNineEmptyLines;
    QTest::newRow("empty last line kept")
            << QStringList {"T", "u\n\n"} << crLfLines({"T", "u", "", "x"}) + kNineEmptyLines;
    QTest::newRow("x line inside Text1 written as it comes")
            << QStringList {"T", "a\nx\nb"}
            << crLfLines({"T", "a", "x", "b", "x"}) + kNineEmptyLines;
    QTest::newRow("ten items") << QStringList {"Deu", "lectura", "p2", "p3", "p4", "p5",
                                               "p6",  "p7",      "p8", "p9", "p10"}
                               << crLfLines({"Deu", "lectura", "x", "p2", "p3", "p4", "p5", "p6",
                                             "p7", "p8", "p9", "p10"});
    QTest::newRow("spaces written as typed")
            << QStringList {" ", "  ", "", "   "}
            << crLfLines({" ", "  ", "x", "", "   "}) + QByteArray("\r\n").repeated(7);
    QTest::newRow("Catalan letters as Windows-1252")
            << QStringList {"Cançó de l’àvia", "Això és «fàcil»: 5 €.", "Què hi ha?", "Fuïm!",
                            "Çà i là, úlcera, pingüí"}
            << crLfLines({"Can\xE7\xF3 de l\x92\xE0via",
                          "Aix\xF2 \xE9s \xAB"
                          "f\xE0"
                          "cil\xBB: 5 \x80.",
                          "x", "Qu\xE8 hi ha?", "Fu\xEFm!",
                          "\xC7\xE0 i l\xE0, \xFAlcera, ping\xFC\xED"})
                    + QByteArray("\r\n").repeated(6);
    // Windows-1252 has no ŀ: the whole file goes to UTF-8 rather than lose it.
    QTest::newRow("ŀ written as UTF-8 with a byte-order mark")
            << QStringList {"Paŀla", "Iŀlusió", "Col·legi"}
            << "\xEF\xBB\xBF"
                    + crLfLines({"Pa\xC5\x80la", "I\xC5\x80lusi\xC3\xB3", "x", "Col\xC2\xB7legi"})
                    + QByteArray("\r\n").repeated(8);
}

void TestSaving::writesTheBoxes()
{
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, bytes);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("nou.dtd"));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    fillBoxes(w, texts);
    save(w, path);

    QCOMPARE(w.requests.size(), 1);
    QCOMPARE(w.requests.first().action, CommonDialog::Action::Save);
    QCOMPARE(w.requests.first().nameFilters, QStringList {"Dictats (*.dtd)"});
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(entries(folder.path()), QStringList {"nou.dtd"});
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(path));
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
    QVERIFY(w.get<QLineEdit>("codi")->text().isEmpty());
}

void TestSaving::pictureGoesBesideTheDictation_data()
{
    // The dictation is saved in "dictats". The picture was chosen with the picture button or
    // lay beside the dictation opened before, in "fotos" or "dictats"; "beside" is what lay
    // beside the dictation under the picture's name before the save.
    QTest::addColumn<bool>("opened");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<bool>("elsewhere");
    QTest::addColumn<QString>("beside");

    QTest::newRow("chosen beside the dictation") << false << "gat.jpg" << false << "";
    QTest::newRow("chosen elsewhere: copied") << false << "gat.jpg" << true << "";
    QTest::newRow("jpeg chosen elsewhere: copied") << false << "Gat.JPEG" << true << "";
    QTest::newRow("opened elsewhere: copied") << true << "gat.jpg" << true << "";
    QTest::newRow("the same picture beside it") << false << "gat.jpg" << true << "the same";
    QTest::newRow("another picture beside it: kept") << false << "gat.jpg" << true << "another";
}

void TestSaving::pictureGoesBesideTheDictation()
{
    QFETCH(bool, opened);
    QFETCH(QString, picture);
    QFETCH(bool, elsewhere);
    QFETCH(QString, beside);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    QVERIFY(root.mkdir(QStringLiteral("fotos")) && root.mkdir(QStringLiteral("dictats")));
    const QByteArray yellow = pictures::jpeg(QSize(8, 8), Qt::yellow);
    const QByteArray red = pictures::jpeg(QSize(8, 8), Qt::red);
    const QDir folder(
            root.filePath(elsewhere ? QStringLiteral("fotos") : QStringLiteral("dictats")));
    const QString source = folder.filePath(picture);
    QVERIFY(writeFile(source, yellow));
    const QString besideIt = root.filePath(QStringLiteral("dictats/") + picture);
    if (!beside.isEmpty())
        QVERIFY(writeFile(besideIt, beside == u"the same" ? yellow : red));
    const QByteArray bytes = crLfLines({"El gat", picture.toLatin1(), "x", "Com es diu?"})
            + QByteArray("\r\n").repeated(8);
    const QString path = root.filePath(QStringLiteral("dictats/gat.dtd"));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    if (opened) {
        QVERIFY(writeFile(folder.filePath(QStringLiteral("abans.dtd")), bytes));
        load(w, folder.filePath(QStringLiteral("abans.dtd")));
    } else {
        w.doubleClick("Label7");
        fillBoxes(w, {"El gat", "un text que la imatge substitueix", "Com es diu?"});
        w.answers.enqueue(source);
        w.click("dib");
    }
    QVERIFY(w.get("Text1")->isHidden());
    save(w, path);

    QCOMPARE(w->windowTitle(),
             beside == u"another"
                     ? QStringLiteral("La imatge no s'ha pogut copiar al costat del dictat")
                     : QStringLiteral("Daz aravoze"));
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(fileBytes(besideIt), beside == u"another" ? red : yellow);
    QCOMPARE(fileBytes(source), yellow);
    // What the pupil sees of it.
    load(w, path);
    QCOMPARE(shownItems(w), QStringLiteral("PT........"));
    QVERIFY(pictures::looksLike(w.get<ImageBox>("Image1")->image(),
                                beside == u"another" ? Qt::red : Qt::yellow, QSize(8, 8)));
}

void TestSaving::savingAgainReplacesTheFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    fillBoxes(w,
              {"Un títol llarg", "moltes\nlínies\nde\ntext", "a", "b", "c", "d", "e", "f", "g", "h",
               "i"});
    save(w, path);
    QVERIFY(fileBytes(path).size() > 60);
    fillBoxes(w, {"Curt"});
    save(w, path);

    QCOMPARE(fileBytes(path), "Curt\r\nx\r\n" + kNineEmptyLines);
    QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
}

void TestSaving::cancelledSaveWritesNothing()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    const QByteArray bytes = crLfLines({"Vell", "text", "x"}) + kNineEmptyLines;
    QVERIFY(writeFile(path, bytes));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, path);
    fillBoxes(w, {"Nou", "altre"});
    QTest::keyClicks(w.get<QLineEdit>("codi"), QStringLiteral("kub"));
    w.click("Command2");

    QCOMPARE(w.requests.size(), 2);
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
    QVERIFY(w.get<QLineEdit>("codi")->text().isEmpty());
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(path));
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
}

void TestSaving::failedSaveKeepsTheOldFile_data()
{
    QTest::addColumn<QString>("oldName");
    QTest::addColumn<QString>("chosenName");
    QTest::addColumn<bool>("readOnlyFolder");
    QTest::addColumn<bool>("fullScreen");

    QTest::newRow("folder that is a regular file")
            << QStringLiteral("vell.dtd") << QStringLiteral("vell.dtd/nou.dtd") << false << false;
    // The copy is written beside the old file under a longer name, which the file system
    // refuses.
    const QString longName = QString(246, u'd') + QStringLiteral(".dtd");
    QTest::newRow("no room for the copy's name") << longName << longName << false << false;
    QTest::newRow("read-only folder")
            << QStringLiteral("vell.dtd") << QStringLiteral("vell.dtd") << true << false;
    QTest::newRow("full screen, where the title bar is not shown")
            << QStringLiteral("vell.dtd") << QStringLiteral("vell.dtd/nou.dtd") << false << true;
}

void TestSaving::failedSaveKeepsTheOldFile()
{
    QFETCH(QString, oldName);
    QFETCH(QString, chosenName);
    QFETCH(bool, readOnlyFolder);
    QFETCH(bool, fullScreen);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString oldPath = folder.filePath(oldName);
    const QString chosenPath = folder.filePath(chosenName);
    const QByteArray oldBytes = crLfLines({"Vell", "text vell", "x", "a"}) + QByteArray(8, '\n');
    QVERIFY(writeFile(oldPath, oldBytes));

    const PermissionsRestorer restore(folder.path());
    if (readOnlyFolder)
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    // An administrator writes where permissions or names would stop anyone else; the row
    // that still fails for them covers that case.
    const QString probe = chosenPath + QStringLiteral(".XXXXXX");
    if (writeFile(probe, QByteArray())) {
        QFile::remove(probe);
        QSKIP("this user can write beside the chosen name");
    }

    WindowUnderTest w;
    QVERIFY(w.exposed());
    if (fullScreen)
        w->showFullScreen();
    fillBoxes(w, {"Nou", "text nou", "b"});
    save(w, chosenPath);

    QCOMPARE(fileBytes(oldPath), oldBytes);
    QCOMPARE(entries(folder.path()), QStringList {oldName});
    QVERIFY(w.get<QLineEdit>("codi")->text().isEmpty());
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(chosenPath));
    QCOMPARE(w->windowTitle(), QStringLiteral("No s'ha pogut desar el dictat"));
    // The same words in the window, which a screen reader presents as they appear, until the
    // next action.
    auto *avis = w.get<QLabel>("avis");
    QVERIFY(avis);
    QCOMPARE(avis->isVisible(), fullScreen);
    QCOMPARE(avis->text(), fullScreen ? w->windowTitle() : QString());
    QCOMPARE(QAccessible::queryAccessibleInterface(avis)->role(), QAccessible::Notification);
    QTest::keyClick(w.get("Text2"), Qt::Key_Home);
    QVERIFY(avis->isHidden());

    // Nothing of the failed save stays open: the old file loads, and a save elsewhere works.
    load(w, oldPath);
    QCOMPARE(w.get<QLineEdit>("titol")->text(), QStringLiteral("Vell"));
    QTemporaryDir other;
    QVERIFY(other.isValid());
    const QString newPath = other.filePath(QStringLiteral("nou.dtd"));
    save(w, newPath);
    QCOMPARE(fileBytes(newPath),
             crLfLines({"Vell", "text vell", "x", "a"}) + QByteArray("\r\n").repeated(8));
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
}

void TestSaving::saveDialogStartsWhereItCanWrite_data()
{
    // "samples" stands for the folder of the sample dictations, where the first dialog starts.
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<bool>("documents"); // the user has a documents folder
    QTest::addColumn<QString>("start");

    QTest::newRow("samples writable, as in a build tree: there")
            << "nothing" << false << true << "samples";
    QTest::newRow("samples read-only, as installed: the documents folder")
            << "nothing" << true << true << "home/Documents";
    QTest::newRow("a sample opened from a read-only folder: the documents folder")
            << "opened" << true << true << "home/Documents";
    QTest::newRow("samples read-only, no documents folder: home")
            << "nothing" << true << false << "home";
}

void TestSaving::saveDialogStartsWhereItCanWrite()
{
    QFETCH(QString, before);
    QFETCH(bool, readOnly);
    QFETCH(bool, documents);
    QFETCH(QString, start);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("samples")) && root.mkpath(QStringLiteral("home")));
    if (documents)
        QVERIFY(root.mkpath(QStringLiteral("home/Documents")));
    const EnvironmentRestorer home("HOME", QFile::encodeName(root.filePath(QStringLiteral("home"))));
    const EnvironmentRestorer config(
            "XDG_CONFIG_HOME", QFile::encodeName(root.filePath(QStringLiteral("home/.config"))));
    const QString samples = root.filePath(QStringLiteral("samples"));
    const QString sample = root.filePath(QStringLiteral("samples/tardor.dtd"));
    QVERIFY(writeFile(sample, crLfLines({"La tardor", "text", "x", "Quan?"})));
    const PermissionsRestorer restore(samples);
    if (readOnly) {
        QVERIFY(QFile::setPermissions(samples, QFile::ReadOwner | QFile::ExeOwner));
        // An administrator writes where permissions would stop anyone else.
        if (QFileInfo(samples).isWritable())
            QSKIP("this user can write in a read-only folder");
    }

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.dialog()->setInitialDirectory(samples);
    if (before == u"opened")
        load(w, sample);
    const QString saved = root.filePath(QStringLiteral("home/nou.dtd"));
    save(w, saved);

    QCOMPARE(w.requests.last().action, CommonDialog::Action::Save);
    QCOMPARE(w.requests.last().startFolder, root.filePath(start));
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
    QVERIFY(QFile::exists(saved));
}

void TestSaving::loadAndSaveKeepsTheDictation_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("shown");

    const QByteArray written = crLfLines({"El gat", "El gat dorm al sol.",
                                          "Despr\xE9s es renta la cara.", "x",
                                          "La gata juga amb el fil.", "T\xE9 set vides."})
            + QByteArray("\r\n").repeated(7);
    QTest::newRow("text item 1 does not grow") << written << written << "TTT.......";

    const QByteArray emptyItem1 = crLfLines({"Preguntes", "x", "Qui?", "On?"})
            + QByteArray("\r\n").repeated(7);
    QTest::newRow("empty item 1 stays empty") << emptyItem1 << emptyItem1 << ".TT.......";
    // An empty item-1 line, as other editors leave it: saved again, it goes.
    QTest::newRow("one empty item-1 line")
            << crLfLines({"Preguntes", "", "x", "Qui?"}) + QByteArray("\r\n").repeated(8)
            << crLfLines({"Preguntes", "x", "Qui?"}) + QByteArray("\r\n").repeated(8)
            << ".T........";

    const QByteArray picture = crLfLines({"El gat", "gat.jpg", "x", "Com es diu?"})
            + QByteArray("\r\n").repeated(8);
    QTest::newRow("picture item 1 kept") << picture << picture << "PT........";

    QTest::newRow("typed in an editor, Windows-1252 with LF")
            << QByteArray("Can\xE7\xF3\nPrimera l\xEDnia\nSegona\nx\nQu\xE8?\n")
            << crLfLines({"Can\xE7\xF3", "Primera l\xEDnia", "Segona", "x", "Qu\xE8?"})
                    + QByteArray("\r\n").repeated(8)
            << "TT........";
    const QByteArray nbsp = crLfLines({"A\xA0les 10", "S\xF3n les 10\xA0h.", "El 3\xA0%", "x",
                                       "Quina\xA0hora?"})
            + QByteArray("\r\n").repeated(8);
    QTest::newRow("non-breaking spaces kept") << nbsp << nbsp << "TT........";
    QTest::newRow("typed in an editor, UTF-8 with ŀ")
            << QByteArray("Paŀla\r\nUna iŀlusió\r\nx\r\nQuè?\r\n")
            << "\xEF\xBB\xBF"
                    + crLfLines({"Pa\xC5\x80la", "Una i\xC5\x80lusi\xC3\xB3", "x", "Qu\xC3\xA8?"})
                    + QByteArray("\r\n").repeated(8)
            << "TT........";
}

void TestSaving::loadAndSaveKeepsTheDictation()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, saved);
    QFETCH(QString, shown);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(pictures::plain(QSize(8, 8), Qt::cyan)
                    .save(folder.filePath(QStringLiteral("gat.jpg")), "JPEG"));
    const QString original = folder.filePath(QStringLiteral("original.dtd"));
    const QString first = folder.filePath(QStringLiteral("primer.dtd"));
    const QString second = folder.filePath(QStringLiteral("segon.dtd"));
    QVERIFY(writeFile(original, bytes));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, original);
    const QStringList texts = shownTexts(w);
    QCOMPARE(shownItems(w), shown);
    const int items = w->nfrases;
    save(w, first);
    QCOMPARE(fileBytes(first), saved);

    load(w, first);
    QCOMPARE(shownTexts(w), texts);
    QCOMPARE(shownItems(w), shown);
    QCOMPARE(w->nfrases, items);
    save(w, second);
    QCOMPARE(fileBytes(second), saved);
}

void TestSaving::typedNameGetsTheExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file");

    QTest::newRow("no extension") << "animals"
                                  << "animals.dtd";
    QTest::newRow("dot in the folder only") << "3r.curs/animals"
                                            << "3r.curs/animals.dtd";
    QTest::newRow("extension of its own kept") << "animals.txt"
                                               << "animals.txt";
}

void TestSaving::typedNameGetsTheExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, file);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("3r.curs")));
    WindowUnderTest w;
    QVERIFY(w.exposed());
    fillBoxes(w, {"Animals", "text", "Quin?"});
    save(w, folder.filePath(typed));

    const QString path = folder.filePath(file);
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(path));
    QCOMPARE(fileBytes(path),
             crLfLines({"Animals", "text", "x", "Quin?"}) + kNineEmptyLines.left(16));
    if (typed != file)
        QVERIFY(!QFile::exists(folder.filePath(typed)));
}

void TestSaving::pastedLineBreakBecomesASpace_data()
{
    QTest::addColumn<QByteArray>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("shown");

    QTest::newRow("CR LF into the title") << QByteArray("titol") << "El gat\r\nnegre"
                                          << "El gat negre";
    QTest::newRow("LF into item 2") << QByteArray("Text2") << "On\ndorm?"
                                    << "On dorm?";
    QTest::newRow("lone CR and a final LF into item 10") << QByteArray("Text10") << "Qui\rcorre?\n"
                                                         << "Qui corre? ";
    QTest::newRow("blank lines into item 5") << QByteArray("Text5") << "u\r\n\r\ndos\n\ntres"
                                             << "u  dos  tres";
}

void TestSaving::pastedLineBreakBecomesASpace()
{
    QFETCH(QByteArray, box);
    QFETCH(QString, pasted);
    QFETCH(QString, shown);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("enganxat.dtd"));
    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.doubleClick("Label7");
    QGuiApplication::clipboard()->setText(pasted);
    auto *target = w.get<QLineEdit>(box.constData());
    w.click(box.constData());
    QTest::keyClick(target, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(target->text(), shown);
    // The cursor follows the pasted text, so typing goes on after it.
    QTest::keyClicks(target, QStringLiteral("!"));
    QCOMPARE(target->text(), shown + u'!');

    save(w, path);
    load(w, path);
    QCOMPARE(target->text(), shown + u'!');
    // The title, "x" and items 2 to 10: no line more, whatever was pasted.
    QCOMPARE(fileBytes(path).count("\r\n"), 11);
}

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
