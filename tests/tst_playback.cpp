// SPDX-License-Identifier: GPL-3.0-or-later

// Listening through the real window: a dictation opened with the new-attempt button, its play
// buttons clicked, the grading tick driven by hand, and what the pupil then sees in the grade
// label and the feedback panel.
#include "app/widgets.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/fakesound.h"
#include "support/messages.h"
#include "support/paintcounter.h"
#include "support/pictures.h"
#include "support/sinkcapture.h"
#include "support/soundclips.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using messages::kBest;
using messages::kGood;
using messages::kLow;

const QString kGrade10 = QStringLiteral("La teva nota és: 10");

// A dictation whose first `items` items have text, as a teacher's program writes it: Windows-1252
// (the accents used here are the same bytes in Latin-1), CR LF line ends.
QString writeDictation(const QTemporaryDir &dir, const QString &name, int items)
{
    QString text = QStringLiteral("Els animals de la granja\r\n"
                                  "El gall canta quan surt el sol.\r\n"
                                  "La gallina pon un ou cada matí.\r\n"
                                  "x\r\n");
    for (int item = 2; item <= 10; ++item) {
        if (item <= items)
            text += QStringLiteral("Què fa l'animal número %1?").arg(item);
        text += QStringLiteral("\r\n");
    }
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toLatin1()) != text.toLatin1().size())
        return QString();
    return path;
}

QByteArray playButton(int item)
{
    return "wav" + QByteArray::number(item);
}

// Presses the play button of an item and lets a grading tick follow, as the timer would.
void listen(WindowUnderTest &w, int item, int times = 1)
{
    for (int i = 0; i < times; ++i) {
        w.click(playButton(item).constData());
        w->Timer1_Timer();
    }
}

// The median fundamental of the voiced stretches of a clip, in Hz, by autocorrelation over
// frames of 40 ms; 0 where nothing is voiced.
double fundamental(const AudioClip &clip)
{
    const std::vector<float> mix = soundclips::monoMix(clip);
    const int frame = clip.sampleRate / 25;
    const int minLag = clip.sampleRate / 400;
    const int maxLag = clip.sampleRate / 60;
    const float loud = 0.2f * soundclips::peak(clip);
    std::vector<double> found;
    for (size_t at = 0; at + size_t(frame + maxLag) < mix.size(); at += size_t(frame / 4)) {
        const auto begin = mix.begin() + qsizetype(at);
        if (std::abs(*std::max_element(begin, begin + frame,
                                       [](float a, float b) { return std::abs(a) < std::abs(b); }))
            < loud)
            continue;
        double best = 0;
        int bestLag = 0;
        for (int lag = minLag; lag <= maxLag; ++lag) {
            double sum = 0, energy0 = 0, energy1 = 0;
            for (int i = 0; i < frame; ++i) {
                sum += double(begin[i]) * begin[i + lag];
                energy0 += double(begin[i]) * begin[i];
                energy1 += double(begin[i + lag]) * begin[i + lag];
            }
            const double r = sum / std::sqrt(energy0 * energy1 + 1e-12);
            if (r > best) {
                best = r;
                bestLag = lag;
            }
        }
        if (best > 0.7)
            found.push_back(double(clip.sampleRate) / bestLag);
    }
    if (found.empty())
        return 0;
    std::nth_element(found.begin(), found.begin() + qsizetype(found.size() / 2), found.end());
    return found[found.size() / 2];
}

// What the sink played after a press of an item's play button, from the press until the clip
// has ended; nothing when the sink could not be heard for so long. With `bufferUSecs`, the
// most sound the server held for the stream in three looks after 300 ms of the clip.
std::optional<AudioClip> soundOfPress(WindowUnderTest &w, int item, qint64 *bufferUSecs = nullptr)
{
    soundclips::SinkCapture capture;
    if (!capture.start() || !QTest::qWaitFor([&] { return capture.frames() > 0; }))
        return std::nullopt;
    capture.clear();
    auto *mmControl1 = w.get<MediaControl>("MMControl1");
    w.click(playButton(item).constData());
    if (bufferUSecs) {
        if (!QTest::qWaitFor([&] { return mmControl1->elapsedMs() >= 300; }, 10000))
            return std::nullopt;
        for (int look = 0; look < 3; ++look)
            *bufferUSecs = std::max(*bufferUSecs, soundclips::ownStreamBufferUSecs());
    }
    if (!QTest::qWaitFor([&] { return mmControl1->mode() != MediaControl::Mode::Playing; }, 10000))
        return std::nullopt;
    // What the sink still had on its way to the monitor.
    const qint64 enough = capture.frames() + capture.framesFor(400);
    if (!QTest::qWaitFor([&] { return capture.frames() >= enough; }, 10000))
        return std::nullopt;
    return capture.clip();
}

