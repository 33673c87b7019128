// SPDX-License-Identifier: GPL-3.0-or-later

// The window as a user first meets it: every control where the table puts it, in front of
// or behind its neighbours as designed, the start-up state, and the focus order; and the
// layout's scale on screens too small to hold it.
#include "app/application.h"
#include "app/artwork.h"
#include "app/artworkbaked.h"
#include "app/artworklist.h"
#include "app/artworkrender.h"
#include "app/controltable.h"
#include "app/form1.h"
#include "app/layoutscale.h"
#include "app/widgets.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/messages.h"
#include "support/windowtest.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSvgRenderer>
#include <QTimer>

namespace {

// Where each control stands, in pixels from its container's client area (the design's twips
// divided by 15), written out rather than computed from the control table.
struct Place
{
    const char *name;
    const char *container; // nullptr: the window
    QRect rect;
};
const Place kPlaces[] = {
        {"Label4", nullptr, QRect(722, 94, 53, 43)},
        {"Label1", nullptr, QRect(20, 12, 325, 43)},
        {"Label6", nullptr, QRect(22, 10, 263, 43)},
        {"Label3", nullptr, QRect(24, 138, 409, 27)},
        {"Label7", nullptr, QRect(438, 138, 307, 27)},
        {"Label8", nullptr, QRect(216, 68, 45, 21)},
        {"avis", nullptr, QRect(420, 8, 325, 84)},
        {"Image1", nullptr, QRect(24, 166, 409, 267)},
        {"Text1", nullptr, QRect(24, 166, 412, 267)},
        {"Text2", nullptr, QRect(438, 166, 282, 27)},
        {"Text3", nullptr, QRect(438, 196, 282, 27)},
        {"Text4", nullptr, QRect(438, 226, 282, 27)},
        {"Text5", nullptr, QRect(438, 256, 282, 27)},
        {"Text6", nullptr, QRect(438, 286, 282, 27)},
        {"Text7", nullptr, QRect(438, 316, 282, 27)},
        {"Text8", nullptr, QRect(438, 346, 282, 27)},
        {"Text9", nullptr, QRect(438, 376, 282, 27)},
        {"Text10", nullptr, QRect(438, 406, 282, 27)},
        {"Picture1", nullptr, QRect(22, 436, 723, 35)},
        {"Picture2", nullptr, QRect(22, 100, 723, 35)},
        {"Picture3", nullptr, QRect(20, 498, 699, 299)},
        {"Picture4", nullptr, QRect(584, 36, 130, 38)},
        {"MMControl1", nullptr, QRect(436, 102, 278, 33)},
        {"wav1", nullptr, QRect(412, 138, 21, 27)},
        {"Command4", nullptr, QRect(680, 104, 33, 29)},
        {"wav2", nullptr, QRect(724, 166, 21, 27)},
        {"wav3", nullptr, QRect(724, 198, 21, 27)},
        {"wav4", nullptr, QRect(724, 228, 21, 27)},
        {"wav5", nullptr, QRect(724, 258, 21, 27)},
        {"wav6", nullptr, QRect(724, 288, 21, 27)},
        {"wav7", nullptr, QRect(724, 318, 21, 27)},
        {"wav8", nullptr, QRect(724, 348, 21, 27)},
        {"wav9", nullptr, QRect(724, 378, 21, 27)},
        {"wav10", nullptr, QRect(724, 408, 21, 27)},
        {"Command3", nullptr, QRect(714, 104, 31, 29)},
        {"Command5", nullptr, QRect(24, 70, 165, 19)},
        {"nom", nullptr, QRect(270, 58, 99, 29)},
        {"lent", nullptr, QRect(378, 56, 33, 33)},
        {"titol", "Picture2", QRect(0, 6, 645, 23)},
        {"dib", "Picture2", QRect(338, -2, 71, 37)},
        {"Label5", "Picture3", QRect(408, 154, 249, 95)},
        {"Label2", "Picture1", QRect(186, 4, 305, 25)},
        {"Command1", "Picture1", QRect(690, -2, 31, 31)},
        {"Command2", "Picture1", QRect(0, 0, 31, 31)},
        {"codi", "Picture1", QRect(38, 4, 67, 25)},
};

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void dialogsSpeakCatalan();
    void namesAreUniqueAndFound();
    void everyControlInItsContainerAtItsPlace();
    void controlsStayPutWhenTheWindowResizes();
    void layoutScaleForTheFreeArea_data();
    void layoutScaleForTheFreeArea();
    void filledPlacement_data();
    void filledPlacement();
    void takesTheScaleOfItsScreen();
    void startUpState();
    void startUpLooks();
    void frontControlReceivesTheClick_data();
    void frontControlReceivesTheClick();
    void imageSeenOnlyWithText1Hidden();
    void clicksOnPassiveControlsChangeNothing();
    void feedbackPanelDismissedExceptOnItsMessage();
    void tabOrder();
    void everyPictureRenders();
    void bakedPicturesAreTheDrawings_data();
    void bakedPicturesAreTheDrawings();
    void pictureOnlyControlsHaveAccessibleNames();
};

