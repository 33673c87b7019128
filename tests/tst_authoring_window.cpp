// SPDX-License-Identifier: GPL-3.0-or-later

// The teacher's controls driven through the real window: the access code and the save behind
// it, the recorder strip (keep, discard into the trash, hide), the authoring layout and the
// choice of the item-1 picture, with good and broken pictures.
#include "app/controltable.h"
#include "app/form1.h"
#include "app/widgets.h"
#include "platform/commondialog.h"
#include "sound/audiomodule/wavfile.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/pictures.h"
#include "support/restorers.h"
#include "support/sinkcapture.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QAudioSink>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include <cmath>
#include <cstring>
#include <memory>

using namespace testfiles;
using soundclips::soundServerMissing;

namespace {

const QStringList kPictureFilters {QStringLiteral("Imatges (*.jpg)"),
                                   QStringLiteral("Imatges (*.gif)")};
const QStringList kRecorder {QStringLiteral("MMControl1"), QStringLiteral("Command4"),
                             QStringLiteral("Command3")};

// The controls a user can see, by name.
QSet<QString> shownControls(const WindowUnderTest &w)
{
    QSet<QString> shown;
    for (const ControlEntry &entry : kControls) {
        if (!w.get(entry.name)->isHidden())
            shown.insert(QString::fromLatin1(entry.name));
    }
    return shown;
}

// Label4 lies partly behind the discard button; this point of the window reaches it.
QPoint hideSpot(const WindowUnderTest &w)
{
    return w.get("Label4")->mapFrom(w.window(), QPoint(760, 120));
}

using pictures::closeTo;
using pictures::jpeg;

// A 1 x 1 GIF of two frames, black then white; only the first is shown.
QByteArray twoFrameGif()
{
    return QByteArray::fromHex("474946383961010001008000"
                               "00ffffff000000"
                               "2c0000000001000100000202"
                               "4c0100"
                               "2c0000000001000100000202"
                               "440100"
                               "3b");
}

// A GIF declaring 60000 x 60000 pixels, then a minimal image block.
QByteArray hugeGif()
{
    return QByteArray::fromHex("47494638396160ea60ea000000"
                               "2c0000000060ea60ea0002024401003b");
}

// A 440 Hz tone for as long as it is read: the teacher's voice. The sound server's default
// input hears whatever its sink plays.
class ToneDevice : public QIODevice
{
public:
    static constexpr int kRate = 48000;
    static constexpr float kAmplitude = 0.5f;

