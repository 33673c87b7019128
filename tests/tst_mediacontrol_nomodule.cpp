// MMControl1 when the sound module is missing: ctest runs this test from a folder where the
// module's path relative to the executable leads nowhere, as in an installation that lost it.
// Sound commands must fail as they do without a device, the bar must stay disabled, clip files
// must be left alone, and none of the sound libraries may be loaded on the way.
#include "sound/mediacontrol.h"
#include "support/loadedlibraries.h"
#include "support/soundclips.h"
#include "support/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace soundclips;
using testfiles::fileBytes;
using Mode = MediaControl::Mode;
using Result = MediaControl::CommandResult;

class TestMediaControlNoModule : public QObject
{
    Q_OBJECT
private slots:
    void soundCommandsFailAsWithoutDevice_data();
    void soundCommandsFailAsWithoutDevice();
};

void TestMediaControlNoModule::soundCommandsFailAsWithoutDevice_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<Result>>("results");

    QTest::newRow("the window's play button on a clip")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("close"), QStringLiteral("Open"), QStringLiteral("prev"),
                            QStringLiteral("play")}
            << QList<Result> {Result::Done, Result::NoDevice, Result::NothingOpen,
                              Result::NothingOpen};
    QTest::newRow("the window's play button before any dictation")
            << QString() << QStringList {QStringLiteral("close"), QStringLiteral("Open")}
            << QList<Result> {Result::Done, Result::BadFile};
    QTest::newRow("record and keep a clip not made yet")
            << QStringLiteral("missing")
            << QStringList {QStringLiteral("Open"), QStringLiteral("record"),
                            QStringLiteral("stop"), QStringLiteral("Save")}
            << QList<Result> {Result::NoDevice, Result::NothingOpen, Result::NothingOpen,
                              Result::NothingOpen};
    QTest::newRow("keep over a clip, then discard")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("Open"), QStringLiteral("Save"), QStringLiteral("close")}
            << QList<Result> {Result::NoDevice, Result::NothingOpen, Result::Done};
    QTest::newRow("the bar's keys on a file that is not audio")
            << QStringLiteral("text")
            << QStringList {QStringLiteral("Open"), QStringLiteral("play"), QStringLiteral("pause"),
                            QStringLiteral("prev")}
            << QList<Result> {Result::NoDevice, Result::NothingOpen, Result::NothingOpen,
                              Result::NothingOpen};
}

void TestMediaControlNoModule::soundCommandsFailAsWithoutDevice()
{
    QFETCH(QString, file);
    QFETCH(QStringList, commands);
    QFETCH(QList<Result>, results);

    QTemporaryDir dir;
    const QString path = file.isEmpty() ? QString()
                                        : dir.filePath(QStringLiteral("animals-anna3.wav"));
    QVERIFY(putClipFile(path, file));
    const QByteArray before = fileBytes(path);

    MediaControl control;
    control.setFileName(path);
    QList<Result> got;
    for (const QString &command : commands)
        got << control.runCommand(command);
    QCOMPARE(got, results);
    QCOMPARE(control.mode(), Mode::NotOpen);
    for (const QToolButton *button : control.findChildren<QToolButton *>())
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));

    QFile after(path);
    QCOMPARE(after.exists(), file == u"clip" || file == u"text");
    if (after.open(QIODevice::ReadOnly))
        QCOMPARE(after.readAll(), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
             after.exists() ? 1 : 0);

    if (const std::optional<QByteArray> map = memoryMap()) {
        for (const char *library : kSoundLibraries)
            QVERIFY2(!map->contains(library), library);
    }
}

QTEST_MAIN(TestMediaControlNoModule)
#include "tst_mediacontrol_nomodule.moc"
