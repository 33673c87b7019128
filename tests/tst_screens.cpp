// SPDX-License-Identifier: GPL-3.0-or-later
// The window on real X screens of the sizes schools have, maximized under a window manager as
// the program opens it (support/x-session.sh starts both; tests/CMakeLists.txt has the table of
// screens). On each the whole layout, the feedback panel and its message included, must lie in
// the client area, and clicks must land on what is drawn there. Screens that hold more than the
// layout (LUVANA_LAYOUT=grown) show it larger, filling the window, as on a whiteboard, and their
// normal window at its design size; smaller ones show it at one smaller factor.
#include "app/controltable.h"
#include "app/layoutscale.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "support/fakesound.h"
#include "support/windowtest.h"

#include <QLabel>
#include <QProcess>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <string_view>

class TestScreens : public QObject
{
    Q_OBJECT
private slots:
    void wholeLayoutInTheClientArea();
    void exerciseDoneOnThisScreen();
    void followsTheWorkArea();
    void leavesFullScreenWholeAfterTheScreenChanged_data();
    void leavesFullScreenWholeAfterTheScreenChanged();
};

namespace {

bool grown()
{
    return qgetenv("LUVANA_LAYOUT") == "grown";
}

// The window as the program opens it, once the window manager has framed and maximized it.
void showMaximized(WindowUnderTest &w)
{
    // WindowUnderTest shows the window at its normal size: let it settle in its frame first.
    QTRY_VERIFY(w->frameGeometry() != w->geometry());
    QTest::qWait(200);
    w->showMaximized();
    QTRY_VERIFY(w->windowState() & Qt::WindowMaximized);
    QTRY_VERIFY(w->frameGeometry() != w->geometry());
    QTest::qWait(200); // the window manager's last configure, if any, arrives
}

// The client area within the screen's free area, to a pixel of rounding on high-DPI screens.
// (Qt's frame geometry is no measure: it keeps the margins of the frame the window had before
// it was maximized.)
bool onFreeArea(const WindowUnderTest &w)
{
    const QRect client(w->mapToGlobal(QPoint(0, 0)), w->size());
    return w->screen()->availableGeometry().adjusted(-1, -1, 1, 1).contains(client);
}

QRect inWindow(const WindowUnderTest &w, const QWidget *control)
{
    return QRect(control->mapTo(w.window(), QPoint(0, 0)), control->size());
}

// Every control inside the client area, the window on its screen's free area, each control at
// its design rectangle times one factor from one origin (to a pixel of rounding), the layout no
// smaller than the screen needs. A screen that holds the layout is filled by the layout in sight,
// down to the bottom bar, centred across, and the feedback panel stands whole wherever it fits;
// a smaller one gets the whole layout, panel included, from the corner.
void checkLayout(const WindowUnderTest &w)
{
    const QRect client = w->rect();
    QVERIFY2(onFreeArea(w), "the window on the screen's free area");
    const ControlEntry &lowest = kControls[entryIndex(grown() ? "Picture1" : "Picture3")];
    const QRect measured = inWindow(w, w.get(lowest.name));
    const qreal scale = qreal(measured.bottom() + 1) / (pixelRect(lowest).bottom() + 1);
    const qreal left = measured.x() - pixelRect(lowest).x() * scale;
    for (const auto &entry : kControls) {
        QWidget *control = w.get(entry.name);
        QVERIFY2(client.contains(inWindow(w, control)), entry.name);
        if (grown() && entry.name == std::string_view("Picture3")) {
            QVERIFY2(!inWindow(w, control).intersects(inWindow(w, w.get("Picture1"))),
                     "the panel leaves the grade and the bottom bar's buttons in sight");
            continue;
        }
        const QRect design = pixelRect(entry);
        const qreal shift = entry.container ? 0 : left;
        const auto near = [scale](qreal pixels, int designPixels) {
            return std::abs(pixels - designPixels * scale) <= 1.5;
        };
        QVERIFY2(near(control->x() - shift, design.x()) && near(control->y(), design.y())
                         && near(control->width(), design.width())
                         && near(control->height(), design.height()),
                 entry.name);
    }
    QVERIFY2(grown() ? scale > 1 : scale < 1, "the layout is drawn at the window's size");
    // What fills the window, across or down, allowing for the frame's bottom edge, which a
    // maximized window may lose.
    const qreal board = std::min(qreal(client.width()) / layoutSize(kLayoutTwips, 1).width(),
                                 qreal(client.height() + 10) / (pixelRect(lowest).bottom() + 1));
    QVERIFY2(scale > board * 0.98,
             qPrintable(QStringLiteral("factor %1, the board's %2").arg(scale).arg(board)));
    const int across = layoutSize(kLayoutTwips, scale).width();
    QVERIFY2(grown() ? std::abs(2 * left + across - client.width()) <= 2 : std::abs(left) <= 1.5,
             "centred across on a screen that holds the layout, in the corner on a smaller one");
    QVERIFY(std::abs(w.get("Label5")->font().pointSizeF() - 12 * scale) < 0.1);
}

void checkDesignSize(const WindowUnderTest &w)
{
    for (const auto &entry : kControls)
        QCOMPARE(w.get(entry.name)->geometry(), pixelRect(entry));
}

} // namespace

