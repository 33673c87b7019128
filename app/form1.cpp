// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/form1.h"

#include "app/artwork.h"
#include "app/controltable.h"
#include "app/layoutscale.h"
#include "app/onelinebox.h"
#include "app/widgets.h"
#include "dictation/format.h"
#include "platform/commondialog.h"
#include "platform/datapaths.h"
#include "platform/textspageurl.h"
#include "sound/mediacontrol/mediacontrol.h"

#include <QApplication>
#include <QDesktopServices>
#include <QIcon>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <algorithm>
#include <array>

namespace {

constexpr int kTimerIntervalMs = 200;
constexpr QRgb kWindowYellow = 0xffffff80;

// Text1's text as typed. toPlainText() also turns each non-breaking space into a plain one;
// the raw text keeps them, and only its paragraph, line and frame marks become line ends.
QString plainTextAsTyped(const QTextDocument *document)
{
    QString text = document->toRawText();
    for (QChar &c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case 0xfdd0: // a frame's start
        case 0xfdd1: // a frame's end
            c = u'\n';
            break;
        default:
            break;
        }
    }
    return text;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    // Drawn here rather than handed to QIcon as SVG files, which would load Qt's SVG icon
    // plugin at every start.
    QIcon icon;
    for (const char *name : {"icon-16.svg", "icon.svg"}) {
        const QString file = QString::fromLatin1(name);
        icon.addPixmap(artwork(file, pictureSize(file), devicePixelRatioF()));
    }
    setWindowIcon(icon);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor::fromRgb(kWindowYellow));
    setPalette(background);
    setAutoFillBackground(true);

    // Where the native window knows its frame before it is shown, the layout is placed once;
    // elsewhere (X11) fitToScreen() allows for the frame when it comes to be known.
    create();
    m_placement.scale = layoutScale(kLayoutTwips, screen()->availableGeometry(),
                                    windowHandle()->frameMargins());
    m_controls = std::make_unique<BuiltControls>(buildControls(this, m_placement.scale));
    takeControls(*m_controls);

    m_cmDialog1 = new CommonDialog(this, this);
    m_cmDialog1->setObjectName(QStringLiteral("CMDialog1"));
    m_cmDialog1->Filter = QStringLiteral("*.dtd");
    m_cmDialog1->setInitialDirectory(samplesFolder());

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setInterval(kTimerIntervalMs);

    connectHandlers(*m_controls);
    // A pupil's first keys are their name.
    m_nom->setFocus();
    setUpSlowToggle();
    setUpPlayKeys();
    setUpFullScreenKeys();

    // The layout reaches below its design height (the feedback panel); the window's normal
    // size shows all of it.
    resize(layoutSize(kLayoutTwips, m_placement.scale));

    Form_Load();
    m_timer1->start();
    openStartupDictation();
}

Form1::~Form1() = default;

bool Form1::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
        // Once the window is native, it can move to another screen.
        connect(windowHandle(), &QWindow::screenChanged, this, &Form1::fitToScreen,
                Qt::UniqueConnection);
        fitToScreen();
        break;
    // The window manager's frame comes to be known with the first move or resize that follows
    // the window's mapping.
    case QEvent::Move:
    case QEvent::Resize:
        fitToScreen();
        break;
    case QEvent::WindowStateChange: {
        const bool fullScreen = windowState().testFlag(Qt::WindowFullScreen);
        // However full screen came, leaving it goes back to the state before it: window managers
        // keep a full-screen window's maximized state or drop it, as each sees fit.
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent *>(event)->oldState();
        if (fullScreen && !before.testFlag(Qt::WindowFullScreen))
            m_stateBeforeFullScreen = before & Qt::WindowMaximized;
        if (m_leaveFullScreen)
            m_leaveFullScreen->setEnabled(fullScreen);
        // The title bar shows the caption again.
        if (!fullScreen)
            sayInWindow(QString());
        fitToScreen();
        break;
    }
    default:
        break;
    }
    return QWidget::event(event);
}

