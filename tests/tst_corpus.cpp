// SPDX-License-Identifier: GPL-3.0-or-later

// The bad-input corpus (tests/data/make-corpus.sh) opened through the real window, the way a
// pupil or a teacher reaches each file: dictations with the new-attempt button, pictures with
// the picture button of the authoring layout, clips by the play button of a dictation whose clip
// they are. Every file must be handled as the window handles any failure (quietly, the step
// skipped) without a crash or a hang; each one's handling time is printed.
//
// A file that hangs the window is caught by a watchdog, which names it and stops the test: a
// hang inside a handler never returns to the event loop, so no QTRY could see it.
#include "app/widgets.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/sinkcapture.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <sndfile.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using testfiles::writeFile;

namespace {

// Far beyond any file's handling time, sanitizers included: only a hang takes this long.
constexpr std::chrono::seconds kHangLimit(120);
constexpr int kHangLimitMs = 120000;
// A load that runs in a child process is given this long before it counts as hung.
constexpr int kChildLimitMs = 30000;

class HangWatch
{
public:
    explicit HangWatch(const QString &what)
        : m_what(what.toLocal8Bit()), m_thread([this] { watch(); })
    {
    }
    ~HangWatch()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_finished.notify_one();
        m_thread.join();
    }
    HangWatch(const HangWatch &) = delete;
    HangWatch &operator=(const HangWatch &) = delete;

private:
    void watch()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_finished.wait_for(lock, kHangLimit, [this] { return m_done; }))
            qFatal("%s: still not handled after %lld s", m_what.constData(),
                   qlonglong(kHangLimit.count()));
    }

    QByteArray m_what;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_thread;
};

QString corpusFile(const QString &name)
{
    return QDir(qEnvironmentVariable("LUVANA_CORPUS_DIR")).absoluteFilePath(name);
}

QString largeCorpusFile(const QString &name)
{
    return QDir(qEnvironmentVariable("LUVANA_LARGE_CORPUS_DIR")).absoluteFilePath(name);
}

// Something Image1 cannot have been given by any file of the corpus.
QImage markerImage()
{
    QImage marker(3, 5, QImage::Format_RGB32);
    marker.fill(QColor(12, 34, 56));
    return marker;
}

enum class Item1 { Hidden, Text, Picture };

// Runs one user action under the watchdog and prints how long the window took.
template<typename Action>
void handled(const QString &file, Action action)
{
    QElapsedTimer clock;
    clock.start();
    {
        HangWatch watch(file);
        action();
    }
    qInfo("%s: handled in %lld ms", qPrintable(QFileInfo(file).fileName()), clock.elapsed());
}

// Silence as FLAC, written by libsndfile, which reads it back whatever the file is called:
// a few hundred kilobytes of it can declare hours of many-channel sound.
bool writeSilentFlac(const QString &path, int rate, int channels, qint64 frames)
{
    SF_INFO info {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE *file = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!file)
        return false;
    const QList<short> block(65536 * channels, 0);
    bool ok = true;
    for (qint64 left = frames; left > 0 && ok;) {
        const sf_count_t chunk = std::min<qint64>(left, 65536);
        ok = sf_writef_short(file, block.constData(), chunk) == chunk;
        left -= chunk;
    }
    return sf_close(file) == 0 && ok;
}

using testfiles::kClipsDictation;

} // namespace

Q_DECLARE_METATYPE(Item1)

class TestCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dictation_data();
    void dictation();
    void picture_data();
    void picture();
    void clip_data();
    void clip();
    void fiftyMegabyteLineInItem1();
    // Last, once every table has been read.
    void everyFileHasARow();

private:
    QTestData &row(const QString &path);

    QTemporaryDir m_generated;
    QStringList m_rowFiles;
    int m_tablesRead = 0;
};

QTestData &TestCorpus::row(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    m_rowFiles << name;
    return QTest::newRow(qPrintable(name)) << path;
}

