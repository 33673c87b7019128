// SPDX-License-Identifier: GPL-3.0-or-later

// A long session through the real window: 10,000 clicks of a pupil and a teacher taking turns
// (new attempts, plays, the authoring layout, picture choices, saves, the recorder strip, the
// feedback panel), over two dictations, one with a picture. Every round must do what it did
// the first time, and under the address sanitizer LeakSanitizer checks at exit that nothing
// was lost. What the session costs in memory (its peak may not grow by more than 5 % after a
// warm-up) is measured by bench/bench_soak, outside the test command.
#include "sound/mediacontrol/mediacontrol.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

using testfiles::writeFile;

namespace {

constexpr int kClicks = 10000;

bool copyFile(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to);
}

QString corpusFile(const char *name)
{
    return QDir(qEnvironmentVariable("LUVANA_SOURCE_DIR"))
            .filePath(QStringLiteral("tests/data/bad-input/") + QString::fromLatin1(name));
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void tenThousandClicks();
};

void TestSoak::tenThousandClicks()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString text = folder.filePath(QStringLiteral("text.dtd"));
    const QString picture = folder.filePath(QStringLiteral("picture.dtd"));
    const QString saved = folder.filePath(QStringLiteral("saved.dtd"));
    QVERIFY(writeFile(text,
                      "Text\r\nEl gat dorm.\r\nAl sol.\r\nx\r\nu\r\nd\r\nt\r\nq\r\nc\r\ns\r\n"
                      "s\r\nv\r\nn\r\n"));
    QVERIFY(writeFile(picture,
                      "Imatge\r\ngood.jpg\r\nx\r\nu\r\nd\r\nt\r\n\r\n\r\n\r\n\r\n\r\n\r\n"));
    for (const char *name : {"good.jpg", "good.gif"})
        QVERIFY(copyFile(corpusFile(name), folder.filePath(QString::fromLatin1(name))));
    // Every item's clip of both dictations; those of the saved one are missing on purpose.
    for (int item = 1; item <= 10; ++item) {
        for (const QString &stem : {QStringLiteral("text-"), QStringLiteral("picture-")})
            QVERIFY(copyFile(
                    corpusFile("good.wav"),
                    folder.filePath(stem + QString::number(item) + QStringLiteral(".wav"))));
    }

    WindowUnderTest w;
    QVERIFY(w.exposed());
    auto *codi = w.get<QLineEdit>("codi");
    // A point of the hide spot that no control covers.
    const QPoint hideSpot(38, 26);

    int clicks = 0;
    QElapsedTimer clock;
    clock.start();
    const auto click = [&](const char *name, std::optional<QPoint> at = std::nullopt) {
        w.click(name, at);
        ++clicks;
    };

    int playing = 0;
    for (int round = 0; clicks < kClicks; ++round) {
        // The harness's own record of the dialogs would grow with every round.
        w.requests.clear();
        // A pupil: a new attempt, every play button, the feedback panel if it came up.
        w.answers.enqueue(round % 2 ? picture : text);
        click("Command1");
        QCOMPARE(w->nfrases, round % 2 ? 4 : 10);
        for (int item = 1; item <= 10; ++item) {
            const QByteArray button = "wav" + QByteArray::number(item);
            click(button.constData());
            if (w.get<MediaControl>("MMControl1")->mode() == MediaControl::Mode::Playing)
                ++playing;
        }
        QCoreApplication::processEvents();
        if (w.get("Picture3")->isVisible())
            click("Picture3", QPoint(5, 5));
        else
            click("Label3");

        // A teacher: the authoring layout, a picture, a save, the recorder strip.
        w.doubleClick("Label7");
        ++clicks;
        QVERIFY(w.get("dib")->isVisible());
        w.answers.enqueue(folder.filePath(round % 2 ? QStringLiteral("good.gif")
                                                    : QStringLiteral("good.jpg")));
        click("dib");
        codi->setFocus();
        QTest::keyClicks(codi, QStringLiteral("kub"));
        w.answers.enqueue(saved);
        click("Command2");
        QCOMPARE(w->arxiu, saved);
        QVERIFY(codi->text().isEmpty());
        click("wav3");
        click("Command4");
        click("Label4", hideSpot);
        QVERIFY(w.get("MMControl1")->isHidden());
    }
    QVERIFY(QFile::exists(saved));

    qInfo("%d clicks in %lld ms; %d clips started playing", clicks, clock.elapsed(), playing);
}

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