void TestScreens::wholeLayoutInTheClientArea()
{
    WindowUnderTest w;
    QVERIFY(w.exposed());
    if (grown())
        checkDesignSize(w);
    showMaximized(w);
    checkLayout(w);
    if (!grown())
        return;

    // The whiteboard's full screen, F11 in and Escape out, then the normal window as it was.
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    QTest::keyClick(w.get("nom"), Qt::Key_F11);
    QTRY_VERIFY(w->windowState() & Qt::WindowFullScreen);
    // The window manager takes its time on a loaded machine.
    QTRY_COMPARE_WITH_TIMEOUT(w->size(), w->screen()->size(), 20000);
    checkLayout(w);
    QTest::keyClick(w.get("nom"), Qt::Key_Escape);
    QTRY_VERIFY(!(w->windowState() & Qt::WindowFullScreen));
    w->showNormal();
    QTRY_VERIFY(!(w->windowState() & Qt::WindowMaximized));
    QTRY_COMPARE(w.get("Picture3")->geometry(), pixelRect(kControls[entryIndex("Picture3")]));
    checkDesignSize(w);
}

void TestScreens::exerciseDoneOnThisScreen()
{
    WindowUnderTest w;
    // A press counts where its sound starts: pretend devices stand in for a sound server.
    soundclips::FakeSoundSystem *sound = nullptr;
    w.get<MediaControl>("MMControl1")->setSoundSystemFactory(soundclips::fake(sound));
    QVERIFY(w.exposed());
    showMaximized(w);
    const QDir samples(qEnvironmentVariable("LUVANA_SOURCE_DIR")
                       + QStringLiteral("/assets/samples"));
    load(w, samples.absoluteFilePath(QStringLiteral("jardi.dtd")));
    QTRY_COMPARE(w->nfrases, 7);

    // Each play button where it is drawn; the clicks count as plays.
    for (int item = 1; item <= 7; ++item) {
        const QByteArray name = "wav" + QByteArray::number(item);
        QCOMPARE(w.controlAt(w.windowPoint(name.constData())), QString::fromLatin1(name));
        w.click(name.constData());
        QCOMPARE(w->escoltes, item);
    }
    auto *panel = w.get("Picture3");
    auto *message = w.get<QLabel>("Label5");
    QTRY_VERIFY(panel->isVisible());
    QVERIFY(!message->text().trimmed().isEmpty());
    // The whole message: its wrapped lines within the label, the label within the window.
    const QRect text = message->fontMetrics().boundingRect(
            message->rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, message->text());
    QVERIFY2(message->rect().contains(text), qPrintable(message->text()));
    QVERIFY(w->rect().contains(inWindow(w, message)));

    // The hide spot's strip right of the title bar hides the recorder.
    const QRect spot = w.get("Label4")->geometry();
    const QPoint strip((w.get("Picture2")->geometry().right() + spot.right()) / 2 + 1,
                       spot.center().y());
    QCOMPARE(w.controlAt(strip), QStringLiteral("Label4"));
    QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, strip);
    QTRY_VERIFY(w.get("MMControl1")->isHidden());

    w.click("Picture3");
    QTRY_VERIFY(panel->isHidden());
}