void TestCorpus::initTestCase()
{
    QVERIFY2(QFileInfo(corpusFile(QStringLiteral("good.wav"))).isFile(),
             "LUVANA_CORPUS_DIR must name tests/data/bad-input");
    QVERIFY2(QFileInfo(largeCorpusFile(QStringLiteral("lines-100000.dtd"))).isFile(),
             "LUVANA_LARGE_CORPUS_DIR must hold what make-corpus.sh --large writes");
    QVERIFY(m_generated.isValid());
    // 61 million samples: more than the ten minutes of CD-quality stereo a clip may take in
    // memory, from 60 kB on disk.
    QVERIFY(writeSilentFlac(m_generated.filePath(QStringLiteral("flac-8ch-192khz-40s.wav")), 192000,
                            8, 40 * 192000));
    QVERIFY(writeSilentFlac(m_generated.filePath(QStringLiteral("flac-mono-short.wav")), 8000, 1,
                            4000));
}

void TestCorpus::dictation_data()
{
    ++m_tablesRead;
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QString>("title"); // how the title begins
    QTest::addColumn<int>("titleLength");
    QTest::addColumn<Item1>("item1");
    QTest::addColumn<QString>("text2");

    const QString none;
    const auto file = corpusFile;
    // Any file reads as a dictation: its first line is the title, and so on. These bytes
    // happen to hold no "x" line and fewer lines than item 1 may take.
    row(file(QStringLiteral("binary.dtd")))
            << 1 << QStringLiteral("\u00DC\u0004e\u00AA") << 112 << Item1::Text << none;
    row(file(QStringLiteral("empty.dtd"))) << 0 << none << 0 << Item1::Hidden << none;
    row(file(QStringLiteral("one-byte.dtd")))
            << 0 << QStringLiteral("T") << 1 << Item1::Hidden << none;
    row(file(QStringLiteral("one-cr.dtd"))) << 0 << none << 0 << Item1::Hidden << none;
    row(file(QStringLiteral("only-nuls.dtd")))
            << 0 << QString(1024, QChar(0)) << 1024 << Item1::Hidden << none;
    row(file(QStringLiteral("nul-bytes.dtd")))
            << 3 << QStringLiteral("Ti\0tol") << 6 << Item1::Text << QString(QChar(0));
    row(file(QStringLiteral("lone-cr.dtd")))
            << 3 << QStringLiteral("Títol") << 5 << Item1::Text << QStringLiteral("U");
    row(file(QStringLiteral("mixed-line-ends.dtd")))
            << 3 << QStringLiteral("T") << 1 << Item1::Text << none;
    row(file(QStringLiteral("bom-invalid-utf8.dtd")))
            << 4 << QStringLiteral("T\uFFFD\uFFFD") << 3 << Item1::Text
            << QStringLiteral("\uFFFD\uFFFD");
    row(file(QStringLiteral("bom-only.dtd"))) << 0 << none << 0 << Item1::Hidden << none;
    row(file(QStringLiteral("utf16-bom.dtd")))
            << 1 << QStringLiteral("ÿþT\0") << 4 << Item1::Text << none;
    row(file(QStringLiteral("no-x-line.dtd")))
            << 1 << QStringLiteral("T") << 1 << Item1::Text << none;
    row(file(QStringLiteral("control-chars.dtd")))
            << 2 << QStringLiteral("\x01\x02\x1b\x7f\u0081") << 5 << Item1::Text
            << QStringLiteral("\x1f\u008d\u008f\u0090\u009d");
    // A picture that cannot be loaded leaves Image1 as it was, and item 1 still counts.
    for (const char *picture :
         {"picture-missing.dtd", "picture-not-a-picture.dtd", "picture-huge.dtd"})
        row(file(QString::fromLatin1(picture)))
                << 2 << QStringLiteral("T") << 1 << Item1::Picture << QStringLiteral("u");

    // A single-line box shows at most 32767 characters, as every Qt line edit does.
    const auto large = largeCorpusFile;
    row(large(QStringLiteral("line-50mb-title.dtd")))
            << 1 << QStringLiteral("aaaa") << 32767 << Item1::Hidden << QStringLiteral("u");
    row(large(QStringLiteral("line-50mb-item2.dtd")))
            << 2 << QStringLiteral("T") << 1 << Item1::Text << QString(32767, u'a');
    // Item 1 takes 100 line reads, the items the nine lines after them; the rest is not read.
    row(large(QStringLiteral("lines-100000.dtd")))
            << 10 << QStringLiteral("l1") << 2 << Item1::Text << QStringLiteral("l102");
}

