// SPDX-License-Identifier: GPL-3.0-or-later

// Dictation files on disk: reading only what the reader uses, and saving that replaces the old
// file whole or leaves it exactly as it was.
#include "dictation/dictationfile.h"
#include "dictation/format.h"
#include "support/restorers.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using dictation::SaveResult;
using namespace testfiles;

namespace dictation {
char *toString(SaveResult result)
{
    switch (result) {
    case SaveResult::Saved:
        return qstrdup("Saved");
    case SaveResult::CannotOpen:
        return qstrdup("CannotOpen");
    case SaveResult::WriteFailed:
        return qstrdup("WriteFailed");
    case SaveResult::CommitFailed:
        return qstrdup("CommitFailed");
    }
    return qstrdup("?");
}
} // namespace dictation

namespace {

QByteArray lines(const QByteArray &stem, int count, const QByteArray &lineEnd)
{
    QByteArray bytes;
    for (int n = 1; n <= count; ++n)
        bytes += stem + QByteArray::number(n) + lineEnd;
    return bytes;
}

// The longest dictation the reader takes in: title, 99 item-1 lines, "x" and nine items.
QByteArray fullLengthDictation(const QByteArray &lineEnd, qsizetype lineLength = 0)
{
    const QByteArray filler(lineLength, 'a');
    return "T" + lineEnd + lines(filler + "line ", 99, lineEnd) + "x" + lineEnd
            + lines(filler + "item ", 9, lineEnd);
}

using testfiles::kOldDictation;
const QByteArray kNewDictation = "Nou\r\nLa gata.\r\nx\r\n" + QByteArray("\r\n").repeated(9);

} // namespace

class TestDictationFile : public QObject
{
    Q_OBJECT

private slots:
    void readsWholeSmallFile_data();
    void readsWholeSmallFile();
    void cannotReadMissingFileOrFolder();
    void readsOnlyWhatTheReaderUses_data();
    void readsOnlyWhatTheReaderUses();
    void savesBytes_data();
    void savesBytes();
    void cannotOpen_data();
    void cannotOpen();
    void cannotOpenReadOnlyFolder();
    void writeFailingAtEveryByteKeepsOldFile();
    void shortWritesAreCompleted();
    void failedCommitLeavesNoTemporaryFile();
    void savedDictationLoadsBack();
};

void TestDictationFile::readsWholeSmallFile_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("dictation") << kOldDictation;
    QTest::newRow("no line end at all") << QByteArray("El gat");
    QTest::newRow("UTF-8 with mark")
            << QByteArray("\xEF\xBB\xBFLa co\xC5\x80lecci\xC3\xB3\r\nx\r\n");
}

void TestDictationFile::readsWholeSmallFile()
{
    QFETCH(QByteArray, bytes);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, bytes));

    const std::optional<QByteArray> read = dictation::readDictationBytes(path);
    QVERIFY(read.has_value());
    QCOMPARE(*read, bytes);
}

void TestDictationFile::cannotReadMissingFileOrFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(!dictation::readDictationBytes(folder.filePath(QStringLiteral("cap.dtd"))));
    QVERIFY(!dictation::readDictationBytes(folder.path()));
    QVERIFY(!dictation::readDictationBytes(QString()));
}

void TestDictationFile::readsOnlyWhatTheReaderUses_data()
{
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray tail = QByteArray("more text after item 10\r\n").repeated(100'000);
    QTest::newRow("CR LF") << fullLengthDictation("\r\n") + tail;
    QTest::newRow("LF") << fullLengthDictation("\n") + tail;
    QTest::newRow("CR") << fullLengthDictation("\r") + tail;
    // Lines long enough that the dictation takes several reads, so a miscounted line end stops
    // the reading too early.
    QTest::newRow("long lines, CR LF") << fullLengthDictation("\r\n", 5000) + tail;
    QTest::newRow("long lines, LF") << fullLengthDictation("\n", 5000) + tail;
    QTest::newRow("long lines, CR") << fullLengthDictation("\r", 5000) + tail;
    QTest::newRow("no x line") << lines("line ", 200, "\r\n") + tail;
    QTest::newRow("title longer than one read")
            << QByteArray(300'000, 't') + "\r\nx\r\n" + lines("item ", 9, "\r\n") + tail;
    QTest::newRow("item 10 without a line end at the end of the file")
            << fullLengthDictation("\r\n").chopped(2);
}

void TestDictationFile::readsOnlyWhatTheReaderUses()
{
    QFETCH(QByteArray, bytes);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("gran.dtd"));
    QVERIFY(writeFile(path, bytes));

    const std::optional<QByteArray> read = dictation::readDictationBytes(path);
    QVERIFY(read.has_value());
    QVERIFY(bytes.startsWith(*read));
    if (bytes.size() > 1'000'000)
        QVERIFY(read->size() < bytes.size() / 2);
    const dictation::Dictation whole = dictation::parse(bytes);
    const dictation::Dictation part = dictation::parse(*read);
    QCOMPARE(part.title, whole.title);
    for (std::size_t k = 0; k < whole.items.size(); ++k)
        QCOMPARE(part.items[k], whole.items[k]);
}

void TestDictationFile::savesBytes_data()
{
    QTest::addColumn<bool>("oldFileThere");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("new file") << false << kNewDictation;
    QTest::newRow("shorter file replaces a longer one") << true << kNewDictation;
    QTest::newRow("longer file replaces a shorter one") << true << kOldDictation + kOldDictation;
    QTest::newRow("empty bytes") << true << QByteArray();
}

void TestDictationFile::savesBytes()
{
    QFETCH(bool, oldFileThere);
    QFETCH(QByteArray, bytes);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    if (oldFileThere)
        QVERIFY(writeFile(path, kOldDictation));

    QCOMPARE(dictation::saveDictationBytes(path, bytes), SaveResult::Saved);
    QCOMPARE(fileBytes(path), bytes);
    QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
}

void TestDictationFile::cannotOpen_data()
{
    QTest::addColumn<QString>("relativePath");

    QTest::newRow("parent is a regular file") << QStringLiteral("vell.dtd/nou.dtd");
    QTest::newRow("folder does not exist") << QStringLiteral("cap/nou.dtd");
    QTest::newRow("path is a folder") << QStringLiteral("carpeta");
    QTest::newRow("no name") << QString();
}

void TestDictationFile::cannotOpen()
{
    QFETCH(QString, relativePath);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QVERIFY(writeFile(folder.filePath(QStringLiteral("vell.dtd")), kOldDictation));
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("carpeta")));
    const QString path = relativePath.isEmpty() ? QString() : folder.filePath(relativePath);

    QCOMPARE(dictation::saveDictationBytes(path, kNewDictation), SaveResult::CannotOpen);
    QCOMPARE(fileBytes(folder.filePath(QStringLiteral("vell.dtd"))), kOldDictation);
    QCOMPARE(entries(folder.path()), (QStringList {"carpeta", "vell.dtd"}));
    QVERIFY(entries(folder.filePath(QStringLiteral("carpeta"))).isEmpty());
}

