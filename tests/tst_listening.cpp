// SPDX-License-Identifier: GPL-3.0-or-later

// Clip names, the rules of an attempt, the grade by listens and the feedback messages, as
// plain functions and a plain type.
#include "listening/clippath.h"
#include "listening/exercise.h"
#include "listening/grading.h"
#include "support/messages.h"
#include "support/testfiles.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestListening : public QObject
{
    Q_OBJECT
private slots:
    void clipPath_data();
    void clipPath();
    void clipToPlay_data();
    void clipToPlay();
    void gradeForListens_data();
    void gradeForListens();
    void unchangedBandKeepsPreviousGrade_data();
    void unchangedBandKeepsPreviousGrade();
    void gradeStaysInRange();
    void messages_data();
    void messages();
    void caption();
    void exercise_data();
    void exercise();
};

namespace {

// Runs a script of steps on a fresh attempt and returns what its last step asked to show.
//   load:TT.......   a dictation whose items 1 and 2 have text
//   3                play button 3 pressed;  3*5  five times
//   tick             the grading timer;  tick*4  four ticks
//   reset            a new attempt (start-up does the same)
//   3+               play button 3 pressed, then a tick, as a pupil listening with the timer on
std::optional<listening::Display> run(listening::Exercise &exercise, const QString &script)
{
    std::optional<listening::Display> last;
    QString withText;
    for (const QString &step : script.split(u' ', Qt::SkipEmptyParts)) {
        if (step.startsWith(QLatin1String("load:"))) {
            withText = step.mid(5);
            exercise.load(int(withText.count(u'T')));
            last.reset();
            continue;
        }
        if (step == QLatin1String("reset")) {
            last = exercise.reset();
            continue;
        }
        const QStringList parts = step.split(u'*');
        const int times = parts.size() > 1 ? parts[1].toInt() : 1;
        QString what = parts[0];
        for (int i = 0; i < times; ++i) {
            if (what == QLatin1String("tick")) {
                last = exercise.tick();
                continue;
            }
            const bool thenTick = what.endsWith(u'+');
            const int item = QStringView(what).chopped(thenTick ? 1 : 0).toInt();
            exercise.listen(item, withText.mid(item - 1, 1) == u"T");
            last.reset();
            if (thenTick)
                last = exercise.tick();
        }
    }
    return last;
}

} // namespace

void TestListening::clipPath_data()
{
    QTest::addColumn<QString>("arxiu");
    QTest::addColumn<QString>("nom");
    QTest::addColumn<int>("item");
    QTest::addColumn<QString>("expected");

    QTest::newRow("name and item 3") << "C:\\dictats\\animals.dtd"
                                     << "anna" << 3 << "C:\\dictats\\animals-anna3.wav";
    QTest::newRow("item 10 is not padded") << "C:\\dictats\\animals.dtd"
                                           << "anna" << 10 << "C:\\dictats\\animals-anna10.wav";
    QTest::newRow("empty name") << "C:\\dictats\\animals.dtd"
                                << "" << 3 << "C:\\dictats\\animals-3.wav";
    QTest::newRow("empty name, item 10") << "/home/mestra/animals.dtd"
                                         << "" << 10 << "/home/mestra/animals-10.wav";
    QTest::newRow("five-letter extension loses four characters")
            << "/d/gat.dtdx"
            << "pol" << 1 << "/d/gat.-pol1.wav";
    QTest::newRow("two-letter extension loses four characters") << "/d/gatet.tx"
                                                                << "" << 2 << "/d/gate-2.wav";
    QTest::newRow("spaces and accents kept") << "/d/gat.dtd"
                                             << "Núria Puig" << 4 << "/d/gat-Núria Puig4.wav";
    QTest::newRow("slash cannot leave the folder")
            << "/d/gat.dtd"
            << "../../etc/x" << 2 << "/d/gat-.._.._etc_x2.wav";
    QTest::newRow("backslash cannot leave the folder")
            << "C:\\d\\gat.dtd"
            << "..\\..\\x" << 2 << "C:\\d\\gat-.._.._x2.wav";
    QTest::newRow("control characters replaced")
            << "/d/gat.dtd" << QStringLiteral("a\tb\nc") << 5 << "/d/gat-a_b_c5.wav";
    QTest::newRow("exactly four characters") << ".dtd"
                                             << "x" << 1 << "-x1.wav";
}

