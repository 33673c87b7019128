// SPDX-License-Identifier: GPL-3.0-or-later
// Item-1 pictures as Image1 shows them: a photo stands the way it was taken, whatever turn the
// camera recorded in the file, keeps its proportions unless it was drawn for the box, and a large
// photo is held at the pixels it covers, not at the size it was taken at. What is checked is what
// the box paints.
#include "app/widgets.h"
#include "support/exifjpeg.h"
#include "support/pictures.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QDebug>
#include <QPainter>
#include <QTemporaryDir>
#include <QtMath>

using namespace pictures;
using namespace testfiles;

namespace {

// Quarters are named by colour letters, in the order top left, top right, bottom left, bottom
// right.
const QString kLetters = QStringLiteral("rgby");
const QColor kColours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};

QImage quarters(QSize size, const QString &letters)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const QSize half = size / 2;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const QPoint corner(quarter % 2 * half.width(), quarter / 2 * half.height());
        painter.fillRect(QRect(corner, half), kColours[kLetters.indexOf(letters.at(quarter))]);
    }
    return image;
}

// What the box paints, read back at the middle of each quarter of the picture's place in it
// (the whole box unless given); '?' for no clear colour.
QString shownQuarters(ImageBox *box, QSizeF placeInBox = QSizeF(1, 1))
{
    const QImage seen = box->grab().toImage();
    const QSizeF place(seen.width() * placeInBox.width(), seen.height() * placeInBox.height());
    const QPointF corner((seen.width() - place.width()) / 2, (seen.height() - place.height()) / 2);
    QString letters;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const QPointF middle = corner
                + QPointF((1 + quarter % 2 * 2) * place.width() / 4,
                          (1 + quarter / 2 * 2) * place.height() / 4);
        const QColor pixel = seen.pixelColor(middle.toPoint());
        QChar letter = u'?';
        for (int c = 0; c < 4; ++c) {
            if (closeTo(pixel, kColours[c]))
                letter = kLetters.at(c);
        }
        letters += letter;
    }
    return letters;
}

QSize shownPixels(const QWidget *box)
{
    return QSize(qCeil(box->width() * box->devicePixelRatio()),
                 qCeil(box->height() * box->devicePixelRatio()));
}

// The part of the box painted in a colour, across its middle row and down its middle column.
QRect paintedIn(const QImage &seen, QColor colour)
{
    QRect painted;
    const auto look = [&](QPoint at) {
        if (closeTo(seen.pixelColor(at), colour))
            painted |= QRect(at, QSize(1, 1));
    };
    for (int x = 0; x < seen.width(); ++x)
        look(QPoint(x, seen.height() / 2));
    for (int y = 0; y < seen.height(); ++y)
        look(QPoint(seen.width() / 2, y));
    return painted;
}

// Image1 showing the photo, reached the way a pupil or a teacher reaches it.
void showPhoto(WindowUnderTest &w, const QString &road, const QTemporaryDir &dir)
{
    if (road == QLatin1String("load")) {
        const QString dictation = dir.filePath(QStringLiteral("foto.dtd"));
        QVERIFY(writeFile(dictation, crLfLines({"La foto", "foto.jpg", "x", "Qu\xe8 hi veus?"})));
        load(w, dictation);
    } else {
        w.doubleClick("Label7");
        w.answers.enqueue(dir.filePath(QStringLiteral("foto.jpg")));
        w.click("dib");
    }
    QVERIFY(w.get("Text1")->isHidden());
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void upright_data();
    void upright();
    void keepsItsShape_data();
    void keepsItsShape();
    void largePhotoHeldAtTheShownSize();
    void hugePhotoDecodedAtTheShownSize_data();
    void hugePhotoDecodedAtTheShownSize();
};

void TestPictures::upright_data()
{
    // The scene upright is "rgby"; the pixels as stored are laid out so that the orientation
    // tag of the row turns them back to it. From 5 on they are stored standing on their side.
    QTest::addColumn<QString>("road");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QString>("stored");

    const struct
    {
        int orientation;
        const char *stored;
        const char *what;
    } kStored[] = {
            {1, "rgby", "as taken"},
            {2, "gryb", "mirrored"},
            {3, "ybgr", "upside down"},
            {4, "byrg", "mirrored upside down"},
            {5, "rbgy", "mirrored on its side"},
            {6, "gyrb", "on its right side"},
            {7, "ygbr", "mirrored on its other side"},
            {8, "bryg", "on its left side"},
    };
    for (const char *road : {"load", "dib"}) {
        for (const auto &row : kStored) {
            QTest::addRow("%s, %d %s", road, row.orientation, row.what)
                    << QString::fromLatin1(road) << row.orientation
                    << QString::fromLatin1(row.stored);
        }
    }
}