void TestCorpus::dictation()
{
    QFETCH(QString, path);
    QFETCH(int, buttons);
    QFETCH(QString, title);
    QFETCH(int, titleLength);
    QFETCH(Item1, item1);
    QFETCH(QString, text2);

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.get<ImageBox>("Image1")->setImage(markerImage());
    w.answers.enqueue(path);
    handled(path, [&w] { w.click("Command1"); });

    QCOMPARE(w.requests.size(), 1);
    int shown = 0;
    for (int item = 1; item <= 10; ++item)
        shown += w.get(qPrintable(QStringLiteral("wav%1").arg(item)))->isVisible() ? 1 : 0;
    QCOMPARE(shown, buttons);
    QCOMPARE(w->nfrases, buttons);
    const QString shownTitle = w.get<QLineEdit>("titol")->text();
    QCOMPARE(shownTitle.left(title.size()), title);
    QCOMPARE(shownTitle.size(), titleLength);
    QCOMPARE(w.get<QLineEdit>("Text2")->text(), text2);

    QWidget *text1 = w.get("Text1");
    switch (item1) {
    case Item1::Hidden:
        QVERIFY(text1->isHidden());
        QVERIFY(w.get("wav1")->isHidden());
        break;
    case Item1::Text:
        QVERIFY(text1->isVisible());
        QVERIFY(!w.get<QPlainTextEdit>("Text1")->toPlainText().isEmpty());
        break;
    case Item1::Picture:
        QVERIFY(text1->isHidden());
        QVERIFY(w.get("wav1")->isVisible());
        // No picture of the corpus can be shown: Image1 shows none.
        QVERIFY(w.get<ImageBox>("Image1")->image().isNull());
        break;
    }
}

void TestCorpus::picture_data()
{
    ++m_tablesRead;
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("shown");

    for (const char *good : {"good.jpg", "good.gif"})
        row(corpusFile(QString::fromLatin1(good))) << true;
    // Decoded as far as the bytes go, like any viewer does; the rest stays grey.
    row(corpusFile(QStringLiteral("truncated-scan.jpg"))) << true;
    row(corpusFile(QStringLiteral("truncated.gif"))) << true;
    // A frame larger than its screen is cut to the screen, which is small.
    row(corpusFile(QStringLiteral("huge-frame.gif"))) << true;
    for (const char *bad :
         {"truncated-header.jpg", "huge.jpg", "huge.gif", "zero-size.gif", "text.jpg", "empty.jpg"})
        row(corpusFile(QString::fromLatin1(bad))) << false;
}

void TestCorpus::picture()
{
    QFETCH(QString, path);
    QFETCH(bool, shown);

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.get<ImageBox>("Image1")->setImage(markerImage());
    w.doubleClick("Label7");
    QVERIFY(w.get("dib")->isVisible());
    w.answers.enqueue(path);
    handled(path, [&w] { w.click("dib"); });

    QCOMPARE(w.requests.size(), 1);
    // A picture that cannot be shown is refused: Text1 keeps what it held, in sight.
    QCOMPARE(w.get("Text1")->isHidden(), shown);
    QCOMPARE(w.get<QPlainTextEdit>("Text1")->toPlainText(),
             shown ? QFileInfo(path).fileName() : QString());
    const QImage image = w.get<ImageBox>("Image1")->image();
    if (shown)
        QCOMPARE(image.size(), QSize(16, 16));
    else
        QCOMPARE(image, markerImage());
}