void TestListening::clipPath()
{
    QFETCH(QString, arxiu);
    QFETCH(QString, nom);
    QFETCH(int, item);
    QFETCH(QString, expected);
    QCOMPARE(listening::clipPath(arxiu, nom, item), std::optional<QString>(expected));
}

void TestListening::clipToPlay_data()
{
    QTest::addColumn<QStringList>("clips"); // beside animals.dtd
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QString>("played"); // empty: nothing to play

    QTest::newRow("the name in capitals beats the clip with no name")
            << QStringList {"ANIMALS-ANNA3.WAV", "animals-3.wav"} << "anna"
            << "ANIMALS-ANNA3.WAV";
    QTest::newRow("a name, clips as Windows leaves them") << QStringList {"ANIMALS-3.WAV"} << "anna"
                                                          << "ANIMALS-3.WAV";
    QTest::newRow("another item's clip is not played")
            << QStringList {"animals-4.wav", "animals-30.wav", "animals-anna.wav"} << "anna"
            << "";
}

void TestListening::clipToPlay()
{
    QFETCH(QStringList, clips);
    QFETCH(QString, nom);
    QFETCH(QString, played);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &clip : clips)
        QVERIFY(testfiles::writeFile(dir.filePath(clip), "RIFF"));
    const QString arxiu = dir.filePath(QStringLiteral("animals.dtd"));
    // QFileInfo compares names as the file system does: on Windows, in any letter case.
    const QString actual = listening::clipToPlay(arxiu, nom, 3).value_or(QString());
    const QString expected = played.isEmpty() ? QString() : dir.filePath(played);
    QVERIFY2(actual.isEmpty() ? expected.isEmpty() : QFileInfo(actual) == QFileInfo(expected),
             qPrintable(actual + QStringLiteral(" != ") + expected));
    QCOMPARE(listening::clipToPlay(QStringLiteral(".wa"), nom, 3), std::nullopt);
}

void TestListening::gradeForListens_data()
{
    QTest::addColumn<int>("nfrases");
    QTest::addColumn<int>("escoltes");
    QTest::addColumn<int>("expected");

    // Each row is a fresh attempt: the previous grade is the one a tick at 0 listens left.
    const struct
    {
        int items, listens, grade;
    } rows[] = {
            {5, 0, 10}, {5, 12, 10}, {5, 13, 9}, {5, 14, 9},  {5, 15, 8},   {5, 16, 8},
            {5, 17, 7}, {5, 18, 7},  {5, 19, 6}, {5, 20, 6},  {5, 21, 5},   {5, 23, 5},
            {5, 24, 4}, {5, 26, 4},  {5, 27, 3}, {5, 29, 3},  {5, 30, 2},   {5, 32, 2},
            {5, 33, 1}, {5, 35, 1},  {5, 36, 0}, {5, 500, 0}, {1, 2, 10},   {1, 3, 10},
            {1, 4, 10}, {1, 5, 9},   {1, 27, 1}, {1, 28, 0},  {10, 19, 10}, {10, 23, 9},
    };
    for (const auto &row : rows) {
        QTest::addRow("%d items, %d listens", row.items, row.listens)
                << row.items << row.listens << row.grade;
    }
}

void TestListening::gradeForListens()
{
    QFETCH(int, nfrases);
    QFETCH(int, escoltes);
    QFETCH(int, expected);
    // As the window does it: a tick at every listen count from 0 up.
    int nota = 0;
    for (int listens = 0; listens <= escoltes; ++listens)
        nota = listening::gradeAfterTick(listens, nfrases, nota);
    QCOMPARE(nota, expected);
}

void TestListening::unchangedBandKeepsPreviousGrade_data()
{
    QTest::addColumn<int>("extra");
    QTest::addColumn<int>("previous");
    QTest::newRow("e=0 keeps 0") << 0 << 0;
    QTest::newRow("e=1 keeps 7") << 1 << 7;
    QTest::newRow("e=2 keeps 10") << 2 << 10;
    QTest::newRow("e=2 keeps 3") << 2 << 3;
}

void TestListening::unchangedBandKeepsPreviousGrade()
{
    QFETCH(int, extra);
    QFETCH(int, previous);
    const int nfrases = 4;
    QCOMPARE(listening::gradeAfterTick(2 * nfrases + extra, nfrases, previous), previous);
}