void Form1::fitToScreen()
{
    // Just out of full screen, what the window manager reports may be a step on the way: the
    // layout follows it, but the window's size and place wait for the last step.
    const bool settling = m_fullScreenLeft->isActive();
    if (settling)
        m_fullScreenLeft->start();
    QScreen *current = screen();
    if (current != m_watchedScreen) {
        disconnect(m_screenArea);
        m_screenArea = connect(current, &QScreen::availableGeometryChanged, this,
                               &Form1::fitToScreen);
        m_watchedScreen = current;
    }
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    // A maximized window keeps the size the screen gives it, and the layout fills it; a normal
    // one shows the whole layout, at its design size where the screen holds it.
    const bool filled = windowState().testAnyFlags(Qt::WindowMaximized | Qt::WindowFullScreen);
    const LayoutPlacement placement = filled
            ? filledPlacement(kLayoutTwips, kVisibleLayoutHeightTwips, size())
            : LayoutPlacement {layoutScale(kLayoutTwips, current->availableGeometry(), frame), {}};
    if (placement != m_placement) {
        m_placement = placement;
        placeControls(this, *m_controls, m_placement);
        m_resizeToLayout = !filled;
    }
    if (m_resizeToLayout && !settling) {
        m_resizeToLayout = false;
        resize(layoutSize(kLayoutTwips, m_placement.scale));
    }
    // Back from full screen, a normal window stands where it stood before, which a screen that
    // has shrunk since may not hold. Once the window manager has framed it again and put it back
    // there, it comes as near there as the screen's free area holds it whole.
    if (m_bringOnScreen && !filled && !settling && !frame.isNull()) {
        m_bringOnScreen = false;
        const QRect free = current->availableGeometry();
        const QRect outer = QRect(pos(), size()).marginsAdded(frame);
        const auto within = [](int at, int low, int length, int room) {
            return std::clamp(at, low, std::max(low, low + room - length));
        };
        move(within(outer.x(), free.x(), outer.width(), free.width()),
             within(outer.y(), free.y(), outer.height(), free.height()));
    }

    // Where the layout in sight fills the window, the feedback panel cannot always stand below
    // it: it comes up over the items, whole, and stands on the bottom bar, whose grade and
    // buttons stay in sight. It is then in front of the first item's play button, which it
    // covers.
    if (filled) {
        const auto placed = [this](const ControlEntry &entry) {
            return scaledRect(entry.left, entry.top, entry.width, entry.height, m_placement.scale)
                    .translated(m_placement.origin);
        };
        QRect panel = placed(kControls[entryIndex("Picture3")]);
        if (panel.bottom() >= height()) {
            panel.moveBottom(placed(kControls[entryIndex("Picture1")]).top() - 1);
            m_picture3->raise();
        }
        m_picture3->setGeometry(panel);
    }
}

void Form1::takeControls(const BuiltControls &built)
{
    m_text1 = built.get<QPlainTextEdit, entryIndex("Text1")>();
    m_titol = built.get<QLineEdit, entryIndex("titol")>();
    m_nom = built.get<QLineEdit, entryIndex("nom")>();
    m_codi = built.get<QLineEdit, entryIndex("codi")>();
    m_label2 = built.get<NoticeLabel, entryIndex("Label2")>();
    m_label5 = built.get<NoticeLabel, entryIndex("Label5")>();
    m_avis = built.get<NoticeLabel, entryIndex("avis")>();
    m_image1 = built.get<ImageBox, entryIndex("Image1")>();
    m_picture3 = built.get<PictureBox, entryIndex("Picture3")>();
    m_dib = built.get<PictureButton, entryIndex("dib")>();
    m_lent = built.get<PictureButton, entryIndex("lent")>();
    m_command3 = built.get<QPushButton, entryIndex("Command3")>();
    m_command4 = built.get<QPushButton, entryIndex("Command4")>();
    m_mmControl1 = built.get<MediaControl, entryIndex("MMControl1")>();
    m_itemBoxes = built.items<QWidget>("Text");
    m_playButtons = built.items<QPushButton>("wav");
    keepOnOneLine(m_titol);
    for (int item = 2; item <= 10; ++item)
        keepOnOneLine(lineBox(item));
}

