// SPDX-License-Identifier: GPL-3.0-or-later

// The installed Windows program, driven through its real window. packaging/windows/
// check-installed.sh copies this suite into the folder the installer made, so that it runs on
// the installed libraries, sound modules and sample dictations, under Wine, and runs it again as
// a Linux build of the same sources. Each case writes what it made into $LUVANA_CHECK_OUT for the
// script to compare between the two: the rectangle of every control, and a dictation a teacher
// typed and saved.
#include "listening/clippath.h"
#include "platform/datapaths.h"
#include "platform/filetrash.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/windowtest.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

namespace {

QString outPath(const QString &name)
{
    return QDir(qEnvironmentVariable("LUVANA_CHECK_OUT")).absoluteFilePath(name);
}

bool writeOut(const QString &name, const QByteArray &bytes)
{
    QFile file(outPath(name));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A WAV file with a format chunk and sound in its data chunk.
bool isWav(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const qsizetype data = bytes.indexOf("data");
    return bytes.startsWith("RIFF") && bytes.mid(8, 8) == "WAVEfmt " && data > 0
            && bytes.size() > data + 8 + 1000;
}

} // namespace

class TestInstalled : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void controlsWhereTheLayoutPutsThem();
    void teacherSavesADictation();
    void wav2PlaysTheSample();
    void recordingIsKeptAndNeverDeletedOutright();
    void designColoursWhateverTheStyle();
    void discardOnAStickIsSetAside();
};

void TestInstalled::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("LUVANA_CHECK_OUT"))
        QSKIP("run by check-installed.sh, which names LUVANA_CHECK_OUT");
}

void TestInstalled::controlsWhereTheLayoutPutsThem()
{
    WindowUnderTest w;
    QVERIFY(w.exposed());
    QByteArray rects;
    for (const ControlEntry &entry : kControls) {
        QWidget *control = w.get(entry.name);
        QVERIFY2(control, entry.name);
        const QRect r(control->mapTo(w.window(), QPoint()), control->size());
        rects += QByteArray(entry.name) + ' ' + QByteArray::number(r.x()) + ' '
                + QByteArray::number(r.y()) + ' ' + QByteArray::number(r.width()) + ' '
                + QByteArray::number(r.height()) + '\n';
    }
    QVERIFY(writeOut(QStringLiteral("rects.txt"), rects));
}

void TestInstalled::teacherSavesADictation()
{
    WindowUnderTest w;
    w.doubleClick("Label7");
    typeInto(w, "titol", QStringLiteral("La tardor a l'escola"));
    typeInto(w, "Text1", QStringLiteral("Les fulles cauen. El vent bufa fort: à, ç, è, €."));
    for (int item = 2; item <= 10; ++item)
        typeInto(w, ("Text" + QByteArray::number(item)).constData(),
                 QStringLiteral("Pregunta %1, amb ç i è?").arg(item));
    save(w, outPath(QStringLiteral("teacher.dtd")));
    QTRY_VERIFY(QFile::exists(outPath(QStringLiteral("teacher.dtd"))));
    QTRY_VERIFY(w.get("codi")->property("text").toString().isEmpty());
}