    ToneDevice() { open(QIODevice::ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = maxSize / qint64(sizeof(float));
        for (qint64 i = 0; i < count; ++i, ++m_frame) {
            const float value = kAmplitude
                    * float(std::sin(2 * 3.14159265358979 * 440.0 * double(m_frame) / kRate));
            std::memcpy(data + i * qint64(sizeof(float)), &value, sizeof(float));
        }
        return count * qint64(sizeof(float));
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 m_frame = 0;
};

// A recording of at least `msecs`, made and stopped with the recorder's own buttons while the
// tone sounds.
void recordTone(const WindowUnderTest &w, qint64 msecs)
{
    QAudioFormat format;
    format.setSampleRate(ToneDevice::kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    ToneDevice tone;
    QAudioSink voice(QMediaDevices::defaultAudioOutput(), format);
    voice.start(&tone);
    QVERIFY(voice.state() != QAudio::StoppedState);

    auto *recorder = w.get<MediaControl>("MMControl1");
    QTRY_VERIFY(w.get("recordButton")->isEnabled());
    w.click("recordButton");
    QTRY_COMPARE(recorder->mode(), MediaControl::Mode::Recording);
    QTRY_VERIFY_WITH_TIMEOUT(recorder->elapsedMs() >= msecs, 10000);
    w.click("stopButton");
    QCOMPARE(recorder->mode(), MediaControl::Mode::Stopped);
    voice.stop();
}

QSet<QByteArray> filesIn(const QDir &folder)
{
    QSet<QByteArray> contents;
    for (const QString &name : folder.entryList(QDir::Files))
        contents.insert(fileBytes(folder.filePath(name)));
    return contents;
}

} // namespace

class TestAuthoringWindow : public QObject
{
    Q_OBJECT
private slots:
    void wrongCodeChangesNothing_data();
    void wrongCodeChangesNothing();
    void codeBoxShowsBulletsAndHoldsTheTypedText();
    void codeThenCancelledSaveStillShowsRecorder();
    void codeSavesTheTypedTexts_data();
    void codeSavesTheTypedTexts();
    void hideSpotHidesTheRecorder();
    void keepBeforeAnyClipStoresNothing();
    void discardMovesTheClipToTheTrash();
    void discardWithoutClipDoesNothing();
    void authoringLayoutRightAfterStartUp_data();
    void authoringLayoutRightAfterStartUp();
    void authoringLayoutAfterLoadingWithEmptyItems();
    void authoringLayoutAfterPictureChoice();
    void pictureChoice_data();
    void pictureChoice();
    void teacherWritesAndRecordsADictation();
    void keepingOverAClipInAnotherCase_data();
    void keepingOverAClipInAnotherCase();
    void teacherGivesEveryItemAVoice();
};

void TestAuthoringWindow::wrongCodeChangesNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("enter"); // confirmed with Enter in codi instead of Command2
    QTest::newRow("capital first letter") << "Kub" << false;
    QTest::newRow("all capitals") << "KUB" << false;
    QTest::newRow("blank before") << " kub" << false;
    QTest::newRow("blank after") << "kub " << false;
    QTest::newRow("nothing typed") << "" << false;
    QTest::newRow("typed twice") << "kubkub" << false;
    QTest::newRow("capital first letter, then Enter") << "Kub" << true;
}

void TestAuthoringWindow::wrongCodeChangesNothing()
{
    QFETCH(QString, typed);
    QFETCH(bool, enter);
    WindowUnderTest w;
    // Hidden first, so that showing it by mistake would be seen.
    w.click("Label4", hideSpot(w));
    const QSet<QString> before = shownControls(w);
    typeInto(w, "codi", typed);

    if (enter)
        QTest::keyClick(w.get("codi"), Qt::Key_Return);
    else
        w.click("Command2");
    QVERIFY(w.requests.isEmpty());
    QCOMPARE(w.get<QLineEdit>("codi")->text(), typed);
    QCOMPARE(shownControls(w), before);
    QCOMPARE(w->windowTitle(), QStringLiteral("Form1"));
    QVERIFY(w->arxiu.isEmpty());
}

void TestAuthoringWindow::codeBoxShowsBulletsAndHoldsTheTypedText()
{
    WindowUnderTest w;
    auto *codi = w.get<QLineEdit>("codi");
    QVERIFY(codi->text().isEmpty());
    const QSet<QString> before = shownControls(w);
    typeInto(w, "codi", QStringLiteral("kub"));
    QCOMPARE(codi->text(), QStringLiteral("kub"));
    const QString shown = codi->displayText();
    QCOMPARE(shown.size(), 3);
    QVERIFY2(!shown.contains(u'k') && !shown.contains(u'u') && !shown.contains(u'b'),
             qPrintable(shown));
    QCOMPARE(shown, QString(3, shown.at(0)));
    // Typing alone never saves or shows anything.
    QVERIFY(w.requests.isEmpty());
    QCOMPARE(shownControls(w), before);
}

void TestAuthoringWindow::codeThenCancelledSaveStillShowsRecorder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WindowUnderTest w;
    QDir::setCurrent(dir.path());
    w.click("Label4", hideSpot(w));
    typeInto(w, "codi", QStringLiteral("kub"));

    w.click("Command2");
    QCOMPARE(w.requests.size(), 1);
    QCOMPARE(w.requests.at(0).action, CommonDialog::Action::Save);
    QCOMPARE(w.requests.at(0).nameFilters, QStringList {QStringLiteral("Dictats (*.dtd)")});
    QCOMPARE(w.get<QLineEdit>("codi")->text(), QString());
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
    for (const QString &name : kRecorder)
        QVERIFY2(w.get(qPrintable(name))->isVisible(), qPrintable(name));
    QVERIFY(w->arxiu.isEmpty());
    QVERIFY(QDir(dir.path()).isEmpty());