void Form1::setUpFullScreenKeys()
{
    connect(new QShortcut(QKeySequence(Qt::Key_F11), this), &QShortcut::activated, this, [this] {
        if (windowState().testFlag(Qt::WindowFullScreen))
            leaveFullScreen();
        else
            setWindowState(windowState() | Qt::WindowFullScreen);
    });
    // Only while full screen: elsewhere Escape is the recorder's stop key.
    m_leaveFullScreen = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    m_leaveFullScreen->setEnabled(false);
    connect(m_leaveFullScreen, &QShortcut::activated, this, &Form1::leaveFullScreen);
    // Long enough for the window manager's steps, which follow each other at once, to come in
    // within it.
    m_fullScreenLeft = new QTimer(this);
    m_fullScreenLeft->setSingleShot(true);
    m_fullScreenLeft->setInterval(300);
    connect(m_fullScreenLeft, &QTimer::timeout, this, &Form1::fitToScreen);
}

void Form1::leaveFullScreen()
{
    m_bringOnScreen = !m_stateBeforeFullScreen.testFlag(Qt::WindowMaximized);
    m_fullScreenLeft->start();
    setWindowState(m_stateBeforeFullScreen);
}

void Form1::connectHandlers(const BuiltControls &built)
{
    connect(m_picture3, &PictureBox::clicked, this, &Form1::Picture3_Click);
    connect(built.get<PictureBox, entryIndex("Picture4")>(), &PictureBox::clicked, this,
            &Form1::Picture4_Click);
    connect(built.get<PictureButton, entryIndex("Command1")>(), &PictureButton::clicked, this,
            &Form1::Command1_Click);
    connect(built.get<PictureButton, entryIndex("Command2")>(), &QPushButton::clicked, this,
            &Form1::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(m_command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(built.get<QPushButton, entryIndex("Command5")>(), &QPushButton::clicked, this,
            &Form1::Command5_Click);
    connect(built.get<ClickLabel, entryIndex("Label4")>(), &ClickLabel::clicked, this,
            &Form1::Label4_Click);
    connect(built.get<ClickLabel, entryIndex("Label7")>(), &ClickLabel::doubleClicked, this,
            &Form1::Label7_DblClick);
    connect(built.get<ClickLabel, entryIndex("Label7")>(), &ClickLabel::longPressed, this,
            &Form1::Label7_DblClick);
    connect(m_dib, &QPushButton::clicked, this, &Form1::dib_Click);
    connect(m_codi, &QLineEdit::textChanged, this, &Form1::codi_Change);
    // The code is typed, then confirmed as any box confirms what is typed in it.
    connect(m_codi, &QLineEdit::returnPressed, this, &Form1::Command2_Click);
    connect(m_timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    // The recorder's "Veu" button can speak only an item with text.
    connect(m_text1, &QPlainTextEdit::textChanged, m_mmControl1, &MediaControl::speechTextChanged);
    for (int item = 2; item <= 10; ++item)
        connect(lineBox(item), &QLineEdit::textChanged, m_mmControl1,
                &MediaControl::speechTextChanged);
    // The strip tells the window what it could not do, so the caption can say it.
    connect(m_mmControl1, &MediaControl::commandFailed, this, &Form1::recorderFailed);
    connect(m_mmControl1, &MediaControl::speechFinished, this, &Form1::voiceFinished);
    connect(m_mmControl1, &MediaControl::devicesChanged, this, [this](bool hasOutput, bool) {
        if (hasOutput)
            clearFailure(Failure::Sound);
    });
    connect(playButton(1), &QPushButton::clicked, this, &Form1::wav1_Click);
    connect(playButton(2), &QPushButton::clicked, this, &Form1::wav2_Click);
    connect(playButton(3), &QPushButton::clicked, this, &Form1::wav3_Click);
    connect(playButton(4), &QPushButton::clicked, this, &Form1::wav4_Click);
    connect(playButton(5), &QPushButton::clicked, this, &Form1::wav5_Click);
    connect(playButton(6), &QPushButton::clicked, this, &Form1::wav6_Click);
    connect(playButton(7), &QPushButton::clicked, this, &Form1::wav7_Click);
    connect(playButton(8), &QPushButton::clicked, this, &Form1::wav8_Click);
    connect(playButton(9), &QPushButton::clicked, this, &Form1::wav9_Click);
    connect(playButton(10), &QPushButton::clicked, this, &Form1::wav10_Click);
}

void Form1::Form_Load()
{
    showStep(m_exercise.reset());
    m_mmControl1->setNotify(false);
    m_mmControl1->setWait(true);
    m_mmControl1->setShareable(false);
    m_mmControl1->setDeviceType(QStringLiteral("WaveAudio"));
}

void Form1::Command5_Click()
{
    // One page, opened once by the desktop's browser; nothing is shown when none starts.
    QDesktopServices::openUrl(textsPageUrl());
}

void Form1::Picture3_Click()
{
    m_picture3->setVisible(false);
}

QString &Form1::frase(int item)
{
    return m_frases.at(std::size_t(item - 1));
}

void Form1::setCaption(const QString &caption)
{
    m_failure = Failure::None;
    setWindowTitle(caption);
}

void Form1::showFailure(Failure kind, const QString &message)
{
    if (m_failure == Failure::None)
        m_captionBeforeFailure = windowTitle();
    setWindowTitle(message);
    m_failure = kind;
    if (windowState().testFlag(Qt::WindowFullScreen))
        sayInWindow(message);
}

void Form1::clearFailure(Failure kind)
{
    if (m_failure == kind)
        setCaption(m_captionBeforeFailure);
}

void Form1::tellFailure(const QString &caption)
{
    setCaption(caption);
    if (windowState().testFlag(Qt::WindowFullScreen))
        sayInWindow(caption);
}

void Form1::sayInWindow(const QString &words)
{
    m_avis->announce(words);
    m_avis->setVisible(!words.isEmpty());
    // The next key or click in the window puts the words away.
    if (words.isEmpty())
        qApp->removeEventFilter(this);
    else
        qApp->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
        if (watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == this)
            sayInWindow(QString());
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

QWidget *Form1::itemBox(int item) const
{
    return m_itemBoxes.at(std::size_t(item - 1));
}

QPushButton *Form1::playButton(int item) const
{
    return m_playButtons.at(std::size_t(item - 1));
}

QLineEdit *Form1::lineBox(int item) const
{
    Q_ASSERT(item > 1);
    return static_cast<QLineEdit *>(itemBox(item));
}

void Form1::setItemText(int item, const QString &text)
{
    if (item == 1) {
        m_text1->setPlainText(text);
    } else {
        QLineEdit *box = lineBox(item);
        box->setText(text);
        // A long item shows its beginning, as the pupil reads it.
        box->setCursorPosition(0);
    }
}

QString Form1::itemText(int item) const
{
    if (item == 1)
        return plainTextAsTyped(m_text1->document());
    return lineBox(item)->text();
}

QString Form1::speakableText(int item) const
{
    const QString text = itemText(item);
    // A picture's item 1 holds the picture's file name, which is not read out; the name is
    // recognised as saving and loading will recognise it.
    if (item == 1 && dictation::isPictureReference(text + QStringLiteral("\r\n")))
        return {};
    return text;
}