void TestWindow::initTestCase()
{
    setUpApplication(*qApp);
}

void TestWindow::dialogsSpeakCatalan()
{
    // Qt's own dialogs (the file dialogs) read in Catalan like the rest of the window.
    const QString open = QCoreApplication::translate("QFileDialog", "&Open");
    QVERIFY2(open != QStringLiteral("&Open"), qPrintable(open));
    QVERIFY(QCoreApplication::translate("QFileDialog", "File &name:")
            != QStringLiteral("File &name:"));
}

void TestWindow::namesAreUniqueAndFound()
{
    WindowUnderTest w;
    QSet<QString> names;
    for (const ControlEntry &entry : kControls) {
        const QString name = QString::fromLatin1(entry.name);
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
        QCOMPARE(w->findChildren<QWidget *>(name).size(), 1);
    }
    for (const char *name : kTabOrder)
        QVERIFY2(names.contains(QString::fromLatin1(name)), name);
    QVERIFY(w.get<QTimer>("Timer1"));
    QVERIFY(w.dialog());
}

void TestWindow::everyControlInItsContainerAtItsPlace()
{
    WindowUnderTest w;
    QCOMPARE(std::size(kPlaces), std::size(kControls));
    for (const Place &place : kPlaces) {
        QWidget *control = w.get(place.name);
        QVERIFY2(control, place.name);
        QWidget *container = place.container ? w.get(place.container) : w.window();
        QCOMPARE(containerOf(control), container);
        // Measured from the container's client area, inside its border.
        const QPoint clientOrigin = control->parentWidget()->mapTo(container, QPoint(0, 0));
        QCOMPARE(clientOrigin, container->contentsRect().topLeft());
        QCOMPARE(control->geometry(), place.rect);
    }
    QCOMPARE(w.get<PictureBox>("Picture3")->contentsRect(), QRect(2, 2, 695, 295));
    QCOMPARE(w.get<PictureBox>("Picture2")->contentsRect().topLeft(), QPoint(1, 1));
    // The window's own size shows everything, the feedback panel included.
    QVERIFY(w->rect().contains(w.get("Picture3")->geometry()));
}

void TestWindow::controlsStayPutWhenTheWindowResizes()
{
    WindowUnderTest w;
    w->resize(400, 300);
    QTRY_COMPARE(w->size(), QSize(400, 300));
    for (const Place &place : kPlaces)
        QCOMPARE(w.get(place.name)->geometry(), place.rect);
}

void TestWindow::layoutScaleForTheFreeArea_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<qreal>("scale");

    const QMargins frame(1, 24, 1, 6);
    QTest::newRow("layout and frame fit exactly") << QRect(0, 0, 803, 827) << frame << 1.0;
    QTest::newRow("large screen") << QRect(0, 0, 1920, 1050) << frame << 1.0;
    QTest::newRow("a row too short") << QRect(0, 0, 1920, 826) << frame << 796.0 / 797;
    QTest::newRow("laptop above a panel") << QRect(0, 0, 1366, 736) << frame << 706.0 / 797;
    QTest::newRow("narrow, tall") << QRect(0, 0, 602, 1200) << frame << 600.0 / 801;
    QTest::newRow("netbook, no frame") << QRect(0, 0, 1024, 600) << QMargins() << 600.0 / 797;
}

void TestWindow::layoutScaleForTheFreeArea()
{
    QFETCH(QRect, available);
    QFETCH(QMargins, frame);
    QFETCH(qreal, scale);
    QCOMPARE(layoutScale(kLayoutTwips, available, frame), scale);
    // The scaled layout never needs more than the area it was scaled for.
    const QSize needed = layoutSize(kLayoutTwips, scale).grownBy(frame);
    QVERIFY(needed.width() <= available.width() && needed.height() <= available.height());
}