    // The code is spent: the same button now does nothing, and the recorder stays.
    w.click("Command2");
    QCOMPARE(w.requests.size(), 1);
    for (const QString &name : kRecorder)
        QVERIFY2(w.get(qPrintable(name))->isVisible(), qPrintable(name));
}

void TestAuthoringWindow::codeSavesTheTypedTexts_data()
{
    QTest::addColumn<bool>("enter"); // confirmed with Enter in codi instead of Command2
    QTest::newRow("Command2 clicked") << false;
    QTest::newRow("Enter in codi") << true;
}

void TestAuthoringWindow::codeSavesTheTypedTexts()
{
    QFETCH(bool, enter);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WindowUnderTest w;
    w.doubleClick("Label7");
    typeInto(w, "titol", QStringLiteral("El gat"));
    typeInto(w, "Text1", QStringLiteral("Un gat negre"));
    QTest::keyClick(w.get("Text1"), Qt::Key_Return);
    QTest::keyClicks(w.get("Text1"), QStringLiteral("dorm al sol."));
    typeInto(w, "Text2", QStringLiteral("Com és el gat?"));
    typeInto(w, "Text10", QStringLiteral("On dorm?"));
    typeInto(w, "codi", QStringLiteral("kub"));
    const QString path = dir.filePath(QStringLiteral("gat.dtd"));
    w.answers.enqueue(path);
    w.click("Label4", hideSpot(w));

    if (enter)
        QTest::keyClick(w.get("codi"), Qt::Key_Return);
    else
        w.click("Command2");
    QCOMPARE(w.requests.size(), 1);
    for (const QString &name : kRecorder)
        QVERIFY2(w.get(qPrintable(name))->isVisible(), qPrintable(name));
    QCOMPARE(fileBytes(path),
             QByteArray("El gat\r\nUn gat negre\r\ndorm al sol.\r\nx\r\nCom \xe9s el gat?\r\n"
                        "\r\n\r\n\r\n\r\n\r\n\r\n\r\nOn dorm?\r\n"));
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(path));
    QCOMPARE(w.get<QLineEdit>("codi")->text(), QString());
    QCOMPARE(w->windowTitle(), QStringLiteral("Daz aravoze"));
}

void TestAuthoringWindow::hideSpotHidesTheRecorder()
{
    WindowUnderTest w;
    const QPoint spot = hideSpot(w);
    QCOMPARE(w.controlAt(w.get("Label4")->mapTo(w.window(), spot)), QStringLiteral("Label4"));
    QSet<QString> expected = shownControls(w);
    for (const QString &name : kRecorder)
        expected.remove(name);

    w.click("Label4", spot);
    QCOMPARE(shownControls(w), expected);
    w.click("Label4", spot);
    QCOMPARE(shownControls(w), expected);
    QVERIFY(w.requests.isEmpty());
}

void TestAuthoringWindow::keepBeforeAnyClipStoresNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    WindowUnderTest w;
    QDir::setCurrent(dir.path());
    const QSet<QString> before = shownControls(w);

    const QString caption = w->windowTitle();
    w.click("Command4");
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(shownControls(w), before);
    QVERIFY(w->arxiuwav.isEmpty());
    QVERIFY(w.requests.isEmpty());
    QCOMPARE(w->windowTitle(), QStringLiteral("No hi ha cap enregistrament per desar"));
    // The window carries on: the discard next to it still answers, and with nothing to discard
    // nothing failed.
    w.click("Command3");
    QVERIFY(QDir(dir.path()).isEmpty());
    QCOMPARE(w->windowTitle(), caption);
}

