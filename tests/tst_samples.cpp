// SPDX-License-Identifier: GPL-3.0-or-later

// The sample dictations shipped with the program: each file keeps the exact byte layout the
// program has always written (Windows-1252, CR LF, nothing after item 10), every item that has
// text has its clip under the empty name and no empty item has one, the clips are 16-bit PCM,
// the pictures load, and each sample opens in the real window as a pupil would see it.
#include "app/widgets.h"
#include "dictation/codec.h"
#include "dictation/dictationfile.h"
#include "dictation/format.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/fakesound.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QDir>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QtEndian>

#include <optional>

using testfiles::fileBytes;

namespace {

QDir samplesDir()
{
    return QDir(qEnvironmentVariable("LUVANA_SOURCE_DIR") + QStringLiteral("/assets/samples"));
}

QStringList sampleNames()
{
    return samplesDir().entryList({QStringLiteral("*.dtd")}, QDir::Files, QDir::Name);
}

struct WavFormat
{
    quint16 encoding = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    quint32 dataBytes = 0;
};

// Walks the RIFF chunks for "fmt " and "data"; nothing when the file is no WAVE file.
std::optional<WavFormat> wavFormat(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;
    WavFormat format;
    bool haveFormat = false;
    bool haveData = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + at + 4);
        const char *body = bytes.constData() + at + 8;
        if (id == "fmt " && size >= 16 && at + 8 + 16 <= bytes.size()) {
            format.encoding = qFromLittleEndian<quint16>(body);
            format.channels = qFromLittleEndian<quint16>(body + 2);
            format.sampleRate = qFromLittleEndian<quint32>(body + 4);
            format.bitsPerSample = qFromLittleEndian<quint16>(body + 14);
            haveFormat = true;
        } else if (id == "data") {
            format.dataBytes = size;
            haveData = at + 8 + qsizetype(size) <= bytes.size();
        }
        at += 8 + qsizetype(size) + (size & 1);
    }
    if (!haveFormat || !haveData)
        return std::nullopt;
    return format;
}

} // namespace

class TestSamples : public QObject
{
    Q_OBJECT
private slots:
    void byteLayout_data();
    void byteLayout();
    void clips_data();
    void clips();
    void pictures_data();
    void pictures();
    void theSetCoversEveryKindOfItem1();
    void opensInTheWindow_data();
    void opensInTheWindow();
};

void TestSamples::byteLayout_data()
{
    QTest::addColumn<QString>("name");
    for (const QString &name : sampleNames())
        QTest::newRow(qPrintable(name)) << name;
}

void TestSamples::byteLayout()
{
    QFETCH(QString, name);
    const QByteArray bytes = fileBytes(samplesDir().filePath(name));
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(dictation::detectEncoding(bytes), dictation::Encoding::Windows1252);

    // Every line ends in CR LF, the last one included; no CR or LF stands alone.
    QVERIFY(bytes.endsWith("\r\n"));
    const QList<QByteArray> lines = bytes.chopped(2).split('\n');
    QList<QByteArray> texts;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const bool last = i + 1 == lines.size();
        QVERIFY2(last || line.endsWith('\r'), qPrintable(QString::number(i + 1)));
        texts.append(last ? line : line.chopped(1));
        QVERIFY2(!texts.last().contains('\r'), qPrintable(QString::number(i + 1)));
    }

    // Title, item 1, the "x" line and nine item lines, and nothing more.
    const dictation::Dictation read = dictation::parse(bytes);
    QVERIFY(!read.title.trimmed().isEmpty());
    const qsizetype item1Lines = read.items.front().count(QStringLiteral("\r\n"));
    QCOMPARE(texts.size(), 1 + item1Lines + 1 + 9);
    QCOMPARE(texts.at(1 + item1Lines), QByteArray("x"));
}

void TestSamples::clips_data()
{
    byteLayout_data();
}

void TestSamples::clips()
{
    QFETCH(QString, name);
    const QDir dir = samplesDir();
    const QString base = name.chopped(4);
    const auto bytes = dictation::readDictationBytes(dir.filePath(name));
    QVERIFY(bytes);
    const dictation::Dictation read = dictation::parse(*bytes);

    for (int item = 1; item <= dictation::kItemCount; ++item) {
        const QString clip = QStringLiteral("%1-%2.wav").arg(base).arg(item);
        const bool empty = read.items.at(std::size_t(item - 1)).isEmpty();
        QVERIFY2(dir.exists(clip) != empty, qPrintable(clip));
        if (empty)
            continue;
        const auto format = wavFormat(fileBytes(dir.filePath(clip)));
        QVERIFY2(format, qPrintable(clip));
        QCOMPARE(format->encoding, quint16(1));
        QCOMPARE(format->bitsPerSample, quint16(16));
        QCOMPARE(format->channels, quint16(1));
        QVERIFY2(format->sampleRate == 16000 || format->sampleRate == 22050, qPrintable(clip));
        // At least half a second of speech.
        QVERIFY2(format->dataBytes >= format->sampleRate, qPrintable(clip));
    }
    // Clips under other names belong to no item of this dictation.
    const QStringList all = dir.entryList({base + QStringLiteral("-*.wav")}, QDir::Files);
    QCOMPARE(all.size(), dictation::countNonEmpty(read));
}