void TestWindow::filledPlacement_data()
{
    QTest::addColumn<QSize>("client");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("left");

    // The layout is 801 x 797 pixels; in sight, down to the bottom bar, 801 x 471.
    QTest::newRow("the design size: nothing moves") << QSize(801, 797) << 1.0 << 0;
    QTest::newRow("board, 1920 x 1080") << QSize(1920, 1080) << 1080.0 / 471 << 41;
    QTest::newRow("maximized on 1920 x 1080") << QSize(1920, 1050) << 1050.0 / 471 << 67;
    QTest::newRow("taller than wide: across") << QSize(1280, 1024) << 1280.0 / 801 << 0;
    QTest::newRow("smaller than the design: whole layout") << QSize(1024, 570) << 570.0 / 797 << 0;
    QTest::newRow("a row too short: whole layout") << QSize(1920, 796) << 796.0 / 797 << 0;
}

void TestWindow::filledPlacement()
{
    QFETCH(QSize, client);
    QFETCH(qreal, scale);
    QFETCH(int, left);
    const LayoutPlacement placement = ::filledPlacement(kLayoutTwips, 7065, client);
    QCOMPARE(placement.scale, scale);
    QCOMPARE(placement.origin, QPoint(left, 0));
    QCOMPARE(kVisibleLayoutHeightTwips, 7065); // the bottom bar's lower edge
}

void TestWindow::takesTheScaleOfItsScreen()
{
    // The offscreen desktop: 1920 x 1080, and a 1024 x 600 screen to its right.
    WindowUnderTest w;
    const QList<QScreen *> screens = QGuiApplication::screens();
    QCOMPARE(screens.size(), 2);
    auto *panel = w.get("Picture3");
    auto *message = w.get("Label5");
    const QFont designFont = message->font();

    w->move(screens.at(1)->geometry().topLeft());
    QTRY_COMPARE(w->screen(), screens.at(1));
    QTRY_VERIFY(panel->geometry().bottom() < w->height());
    const qreal scale = qreal(panel->geometry().bottom() + 1)
            / layoutSize(kLayoutTwips, 1).height();
    QVERIFY2(scale < 0.8, qPrintable(QString::number(scale)));
    QCOMPARE(w->size(), layoutSize(kLayoutTwips, scale));
    QVERIFY(message->font().pointSizeF() < designFont.pointSizeF());

    w->move(screens.at(0)->geometry().topLeft());
    QTRY_COMPARE(w->screen(), screens.at(0));
    for (const Place &place : kPlaces)
        QTRY_COMPARE(w.get(place.name)->geometry(), place.rect);
    QCOMPARE(message->font(), designFont);
}

void TestWindow::startUpState()
{
    WindowUnderTest w;
    QCOMPARE(w->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(w.get<QLabel>("Label1")->text(), QStringLiteral("Luvana"));
    QCOMPARE(w.get<QLabel>("Label6")->text(), QStringLiteral("Luvana"));
    QCOMPARE(w.get<QLabel>("Label2")->text(), QString());
    QCOMPARE(w.get<QLabel>("Label5")->text(), QStringLiteral(" "));
    for (int item = 1; item <= 10; ++item) {
        const QByteArray text = "Text" + QByteArray::number(item);
        const QByteArray wav = "wav" + QByteArray::number(item);
        QWidget *box = w.get(text.constData());
        QVERIFY2(box->isVisible() && box->isEnabled(), text.constData());
        QVERIFY2(w.get(wav.constData())->isVisible(), wav.constData());
    }
    QVERIFY(w.get<QPlainTextEdit>("Text1")->toPlainText().isEmpty());
    for (const char *hidden : {"dib", "Picture4", "Picture3"})
        QVERIFY2(w.get(hidden)->isHidden(), hidden);
    for (const char *shown : {"MMControl1", "Command4", "Command3", "Image1", "Label4"})
        QVERIFY2(w.get(shown)->isVisible(), shown);

    QCOMPARE(w->nfrases, 0);
    QCOMPARE(w->escoltes, 0);
    QCOMPARE(w->nota, 0);
    QCOMPARE(w->acabades, 0);
    QVERIFY(w->arxiu.isEmpty());
    QVERIFY(w->arxiuwav.isEmpty());
    for (int item = 1; item <= 10; ++item)
        QVERIFY(w->frase(item).isEmpty());
    // Start-up configures the media control but gives it no file.
    QVERIFY(w.get<MediaControl>("MMControl1")->fileName().isEmpty());

    auto *timer = w.get<QTimer>("Timer1");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 200);

    auto *codi = w.get<QLineEdit>("codi");
    QVERIFY(codi->text().isEmpty());
    QCOMPARE(codi->echoMode(), QLineEdit::Password);
}