// The first and the last frame louder than a tenth of the clip's peak, in seconds.
std::pair<double, double> audibleSpan(const AudioClip &clip)
{
    const std::vector<float> mix = soundclips::monoMix(clip);
    const float threshold = 0.1f * soundclips::peak(clip);
    const auto loud = [threshold](float sample) { return std::abs(sample) > threshold; };
    const auto first = std::find_if(mix.begin(), mix.end(), loud);
    const auto last = std::find_if(mix.rbegin(), mix.rend(), loud);
    if (first == mix.end())
        return {0, 0};
    return {double(first - mix.begin()) / clip.sampleRate,
            double(mix.rend() - last) / clip.sampleRate};
}

} // namespace

class TestPlayback : public QObject
{
    Q_OBJECT
private slots:
    void pressNamesTheClip_data();
    void pressNamesTheClip();
    void nameIsReadAtEachPress();
    void pressesBeforeAnyDictation();
    void hiddenPlayButtonsCannotBeClicked();
    void gradeFollowsListens_data();
    void gradeFollowsListens();
    void playingEveryItemCompletes_data();
    void playingEveryItemCompletes();
    void onlyAPlayThatStartsCounts_data();
    void onlyAPlayThatStartsCounts();
    void dismissedPanelReturnsOnlyWhenTheGradeChanges();
    void newAttemptStartsOver();
    void idleTicksDoNotRepaint();
    void playButtonSoundsTheClip_data();
    void playButtonSoundsTheClip();
    void dictationMadeOnWindowsPlaysWhole();
    void quickClicksLeaveTheSoundAsAtFirst();
    void slowSpeechKeepsTheVoice();

private:
    QTemporaryDir m_dir;
};

void TestPlayback::pressNamesTheClip_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("clip");

    QTest::newRow("name and item 3") << "anna" << 3 << "animals-anna3.wav";
    QTest::newRow("item 10 is not padded") << "anna" << 10 << "animals-anna10.wav";
    QTest::newRow("item 1") << "pol" << 1 << "animals-pol1.wav";
    QTest::newRow("empty name") << "" << 3 << "animals-3.wav";
    QTest::newRow("accents and spaces kept") << "Núria Puig" << 4 << "animals-Núria Puig4.wav";
    QTest::newRow("slash stays in the folder") << "../../tmp/x" << 2 << "animals-.._.._tmp_x2.wav";
    QTest::newRow("backslash stays in the folder") << "..\\x" << 2 << "animals-.._x2.wav";
}

void TestPlayback::pressNamesTheClip()
{
    QFETCH(QString, nom);
    QFETCH(int, item);
    QFETCH(QString, clip);

    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("animals.dtd"), 10));
    QCOMPARE(w->nfrases, 10);
    typeInto(w, "nom", nom);
    QCOMPARE(w.get<QLineEdit>("nom")->text(), nom);

    w.click(playButton(item).constData());
    QCOMPARE(w->escoltes, 1);
    QCOMPARE(w->acabades, 1);
    const QString expected = QDir::toNativeSeparators(m_dir.filePath(clip));
    QCOMPARE(w->arxiuwav, expected);
    QCOMPARE(w.get<MediaControl>("MMControl1")->fileName(), expected);
}

void TestPlayback::nameIsReadAtEachPress()
{
    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 3));
    auto *nom = w.get<QLineEdit>("nom");
    typeInto(w, "nom", QStringLiteral("anna"));
    w.click("wav2");
    QVERIFY(w->arxiuwav.endsWith(QStringLiteral("granja-anna2.wav")));

    nom->clear();
    typeInto(w, "nom", QStringLiteral("pol"));
    w.click("wav2");
    QVERIFY(w->arxiuwav.endsWith(QStringLiteral("granja-pol2.wav")));
    QCOMPARE(w.get<MediaControl>("MMControl1")->fileName(), w->arxiuwav);
    // Two listens, one item heard.
    QCOMPARE(w->escoltes, 2);
    QCOMPARE(w->acabades, 1);
}

