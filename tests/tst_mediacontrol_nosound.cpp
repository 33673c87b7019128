// SPDX-License-Identifier: GPL-3.0-or-later

// MMControl1 where there is no sound at all (ctest points PULSE_SERVER at a socket that does not
// exist): every command must come back at once, quietly, and leave the clip files alone. Also
// the button bar, which needs no sound to be looked at, and when the sound libraries come in.
//
// ctest runs the same executable a second time, as tst_mediacontrol_nomodule, from a copy one
// folder deeper, where the sound module's path relative to the executable leads nowhere, as
// in an installation that lost it: sound commands must fail as they do without a device, the
// bar must stay disabled, clip files must be left alone, and none of the sound libraries may
// be loaded on the way. That run sets LUVANA_WITHOUT_SOUND_MODULE and runs only that case.
//
// This test links what the window links, and libsndfile to write its clips: what it finds
// mapped of the other sound libraries, the control loaded.
#include "sound/mediacontrol/mediacontrol.h"
#include "sound/mediacontrol/recorderbar.h"
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

class TestMediaControlNoSound : public QObject
{
    Q_OBJECT
private slots:
    // First: once loaded, the sound module stays for the life of the process.
    void soundIsLoadedByTheFirstCommandThatNeedsIt();
    void everyCommandFailsQuietly_data();
    void everyCommandFailsQuietly();
    void noButtonActsWithoutDevices();
    void barFitsTheControl_data();
    void barFitsTheControl();
    void buttonsAreNamedInCatalan_data();
    void buttonsAreNamedInCatalan();
    void withoutModuleCommandsFailAsWithoutDevice_data();
    void withoutModuleCommandsFailAsWithoutDevice();
};

void TestMediaControlNoSound::soundIsLoadedByTheFirstCommandThatNeedsIt()
{
    if (!memoryMap())
        QSKIP("this system does not show which libraries a process has loaded");
    MediaControl control;
    control.setNotify(false);
    control.setWait(true);
    control.setShareable(false);
    control.setDeviceType(QStringLiteral("WaveAudio"));
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    control.setCommand(QStringLiteral("close"));
    control.setFileName(QString());
    control.setCommand(QStringLiteral("Open"));
    for (const char *library : kSoundLibraries)
        QVERIFY2(!memoryMap()->contains(library), library);
    // Nor do the bar's symbols read image files, which loads every image format plugin.
    QVERIFY(!memoryMap()->contains("/imageformats/"));

    control.setFileName(QStringLiteral("animals-anna3.wav"));
    control.setCommand(QStringLiteral("Open"));
    for (const char *library : kSoundLibraries)
        QVERIFY2(memoryMap()->contains(library), library);
    // The synthetic voice's library waits for the voice to speak.
    QVERIFY(!memoryMap()->contains("libespeak-ng.so"));
}

void TestMediaControlNoSound::everyCommandFailsQuietly_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QList<Result>>("results");
    QTest::addColumn<Mode>("mode");

    const QStringList window {QStringLiteral("close"), QStringLiteral("Open"),
                              QStringLiteral("prev"), QStringLiteral("play")};
    QTest::newRow("the window's play button on a clip")
            << QStringLiteral("clip") << window
            << QList<Result> {Result::Done, Result::Done, Result::Done, Result::NoDevice}
            << Mode::Stopped;
    QTest::newRow("the window's play button before any dictation")
            << QString() << window
            << QList<Result> {Result::Done, Result::BadFile, Result::NothingOpen,
                              Result::NothingOpen}
            << Mode::NotOpen;
    QTest::newRow("record over a clip not made yet")
            << QStringLiteral("missing")
            << QStringList {QStringLiteral("Open"), QStringLiteral("record")}
            << QList<Result> {Result::Done, Result::NoDevice} << Mode::Stopped;
    QTest::newRow("keep with nothing recorded")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("Open"), QStringLiteral("Save")}
            << QList<Result> {Result::Done, Result::NothingRecorded} << Mode::Stopped;
    QTest::newRow("keep a clip not made yet with nothing recorded")
            << QStringLiteral("missing")
            << QStringList {QStringLiteral("Open"), QStringLiteral("Save")}
            << QList<Result> {Result::Done, Result::NothingRecorded} << Mode::Stopped;
    QTest::newRow("discard") << QStringLiteral("clip")
                             << QStringList {QStringLiteral("Open"), QStringLiteral("close")}
                             << QList<Result> {Result::Done, Result::Done} << Mode::NotOpen;
    QTest::newRow("a file that is not audio")
            << QStringLiteral("text")
            << QStringList {QStringLiteral("Open"),  QStringLiteral("prev"), QStringLiteral("play"),
                            QStringLiteral("pause"), QStringLiteral("stop"), QStringLiteral("Save")}
            << QList<Result> {Result::BadFile, Result::Done, Result::BadFile,
                              Result::Done,    Result::Done, Result::NothingRecorded}
            << Mode::Stopped;
    QTest::newRow("names in any case")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("OPEN"), QStringLiteral("Prev"), QStringLiteral("PLAY"),
                            QStringLiteral("Close")}
            << QList<Result> {Result::Done, Result::Done, Result::NoDevice, Result::Done}
            << Mode::NotOpen;
    QTest::newRow("names it does not know")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("Open"), QStringLiteral("eject"), QString(),
                            QStringLiteral(" play")}
            << QList<Result> {Result::Done, Result::UnknownCommand, Result::UnknownCommand,
                              Result::UnknownCommand}
            << Mode::Stopped;
    QTest::newRow("the bar's commands with nothing open")
            << QStringLiteral("clip")
            << QStringList {QStringLiteral("prev"),   QStringLiteral("play"),
                            QStringLiteral("pause"),  QStringLiteral("stop"),
                            QStringLiteral("record"), QStringLiteral("Save")}
            << QList<Result>(6, Result::NothingOpen) << Mode::NotOpen;
}