void TestAuthoringWindow::discardMovesTheClipToTheTrash()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const PrivateTrash privateTrash(dir.path());
    QVERIFY(privateTrash.isValid());
    const QString dictation = dir.filePath(QStringLiteral("animals.dtd"));
    QVERIFY(writeFile(dictation,
                      "Animals\r\nUn gat.\r\nx\r\nOn dorm?\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));

    WindowUnderTest w;
    typeInto(w, "nom", QStringLiteral("anna"));
    w.answers.enqueue(dictation);
    w.click("Command1");
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(dictation));
    w.click("wav2");
    const QString clip = w->arxiuwav;
    QCOMPARE(clip, QDir::toNativeSeparators(dir.filePath(QStringLiteral("animals-anna2.wav"))));

    // Kept, discarded, kept again and discarded again: both recordings can be brought back.
    const QDir trash = privateTrash.files();
    QVERIFY(writeFile(clip, "RIFF first take"));
    w.click("Command3");
    QVERIFY(!QFile::exists(clip));
    QCOMPARE(trash.entryList(QDir::Files), QStringList {QStringLiteral("animals-anna2.wav")});

    QVERIFY(writeFile(clip, "RIFF second take"));
    w.click("Command3");
    QVERIFY(!QFile::exists(clip));
    QCOMPARE(filesIn(trash), (QSet<QByteArray> {"RIFF first take", "RIFF second take"}));

    // Where there is no trash to use, the clip stays where it is, and the caption says so
    // until a discard succeeds.
    const QString caption = w->windowTitle();
    QVERIFY(writeFile(dir.filePath(QStringLiteral("no-folder")), "a file, not a folder"));
    qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("no-folder/data")).toUtf8());
    QVERIFY(writeFile(clip, "RIFF third take"));
    w.click("Command3");
    QCOMPARE(fileBytes(clip), QByteArray("RIFF third take"));
    QVERIFY2(!QFile::exists(dir.filePath(QStringLiteral("files"))),
             "nothing is left beside the dictation");
    QCOMPARE(w->windowTitle(), QStringLiteral("No s'ha pogut descartar el clip"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.filePath(QStringLiteral("data"))));
    w.click("Command3");
    QVERIFY(!QFile::exists(clip));
    QCOMPARE(w->windowTitle(), caption);
}

void TestAuthoringWindow::discardWithoutClipDoesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("animals.dtd")), "Animals\r\n"));
    WindowUnderTest w;
    QDir::setCurrent(dir.path());
    const QSet<QString> before = shownControls(w);

    // Right after start-up there is no clip path at all.
    w.click("Command3");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("animals.dtd")});
    QCOMPARE(shownControls(w), before);
    QVERIFY(w.requests.isEmpty());

    // A path with no file behind it.
    w->arxiuwav = dir.filePath(QStringLiteral("animals-3.wav"));
    w.click("Command3");
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {QStringLiteral("animals.dtd")});
    QCOMPARE(shownControls(w), before);
}

void TestAuthoringWindow::authoringLayoutRightAfterStartUp_data()
{
    QTest::addColumn<bool>("longPress");
    QTest::newRow("double click on the heading") << false;
    // A touch panel's finger, which double-clicks with difficulty.
    QTest::newRow("long press on the heading") << true;
}

void TestAuthoringWindow::authoringLayoutRightAfterStartUp()
{
    QFETCH(bool, longPress);
    WindowUnderTest w;
    QSet<QString> expected = shownControls(w);
    QVERIFY(!expected.contains(QStringLiteral("dib")));
    expected.insert(QStringLiteral("dib"));

    if (longPress) {
        const QPoint heading = w.windowPoint("Label7");
        QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, heading);
        // A click is no long press: past the hold time, nothing has come of it.
        QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, heading);
        QTest::qWait(QGuiApplication::styleHints()->mousePressAndHoldInterval() + 100);
        QVERIFY(w.get("dib")->isHidden());
        QTest::mousePress(w->windowHandle(), Qt::LeftButton, {}, heading);
        QTRY_VERIFY(w.get("dib")->isVisible());
        QTest::mouseRelease(w->windowHandle(), Qt::LeftButton, {}, heading);
    } else {
        w.doubleClick("Label7");
    }
    QCOMPARE(shownControls(w), expected);
    for (int item = 1; item <= 10; ++item)
        QVERIFY(w.get(qPrintable(QStringLiteral("Text%1").arg(item)))->isEnabled());
    QCOMPARE(w->windowTitle(), QStringLiteral("Form1"));
}

