// SPDX-License-Identifier: GPL-3.0-or-later
// What a pupil who does not use the mouse, or who listens with a screen reader, meets: the play
// keys pressed in the name box, and what the accessibility layer is told when the grade and the
// final message change. Run on a real X server (xvfb-run), where Qt's accessibility bridge is
// the one a screen reader talks to; the events are caught where Qt hands them to it.
#include "app/application.h"
#include "sound/mediacontrol/mediacontrol.h"
#include "sound/mediacontrol/recorderbar.h"
#include "support/testfiles.h"
#include "support/windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>

namespace {

struct Heard
{
    QString control;
    QAccessible::Event kind;
};
QList<Heard> g_heard;

void hear(QAccessibleEvent *event)
{
    g_heard.append({event->object() ? event->object()->objectName() : QString(), event->type()});
}

QString dictation(const QTemporaryDir &dir, int items)
{
    QByteArray text = "Animals\r\nEl gall canta.\r\nx\r\n";
    for (int item = 2; item <= 10; ++item)
        text += item <= items ? "Qui canta?\r\n" : "\r\n";
    const QString path = dir.filePath(QStringLiteral("granja.dtd"));
    return testfiles::writeFile(path, text) ? path : QString();
}

// The play button a screen reader finds under its accessible name, with its state there.
QAccessibleInterface *playButtonInTree(Form1 *window, int item)
{
    QAccessibleInterface *root = QAccessible::queryAccessibleInterface(window);
    const QString name = QStringLiteral("Escolta la frase %1").arg(item);
    for (int i = 0; i < root->childCount(); ++i) {
        if (root->child(i)->text(QAccessible::Name) == name)
            return root->child(i);
    }
    return nullptr;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void playKeys_data();
    void playKeys();
    void gradeAndMessageAreAnnounced();
    void recorderStripKeys_data();
    void recorderStripKeys();
};

void TestAccessibility::initTestCase()
{
    if (QGuiApplication::platformName() != u"xcb") {
        if (qEnvironmentVariableIsSet("CI"))
            QFAIL("no X server: packaging/setup-debian.sh installs xvfb");
        QSKIP("needs an X server: run under xvfb-run with QT_QPA_PLATFORM=xcb");
    }
    setUpApplication(*qobject_cast<QApplication *>(QCoreApplication::instance()));
    QAccessible::installUpdateHandler(hear);
    QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
}

void TestAccessibility::init()
{
    // As when a screen reader runs: the bridge turns the layer off while the desktop says none
    // does.
    QAccessible::setActive(true);
    g_heard.clear();
}

void TestAccessibility::playKeys_data()
{
    QTest::addColumn<int>("items");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("item"); // whose button the key stands for
    QTest::addColumn<bool>("plays");

    QTest::newRow("Ctrl+3 in the name box") << 5 << "nom" << (Qt::CTRL | Qt::Key_3) << 3 << true;
    QTest::newRow("Ctrl+0 is item 10") << 10 << "Text4" << (Qt::CTRL | Qt::Key_0) << 10 << true;
    QTest::newRow("Ctrl+7 for a hidden item") << 5 << "nom" << (Qt::CTRL | Qt::Key_7) << 7 << false;
    QTest::newRow("Enter on a focused button")
            << 5 << "wav2" << QKeyCombination(Qt::Key_Return) << 2 << true;
    QTest::newRow("Space on a focused button")
            << 5 << "wav4" << QKeyCombination(Qt::Key_Space) << 4 << true;
}

void TestAccessibility::playKeys()
{
    QFETCH(int, items);
    QFETCH(QString, focus);
    QFETCH(QKeyCombination, key);
    QFETCH(int, item);
    QFETCH(bool, plays);

    QTemporaryDir dir;
    WindowUnderTest w;
    load(w, dictation(dir, items));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    QWidget *focused = w.get(qPrintable(focus));
    focused->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), focused);

    QAccessibleInterface *button = playButtonInTree(w.window(), item);
    QVERIFY(button);
    QCOMPARE(button->state().invisible, !plays);
    // The tooltip, which a screen reader reads as the description, names the key.
    if (key.keyboardModifiers() & Qt::ControlModifier)
        QVERIFY(button->text(QAccessible::Description)
                        .endsWith(QKeySequence(key).toString(QKeySequence::NativeText) + u')'));

    QTest::keyClick(focused, key.key(), key.keyboardModifiers());
    QCOMPARE(w->escoltes, plays ? 1 : 0);
    if (plays)
        QVERIFY(w->arxiuwav.endsWith(QStringLiteral("granja-%1.wav").arg(item)));
}

