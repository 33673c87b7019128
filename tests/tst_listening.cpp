// Clip names, the grade by listens and the feedback messages, as plain functions.
#include "listening/clippath.h"
#include "listening/grading.h"

#include <QTest>

class TestListening : public QObject
{
    Q_OBJECT
private slots:
    void clipPath_data();
    void clipPath();
    void gradeForListens_data();
    void gradeForListens();
    void unchangedBandKeepsPreviousGrade_data();
    void unchangedBandKeepsPreviousGrade();
    void gradeStaysInRange();
    void messages_data();
    void messages();
    void caption();
};

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
    const QString low = " Sembla que no has estat massa atent, hauries de repetir el dictat.";
    const QString middle =
            " Repasa el dictat i escriu a la teva llibreta les frases que tan costat més.";
    const QString fair = " Hi ha paraules que et costen una mica, escriu-les a la teva llibreta i "
                         "comprova que coneixes bé el seu significat.";
    const QString good = "Està força bé, encara que ha hagut alguna frase que ta costat una mica.";
    const QString best = "Molt bé ho has fet has gaire bé perfecte, segueix així.";
    const QString expected[] = {low,  low,  low,  middle, middle, middle,
                                fair, fair, good, best,   best};
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
    QCOMPARE(listening::gradeCaption(7), QStringLiteral("La teva nota es: 7"));
    QCOMPARE(listening::gradeCaption(10), QStringLiteral("La teva nota es: 10"));
    QCOMPARE(listening::gradeCaption(0), QStringLiteral("La teva nota es: 0"));
}

QTEST_APPLESS_MAIN(TestListening)
#include "tst_listening.moc"