void TestAuthoringWindow::authoringLayoutAfterLoadingWithEmptyItems()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString dictation = dir.filePath(QStringLiteral("animals.dtd"));
    QVERIFY(writeFile(dictation,
                      "Animals\r\nUn gat dorm.\r\nx\r\nQui dorm?\r\nOn dorm?\r\n"
                      "\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    WindowUnderTest w;
    w.answers.enqueue(dictation);
    w.click("Command1");
    QCOMPARE(w->nfrases, 3);
    QVERIFY(w.get("Text4")->isHidden());
    QVERIFY(w.get("wav10")->isHidden());
    QVERIFY(w.get("dib")->isHidden());
    const QString item1 = w.get<QPlainTextEdit>("Text1")->toPlainText();

    w.doubleClick("Label7");
    for (int item = 1; item <= 10; ++item) {
        const QString text = QStringLiteral("Text%1").arg(item);
        const QString wav = QStringLiteral("wav%1").arg(item);
        QVERIFY2(w.get(qPrintable(text))->isVisible(), qPrintable(text));
        QVERIFY2(w.get(qPrintable(text))->isEnabled(), qPrintable(text));
        QVERIFY2(w.get(qPrintable(wav))->isVisible(), qPrintable(wav));
    }
    QVERIFY(w.get("dib")->isVisible());
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), item1);
    QCOMPARE(w.get<QLineEdit>("Text3")->text(), QStringLiteral("On dorm?"));
    QCOMPARE(w.get<QLineEdit>("Text4")->text(), QString());
    QCOMPARE(w->nfrases, 3);
    QCOMPARE(w->arxiu, QDir::toNativeSeparators(dictation));

    // A cancelled picture choice leaves item 1 as it was, though the dialog's last name is the
    // dictation's.
    const QImage before = w.get<ImageBox>("Image1")->image();
    w.click("dib");
    QCOMPARE(w.requests.size(), 2);
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), item1);
    QVERIFY(w.get("Text1")->isVisible());
    QCOMPARE(w.get<ImageBox>("Image1")->image(), before);
}

void TestAuthoringWindow::authoringLayoutAfterPictureChoice()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("gat.jpg"));
    QVERIFY(writeFile(picture, jpeg(QSize(40, 30), Qt::blue)));
    WindowUnderTest w;
    w.doubleClick("Label7");
    w.answers.enqueue(picture);
    w.click("dib");
    QVERIFY(w.get("Text1")->isHidden());
    QCOMPARE(w.get<ImageBox>("Image1")->image().size(), QSize(40, 30));

    w.doubleClick("Label7");
    QVERIFY(w.get("Text1")->isVisible());
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), QStringLiteral("gat.jpg"));
    QCOMPARE(w.controlAt(w.windowPoint("Text1")), QStringLiteral("Text1"));
    QCOMPARE(w.get<ImageBox>("Image1")->image().size(), QSize(40, 30));
}

void TestAuthoringWindow::pictureChoice_data()
{
    // In FileName and answer, "<dir>" is the test's folder, where "fotos" holds the pictures
    // and "aqui" is the current directory when the button is clicked. An empty answer cancels.
    // The picture seen before is red, 8 x 8; an invalid size means a cancel or a refusal, which
    // changes nothing but the caption: Text1 shows what the teacher typed, undo included.
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("caption");

    const QString longName = QString(120, u'g') + QStringLiteral(".jpg");
    const QColor red(Qt::red);
    const QString typed = QStringLiteral("Hi havia una vegada");
    const QString tooLong = QStringLiteral("El nom de la imatge té més de 100 caràcters");
    const QString notShown = QStringLiteral("No s'ha pogut mostrar la imatge triada");

    QTest::newRow("jpeg chosen in another folder")
            << ""
            << "<dir>/fotos/gat.jpg"
            << "gat.jpg" << QSize(40, 30) << QColor(Qt::blue) << "Luvana";
    QTest::newRow("gif chosen: its first frame")
            << ""
            << "<dir>/fotos/gos.gif"
            << "gos.gif" << QSize(1, 1) << QColor(Qt::black) << "Luvana";
    QTest::newRow("name over 100 characters, a picture of the cut name there")
            << ""
            << "<dir>/fotos/" + longName << typed << QSize() << red << tooLong;
    QTest::newRow("name over 100 characters")
            << ""
            << "<dir>/llarg/" + longName << typed << QSize() << red << tooLong;
    QTest::newRow("truncated jpeg")
            << ""
            << "<dir>/fotos/tallada.jpg" << typed << QSize() << red << notShown;
    QTest::newRow("gif declaring 60000 x 60000")
            << ""
            << "<dir>/fotos/enorme.gif" << typed << QSize() << red << notShown;
    QTest::newRow("text named .jpg")
            << ""
            << "<dir>/fotos/text.jpg" << typed << QSize() << red << notShown;
    QTest::newRow("cancel after a picture found in the current directory")
            << "gat.jpg"
            << "" << typed << QSize() << red << "Form1";
    QTest::newRow("cancel after a picture chosen elsewhere")
            << "<dir>/fotos/gat.jpg"
            << "" << typed << QSize() << red << "Form1";
    QTest::newRow("cancel after a dictation") << "<dir>/aqui/dictat.dtd"
                                              << "" << typed << QSize() << red << "Form1";
    QTest::newRow("cancel before any choice") << ""
                                              << "" << typed << QSize() << red << "Form1";
}