void TestAccessibility::gradeAndMessageAreAnnounced()
{
    QTemporaryDir dir;
    WindowUnderTest w;
    load(w, dictation(dir, 1));
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    g_heard.clear();
    w->Timer1_Timer();
    const auto heardOn = [](const char *control, QAccessible::Event kind) {
        return std::count_if(g_heard.cbegin(), g_heard.cend(), [&](const Heard &heard) {
            return heard.control == QLatin1String(control) && heard.kind == kind;
        });
    };
    // A screen reader says a notification as it comes into sight, and passes over a label's
    // changes: the grade and the message are notifications that come anew with each change.
    for (const char *notice : {"Label2", "Label5"})
        QCOMPARE(QAccessible::queryAccessibleInterface(w.get(notice))->role(),
                 QAccessible::Notification);
    QCOMPARE(heardOn("Label2", QAccessible::ObjectShow), 1);
    w->Timer1_Timer();
    QCOMPARE(heardOn("Label2", QAccessible::ObjectShow), 1); // the same grade is not news

    QTest::keyClick(w.get("nom"), Qt::Key_1, Qt::ControlModifier);
    w->Timer1_Timer();
    QCOMPARE(heardOn("Label5", QAccessible::ObjectShow), 1);
    QAccessibleInterface *message = QAccessible::queryAccessibleInterface(w.get("Label5"));
    QCOMPARE(message->text(QAccessible::Name), w.get<QLabel>("Label5")->text());

    // Listens 2 to 4 keep 10; the fifth costs a point, which the label and the message tell.
    for (int listen = 0; listen < 4; ++listen) {
        QTest::keyClick(w.get("nom"), Qt::Key_1, Qt::ControlModifier);
        w->Timer1_Timer();
    }
    QCOMPARE(w.get<QLabel>("Label2")->text(), QStringLiteral("La teva nota és: 9"));
    QCOMPARE(heardOn("Label2", QAccessible::ObjectShow), 2);
    QCOMPARE(heardOn("Label5", QAccessible::ObjectShow), 2);
}

void TestAccessibility::recorderStripKeys_data()
{
    QTest::addColumn<QString>("button"); // whose tooltip names the key
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<recorder::Mode>("mode"); // as the recorder reports it
    QTest::addColumn<bool>("fullScreen");
    QTest::addColumn<QString>("asks"); // the command the bar asks for, "voice", or nothing

    using recorder::Mode;
    const QKeyCombination escape(Qt::Key_Escape);
    QTest::newRow("Space plays") << "playButton" << QKeyCombination(Qt::Key_Space) << Mode::Stopped
                                 << false << "Play";
    QTest::newRow("Space pauses") << "pauseButton" << QKeyCombination(Qt::Key_Space)
                                  << Mode::Playing << false << "Pause";
    QTest::newRow("Space stops a take")
            << "playButton" << QKeyCombination(Qt::Key_Space) << Mode::Recording << false << "Stop";
    QTest::newRow("Home rewinds") << "prevButton" << QKeyCombination(Qt::Key_Home) << Mode::Paused
                                  << false << "Rewind";
    QTest::newRow("R records") << "recordButton" << QKeyCombination(Qt::Key_R) << Mode::Stopped
                               << false << "Record";
    QTest::newRow("V speaks") << "voiceButton" << QKeyCombination(Qt::Key_V) << Mode::Stopped
                              << false << "voice";
    QTest::newRow("Esc stops a take in full screen")
            << "stopButton" << escape << Mode::Recording << true << "Stop";
    QTest::newRow("Esc with nothing to stop leaves full screen")
            << "stopButton" << escape << Mode::Stopped << true << "";
}

void TestAccessibility::recorderStripKeys()
{
    QFETCH(QString, button);
    QFETCH(QKeyCombination, key);
    QFETCH(recorder::Mode, mode);
    QFETCH(bool, fullScreen);
    QFETCH(QString, asks);

    WindowUnderTest w;
    if (fullScreen)
        w->showFullScreen();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window()));
    auto *strip = w.get<MediaControl>("MMControl1");
    const QImage unfocused = strip->grab().toImage();
    strip->setFocus();
    QTRY_VERIFY(strip->hasFocus());
    QVERIFY2(strip->grab().toImage() != unfocused, "the focus shows on the strip");
    recorder::State state;
    state.mode = mode;
    state.hasClip = state.hasOutput = state.hasInput = state.itemChosen = state.hasText = true;
    state.voice = recorder::VoiceKind::Espeak;
    auto *bar = strip->findChild<RecorderBar *>();
    bar->setState(state);
    QVERIFY(strip->findChild<QToolButton *>(button)->toolTip().contains(
            u'(' + QKeySequence(key).toString(QKeySequence::NativeText) + u')'));

    QSignalSpy commands(bar, &RecorderBar::commandRequested);
    QSignalSpy voice(bar, &RecorderBar::voiceRequested);
    QTest::keyClick(bar, key.key());
    QStringList asked;
    for (const QList<QVariant> &command : commands)
        asked << QVariant::fromValue(command.at(0).value<recorder::Command>()).toString();
    if (!voice.isEmpty())
        asked << QStringLiteral("voice");
    QCOMPARE(asked.join(u' '), asks);
    QCOMPARE(w->isFullScreen(), fullScreen && !asks.isEmpty());
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
