// SPDX-License-Identifier: GPL-3.0-or-later
// Item-1 pictures as Image1 shows them: a photo stands the way it was taken, whatever turn the
// camera recorded in the file, and a large photo is held at the pixels Image1 covers, not at
// the size it was taken at. What is checked is what the box paints, quarter by quarter.
#include "app/widgets.h"
#include "support/exifjpeg.h"
#include "support/pictures.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

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

// What the box paints, read back at the middle of each quarter; '?' for no clear colour.
QString shownQuarters(ImageBox *box)
{
    const QImage seen = box->grab().toImage();
    QString letters;
    for (int quarter = 0; quarter < 4; ++quarter) {
        const QColor pixel = seen.pixelColor((1 + quarter % 2 * 2) * seen.width() / 4,
                                             (1 + quarter / 2 * 2) * seen.height() / 4);
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
    void largePhotoHeldAtTheShownSize();
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

    auto *image1 = w.get<ImageBox>("Image1");
    QCOMPARE(shownQuarters(image1), QStringLiteral("rgby"));
    QCOMPARE(image1->image().size(), shownPixels(image1));

    // A larger box gets the photo decoded again for it, not the smaller copy stretched.
    image1->resize(image1->size() * 3 / 2);
    QCOMPARE(shownQuarters(image1), QStringLiteral("rgby"));
    QCOMPARE(image1->image().size(), shownPixels(image1));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