void TestWindow::startUpLooks()
{
    WindowUnderTest w;
    QCOMPARE(w->palette().color(QPalette::Window), QColor(255, 255, 128));
    QVERIFY(!w->windowIcon().isNull());
    QCOMPARE(w.get("Label1")->palette().color(QPalette::WindowText), QColor(192, 0, 192));
    QCOMPARE(w.get("Label2")->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    // What each label paints its text with, whatever role that is.
    const auto textColour = [&](const char *name) {
        QWidget *label = w.get(name);
        return label->palette().color(label->foregroundRole());
    };
    QCOMPARE(textColour("Label7"), QColor(128, 0, 0));
    QCOMPARE(textColour("Label3"), QColor(128, 0, 0));
    QCOMPARE(textColour("Label1"), QColor(192, 0, 192));
    QCOMPARE(textColour("Label2"), QColor(255, 255, 255));
    QCOMPARE(w.get("Label7")->palette().color(w.get("Label7")->backgroundRole()),
             w->palette().color(QPalette::Button));
    // The recorder's bar is a button-face strip, so its clock and buttons show on the black bar.
    QVERIFY(w.get("MMControl1")->autoFillBackground());
    QVERIFY(w.get("Label7")->autoFillBackground());
    QVERIFY(!w.get("Label6")->autoFillBackground());
    QCOMPARE(w.get("Command5")->palette().color(QPalette::Button), QColor(0, 255, 0));
    QCOMPARE(w.get("titol")->palette().color(QPalette::Base), QColor(0, 0, 0));
    QCOMPARE(w.get("titol")->palette().color(QPalette::Text), QColor(255, 255, 255));
    QCOMPARE(w.get("Picture1")->palette().color(QPalette::Window), QColor(0, 0, 0));
    // The bars' black stays on the bars: the code box on the bottom bar is readable.
    const QPalette code = w.get("codi")->palette();
    QVERIFY(code.color(QPalette::Base) != code.color(QPalette::Text));
    QCOMPARE(code.color(QPalette::Base), w->palette().color(QPalette::Base));
    QCOMPARE(w.get("wav5")->palette().color(QPalette::Button), QColor(192, 192, 192));

    // Each font is the designed one or its installed equivalent, at the designed size.
    const QFont title = w.get("Label6")->font();
    QCOMPARE(title.pointSizeF(), 24.0);
    QVERIFY(title.bold());
    QCOMPARE(QFontInfo(title).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(QFontInfo(w.get("Label2")->font()).family(), QStringLiteral("Comic Neue"));
    QCOMPARE(QFontInfo(w.get("nom")->font()).family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(w.get("Text7")->font().pointSizeF(), 9.75);

    auto *discard = w.get<QPushButton>("Command3");
    QCOMPARE(discard->text(), QString(QChar(0x2652)));
    QVERIFY(QFontMetrics(discard->font()).inFontUcs4(0x2652));
    QCOMPARE(w.get<QPushButton>("Command4")->text(), QStringLiteral("oK"));
    QCOMPARE(w.get<QLineEdit>("codi")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
}

void TestWindow::frontControlReceivesTheClick_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("control");
    // Window coordinates in pixels (twips / 15).
    QTest::newRow("discard button over the hide spot") << QPoint(740, 120) << "Command3";
    QTest::newRow("hide spot right of the title bar") << QPoint(760, 120) << "Label4";
    QTest::newRow("hide spot above the title bar") << QPoint(730, 96) << "Label4";
    QTest::newRow("title bar over the hide spot") << QPoint(726, 102) << "Picture2";
    QTest::newRow("keep button over the recorder") << QPoint(700, 120) << "Command4";
    QTest::newRow("recorder over the title box") << QPoint(500, 118) << "MMControl1";
    QTest::newRow("title box left of the recorder") << QPoint(400, 118) << "titol";
    QTest::newRow("first play button over its heading") << QPoint(420, 150) << "wav1";
    QTest::newRow("reading heading") << QPoint(300, 150) << "Label3";
    QTest::newRow("questions heading") << QPoint(600, 150) << "Label7";
    QTest::newRow("text box over the picture") << QPoint(100, 200) << "Text1";
    QTest::newRow("name box") << QPoint(300, 72) << "nom";
    QTest::newRow("front title over back title") << QPoint(40, 30) << "Label6";
    QTest::newRow("grade label on the bottom bar") << QPoint(300, 450) << "Label2";
    QTest::newRow("new attempt button") << QPoint(727, 452) << "Command1";
    QTest::newRow("top of new attempt button cut by the bar") << QPoint(727, 436) << "Picture1";
}

void TestWindow::frontControlReceivesTheClick()
{
    QFETCH(QPoint, point);
    QFETCH(QString, control);
    WindowUnderTest w;
    QCOMPARE(w.controlAt(point), control);
}

void TestWindow::imageSeenOnlyWithText1Hidden()
{
    WindowUnderTest w;
    const QPoint inside(100, 200);
    QCOMPARE(w.controlAt(inside), QStringLiteral("Text1"));
    w.get("Text1")->hide();
    QCOMPARE(w.controlAt(inside), QStringLiteral("Image1"));
    QCOMPARE(w.get("Image1")->size(), QSize(409, 267));
}

void TestWindow::clicksOnPassiveControlsChangeNothing()
{
    WindowUnderTest w;
    const auto visibleControls = [&] {
        QStringList shown;
        for (const ControlEntry &entry : kControls) {
            if (!w.get(entry.name)->isHidden())
                shown << QString::fromLatin1(entry.name);
        }
        return shown;
    };
    const QStringList before = visibleControls();
    for (const char *name :
         {"Label1", "Label3", "Label6", "Label8", "Label2", "Picture1", "Picture2", "Image1"}) {
        w.click(name);
        w.doubleClick(name);
    }
    QCOMPARE(visibleControls(), before);
    QCOMPARE(w->windowTitle(), QStringLiteral("Form1"));
    QCOMPARE(w->escoltes, 0);
    QVERIFY(w.requests.isEmpty());
}

void TestWindow::feedbackPanelDismissedExceptOnItsMessage()
{
    WindowUnderTest w;
    w->nota = 9;
    w->mensaje();
    QVERIFY(w.get("Picture3")->isVisible());
    QCOMPARE(w.get<QLabel>("Label5")->text(), messages::kBest);

    w.click("Label5");
    QVERIFY2(w.get("Picture3")->isVisible(), "a click on the message keeps the panel");
    w.click("Picture3", QPoint(100, 100)); // on the boy
    QVERIFY(w.get("Picture3")->isHidden());

    // Shown again, with the same message, by the next final display.
    w->mensaje();
    QVERIFY(w.get("Picture3")->isVisible());
    w.click("Picture3", QPoint(600, 60)); // the empty part of the bubble
    QVERIFY(w.get("Picture3")->isHidden());
}

void TestWindow::tabOrder()
{
    WindowUnderTest w;
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    const auto owner = [&](QWidget *focused) -> QString {
        for (QWidget *widget = focused; widget; widget = widget->parentWidget()) {
            for (const ControlEntry &entry : kControls) {
                if (widget->objectName() == QLatin1String(entry.name))
                    return widget->objectName();
            }
        }
        return {};
    };
    // From the name box, where a pupil starts typing, round the window once; each stop says
    // what it is to a screen reader.
    const QStringList expected = QStringLiteral("nom lent Text1 Text2 Text3 Text4 Text5 Text6 "
                                                "Text7 Text8 Text9 Text10 Picture1 "
                                                "Command1 Picture2 Command2 titol codi MMControl1 "
                                                "wav1 wav2 wav3 wav4 wav5 wav6 wav7 wav8 wav9 "
                                                "wav10 Command4 Command3 Command5 nom")
                                         .split(u' ');
    QStringList visited {owner(QApplication::focusWidget())};
    for (int step = 0; step < 100 && visited.size() < expected.size(); ++step) {
        QWidget *focused = QApplication::focusWidget();
        QVERIFY2(!QAccessible::queryAccessibleInterface(focused)->text(QAccessible::Name).isEmpty(),
                 qPrintable(visited.last()));
        QTest::keyClick(focused, Qt::Key_Tab);
        const QString now = owner(QApplication::focusWidget());
        if (now != visited.last())
            visited << now;
    }
    QCOMPARE(visited, expected);
}

void TestWindow::everyPictureRenders()
{
    for (const ControlEntry &entry : kControls) {
        for (const char16_t *picture : {entry.picture, entry.downPicture}) {
            if (!picture)
                continue;
            const QString name = QString::fromUtf16(picture);
            QSvgRenderer renderer(artworkPath(name));
            QVERIFY2(renderer.isValid(), qPrintable(name));
            QVERIFY2(pictureSize(name).isValid(), qPrintable(name));
            const QImage image = artwork(name, pictureSize(name), 1).toImage();
            QVERIFY2(image.pixelColor(image.rect().center()).alpha() > 0,
                     qPrintable(name + " draws nothing in its middle"));
        }
    }
    for (const char *icon : {"icon.svg", "icon-16.svg"})
        QVERIFY(QSvgRenderer(artworkPath(QString::fromLatin1(icon))).isValid());
}

// The first frame's pictures come as pixels from the build: they must be there for every usual
// ratio, and be exactly what the drawings give, or the window would show stale artwork. Other
// ratios are drawn from the SVG.
void TestWindow::bakedPicturesAreTheDrawings_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<bool>("baked");

    for (const ArtworkPicture &picture : kArtworkPictures) {
        if (!picture.inFirstFrame)
            continue;
        const QString name = QString::fromUtf16(picture.name);
        for (const int ratio : kBakedRatios)
            QTest::addRow("%s at %dx", qPrintable(name), ratio) << name << qreal(ratio) << true;
        // A screen too small for the layout (which leaves the window's icon as it is), and a
        // high-DPI one.
        if (!name.startsWith(u"icon"))
            QTest::addRow("%s at 0.72x", qPrintable(name)) << name << 0.72 << false;
        QTest::addRow("%s at 1.5x", qPrintable(name)) << name << 1.5 << false;
    }
}

void TestWindow::bakedPicturesAreTheDrawings()
{
    QFETCH(QString, name);
    QFETCH(qreal, ratio);
    QFETCH(bool, baked);

    const QSize size = (QSizeF(pictureSize(name)) * ratio).toSize();
    const QImage drawn = renderSvg(artworkPath(name), size);
    const BakedArtwork *found = nullptr;
    for (int i = 0; i < kBakedArtworkCount; ++i) {
        if (name == QStringView(kBakedArtwork[i].name) && kBakedArtwork[i].ratio == ratio)
            found = &kBakedArtwork[i];
    }
    QCOMPARE(found != nullptr, baked);
    if (found) {
        const QImage pixels(reinterpret_cast<const uchar *>(found->pixels), found->width,
                            found->height, QImage::Format_ARGB32_Premultiplied);
        QCOMPARE(pixels, drawn);
    }
    const QPixmap shown = artwork(name, pictureSize(name), ratio);
    QCOMPARE(shown.devicePixelRatio(), ratio);
    QImage shownImage = shown.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    shownImage.setDevicePixelRatio(1);
    if (baked) {
        QCOMPARE(shownImage, drawn);
        return;
    }
    // Reduced from a larger drawing: as sharp as the drawing, to a few levels of each colour.
    QCOMPARE(shownImage.size(), drawn.size());
    qint64 difference = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = shownImage.pixel(x, y);
            const QRgb b = drawn.pixel(x, y);
            difference += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b))
                    + std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b));
        }
    }
    const double perChannel = double(difference) / (4.0 * drawn.width() * drawn.height());
    QVERIFY2(perChannel < 4, qPrintable(QString::number(perChannel)));
}

void TestWindow::pictureOnlyControlsHaveAccessibleNames()
{
    WindowUnderTest w;
    QCOMPARE(w.get("wav3")->accessibleName(), QStringLiteral("Escolta la frase 3"));
    QCOMPARE(w.get("wav10")->accessibleName(), QStringLiteral("Escolta la frase 10"));
    for (const ControlEntry &entry : kControls) {
        const bool pictureOnly = entry.kind == ControlKind::PictureButton;
        const bool noCaption = entry.kind == ControlKind::Label
                && QStringView(entry.text).trimmed().isEmpty();
        if (pictureOnly || noCaption || entry.kind == ControlKind::TextBox)
            QVERIFY2(!w.get(entry.name)->accessibleName().isEmpty(), entry.name);
    }
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
