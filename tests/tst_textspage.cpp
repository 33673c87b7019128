// SPDX-License-Identifier: GPL-3.0-or-later

// The page of dictation texts: what it shows of a dictation, that no text can break its
// markup, that the page built beside the executable is the one the shipped samples give, and
// that "Textos a la Web" opens that page once per click.
#include "dictation/format.h"
#include "packaging/tools/textspage.h"
#include "platform/datapaths.h"
#include "support/windowtest.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QUrl>

namespace {

dictation::Dictation dictationOf(const QString &title, const QString &item1,
                                 const QStringList &questions)
{
    dictation::Dictation d;
    d.title = title;
    d.items.front() = item1;
    for (qsizetype i = 0; i < questions.size(); ++i)
        d.items.at(std::size_t(i + 1)) = questions.at(i);
    return d;
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestTextsPage : public QObject
{
    Q_OBJECT
private slots:
    void showsTheDictation_data();
    void showsTheDictation();
    void everySampleHasItsOwnAnchor();
    void builtPageMatchesTheSamples_data();
    void builtPageMatchesTheSamples();
    void command5OpensThePageOncePerClick();
};

void TestTextsPage::showsTheDictation_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("item1");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QStringList>("notShown");

    const QString reading = QStringLiteral("<h3>Llegeix amb atenció aquest text.</h3>");
    const QString questionsHeading = QStringLiteral("<h3>Contesta aquestes preguntes</h3>");

    QTest::newRow("text item 1, one paragraph a line")
            << "El gat"
            << "El gat dorm al sol.\r\nDesprés es renta la cara.\r\n"
            << QStringList {"Té set vides."}
            << QStringList {"<h2>El gat</h2>", reading,
                            "<p>El gat dorm al sol.</p>\n"
                            "<p>Després es renta la cara.</p>",
                            questionsHeading, "<li>Té set vides.</li>"}
            << QStringList {"<img"};
    QTest::newRow("empty lines of item 1 make no paragraph")
            << "T"
            << "u\r\n\r\ndos\r\n"
            << QStringList {} << QStringList {"<p>u</p>\n<p>dos</p>"} << QStringList {"<p></p>"};
    QTest::newRow("picture item 1 shows the picture beside the page")
            << "El vaixell"
            << "vaixell.jpg\r\n"
            << QStringList {"Quantes veles té?"}
            << QStringList {"<img src=\"vaixell.jpg\" alt=\"Dibuix: El vaixell\">"}
            << QStringList {reading, "<p>vaixell.jpg</p>"};
    QTest::newRow("jpeg picture item 1 shows the picture")
            << "La foto"
            << "foto.jpeg\r\n"
            << QStringList {} << QStringList {"<img src=\"foto.jpeg\""}
            << QStringList {reading, "<p>foto.jpeg</p>"};
    QTest::newRow("last sentence ending \". Fi\" is text")
            << "T"
            << "El gat dorm. Fi\r\n"
            << QStringList {} << QStringList {reading, "<p>El gat dorm. Fi</p>"}
            << QStringList {"<img"};
    QTest::newRow("picture name with a space or accent is a valid address")
            << "T"
            << "el jardí.gif\r\n"
            << QStringList {} << QStringList {"src=\"el%20jard%C3%AD.gif\""}
            << QStringList {"src=\"el jard"};
    QTest::newRow("markup in the texts is shown as text")
            << "<b>A & B</b>"
            << "x < y && \"z\"\r\n"
            << QStringList {"<script>alert(1)</script>"}
            << QStringList {"<h2>&lt;b&gt;A &amp; B&lt;/b&gt;</h2>",
                            "<p>x &lt; y &amp;&amp; &quot;z&quot;</p>",
                            "<li>&lt;script&gt;alert(1)&lt;/script&gt;</li>"}
            << QStringList {"<b>", "<script>"};
    QTest::newRow("a number sign in a text is not taken for an argument")
            << "%1 %2"
            << "%1\r\n"
            << QStringList {"%2"} << QStringList {"<h2>%1 %2</h2>", "<p>%1</p>", "<li>%2</li>"}
            << QStringList {};
    QTest::newRow("empty items are left out")
            << "T"
            << "Text.\r\n"
            << QStringList {"", "Segona?", "", "", "Tercera?"}
            << QStringList {"<ol>\n<li>Segona?</li>\n<li>Tercera?</li>\n</ol>"}
            << QStringList {"<li></li>"};
    QTest::newRow("no questions, no questions heading")
            << "T"
            << "Text.\r\n"
            << QStringList {} << QStringList {reading} << QStringList {questionsHeading, "<ol>"};
    QTest::newRow("empty item 1, no reading heading")
            << "T"
            << "" << QStringList {"Pregunta?"} << QStringList {questionsHeading}
            << QStringList {reading, "<img"};
}

void TestTextsPage::showsTheDictation()
{
    QFETCH(QString, title);
    QFETCH(QString, item1);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, shown);
    QFETCH(QStringList, notShown);