void TestPlayback::pressesBeforeAnyDictation()
{
    WindowUnderTest w;
    typeInto(w, "nom", QStringLiteral("anna"));
    w.click("wav3");
    w.click("wav3");
    w.click("wav7");
    QCOMPARE(w->escoltes, 3);
    QVERIFY(w->arxiuwav.isEmpty());
    QVERIFY(w.get<MediaControl>("MMControl1")->fileName().isEmpty());
    w->Timer1_Timer();
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    QVERIFY(w.get("Picture3")->isHidden());

    // Opening a dictation starts from nothing heard.
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 2));
    QCOMPARE(w->escoltes, 0);
    QCOMPARE(w->acabades, 0);
    w->Timer1_Timer();
    QCOMPARE(w.get<QLabel>("Label2")->text(), kGrade10);
    QVERIFY(w.get("Picture3")->isHidden());
}

void TestPlayback::hiddenPlayButtonsCannotBeClicked()
{
    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 5));
    for (int item = 6; item <= 10; ++item) {
        QVERIFY(w.get(playButton(item).constData())->isHidden());
        w.click(playButton(item).constData());
    }
    QCOMPARE(w->escoltes, 0);
    QVERIFY(w->arxiuwav.isEmpty());

    // The authoring layout shows them, and then a press is a listen like any other.
    w.doubleClick("Label7");
    w.click("wav8");
    QCOMPARE(w->escoltes, 1);
    QVERIFY(w->arxiuwav.endsWith(QStringLiteral("granja-8.wav")));

    // An empty item heard there is no item of the exercise: hearing the five still completes it.
    QCOMPARE(w->acabades, 0);
    for (int item = 1; item <= 5; ++item)
        listen(w, item);
    QCOMPARE(w->acabades, 5);
    QVERIFY(w.get("Picture3")->isVisible());
}

void TestPlayback::gradeFollowsListens_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("listens");
    QTest::addColumn<QString>("how"); // click, slow (a click with the turtle on), or key
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("caption");

    // The grade for every count of listens is the exercise's (tst_listening); these rows see
    // that the window's ticks, play buttons and play keys reach it.
    QTest::newRow("5 items, 0 listens") << 5 << 0 << "click" << 10 << "La teva nota és: 10";
    QTest::newRow("5 items, 13 listens") << 5 << 13 << "click" << 9 << "La teva nota és: 9";
    QTest::newRow("1 item, 28 listens") << 1 << 28 << "click" << 0 << "La teva nota és: 0";
    QTest::newRow("5 items, 13 slow listens") << 5 << 13 << "slow" << 9 << "La teva nota és: 9";
    QTest::newRow("5 items, 13 key listens") << 5 << 13 << "key" << 9 << "La teva nota és: 9";
}

void TestPlayback::gradeFollowsListens()
{
    QFETCH(int, items);
    QFETCH(int, listens);
    QFETCH(QString, how);
    QFETCH(int, grade);
    QFETCH(QString, caption);

    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), items));
    QCOMPARE(w->nfrases, items);
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    w->Timer1_Timer();
    QCOMPARE(w.get<QLabel>("Label2")->text(), kGrade10);

    if (how == u"slow")
        w.click("lent");
    if (how == u"key") {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window()));
        for (int i = 0; i < listens; ++i) {
            QTest::keyClick(w.get("nom"), Qt::Key_1, Qt::ControlModifier);
            w->Timer1_Timer();
        }
    } else {
        listen(w, 1, listens);
    }
    QCOMPARE(w->escoltes, listens);
    QCOMPARE(w->nota, grade);
    QCOMPARE(w.get<QLabel>("Label2")->text(), caption);
}