void TestListening::gradeStaysInRange()
{
    for (int nfrases = 1; nfrases <= 10; ++nfrases) {
        int nota = 0;
        for (int escoltes = 0; escoltes < 200; ++escoltes) {
            const int next = listening::gradeAfterTick(escoltes, nfrases, nota);
            QVERIFY(next >= 0 && next <= 10);
            QVERIFY2(next <= nota || escoltes < 2 * nfrases, "the grade never rises with listens");
            nota = next;
        }
    }
}

void TestListening::messages_data()
{
    QTest::addColumn<int>("nota");
    QTest::addColumn<QString>("message");
    using namespace messages;
    const QString expected[] = {kLow,  kLow,  kLow,  kMiddle, kMiddle, kMiddle,
                                kFair, kFair, kGood, kBest,   kBest};
    for (int nota = 0; nota <= 10; ++nota)
        QTest::addRow("grade %d", nota) << nota << expected[nota];
}

void TestListening::messages()
{
    QFETCH(int, nota);
    QFETCH(QString, message);
    QCOMPARE(listening::feedbackMessage(nota), message);
}

void TestListening::caption()
{
    QCOMPARE(listening::gradeCaption(7), QStringLiteral("La teva nota és: 7"));
    QCOMPARE(listening::gradeCaption(10), QStringLiteral("La teva nota és: 10"));
    QCOMPARE(listening::gradeCaption(0), QStringLiteral("La teva nota és: 0"));
}