void TestCorpus::clip_data()
{
    ++m_tablesRead;
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("plays");

    // The clip is played as far as its sound goes, whatever its header claims.
    for (const char *playable :
         {"good.wav", "truncated.wav", "huge-data-size.wav", "huge-riff-size.wav", "float-nan.wav"})
        row(corpusFile(QString::fromLatin1(playable))) << true;
    for (const char *refused :
         {"empty.wav", "truncated-header.wav", "zero-channels.wav", "rate-zero.wav",
          "channels-65535.wav", "bits-zero.wav", "data-before-fmt.wav", "fmt-truncated.wav",
          "extensible-unknown.wav", "ima-adpcm-empty-blocks.wav", "not-audio.wav",
          "flac-declares-hours.wav", "list-entry-4gib.wav"})
        row(corpusFile(QString::fromLatin1(refused))) << false;

    // Whatever libsndfile recognises plays, whatever the name says; but no clip may take more
    // memory than ten minutes of CD-quality stereo, however few bytes declare it.
    QTest::newRow("FLAC named .wav")
            << m_generated.filePath(QStringLiteral("flac-mono-short.wav")) << true;
    QTest::newRow("FLAC of 8 channels at 192 kHz, 40 s")
            << m_generated.filePath(QStringLiteral("flac-8ch-192khz-40s.wav")) << false;
}

void TestCorpus::clip()
{
    QFETCH(QString, path);
    QFETCH(bool, plays);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString dictation = folder.filePath(QStringLiteral("d.dtd"));
    const QString clip = folder.filePath(QStringLiteral("d-1.wav"));
    QVERIFY(writeFile(dictation, kClipsDictation));
    QVERIFY(QFile::copy(path, clip));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    w.answers.enqueue(dictation);
    w.click("Command1");
    QCOMPARE(w->nfrases, 10);
    handled(path, [&w] { w.click("wav1"); });

    QCOMPARE(w->escoltes, 1);
    QCOMPARE(w->arxiuwav, clip);
    auto *mmControl1 = w.get<MediaControl>("MMControl1");
    const QString missing = soundclips::soundServerMissing();
    if (!missing.isEmpty())
        QSKIP(qPrintable(missing));
    QCOMPARE(mmControl1->mode() == MediaControl::Mode::Playing, plays);
    // Played to its real end and no further, whatever length the header declares.
    QTRY_COMPARE_WITH_TIMEOUT(mmControl1->mode(), MediaControl::Mode::Stopped, kHangLimitMs);
}

void TestCorpus::fiftyMegabyteLineInItem1()
{
    const QString path = largeCorpusFile(QStringLiteral("line-50mb-item1.dtd"));
    if (qEnvironmentVariableIsSet("LUVANA_CORPUS_CHILD")) {
        WindowUnderTest w;
        QVERIFY(w.exposed());
        w.answers.enqueue(path);
        handled(path, [&w] { w.click("Command1"); });
        QCOMPARE(w->nfrases, 2);
        QVERIFY(w.get("Text1")->isVisible());
        return;
    }

    // The load runs in a child process, so that a hang cannot stop the other tests.
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LUVANA_CORPUS_CHILD"), QStringLiteral("1"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("fiftyMegabyteLineInItem1")});
    QVERIFY(child.waitForStarted());
    const bool finished = child.waitForFinished(kChildLimitMs);
    if (!finished) {
        child.kill();
        child.waitForFinished();
    }
    // Text1 lays out a line with nowhere to wrap in time that grows with the square of its
    // length (128 kB take half a second, 1 MB half a minute): the loader shows it cut.
    QVERIFY2(finished, "still loading after half a minute");
    QCOMPARE(child.exitCode(), 0);
}

void TestCorpus::everyFileHasARow()
{
    if (m_tablesRead < 3)
        QSKIP("only when every table has been read, in a run of the whole test");
    const QStringList files = QDir(qEnvironmentVariable("LUVANA_CORPUS_DIR"))
                                      .entryList(QDir::Files, QDir::Name);
    QVERIFY2(files.size() >= 30, qPrintable(QString::number(files.size())));
    QStringList withoutRow;
    for (const QString &file : files) {
        if (!m_rowFiles.contains(file))
            withoutRow << file;
    }
    QVERIFY2(withoutRow.isEmpty(), qPrintable(withoutRow.join(u", ")));
}

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
