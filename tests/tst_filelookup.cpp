// SPDX-License-Identifier: GPL-3.0-or-later
// Files named in another letter case, as a dictation made on Windows leaves them: which file
// the lookup finds, asked by full path and by a bare name in the current folder alike.
#include "platform/filelookup.h"
#include "support/testfiles.h"

#include <QDir>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

class TestFileLookup : public QObject
{
    Q_OBJECT
private slots:
    void findsTheFile_data();
    void findsTheFile();
};

void TestFileLookup::findsTheFile_data()
{
    QTest::addColumn<QStringList>("files"); // a name ending in "/" is a folder
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("found"); // empty: nothing

    QTest::newRow("exact name") << QStringList {"gat.jpg"} << "gat.jpg"
                                << "gat.jpg";
    QTest::newRow("capitals on disk") << QStringList {"GAT.JPG"} << "gat.jpg"
                                      << "GAT.JPG";
    QTest::newRow("exact name beside variants")
            << QStringList {"GAT.JPG", "Gat.jpg", "gat.jpg"} << "gat.jpg"
            << "gat.jpg";
    QTest::newRow("first variant in character-code order")
            << QStringList {"gat.jpg", "Gat.JPG", "GAT.jpg"} << "gAT.JPG"
            << "GAT.jpg";
    QTest::newRow("accented capitals") << QStringList {"CANÇÓ-3.WAV"} << "cançó-3.wav"
                                       << "CANÇÓ-3.WAV";
    QTest::newRow("other names are no variants")
            << QStringList {"gat.jpeg", "gats.jpg", "gat.jpg.bak"} << "gat.jpg"
            << "";
    QTest::newRow("a folder is no file") << QStringList {"GAT.JPG/"} << "gat.jpg"
                                         << "";
    QTest::newRow("folders are taken as written")
            << QStringList {"fotos/", "fotos/gat.jpg"} << "FOTOS/gat.jpg"
            << "";
    QTest::newRow("empty folder") << QStringList {} << "gat.jpg"
                                  << "";
}

void TestFileLookup::findsTheFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, asked);
    QFETCH(QString, found);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &file : files) {
        if (file.endsWith(u'/'))
            QVERIFY(QDir(dir.path()).mkdir(file.chopped(1)));
        else
            QVERIFY(testfiles::writeFile(dir.filePath(file), file.toUtf8()));
    }

    const std::optional<QString> byPath = findFileIgnoringCase(dir.filePath(asked));
    QCOMPARE(byPath.value_or(QString()), found.isEmpty() ? QString() : dir.filePath(found));

    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    QVERIFY(QDir::setCurrent(dir.path()));
    QCOMPARE(findFileIgnoringCase(asked).value_or(QString()), found);
}

QTEST_MAIN(TestFileLookup)
#include "tst_filelookup.moc"