void TestPlayback::playingEveryItemCompletes_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("extraListens"); // of item 1, before the others are heard
    QTest::addColumn<int>("emptied");      // the item whose box the pupil empties first; 0: none
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("message");

    // Every grade's message is the exercise's (tst_listening); these rows see the window show it.
    QTest::newRow("one item") << 1 << 0 << 0 << "La teva nota és: 10" << kBest;
    QTest::newRow("three items, grade 8") << 3 << 9 << 0 << "La teva nota és: 8" << kGood;
    QTest::newRow("ten items, grade 2") << 10 << 30 << 0 << "La teva nota és: 2" << kLow;
    QTest::newRow("Frase 3 emptied by the pupil") << 5 << 0 << 3 << "La teva nota és: 10" << kBest;
}

void TestPlayback::playingEveryItemCompletes()
{
    QFETCH(int, items);
    QFETCH(int, extraListens);
    QFETCH(int, emptied);
    QFETCH(QString, caption);
    QFETCH(QString, message);

    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), items));
    if (emptied > 0)
        w.get<QLineEdit>(("Text" + QByteArray::number(emptied)).constData())->clear();
    w->Timer1_Timer();
    if (extraListens > 0)
        listen(w, 1, extraListens);

    for (int item = 1; item <= items; ++item) {
        QVERIFY2(w.get("Picture3")->isHidden(), "not complete before every item is heard");
        listen(w, item);
        QCOMPARE(w->acabades, item);
    }
    QCOMPARE(w->escoltes, extraListens + items);
    QVERIFY(w.get("Picture3")->isVisible());
    QVERIFY(w.get("Label2")->isVisible());
    QCOMPARE(w.get<QLabel>("Label2")->text(), caption);
    QCOMPARE(w.get<QLabel>("Label5")->text(), message);
}

void TestPlayback::onlyAPlayThatStartsCounts_data()
{
    QTest::addColumn<QString>("clip"); // as soundclips::putClipFile() takes it
    QTest::addColumn<bool>("devices");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QString>("caption"); // empty: as before the press

    QTest::newRow("a clip that plays") << "clip" << true << false << 1 << QString();
    QTest::newRow("a clip over ten minutes counts, and the caption says why")
            << "long" << true << false << 1
            << "Aquest clip dura més de 10 minuts i no es pot reproduir";
    QTest::newRow("no sound output")
            << "clip" << false << false << 0
            << "No se sent res: no hi ha cap sortida de so (l'escolta no compta)";
    QTest::newRow("an output that does not start")
            << "clip" << true << true << 0
            << "No se sent res: el so de l'ordinador no respon (l'escolta no compta)";
}

// A press nobody could hear is no listen, and the caption says why until sound is back.
void TestPlayback::onlyAPlayThatStartsCounts()
{
    QFETCH(QString, clip);
    QFETCH(bool, devices);
    QFETCH(bool, refuse);
    QFETCH(int, counted);
    QFETCH(QString, caption);

    WindowUnderTest w;
    soundclips::FakeSoundSystem *sound = nullptr;
    w.get<MediaControl>("MMControl1")
            ->setSoundSystemFactory(soundclips::fake(sound, devices, refuse));
    load(w, writeDictation(m_dir, QStringLiteral("sons.dtd"), 2));
    QVERIFY(soundclips::putClipFile(m_dir.filePath(QStringLiteral("sons-1.wav")), clip));
    const QString before = w->windowTitle();
    w.click("wav1");
    QCOMPARE(w->escoltes, counted);
    QCOMPARE(w->windowTitle(), caption.isEmpty() ? before : caption);

    // Sound back: an output that comes takes the caption away, and the next press is heard,
    // counted and clears it.
    sound->refuse = false;
    sound->setDevices(true);
    if (!devices)
        QTRY_COMPARE(w->windowTitle(), before);
    if (clip == u"clip") {
        w.click("wav1");
        QCOMPARE(w->escoltes, counted + 1);
        QVERIFY(sound->playing);
        QCOMPARE(w->windowTitle(), before);
    }
}