void TestAuthoringWindow::pictureChoice()
{
    QFETCH(QString, fileName);
    QFETCH(QString, answer);
    QFETCH(QString, text1);
    QFETCH(QSize, size);
    QFETCH(QColor, colour);
    QFETCH(QString, caption);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDir root(dir.path());
    for (const char *folder : {"fotos", "aqui", "llarg"})
        QVERIFY(root.mkdir(QLatin1String(folder)));
    const QString longName = QString(120, u'g') + QStringLiteral(".jpg");
    const QByteArray blue = jpeg(QSize(40, 30), Qt::blue);
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/gat.jpg")), blue));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/gos.gif")), twoFrameGif()));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/") + longName), blue));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/") + QString(100, u'g')),
                      jpeg(QSize(16, 16), Qt::yellow)));
    QVERIFY(writeFile(root.filePath(QStringLiteral("llarg/") + longName), blue));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/tallada.jpg")),
                      blue.left(blue.size() / 3)));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/enorme.gif")), hugeGif()));
    QVERIFY(writeFile(root.filePath(QStringLiteral("fotos/text.jpg")), "no soc cap imatge\r\n"));
    QVERIFY(writeFile(root.filePath(QStringLiteral("aqui/gat.jpg")),
                      jpeg(QSize(20, 10), Qt::green)));
    const auto inDir = [&](QString path) {
        return QDir::toNativeSeparators(path.replace(QStringLiteral("<dir>"), dir.path()));
    };

    WindowUnderTest w;
    w.doubleClick("Label7");
    typeInto(w, "Text1", QStringLiteral("Hi havia una vegada"));
    const QImage earlier = pictures::plain(QSize(8, 8), Qt::red);
    auto *image1 = w.get<ImageBox>("Image1");
    image1->setImage(earlier);
    w.dialog()->FileName = inDir(fileName);
    if (!answer.isEmpty())
        w.answers.enqueue(inDir(answer));
    QDir::setCurrent(root.filePath(QStringLiteral("aqui")));

    w.click("dib");
    QCOMPARE(w->windowTitle(), caption);
    QCOMPARE(w.requests.size(), 1);
    QCOMPARE(w.requests.at(0).action, CommonDialog::Action::Open);
    QCOMPARE(w.requests.at(0).nameFilters, kPictureFilters);
    QCOMPARE(w.requests.at(0).filterIndex, 1);
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(), QDir::toNativeSeparators(text1));

    const QImage shown = image1->image();
    if (!size.isValid()) {
        QVERIFY(w.get("Text1")->isVisible());
        QVERIFY(w.get<QPlainTextEdit>("Text1")->document()->isUndoAvailable());
        QCOMPARE(shown, earlier);
        return;
    }
    QVERIFY(w.get("Text1")->isHidden());
    QCOMPARE(shown.size(), size);
    QVERIFY2(closeTo(shown.pixelColor(size.width() / 2, size.height() / 2), colour),
             qPrintable(shown.pixelColor(size.width() / 2, size.height() / 2).name()));
    // Shown in the middle of Image1 (how it fills the box is tst_pictures' matter).
    const QImage seen = image1->grab().toImage();
    const QPoint middle = seen.rect().center();
    QVERIFY2(closeTo(seen.pixelColor(middle), colour), qPrintable(seen.pixelColor(middle).name()));
}

