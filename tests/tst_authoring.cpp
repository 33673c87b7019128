// SPDX-License-Identifier: GPL-3.0-or-later

// The access code and the picture name, as plain functions; the trash and picture loading
// of the platform layer they rely on.
#include "authoring/authoring.h"
#include "platform/filetrash.h"
#include "platform/pictureloader.h"
#include "support/pictures.h"
#include "support/restorers.h"
#include "support/testfiles.h"

#include <QDir>
#include <QImage>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestAuthoring : public QObject
{
    Q_OBJECT
private slots:
    void accessCode_data();
    void accessCode();
    void pictureName_data();
    void pictureName();
    void pictureNameOfEmptyPath();
    void trash();
    void badPictures_data();
    void badPictures();
    void goodPictures();
};

void TestAuthoring::accessCode_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("the code") << "kub" << true;
    QTest::newRow("capital first letter") << "Kub" << false;
    QTest::newRow("all capitals") << "KUB" << false;
    QTest::newRow("blank before") << " kub" << false;
    QTest::newRow("blank after") << "kub " << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("longer") << "kubs" << false;
    QTest::newRow("the old stored text") << "pruna" << false;
}

void TestAuthoring::accessCode()
{
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QCOMPARE(authoring::accessCodeMatches(typed), accepted);
}

void TestAuthoring::pictureName_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("separators");
    QTest::addColumn<QString>("expected"); // empty: refused as longer than 100 characters

    const QString windows = QStringLiteral("\\/");
    QTest::newRow("windows path") << "C:\\fotos\\gat.jpg" << windows << "gat.jpg";
    QTest::newRow("unix path") << "/home/mestra/fotos/gat.jpg"
                               << "/"
                               << "gat.jpg";
    QTest::newRow("no separator") << "gat.jpg"
                                  << "/"
                                  << "gat.jpg";
    QTest::newRow("trailing separator stays") << "C:\\fotos\\gats\\" << windows << "gats\\";
    QTest::newRow("only a separator") << "/"
                                      << "/"
                                      << "/";
    QTest::newRow("backslash is a name character off Windows") << "/fotos/a\\b.jpg"
                                                               << "/"
                                                               << "a\\b.jpg";
    const QString longName = QString(97, u'g') + ".jpg";
    QTest::newRow("101 characters refused") << "/fotos/" + longName << "/"
                                            << "";
    QTest::newRow("no separator, 101 characters refused") << longName << "/"
                                                          << "";
    QTest::newRow("100 characters kept") << "/fotos/" + longName.mid(1) << "/" << longName.mid(1);
    QTest::newRow("a dictation path") << "/dictats/animals.dtd"
                                      << "/"
                                      << "animals.dtd";
}

void TestAuthoring::pictureName()
{
    QFETCH(QString, fileName);
    QFETCH(QString, separators);
    QFETCH(QString, expected);
    const authoring::PictureName picked = authoring::pictureName(fileName, separators);
    QCOMPARE(picked.status,
             expected.isEmpty() ? authoring::PictureName::Status::TooLong
                                : authoring::PictureName::Status::Named);
    QCOMPARE(picked.name, expected);
}

void TestAuthoring::pictureNameOfEmptyPath()
{
    QCOMPARE(authoring::pictureName(QString()).status, authoring::PictureName::Status::EmptyPath);
}

void TestAuthoring::trash()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const EnvironmentRestorer restore("XDG_DATA_HOME",
                                      QDir(home.path()).absoluteFilePath("data").toUtf8());

    const QString clip = home.filePath("gat-1.wav");
    QFile file(clip);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
    file.close();

    QCOMPARE(moveFileToTrash(clip), TrashResult::Moved);
    QVERIFY(!QFile::exists(clip));
    QCOMPARE(moveFileToTrash(clip), TrashResult::NoFile);
    QCOMPARE(moveFileToTrash(QString()), TrashResult::NoFile);
    QCOMPARE(moveFileToTrash(home.path()), TrashResult::NoFile);

    // Where there is no trash, each discard of a clip is set aside beside it, none over another.
    const QStringList expected {"gat-2 (descartat 2).wav", "gat-2 (descartat 3).wav",
                                "gat-2 (descartat).wav", "nom (descartat)"};
    for (const char *name : {"gat-2.wav", "gat-2.wav", "gat-2.wav", "nom"}) {
        QVERIFY(testfiles::writeFile(home.filePath(name), "RIFF"));
        QCOMPARE(setAsideAsDiscarded(home.filePath(name)), TrashResult::Moved);
    }
    QCOMPARE(QDir(home.path()).entryList(QDir::Files, QDir::Name), expected);
}

void TestAuthoring::badPictures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");

    const QByteArray jpeg = pictures::jpeg(QSize(64, 64), Qt::red);
    // A GIF header declaring 60000 x 60000 pixels, then a minimal image block.
    QByteArray hugeGif("GIF89a");
    hugeGif += QByteArray::fromHex("60ea60ea"
                                   "00"
                                   "00"
                                   "00");
    hugeGif += QByteArray::fromHex("2c"
                                   "00000000"
                                   "60ea60ea"
                                   "00"
                                   "02024401"
                                   "00"
                                   "3b");

    QTest::newRow("truncated jpeg") << jpeg.left(jpeg.size() / 3) << "tallada.jpg";
    QTest::newRow("gif declaring 60000 x 60000") << hugeGif << "enorme.gif";
    QTest::newRow("text named .jpg") << QByteArray("no soc cap imatge\r\n") << "text.jpg";
    QTest::newRow("empty file") << QByteArray() << "buit.jpg";
}

void TestAuthoring::badPictures()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    QTemporaryDir dir;
    QFile file(dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QCOMPARE(loadPicture(file.fileName()), std::nullopt);
}

void TestAuthoring::goodPictures()
{
    QTemporaryDir dir;
    QVERIFY(pictures::plain(QSize(40, 30), Qt::blue).save(dir.filePath("gat.jpg"), "JPEG"));
    // Qt writes no GIF: a 1 x 1 one, byte by byte.
    QFile gif(dir.filePath("gos.gif"));
    QVERIFY(gif.open(QIODevice::WriteOnly));
    gif.write(QByteArray::fromHex("474946383961010001008000"
                                  "00ffffff000000"
                                  "2c00000000010001000002024401003b"));
    gif.close();

    const QString previous = QDir::currentPath();
    const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
    QDir::setCurrent(dir.path());
    const auto loaded = loadPicture(QStringLiteral("gat.jpg"));
    QVERIFY(loaded);
    QCOMPARE(loaded->size(), QSize(40, 30));
    const auto firstFrame = loadPicture(QStringLiteral("gos.gif"));
    QVERIFY(firstFrame);
    QCOMPARE(firstFrame->size(), QSize(1, 1));
    QCOMPARE(loadPicture(QStringLiteral("no-hi-es.jpg")), std::nullopt);
}

QTEST_MAIN(TestAuthoring)
#include "tst_authoring.moc"