void TestSamples::pictures_data()
{
    byteLayout_data();
}

void TestSamples::pictures()
{
    QFETCH(QString, name);
    const QDir dir = samplesDir();
    const auto bytes = dictation::readDictationBytes(dir.filePath(name));
    QVERIFY(bytes);
    const QString item1 = dictation::parse(*bytes).items.front();
    if (!dictation::isPictureReference(item1))
        QSKIP("item 1 is a text");

    const QString picture = dictation::pictureFileName(item1);
    // The contents, not only the name, must be of the kind the name says.
    const QByteArray expected = picture.endsWith(QLatin1String(".gif")) ? "gif" : "jpeg";
    QCOMPARE(QImageReader::imageFormat(dir.filePath(picture)), expected);
    QImageReader reader(dir.filePath(picture));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    // Drawn for the item-1 box (409 x 267): the same shape, so nothing is squeezed.
    QCOMPARE(image.width() * 267, image.height() * 409);
}

void TestSamples::theSetCoversEveryKindOfItem1()
{
    int texts = 0;
    int jpegs = 0;
    int gifs = 0;
    int withEmptyItems = 0;
    for (const QString &name : sampleNames()) {
        const auto bytes = dictation::readDictationBytes(samplesDir().filePath(name));
        QVERIFY(bytes);
        const dictation::Dictation read = dictation::parse(*bytes);
        const QString &item1 = read.items.front();
        if (!dictation::isPictureReference(item1))
            ++texts;
        else if (item1.endsWith(QLatin1String(".jpg\r\n")))
            ++jpegs;
        else if (item1.endsWith(QLatin1String(".gif\r\n")))
            ++gifs;
        if (dictation::countNonEmpty(read) < dictation::kItemCount)
            ++withEmptyItems;
    }
    QVERIFY(sampleNames().size() >= 3);
    QVERIFY(texts >= 1);
    QVERIFY(jpegs >= 1);
    QVERIFY(gifs >= 1);
    QVERIFY(withEmptyItems >= 1);
}

void TestSamples::opensInTheWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("picture");
    QTest::addColumn<int>("items");

    QTest::newRow("text item 1") << "tardor.dtd"
                                 << "La tardor" << false << 10;
    QTest::newRow("JPEG picture item 1") << "vaixell.dtd"
                                         << "El vaixell de vela" << true << 10;
    QTest::newRow("GIF picture item 1, three items empty") << "jardi.dtd"
                                                           << "El jardí" << true << 7;
}

void TestSamples::opensInTheWindow()
{
    QFETCH(QString, name);
    QFETCH(QString, title);
    QFETCH(bool, picture);
    QFETCH(int, items);

    WindowUnderTest w;
    // A press counts where its sound starts: pretend devices stand in for a sound server.
    soundclips::FakeSoundSystem *sound = nullptr;
    w.get<MediaControl>("MMControl1")->setSoundSystemFactory(soundclips::fake(sound));
    QVERIFY(w.exposed());
    const QString path = samplesDir().absoluteFilePath(name);
    w.answers.enqueue(path);
    w.click("Command1");

    QCOMPARE(w->arxiu, path);
    QCOMPARE(w.get<QLineEdit>("titol")->text(), title);
    QCOMPARE(w->nfrases, items);
    QCOMPARE(w.get("Text1")->isVisible(), !picture);
    QCOMPARE(w.get<ImageBox>("Image1")->image().isNull(), !picture);
    for (int item = 1; item <= dictation::kItemCount; ++item) {
        const QByteArray button = "wav" + QByteArray::number(item);
        if (!w.get(button.constData())->isVisible())
            continue;
        // Each play button that is shown finds its clip under the empty name.
        w.click(button.constData());
        QVERIFY2(QFileInfo::exists(w->arxiuwav), qPrintable(w->arxiuwav));
    }
    QCOMPARE(w->escoltes, items);
}

QTEST_MAIN(TestSamples)
#include "tst_samples.moc"