void TestScreens::followsTheWorkArea()
{
    WindowUnderTest w;
    QVERIFY(w.exposed());
    showMaximized(w);
    const int before = w->screen()->availableGeometry().height();
    QProcess panel;
    panel.start(qEnvironmentVariable("LUVANA_PANEL_PROGRAM"), {QStringLiteral("120")});
    QVERIFY(panel.waitForStarted());
    QTRY_VERIFY(w->screen()->availableGeometry().height() < before);
    QTRY_VERIFY(onFreeArea(w));
    QTRY_VERIFY(w->rect().contains(inWindow(w, w.get("Picture3"))));
    panel.kill();
    panel.waitForFinished();
}

void TestScreens::leavesFullScreenWholeAfterTheScreenChanged_data()
{
    QTest::addColumn<Qt::WindowState>("before");
    QTest::newRow("maximized, as the program opens") << Qt::WindowMaximized;
    // Near the right edge, which a smaller screen no longer reaches.
    QTest::newRow("normal, at the right") << Qt::WindowNoState;
}

void TestScreens::leavesFullScreenWholeAfterTheScreenChanged()
{
    QFETCH(Qt::WindowState, before);
    // A board's screen that becomes a netbook's while the window is full screen, as when a
    // laptop is unplugged from the board.
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen->size() != QSize(1920, 1080) || screen->devicePixelRatio() != 1)
        QSKIP("the board's screen is 1920 x 1080 pixels");
    const QString screenSize = qEnvironmentVariable("LUVANA_SCREENSIZE_PROGRAM");
    const auto resize = [&](const char *size) {
        return QProcess::execute(screenSize, {QString::fromLatin1(size)}) == 0;
    };
    WindowUnderTest w;
    QVERIFY(w.exposed());
    if (before == Qt::WindowMaximized) {
        showMaximized(w);
    } else {
        QTRY_VERIFY(w->frameGeometry() != w->geometry());
        w->move(1100, 200);
        QTRY_COMPARE(w->pos(), QPoint(1100, 200));
    }
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    QTest::keyClick(w.get("nom"), Qt::Key_F11);
    QTRY_COMPARE_WITH_TIMEOUT(w->size(), w->screen()->size(), 20000);
    QVERIFY(resize("1024x600"));
    QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(1024, 600), 20000);

    QTest::keyClick(w.get("nom"), Qt::Key_F11);
    // As before full screen, and whole on the screen it is on now.
    QTRY_COMPARE_WITH_TIMEOUT(w->windowState(), Qt::WindowStates(before), 20000);
    const auto where = [&w] {
        QString said;
        QDebug(&said) << "window" << w->geometry() << "frame" << w->frameGeometry() << "free"
                      << w->screen()->availableGeometry();
        return said.toLocal8Bit();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(
            w->frameGeometry() != w->geometry() && onFreeArea(w)
                    && w->screen()->availableGeometry().contains(w->frameGeometry()),
            where().constData(), 20000);
    for (const auto &entry : kControls)
        QVERIFY2(w->rect().contains(inWindow(w, w.get(entry.name))), entry.name);
    QVERIFY(resize("1920x1080"));
    QTRY_COMPARE(QGuiApplication::primaryScreen()->size(), QSize(1920, 1080));
}

QTEST_MAIN(TestScreens)
#include "tst_screens.moc"