void TestMediaControlNoSound::everyCommandFailsQuietly()
{
    QFETCH(QString, file);
    QFETCH(QStringList, commands);
    QFETCH(QList<Result>, results);
    QFETCH(Mode, mode);

    QTemporaryDir dir;
    const QString path = file.isEmpty() ? QString()
                                        : dir.filePath(QStringLiteral("animals-anna3.wav"));
    QVERIFY(putClipFile(path, file));
    const QByteArray before = fileBytes(path);

    MediaControl control;
    control.setNotify(false);
    control.setWait(true);
    control.setShareable(false);
    control.setDeviceType(QStringLiteral("WaveAudio"));
    control.setFileName(path);
    QList<Result> got;
    for (const QString &command : commands)
        got << control.runCommand(command);
    QCOMPARE(got, results);
    QCOMPARE(control.mode(), mode);
    QCOMPARE(QFile::exists(path), file == u"clip" || file == u"text");
    QCOMPARE(fileBytes(path), before);
}

void TestMediaControlNoSound::noButtonActsWithoutDevices()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("clip.wav"));
    QVERIFY(writeWav(path, tone(22050, 1, 0.2, 0.5f), SF_FORMAT_PCM_16));
    MediaControl control;
    // A disabled record button says why: first nothing is chosen, then no microphone is found.
    const QToolButton *record = control.findChild<QToolButton *>(QStringLiteral("recordButton"));
    QCOMPARE(record->toolTip(),
             QStringLiteral(
                     "Enregistra (R): primer clica l'altaveu de l'element que vols enregistrar"));
    control.setFileName(path);
    control.setCommand(QStringLiteral("Open"));
    QVERIFY2(control.runCommand(QStringLiteral("play")) == Result::NoDevice,
             "this test needs a machine without sound");
    for (const QToolButton *button : control.findChildren<QToolButton *>())
        QVERIFY2(!button->isEnabled(), qPrintable(button->objectName()));
    QCOMPARE(record->toolTip(), QStringLiteral("Enregistra (R): no s'ha trobat cap micròfon"));
}

void TestMediaControlNoSound::barFitsTheControl_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("fontScale");
    // 4170 x 495 twips on the window, and the same on the smallest screen's layout.
    QTest::newRow("design size") << QSize(278, 33) << 1.0;
    QTest::newRow("layout on a 1024 x 600 screen") << QSize(200, 24) << 0.72;
}

void TestMediaControlNoSound::barFitsTheControl()
{
    QFETCH(QSize, size);
    QFETCH(qreal, fontScale);
    MediaControl control;
    QFont font = control.font();
    font.setPointSizeF(font.pointSizeF() * fontScale);
    control.setFont(font);
    control.resize(size);
    control.show();
    QVERIFY(QTest::qWaitForWindowExposed(&control));
    QCOMPARE(control.size(), size);
    const auto *bar = control.findChild<RecorderBar *>();
    QCOMPARE(bar->geometry(), control.rect());
    const QList<QWidget *> parts = bar->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    QCOMPARE(parts.size(), 8);
    for (const QWidget *part : parts) {
        QVERIFY2(control.rect().contains(part->geometry()), qPrintable(part->objectName()));
        QVERIFY2(part->width() > 0 && part->height() > 0, qPrintable(part->objectName()));
        for (const QWidget *other : parts) {
            if (other != part)
                QVERIFY2(!part->geometry().intersects(other->geometry()),
                         qPrintable(part->objectName() + QStringLiteral(" and ")
                                    + other->objectName()));
        }
    }
}

void TestMediaControlNoSound::buttonsAreNamedInCatalan_data()
{
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("name");

    QTest::newRow("previous") << QStringLiteral("prevButton") << QStringLiteral("Al principi");
    QTest::newRow("play") << QStringLiteral("playButton") << QStringLiteral("Reprodueix");
    QTest::newRow("pause") << QStringLiteral("pauseButton") << QStringLiteral("Pausa");
    QTest::newRow("stop") << QStringLiteral("stopButton") << QStringLiteral("Atura");
    QTest::newRow("record") << QStringLiteral("recordButton") << QStringLiteral("Enregistra");
    // Its tooltip goes on to name the voice.
    QTest::newRow("voice") << QStringLiteral("voiceButton") << QStringLiteral("Veu sintètica");
}

void TestMediaControlNoSound::buttonsAreNamedInCatalan()
{
    QFETCH(QString, objectName);
    QFETCH(QString, name);
    MediaControl control;
    const QToolButton *button = control.findChild<QToolButton *>(objectName);
    QVERIFY(button);
    QCOMPARE(button->accessibleName(), name);
    QVERIFY2(button->toolTip().startsWith(name), qPrintable(button->toolTip()));
    QVERIFY(!button->icon().isNull());
}

void TestMediaControlNoSound::withoutModuleCommandsFailAsWithoutDevice_data()
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

void TestMediaControlNoSound::withoutModuleCommandsFailAsWithoutDevice()
{
    if (!qEnvironmentVariableIsSet("LUVANA_WITHOUT_SOUND_MODULE"))
        QSKIP("runs as tst_mediacontrol_nomodule, from a folder without the sound module");
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

QTEST_MAIN(TestMediaControlNoSound)
#include "tst_mediacontrol_nosound.moc"