    const QString page = textspage::pageHtml(
            {{QStringLiteral("prova.dtd"), dictationOf(title, item1, questions)}});
    QVERIFY(page.startsWith(QLatin1String("<!DOCTYPE html>\n<html lang=\"ca\">")));
    for (const QString &part : shown)
        QVERIFY2(page.contains(part), qPrintable(part));
    for (const QString &part : notShown)
        QVERIFY2(!page.contains(part), qPrintable(part));
}

void TestTextsPage::everySampleHasItsOwnAnchor()
{
    const QString page = textspage::pageHtml(
            {{QStringLiteral("tardor.dtd"), dictationOf(QStringLiteral("La tardor"), {}, {})},
             {QStringLiteral("gat.dtd"), dictationOf(QStringLiteral("El gat"), {}, {})}});
    const qsizetype link1 = page.indexOf(QLatin1String("<a href=\"#tardor\">La tardor</a>"));
    const qsizetype link2 = page.indexOf(QLatin1String("<a href=\"#gat\">El gat</a>"));
    const qsizetype section1 = page.indexOf(QLatin1String("<section id=\"tardor\">"));
    const qsizetype section2 = page.indexOf(QLatin1String("<section id=\"gat\">"));
    QVERIFY(link1 >= 0 && link2 > link1);
    QVERIFY(section1 > link2 && section2 > section1);
}

void TestTextsPage::builtPageMatchesTheSamples_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("jardi: a picture") << "jardi.dtd"
                                      << QStringList {
                                                 "<li><a href=\"#jardi\">El jardí</a></li>",
                                                 "<section id=\"jardi\">\n<h2>El jardí</h2>",
                                                 "<p><img src=\"jardi.gif\" alt=\"Dibuix: El "
                                                 "jardí\"></p>",
                                                 "<li>Quantes pomes hi ha a l'arbre?</li>",
                                                 "<li>Quin animal s'arrossega per l'herba?</li>",
                                                 "Fitxer del dictat: jardi.dtd",
                                         };
    QTest::newRow("tardor: a reading text")
            << "tardor.dtd"
            << QStringList {
                       "<li><a href=\"#tardor\">La tardor</a></li>",
                       "<section id=\"tardor\">\n<h2>La tardor</h2>",
                       "<p>Ha arribat la tardor i la Núria ja ha començat el curs al col·legi.</p>",
                       "<p>Al vespre van menjar castanyes torrades i moniatos al forn.</p>",
                       "<li>Quina estació de l'any ha arribat?</li>",
                       "<li>T'agraden més les castanyes o el raïm?</li>",
                       "Fitxer del dictat: tardor.dtd",
               };
    QTest::newRow("vaixell: a picture")
            << "vaixell.dtd"
            << QStringList {
                       "<li><a href=\"#vaixell\">El vaixell de vela</a></li>",
                       "<section id=\"vaixell\">\n<h2>El vaixell de vela</h2>",
                       "<p><img src=\"vaixell.jpg\" alt=\"Dibuix: El vaixell de vela\"></p>",
                       "<li>Què navega pel mar?</li>",
                       "<li>Què hi ha a dalt de la roca?</li>",
                       "Fitxer del dictat: vaixell.dtd",
               };
}

// The page built beside the executable, against what the shipped samples hold, written out.
void TestTextsPage::builtPageMatchesTheSamples()
{
    QFETCH(QString, sample);
    QFETCH(QStringList, shown);

    const QDir built(qEnvironmentVariable("LUVANA_SAMPLES_BUILD"));
    const QDir source(qEnvironmentVariable("LUVANA_SOURCE_DIR") + QStringLiteral("/assets/samples"));
    const QStringList samples = source.entryList({QStringLiteral("*.dtd")}, QDir::Files);
    QVERIFY2(samples.contains(sample), qPrintable(sample));
    QVERIFY2(built.exists(sample), qPrintable(sample));

    QFile page(built.filePath(QStringLiteral("textos.html")));
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName()));
    const QString html = QString::fromUtf8(page.readAll());
    QCOMPARE(html.count(QLatin1String("<section id=")), samples.size());
    for (const QString &part : shown)
        QVERIFY2(html.contains(part), qPrintable(part));
}

void TestTextsPage::command5OpensThePageOncePerClick()
{
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    auto restore = qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });

    WindowUnderTest w;
    QVERIFY(w.exposed());
    const QUrl page = QUrl::fromLocalFile(
            QDir(samplesFolder()).filePath(QStringLiteral("textos.html")));
    w.click("Command5");
    QCOMPARE(catcher.opened, QList<QUrl> {page});
    w.click("Command5");
    QCOMPARE(catcher.opened, (QList<QUrl> {page, page}));
}

QTEST_MAIN(TestTextsPage)
#include "tst_textspage.moc"