void TestPictures::upright()
{
    QFETCH(QString, road);
    QFETCH(int, orientation);
    QFETCH(QString, stored);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QSize upright(160, 120);
    const QSize storedSize = orientation >= 5 ? upright.transposed() : upright;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("foto.jpg")),
                      jpegWithOrientation(quarters(storedSize, stored), orientation)));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    showPhoto(w, road, dir);
    if (QTest::currentTestFailed())
        return;

    auto *image1 = w.get<ImageBox>("Image1");
    QCOMPARE(shownQuarters(image1), QStringLiteral("rgby"));
    QCOMPARE(image1->image().size(), upright);
}

void TestPictures::keepsItsShape_data()
{
    // Image1 is 6135 x 4005 twips, 1.53 times as wide as it is high.
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("fills");

    QTest::newRow("drawn for the box, as the samples are") << QSize(818, 534) << true;
    QTest::newRow("4 % wider than the box") << QSize(637, 400) << true;
    QTest::newRow("6 % wider than the box") << QSize(650, 400) << false;
    QTest::newRow("4:3 photo") << QSize(640, 480) << false;
    QTest::newRow("portrait photo") << QSize(300, 400) << false;
    QTest::newRow("panorama") << QSize(900, 300) << false;
}

void TestPictures::keepsItsShape()
{
    QFETCH(QSize, size);
    QFETCH(bool, fills);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("foto.jpg")), jpeg(size, Qt::blue)));
    WindowUnderTest w;
    QVERIFY(w.exposed());
    showPhoto(w, QStringLiteral("load"), dir);
    if (QTest::currentTestFailed())
        return;

    const QImage seen = w.get<ImageBox>("Image1")->grab().toImage();
    QRect expected = seen.rect();
    if (!fills) {
        expected.setSize(size.scaled(seen.size(), Qt::KeepAspectRatio));
        expected.moveCenter(seen.rect().center());
    }
    const QRect painted = paintedIn(seen, Qt::blue);
    // Smoothing blends the picture's edge with the window behind it by a pixel or so.
    const QMargins edge(2, 2, 2, 2);
    QVERIFY2(painted.contains(expected - edge) && (expected + edge).contains(painted),
             qPrintable(QDebug::toString(painted) + QDebug::toString(seen.size())));
}

void TestPictures::largePhotoHeldAtTheShownSize()
{
    // A phone photo held in portrait: 4000 x 3000 as stored, turned by its Exif tag.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("foto.jpg")),
                      jpegWithOrientation(quarters(QSize(4000, 3000), QStringLiteral("gyrb")), 6)));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    showPhoto(w, QStringLiteral("load"), dir);
    if (QTest::currentTestFailed())
        return;

    // Upright and in its own proportions (3:4 in a 6135 x 4005 twips box), decoded at the
    // pixels it covers.
    auto *image1 = w.get<ImageBox>("Image1");
    const QSize upright(3000, 4000);
    const QSizeF placeInBox(0.75 * 4005 / 6135, 1);
    QCOMPARE(shownQuarters(image1, placeInBox), QStringLiteral("rgby"));
    QCOMPARE(image1->image().size(), upright.scaled(shownPixels(image1), Qt::KeepAspectRatio));

    // A larger box gets the photo decoded again for it, not the smaller copy stretched.
    image1->resize(image1->size() * 3 / 2);
    QCOMPARE(shownQuarters(image1, placeInBox), QStringLiteral("rgby"));
    QCOMPARE(image1->image().size(), upright.scaled(shownPixels(image1), Qt::KeepAspectRatio));
}

void TestPictures::hugePhotoDecodedAtTheShownSize_data()
{
    QTest::addColumn<QString>("road");
    QTest::addColumn<QSize>("size");
    // More pixels than Qt allows a decoded picture, as phones take them.
    for (const char *road : {"load", "dib"}) {
        QTest::addRow("%s, 8200 x 8200 (67 megapixels)", road) << road << QSize(8200, 8200);
        QTest::addRow("%s, 12000 x 9000 (108 megapixels)", road) << road << QSize(12000, 9000);
    }
}

void TestPictures::hugePhotoDecodedAtTheShownSize()
{
    QFETCH(QString, road);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(writeFile(dir.filePath(QStringLiteral("foto.jpg")), greyJpeg(size)));

    WindowUnderTest w;
    QVERIFY(w.exposed());
    showPhoto(w, road, dir);
    if (QTest::currentTestFailed())
        return;
    auto *image1 = w.get<ImageBox>("Image1");
    QCOMPARE(image1->image().size(), size.scaled(shownPixels(image1), Qt::KeepAspectRatio));
    const QImage seen = image1->grab().toImage();
    QVERIFY(closeTo(seen.pixelColor(seen.rect().center()), QColor(128, 128, 128)));
    QCOMPARE(w->windowTitle(), QStringLiteral("Luvana"));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