void TestPlayback::dismissedPanelReturnsOnlyWhenTheGradeChanges()
{
    WindowUnderTest w;
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 1));
    listen(w, 1);
    auto *panel = w.get("Picture3");
    auto *message = w.get<QLabel>("Label5");
    QVERIFY(panel->isVisible());
    QCOMPARE(message->text(), kBest);

    w.click("Label5");
    QVERIFY2(panel->isVisible(), "a click on the message itself keeps the panel");
    w.click("Picture3", QPoint(100, 100));
    QVERIFY(panel->isHidden());
    for (int tick = 0; tick < 5; ++tick)
        w->Timer1_Timer();
    QVERIFY2(panel->isHidden(), "idle ticks leave a dismissed panel dismissed");

    // Listens 2 to 4 keep the grade at 10: still nothing new to show.
    listen(w, 1, 3);
    QCOMPARE(w->nota, 10);
    QVERIFY(panel->isHidden());

    // The fifth costs a point: the panel comes back with the grade's message.
    listen(w, 1);
    QCOMPARE(w->nota, 9);
    QVERIFY(panel->isVisible());
    QCOMPARE(message->text(), kBest);
    QCOMPARE(w.get<QLabel>("Label2")->text(), QStringLiteral("La teva nota és: 9"));

    w.click("Picture3", QPoint(100, 100));
    QVERIFY(panel->isHidden());
    listen(w, 1, 2);
    QCOMPARE(w->nota, 8);
    QVERIFY(panel->isVisible());
    QCOMPARE(message->text(), kGood);
}

void TestPlayback::newAttemptStartsOver()
{
    WindowUnderTest w;
    typeInto(w, "nom", QStringLiteral("anna"));
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 3));
    w->Timer1_Timer();
    listen(w, 1, 9);
    listen(w, 2);
    listen(w, 3);
    QCOMPARE(w->nota, 8);
    QVERIFY(w.get("Picture3")->isVisible());
    const QString lastClip = w->arxiuwav;

    load(w, writeDictation(m_dir, QStringLiteral("bosc.dtd"), 2));
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    QCOMPARE(w->escoltes, 0);
    QCOMPARE(w->nota, 0);
    QCOMPARE(w->acabades, 0);
    QVERIFY(w.get("Picture3")->isHidden());
    QCOMPARE(w->arxiuwav, lastClip);

    w->Timer1_Timer();
    QCOMPARE(w.get<QLabel>("Label2")->text(), kGrade10);
    QVERIFY2(w.get("Picture3")->isHidden(), "items heard in the last attempt do not count");

    listen(w, 2);
    QVERIFY(w->arxiuwav.endsWith(QStringLiteral("bosc-anna2.wav")));
    QVERIFY(w.get("Picture3")->isHidden());
    listen(w, 1);
    QVERIFY(w.get("Picture3")->isVisible());
    QCOMPARE(w.get<QLabel>("Label5")->text(), kBest);
}

void TestPlayback::idleTicksDoNotRepaint()
{
    WindowUnderTest w;
    QVERIFY(w.exposed());
    load(w, writeDictation(m_dir, QStringLiteral("granja.dtd"), 2));
    PaintCounter label2(w.get("Label2"));
    PaintCounter panel(w.get("Picture3"));
    PaintCounter probe(w.get("Label1"));

    // Anything waiting to be painted goes out with the next repaint of the window, so once a
    // change to the title has been painted, so has any pending change to the grade.
    const auto paintPending = [&] {
        probe.paints = 0;
        w.get("Label1")->update();
        return QTest::qWaitFor([&] { return probe.paints > 0; });
    };

    w->Timer1_Timer();
    QTRY_VERIFY2(label2.paints > 0, "a new grade is painted");
    label2.paints = 0;
    for (int tick = 0; tick < 25; ++tick)
        w->Timer1_Timer();
    QVERIFY(paintPending());
    QCOMPARE(label2.paints, 0);

    // Complete, with the panel up: the final display does not repeat itself either.
    listen(w, 1);
    listen(w, 2);
    QVERIFY(w.get("Picture3")->isVisible());
    QVERIFY(paintPending());
    label2.paints = 0;
    panel.paints = 0;
    for (int tick = 0; tick < 25; ++tick)
        w->Timer1_Timer();
    QVERIFY(paintPending());
    QCOMPARE(label2.paints, 0);
    QCOMPARE(panel.paints, 0);
}