void TestDictationFile::cannotOpenReadOnlyFolder()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, kOldDictation));
    const PermissionsRestorer restore(folder.path());
    QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));

    // An administrator writes into read-only folders all the same; the other cannot-open rows
    // cover that case.
    const QString probe = folder.filePath(QStringLiteral("sonda"));
    if (writeFile(probe, QByteArray())) {
        QFile::remove(probe);
        QSKIP("permissions do not stop this user from writing");
    }

    QCOMPARE(dictation::saveDictationBytes(path, kNewDictation), SaveResult::CannotOpen);
    QCOMPARE(fileBytes(path), kOldDictation);
    QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
}

void TestDictationFile::writeFailingAtEveryByteKeepsOldFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, kOldDictation));

    for (qsizetype accepted = 0; accepted < kNewDictation.size(); ++accepted) {
        // The medium takes `accepted` bytes, then fails like a full disk.
        qsizetype room = accepted;
        const auto fullDisk = [&room](QIODevice &file, QByteArrayView bytes) -> qint64 {
            if (room == 0)
                return -1;
            const qsizetype taken = qMin(room, bytes.size());
            room -= taken;
            return file.write(bytes.data(), taken);
        };
        QCOMPARE(dictation::saveDictationBytes(path, kNewDictation, fullDisk),
                 SaveResult::WriteFailed);
        QCOMPARE(fileBytes(path), kOldDictation);
        QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
    }
}

void TestDictationFile::shortWritesAreCompleted()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));
    QVERIFY(writeFile(path, kOldDictation));

    const auto oneByteAtATime = [](QIODevice &file, QByteArrayView bytes) -> qint64 {
        return file.write(bytes.data(), 1);
    };
    QCOMPARE(dictation::saveDictationBytes(path, kNewDictation, oneByteAtATime), SaveResult::Saved);
    QCOMPARE(fileBytes(path), kNewDictation);
}

void TestDictationFile::failedCommitLeavesNoTemporaryFile()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));

    // A folder appearing at the chosen name while the bytes are written makes the final rename
    // fail, even for an administrator.
    const auto folderAppears = [&path](QIODevice &file, QByteArrayView bytes) -> qint64 {
        QDir().mkpath(path);
        return file.write(bytes.data(), bytes.size());
    };
    QCOMPARE(dictation::saveDictationBytes(path, kNewDictation, folderAppears),
             SaveResult::CommitFailed);
    QCOMPARE(entries(folder.path()), QStringList {"dictat.dtd"});
    QVERIFY(QFileInfo(path).isDir());
}

void TestDictationFile::savedDictationLoadsBack()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("dictat.dtd"));

    dictation::DictationTexts texts;
    texts.title = QStringLiteral("La coŀlecció");
    texts.texts[0] = QStringLiteral("L’àvia té «gats».\nEls gats dormen.");
    texts.texts[9] = QStringLiteral("Fi");
    QCOMPARE(dictation::saveDictationBytes(path, dictation::serialize(texts)), SaveResult::Saved);

    const std::optional<QByteArray> bytes = dictation::readDictationBytes(path);
    QVERIFY(bytes.has_value());
    const dictation::Dictation loaded = dictation::parse(*bytes);
    QCOMPARE(loaded.title, texts.title);
    QCOMPARE(loaded.items[0], QStringLiteral("L’àvia té «gats».\r\nEls gats dormen.\r\n"));
    QCOMPARE(loaded.items[9], QStringLiteral("Fi"));
    QCOMPARE(dictation::countNonEmpty(loaded), 2);
}

QTEST_APPLESS_MAIN(TestDictationFile)

#include "tst_dictationfile.moc"