void TestListening::exercise_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("escoltes");
    QTest::addColumn<int>("acabades");
    QTest::addColumn<int>("nota");
    // What the last step wrote into the grade label; "-" when it left the label alone.
    QTest::addColumn<QString>("caption");
    // The last step's final display: the message it shows, or "-" for none.
    QTest::addColumn<QString>("message");

    const QString five = QStringLiteral("load:TTTTT..... tick ");
    const QString one = QStringLiteral("load:T......... tick ");
    QTest::newRow("start-up empties the grade label") << "reset" << 0 << 0 << 0 << ""
                                                      << "-";
    QTest::newRow("tick before any dictation does nothing") << "1*5 tick" << 5 << 0 << 0 << "-"
                                                            << "-";
    QTest::newRow("first tick after loading shows 10")
            << five << 0 << 0 << 10 << "La teva nota és: 10"
            << "-";
    QTest::newRow("5 items, 12 listens keep 10") << five + "1*12 tick" << 12 << 1 << 10 << "-"
                                                 << "-";
    QTest::newRow("5 items, 13 listens give 9")
            << five + "1*13 tick" << 13 << 1 << 9 << "La teva nota és: 9"
            << "-";
    QTest::newRow("5 items, 15 listens give 8")
            << five + "1*15 tick" << 15 << 1 << 8 << "La teva nota és: 8"
            << "-";
    QTest::newRow("5 items, 21 listens give 5")
            << five + "1*21 tick" << 21 << 1 << 5 << "La teva nota és: 5"
            << "-";
    QTest::newRow("5 items, 24 listens give 4")
            << five + "1*24 tick" << 24 << 1 << 4 << "La teva nota és: 4"
            << "-";
    QTest::newRow("5 items, 36 listens give 0")
            << five + "1*36 tick" << 36 << 1 << 0 << "La teva nota és: 0"
            << "-";
    QTest::newRow("1 item, 4 listens keep 10")
            << "load:T......... tick 1*3 tick 1 tick" << 4 << 1 << 10 << "-"
            << "-";
    QTest::newRow("1 item, 5 listens give 9")
            << one + "1*5 tick" << 5 << 1 << 9 << "La teva nota és: 9" << messages::kBest;
    QTest::newRow("1 item, 28 listens give 0")
            << one + "1*28 tick" << 28 << 1 << 0 << "La teva nota és: 0" << messages::kLow;
    // A new attempt's grade is 0 until its first tick: listens allowed before that tick must
    // not leave a complete exercise at 0, with the message for the worst grade.
    QTest::newRow("listens allowed before the first tick give 10")
            << "load:T......... 1*2 tick" << 2 << 1 << 10 << "La teva nota és: 10"
            << messages::kBest;
    QTest::newRow("all items empty: no grade is ever written")
            << "load:.......... 1*30 tick*3" << 30 << 0 << 0 << "-"
            << "-";

    // Completion: every item with text heard once, each item counted once.
    QTest::newRow("an item heard twice counts once") << five + "1 1 2" << 3 << 2 << 10 << "-"
                                                     << "-";
    QTest::newRow("items without text do not count")
            << "load:TT........ tick 3 4 10 1+" << 4 << 1 << 10 << "-"
            << "-";
    QTest::newRow("empty items heard, then the two: complete")
            << "load:TT........ tick 3 4 10 1 2+" << 5 << 2 << 10 << "-" << messages::kBest;
    QTest::newRow("one item heard: complete")
            << one + "1+" << 1 << 1 << 10 << "-" << messages::kBest;
    QTest::newRow("ten items once each") << "load:TTTTTTTTTT tick 1 2 3 4 5 6 7 8 9 10+" << 10 << 10
                                         << 10 << "-" << messages::kBest;
    QTest::newRow("two items, grade 9")
            << "load:TT........ tick 1+*6 1+ 2+" << 8 << 2 << 9 << "-" << messages::kBest;
    QTest::newRow("three items, grade 8")
            << "load:TTT....... tick 1+*9 1+ 2+ 3+" << 12 << 3 << 8 << "-" << messages::kGood;
    QTest::newRow("four items, grade 7") << "load:TTTT...... tick 1+*11 1+ 2+ 3+ 4+" << 15 << 4 << 7
                                         << "La teva nota és: 7" << messages::kFair;
    QTest::newRow("five items, grade 4") << five + "1+*19 1+ 2+ 3+ 4+ 5+" << 24 << 5 << 4
                                         << "La teva nota és: 4" << messages::kMiddle;
    QTest::newRow("ten items, grade 2")
            << "load:TTTTTTTTTT tick 1+*30 1+ 2+ 3+ 4+ 5+ 6+ 7+ 8+ 9+ 10+" << 40 << 10 << 2
            << "La teva nota és: 2" << messages::kLow;
    QTest::newRow("not complete before the last item")
            << five + "1+ 2+ 3+ 4+" << 4 << 4 << 10 << "-"
            << "-";

    // The final display comes back only when its grade changes.
    QTest::newRow("complete: idle ticks show nothing again")
            << one + "1+ tick*5" << 1 << 1 << 10 << "-"
            << "-";
    QTest::newRow("complete: listens keeping 10 show nothing again")
            << one + "1+ 1+*3" << 4 << 1 << 10 << "-"
            << "-";
    QTest::newRow("complete: a point lost shows it again")
            << one + "1+ 1+*4" << 5 << 1 << 9 << "La teva nota és: 9" << messages::kBest;
    QTest::newRow("complete: the next point lost shows it again")
            << one + "1+ 1+*6" << 7 << 1 << 8 << "La teva nota és: 8" << messages::kGood;

    // A new attempt starts over.
    QTest::newRow("new attempt empties the label and the counters")
            << "load:TTT....... tick 1*9 2 3+ reset" << 0 << 0 << 0 << ""
            << "-";
    QTest::newRow("new attempt: 10 again at its first tick")
            << "load:TTT....... tick 1*9 2 3+ reset load:TT........ tick" << 0 << 0 << 10
            << "La teva nota és: 10"
            << "-";
    QTest::newRow("new attempt: items heard before do not count")
            << "load:TTT....... tick 1*9 2 3+ reset load:TT........ tick 2+" << 1 << 1 << 10 << "-"
            << "-";
    QTest::newRow("new attempt: complete again, the message again")
            << "load:TT........ tick 1 2+ reset load:TT........ tick 2 1+" << 2 << 2 << 10 << "-"
            << messages::kBest;
    QTest::newRow("listens before any dictation are cleared by the new attempt")
            << "3 3 7 tick reset load:TT........ tick" << 0 << 0 << 10 << "La teva nota és: 10"
            << "-";
}

void TestListening::exercise()
{
    QFETCH(QString, script);
    QFETCH(int, escoltes);
    QFETCH(int, acabades);
    QFETCH(int, nota);
    QFETCH(QString, caption);
    QFETCH(QString, message);

    listening::Exercise exercise;
    const std::optional<listening::Display> shown = run(exercise, script);
    QCOMPARE(exercise.escoltes, escoltes);
    QCOMPARE(exercise.acabades, acabades);
    QCOMPARE(exercise.nota, nota);
    const std::optional<QString> written = shown ? shown->caption : std::nullopt;
    QCOMPARE(written.value_or(QStringLiteral("-")), caption);
    QCOMPARE(written && written->isNull(), caption.isEmpty());
    const bool finalDisplay = shown && shown->finalDisplay;
    QCOMPARE(finalDisplay ? listening::feedbackMessage(exercise.nota) : QStringLiteral("-"),
             message);
}

QTEST_APPLESS_MAIN(TestListening)
#include "tst_listening.moc"