void TestPlayback::playButtonSoundsTheClip_data()
{
    QTest::addColumn<QStringList>("clips"); // beside so.dtd, each a tone of its own loudness
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("heard"); // empty: silence

    QTest::newRow("the clip of the name typed")
            << QStringList {"so-anna2.wav", "so-2.wav"} << "anna"
            << "so-anna2.wav";
    QTest::newRow("another name hears the clip with no name")
            << QStringList {"so-anna2.wav", "so-2.wav"} << "pol"
            << "so-2.wav";
    QTest::newRow("no clip for the name nor without one") << QStringList {"so-anna2.wav"} << "pol"
                                                          << "";
    QTest::newRow("exact name beside a case variant") << QStringList {"SO-2.WAV", "so-2.wav"} << ""
                                                      << "so-2.wav";
}

void TestPlayback::playButtonSoundsTheClip()
{
    QFETCH(QStringList, clips);
    QFETCH(QString, nom);
    QFETCH(QString, heard);
    if (const QString missing = soundclips::soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    QTemporaryDir dir;
    WindowUnderTest w;
    load(w, writeDictation(dir, QStringLiteral("so.dtd"), 3));
    typeInto(w, "nom", nom);
    AudioClip played;
    for (qsizetype i = 0; i < clips.size(); ++i) {
        const AudioClip clip = soundclips::tone(44100, 1, 0.6, 0.6f / float(i + 1));
        QVERIFY(soundclips::writeWav(dir.filePath(clips.at(i)), clip, SF_FORMAT_PCM_16));
        if (clips.at(i) == heard)
            played = clip;
    }

    const std::optional<AudioClip> heardSound = soundOfPress(w, 2);
    QVERIFY(heardSound);
    const AudioClip &sound = *heardSound;
    QCOMPARE(w->escoltes, 1);
    QVERIFY(w->arxiuwav.endsWith(QStringLiteral("so-") + nom + QStringLiteral("2.wav")));
    if (heard.isEmpty()) {
        QVERIFY2(soundclips::peak(sound) < 0.01f, "a missing clip is not heard");
        return;
    }
    QVERIFY2(std::abs(soundclips::energy(sound) - soundclips::energy(played))
                     <= 0.1 * soundclips::energy(played),
             qPrintable(QStringLiteral("energy %1, clip %2")
                                .arg(soundclips::energy(sound))
                                .arg(soundclips::energy(played))));
    QVERIFY(std::abs(soundclips::peak(sound) - soundclips::peak(played))
            <= 0.1f * soundclips::peak(played));
}

void TestPlayback::dictationMadeOnWindowsPlaysWhole()
{
    if (const QString missing = soundclips::soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    // Saved on Windows as ANIMALS.DTD, its picture named in capitals in the file and in small
    // letters on disk, its clips recorded with no name; here a pupil types a name.
    QTemporaryDir dir;
    QVERIFY(testfiles::writeFile(dir.filePath(QStringLiteral("gat.jpg")),
                                 pictures::jpeg(QSize(40, 30), Qt::green)));
    QVERIFY(testfiles::writeFile(dir.filePath(QStringLiteral("ANIMALS.DTD")),
                                 testfiles::crLfLines({"Animals", "GAT.JPG", "x", "On dorm el gat?",
                                                       "Qui canta?", "", "", "", "", "", "", ""})));
    const AudioClip clip = soundclips::tone(44100, 1, 0.4, 0.5f);
    for (int item = 1; item <= 3; ++item) {
        QVERIFY(soundclips::writeWav(dir.filePath(QStringLiteral("ANIMALS-%1.WAV").arg(item)), clip,
                                     SF_FORMAT_PCM_16));
    }

    WindowUnderTest w;
    typeInto(w, "nom", QStringLiteral("anna"));
    load(w, dir.filePath(QStringLiteral("ANIMALS.DTD")));
    QCOMPARE(shownItems(w), QStringLiteral("PTT......."));
    QVERIFY(pictures::looksLike(w.get<ImageBox>("Image1")->image(), Qt::green, QSize(40, 30)));

    for (int item = 1; item <= 3; ++item) {
        const std::optional<AudioClip> sound = soundOfPress(w, item);
        QVERIFY(sound);
        QVERIFY2(std::abs(soundclips::peak(*sound) - soundclips::peak(clip))
                         <= 0.1f * soundclips::peak(clip),
                 qPrintable(
                         QStringLiteral("item %1 peak %2").arg(item).arg(soundclips::peak(*sound))));
    }
    QCOMPARE(w->escoltes, 3);
    QCOMPARE(w->acabades, 3);
}

void TestPlayback::quickClicksLeaveTheSoundAsAtFirst()
{
    if (const QString missing = soundclips::soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    const QDir samples(qEnvironmentVariable("LUVANA_SOURCE_DIR")
                       + QStringLiteral("/assets/samples"));
    const soundclips::WavInfo clip2 = soundclips::readWav(
            samples.filePath(QStringLiteral("tardor-2.wav")));
    QVERIFY(!clip2.clip.isEmpty());
    const auto [clipStart, clipEnd] = audibleSpan(clip2.clip);

    WindowUnderTest w;
    load(w, samples.filePath(QStringLiteral("tardor.dtd")));
    auto *mmControl1 = w.get<MediaControl>("MMControl1");
    qint64 firstBuffer = -1;
    QVERIFY(soundOfPress(w, 2, &firstBuffer));
    QVERIFY2(firstBuffer > 0, "the stream was not found on the server");

    // A pupil who clicks fast: the buttons of items 2 to 10 in turn, twice over, three times.
    // The pause is the pupil's rhythm, not a wait for the program.
    for (int round = 0; round < 6; ++round) {
        for (int item = 2; item <= 10; ++item) {
            w.click(playButton(item).constData());
            QTest::qWait(150);
        }
    }
    QTRY_VERIFY_WITH_TIMEOUT(mmControl1->mode() != MediaControl::Mode::Playing, 10000);

    qint64 buffer = -1;
    const std::optional<AudioClip> sound = soundOfPress(w, 2, &buffer);
    QVERIFY2(sound, "the clip did not end in time");
    const auto [heardStart, heardEnd] = audibleSpan(*sound);
    const double clipLength = clipEnd - clipStart;
    QVERIFY2(heardStart - clipStart <= 0.4, qPrintable(QString::number(heardStart - clipStart)));
    QVERIFY2(std::abs(heardEnd - heardStart - clipLength) <= 0.1 * clipLength,
             qPrintable(QStringLiteral("%1 s of %2 s").arg(heardEnd - heardStart).arg(clipLength)));
    QVERIFY2(buffer >= firstBuffer * 4 / 5 && buffer <= firstBuffer * 5 / 4,
             qPrintable(QStringLiteral("%1 us, at first %2 us").arg(buffer).arg(firstBuffer)));
}

void TestPlayback::slowSpeechKeepsTheVoice()
{
    if (const QString missing = soundclips::soundServerMissing(); !missing.isEmpty())
        QSKIP(qPrintable(missing));

    const QDir samples(qEnvironmentVariable("LUVANA_SOURCE_DIR")
                       + QStringLiteral("/assets/samples"));
    WindowUnderTest w;
    load(w, samples.filePath(QStringLiteral("tardor.dtd")));
    auto *lent = w.get<QPushButton>("lent");
    QVERIFY2(!lent->isChecked(), "off at start");
    const std::optional<AudioClip> normal = soundOfPress(w, 2);
    QVERIFY(normal);
    w.click("lent");
    QVERIFY(lent->isChecked());
    const std::optional<AudioClip> slow = soundOfPress(w, 2);
    QVERIFY(slow);
    QCOMPARE(w->escoltes, 2);

    const auto [normalStart, normalEnd] = audibleSpan(*normal);
    const auto [slowStart, slowEnd] = audibleSpan(*slow);
    const double lengthRatio = (slowEnd - slowStart) / (normalEnd - normalStart);
    const double semitones = 12 * std::log2(fundamental(*slow) / fundamental(*normal));
    qInfo("slow length ratio %.3f (%.3f wanted), pitch %.1f Hz to %.1f Hz, %.2f semitones",
          lengthRatio, 1 / 0.75, fundamental(*normal), fundamental(*slow), semitones);
    QVERIFY(std::abs(lengthRatio - 1 / 0.75) <= 0.05 / 0.75);
    QVERIFY(std::abs(semitones) < 1);

    // A new attempt starts at the recorded speed.
    load(w, samples.filePath(QStringLiteral("tardor.dtd")));
    QVERIFY(!lent->isChecked());
}

QTEST_MAIN(TestPlayback)
#include "tst_playback.moc"