void TestAuthoringWindow::teacherWritesAndRecordsADictation()
{
    if (const QString missing = soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const PrivateTrash privateTrash(dir.path());
    QVERIFY(privateTrash.isValid());
    const QDir trash = privateTrash.files();

    WindowUnderTest w;
    w.doubleClick("Label7");
    w.click("titol");
    QTest::keyClicks(w.get("titol"), QStringLiteral("El gat"));
    w.click("nom");
    QTest::keyClicks(w.get("nom"), QStringLiteral("mestra"));
    w.click("Text1");
    QTest::keyClicks(w.get("Text1"), QStringLiteral("Un gat dorm al sol."));
    w.click("Text2");
    QTest::keyClicks(w.get("Text2"), QStringLiteral("On dorm el gat?"));
    w.click("codi");
    QTest::keyClicks(w.get("codi"), QStringLiteral("kub"));
    const QString dictation = dir.filePath(QStringLiteral("gat.dtd"));
    w.answers.enqueue(dictation);
    w.click("Command2");
    QCOMPARE(fileBytes(dictation),
             QByteArray("El gat\r\nUn gat dorm al sol.\r\nx\r\nOn dorm el gat?\r\n"
                        "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    QVERIFY(w.get("MMControl1")->isVisible());

    // The play button points the recorder at the item's clip, which does not exist yet.
    w.click("wav2");
    const QString clip = QDir::toNativeSeparators(dir.filePath(QStringLiteral("gat-mestra2.wav")));
    QCOMPARE(w->arxiuwav, clip);
    QVERIFY(!QFile::exists(clip));

    recordTone(w, 600);
    if (QTest::currentTestFailed())
        return;
    w.click("Command4");
    const ClipReadResult kept = readClipFile(clip);
    QCOMPARE(kept.error, ClipReadError::None);
    QVERIFY2(kept.clip.durationUSecs() >= 600000,
             qPrintable(QString::number(kept.clip.durationUSecs())));
    // Kept at the loudness every clip is kept at, whatever the tone's own level.
    const std::optional<double> loudness = integratedLoudness(kept.clip);
    QVERIFY(loudness);
    QVERIFY2(std::abs(*loudness - kTargetLufs) <= 1.0, qPrintable(QString::number(*loudness)));
    const QByteArray firstTake = fileBytes(clip);

    // A second take kept over the first: the first waits in the trash.
    recordTone(w, 300);
    if (QTest::currentTestFailed())
        return;
    w.click("Command4");
    const QByteArray secondTake = fileBytes(clip);
    QVERIFY(!secondTake.isEmpty());
    QVERIFY(secondTake != firstTake);
    QCOMPARE(filesIn(trash), QSet<QByteArray> {firstTake});

    // Discarded: gone from beside the dictation, kept in the trash.
    w.click("Command3");
    QVERIFY(!QFile::exists(clip));
    QCOMPARE(filesIn(trash), (QSet<QByteArray> {firstTake, secondTake}));
    QCOMPARE(w.get<MediaControl>("MMControl1")->mode(), MediaControl::Mode::NotOpen);
}

void TestAuthoringWindow::keepingOverAClipInAnotherCase_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<bool>("replaced"); // the clip in capitals went to the trash

    QTest::newRow("no name: the clip in capitals is replaced") << ""
                                                               << "ANIMALS-2.WAV" << true;
    // The press played the clip with no name; the recording is the one of the name typed.
    QTest::newRow("a name: kept under it, the clip with no name stays")
            << "mestra"
            << "ANIMALS-mestra2.wav" << false;
}

void TestAuthoringWindow::keepingOverAClipInAnotherCase()
{
    QFETCH(QString, nom);
    QFETCH(QString, kept);
    QFETCH(bool, replaced);
    if (const QString missing = soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const PrivateTrash privateTrash(dir.path());
    QVERIFY(privateTrash.isValid());
    const QDir trash = privateTrash.files();
    const QDir folder(dir.filePath(QStringLiteral("dictats")));
    QVERIFY(folder.mkpath(QStringLiteral(".")));
    const QString dictation = folder.filePath(QStringLiteral("ANIMALS.DTD"));
    QVERIFY(writeFile(
            dictation,
            crLfLines({"Animals", "Un gat.", "x", "On dorm?", "", "", "", "", "", "", "", ""})));
    const QString windowsClip = folder.filePath(QStringLiteral("ANIMALS-2.WAV"));
    QVERIFY(writeFile(windowsClip, "RIFF recorded on Windows"));

    WindowUnderTest w;
    typeInto(w, "nom", nom);
    w.answers.enqueue(dictation);
    w.click("Command1");
    w.click("wav2");
    recordTone(w, 300);
    if (QTest::currentTestFailed())
        return;
    w.click("Command4");

    const QStringList expected = replaced
            ? QStringList {"ANIMALS-2.WAV", "ANIMALS.DTD"}
            : QStringList {"ANIMALS-2.WAV", "ANIMALS-mestra2.wav", "ANIMALS.DTD"};
    QCOMPARE(entries(folder.path()), expected);
    QCOMPARE(readClipFile(folder.filePath(kept)).error, ClipReadError::None);
    QCOMPARE(fileBytes(windowsClip) == "RIFF recorded on Windows", !replaced);
    QCOMPARE(filesIn(trash),
             replaced ? QSet<QByteArray> {"RIFF recorded on Windows"} : QSet<QByteArray> {});

    // Discarded: the recording just kept goes, wherever its letter case put it.
    const QByteArray recording = fileBytes(folder.filePath(kept));
    w.click("Command3");
    QVERIFY(!QFile::exists(folder.filePath(kept)));
    QVERIFY(filesIn(trash).contains(recording));
}

void TestAuthoringWindow::teacherGivesEveryItemAVoice()
{
    if (const QString missing = soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QStringList items {QStringLiteral("Un gat dorm al sol."),
                             QStringLiteral("On dorm el gat?"),
                             QStringLiteral("Qui l’ha despertat a la tarda?")};

    WindowUnderTest w;
    auto *recorder = w.get<MediaControl>("MMControl1");
    QWidget *voiceButton = w.get("voiceButton");
    QVERIFY(!voiceButton->isEnabled()); // no item chosen yet
    w.doubleClick("Label7");
    w.click("titol");
    QTest::keyClicks(w.get("titol"), QStringLiteral("El gat"));
    for (int item = 1; item <= int(items.size()); ++item)
        typeInto(w, ("Text" + QByteArray::number(item)).constData(), items[item - 1]);
    QTest::keyClicks(w.get("codi"), QStringLiteral("kub"));
    const QString dictation = dir.filePath(QStringLiteral("gat.dtd"));
    w.answers.enqueue(dictation);
    w.click("Command2");

    w.click("wav4");
    QVERIFY(!voiceButton->isEnabled()); // an empty item has nothing to say
    QSignalSpy spoken(recorder, &MediaControl::speechFinished);
    for (int item = 1; item <= int(items.size()); ++item) {
        w.click(("wav" + QByteArray::number(item)).constData());
        QTRY_VERIFY(voiceButton->isEnabled());
        w.click("voiceButton");
        QTRY_COMPARE_WITH_TIMEOUT(spoken.count(), item, 10000);
        w.click("Command4");
        const QString clip = dir.filePath(QStringLiteral("gat-%1.wav").arg(item));
        const ClipReadResult kept = readClipFile(clip);
        QCOMPARE(kept.error, ClipReadError::None);
        const double perWord = kept.clip.durationUSecs() / 1e6
                / double(items[item - 1].split(u' ').size());
        QVERIFY2(perWord > 0.2 && perWord < 0.8, qPrintable(QString::number(perWord)));
    }

    // The pupil hears every item.
    soundclips::SinkCapture capture;
    QVERIFY(capture.start());
    QTRY_VERIFY(capture.frames() > 0);
    load(w, dictation);
    for (int item = 1; item <= int(items.size()); ++item) {
        capture.clear();
        w.click(("wav" + QByteArray::number(item)).constData());
        QTRY_COMPARE_WITH_TIMEOUT(recorder->mode(), MediaControl::Mode::Stopped, 10000);
        const qint64 end = capture.frames();
        QTRY_VERIFY(capture.frames() >= end + capture.framesFor(400));
        const QList<float> &heard = capture.clip().samples;
        QVERIFY2(peakLevel(heard.constData(), heard.constData() + heard.size()) > 0.05f,
                 qPrintable(QString::number(item)));
    }
}

QTEST_MAIN(TestAuthoringWindow)
#include "tst_authoring_window.moc"