void TestInstalled::wav2PlaysTheSample()
{
    WindowUnderTest w;
    // Windows' own open dialog, which check-installed.sh answers with the installed sample.
    w.dialog()->setChooser({});
    w.click("Command1");
    QTRY_VERIFY(w.get("wav2")->isVisible());
    QCOMPARE(QFileInfo(w.dialog()->FileName).fileName(), QStringLiteral("tardor.dtd"));
    auto *recorder = w.get<MediaControl>("MMControl1");
    QSignalSpy modes(recorder, &MediaControl::modeChanged);
    w.click("wav2");
    QTRY_COMPARE_WITH_TIMEOUT(recorder->mode(), MediaControl::Mode::Playing, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(recorder->mode(), MediaControl::Mode::Stopped, 30000);
    QVERIFY(writeOut(QStringLiteral("played.txt"), QByteArray::number(modes.count())));
}

void TestInstalled::recordingIsKeptAndNeverDeletedOutright()
{
    WindowUnderTest w;
    w.doubleClick("Label7");
    typeInto(w, "titol", QStringLiteral("Enregistrat"));
    typeInto(w, "Text2", QStringLiteral("Una frase per enregistrar."));
    const QString dictation = outPath(QStringLiteral("recorded.dtd"));
    save(w, dictation);
    QTRY_VERIFY(QFile::exists(dictation));
    w.click("wav2");
    const QString clip = listening::clipPath(dictation, QString(), 2).value();

    auto *recorder = w.get<MediaControl>("MMControl1");
    QTRY_VERIFY_WITH_TIMEOUT(w.get("recordButton")->isEnabled(), 10000);
    // Windows has neither voice: "Veu" says so before it is pressed.
    QVERIFY(!w.get("voiceButton")->isEnabled());
    QCOMPARE(w.get("voiceButton")->toolTip(),
             QStringLiteral("Veu sintètica (V): no hi ha cap veu catalana instal·lada"));
    w.click("recordButton");
    QTRY_COMPARE(recorder->mode(), MediaControl::Mode::Recording);
    QTRY_VERIFY2_WITH_TIMEOUT(recorder->elapsedMs() >= 800, qPrintable(w.window()->windowTitle()),
                              10000);
    w.click("stopButton");
    QTRY_COMPARE(recorder->mode(), MediaControl::Mode::Stopped);
    w.click("Command4");
    QTRY_VERIFY(isWav(clip));

    // Where the Recycle Bin cannot be reached (Wine has none), the clip stays where it was.
    w.click("Command3");
    const bool kept = QFile::exists(clip);
    const QString scratch = outPath(QStringLiteral("scratch.txt"));
    QVERIFY(writeOut(QStringLiteral("scratch.txt"), "scratch"));
    const bool binReachable = QFile::moveToTrash(scratch);
    QVERIFY2(kept || binReachable, "the discarded clip was deleted outright");
    QVERIFY(writeOut(QStringLiteral("discarded.txt"), kept ? "kept" : "trashed"));
}

void TestInstalled::designColoursWhateverTheStyle()
{
    // Windows' own style paints buttons and box frames in the system's colours: "Textos a la
    // Web" must still be green, and the title box black to its edges inside the black bar.
    WindowUnderTest w;
    QVERIFY(w.exposed());
    const QImage web = w.get("Command5")->grab().toImage();
    const QColor green = web.pixelColor(6, web.height() / 2);
    // Green, as the style's shading leaves it (not the white or grey of a system's button).
    QVERIFY2(green.green() > 150 && green.red() < green.green() / 2
                     && green.blue() < green.green() / 2,
             qPrintable(green.name()));
    const QImage title = w.get("titol")->grab().toImage();
    for (const QPoint edge : {QPoint(0, 0), QPoint(1, 1), QPoint(title.width() - 2, 1)})
        QVERIFY2(title.pixelColor(edge).lightness() < 80, qPrintable(title.pixelColor(edge).name()));
}

void TestInstalled::discardOnAStickIsSetAside()
{
    // A drive without a Recycle Bin (check-installed.sh makes one a removable drive under Wine),
    // where Windows would delete a trashed file outright.
    const QString stick = qEnvironmentVariable("LUVANA_CHECK_STICK");
    if (stick.isEmpty())
        QSKIP("LUVANA_CHECK_STICK names a folder on a removable drive");
    const QString clip = QDir(stick).filePath(QStringLiteral("dictat-2.wav"));
    QFile file(clip);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("RIFF") == 4);
    file.close();
    QCOMPARE(moveFileToTrash(clip), TrashResult::Moved);
    QVERIFY(!QFile::exists(clip));
    QVERIFY(QFile::exists(QDir(stick).filePath(QStringLiteral("dictat-2 (descartat).wav"))));
}

QTEST_MAIN(TestInstalled)
#include "tst_installed.moc"
