// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/mediacontrol/recorderbar.h"

#include "sound/mediacontrol/recordingsupport.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionProgressBar>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>

using recorder::Command;
using recorder::Mode;
using recorder::VoiceKind;

QString elapsedText(qint64 msecs)
{
    const qint64 seconds = std::max<qint64>(msecs, 0) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

constexpr QSize kButtonSize(28, 29);
constexpr int kBarMargin = 2;

enum Symbol { Previous, Play, Pause, Stop, Record, Voice };

void drawVoice(QPainter &painter, const QColor &ink)
{
    // A head in profile, speaking.
    painter.drawEllipse(QRectF(3, 5, 15, 17));
    painter.drawPolygon(QPolygonF({QPointF(15, 14), QPointF(20, 18), QPointF(15, 20)}));
    painter.drawRect(QRectF(6, 20, 8, 7));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(17, 10, 8, 12), -50 * 16, 100 * 16);
    painter.drawArc(QRectF(17, 5, 13, 22), -50 * 16, 100 * 16);
}

// The bar draws its own symbols: the style's media icons are image files, and reading the
// first of them loads and probes every image format plugin Qt has, while the window starts.
QIcon symbolIcon(int symbol, const QColor &ink)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    switch (symbol) {
    case Previous:
        painter.drawRect(QRectF(4, 6, 4, 20));
        painter.drawPolygon(QPolygonF({QPointF(18, 6), QPointF(18, 26), QPointF(8, 16)}));
        painter.drawPolygon(QPolygonF({QPointF(28, 6), QPointF(28, 26), QPointF(18, 16)}));
        break;
    case Play:
        painter.drawPolygon(QPolygonF({QPointF(8, 5), QPointF(8, 27), QPointF(27, 16)}));
        break;
    case Pause:
        painter.drawRect(QRectF(7, 6, 7, 20));
        painter.drawRect(QRectF(18, 6, 7, 20));
        break;
    case Stop:
        painter.drawRect(QRectF(6, 6, 20, 20));
        break;
    case Record:
        painter.setBrush(QColor(0xd0, 0x20, 0x20));
        painter.drawEllipse(QRectF(6, 6, 20, 20));
        break;
    case Voice:
        drawVoice(painter, ink);
        break;
    }
    return QIcon(pixmap);
}

// A button's name with the key that presses it while the bar has the focus, as its tooltip
// says it: "Enregistra (R)".
QString withKey(const char16_t *name, Qt::Key key)
{
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf16(name),
                                         QKeySequence(key).toString(QKeySequence::NativeText));
}

QString recordName()
{
    return withKey(u"Enregistra", Qt::Key_R);
}

QString voiceName()
{
    return withKey(u"Veu sintètica", Qt::Key_V);
}

// The tooltip of a button that works on the item chosen with a play button, before one is.
QString chooseAnItemFirst(const QString &button)
{
    return button + QStringLiteral(": primer clica l'altaveu de l'element que vols enregistrar");
}

void showToolTip(QToolButton *button, const QString &tip)
{
    if (button->toolTip() != tip)
        button->setToolTip(tip);
}

QString voiceTip(const recorder::State &state)
{
    // Why it cannot be pressed, where the reason is not the voice's.
    if (state.voice != VoiceKind::None && state.mode == Mode::NotOpen)
        return chooseAnItemFirst(voiceName());
    if (state.voice != VoiceKind::None && !state.hasText)
        return voiceName() + QStringLiteral(": l'element triat no té cap text per llegir");
    switch (state.voice) {
    case VoiceKind::Festival:
        return voiceName() + QStringLiteral(": llegeix l'element triat amb la veu Ona (Festival)");
    case VoiceKind::Espeak:
        return voiceName()
                + QStringLiteral(": llegeix l'element triat amb la veu catalana d'eSpeak NG");
    case VoiceKind::None:
        break;
    }
    return voiceName() + QStringLiteral(": no hi ha cap veu catalana instal·lada");
}

} // namespace

// The level meter looks like a progress bar but is none to a screen reader, which would read out
// every value it takes, twenty a second while a clip plays: to it, the meter is a plain area.
class LevelMeter final : public QWidget
{
public:
    using QWidget::QWidget;
    void setPercent(int percent)
    {
        if (percent == m_percent)
            return;
        m_percent = percent;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionProgressBar option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        option.maximum = 100;
        option.progress = m_percent;
        painter.drawControl(QStyle::CE_ProgressBar, option);
    }

private:
    int m_percent = 0;
};

void RecorderBar::addButton(QToolButton *&button, const char *name, const char16_t *text,
                            int symbol, Qt::Key key)
{
    button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setIcon(symbolIcon(symbol, palette().color(QPalette::ButtonText)));
    button->setToolTip(withKey(text, key));
    button->setAccessibleName(QString::fromUtf16(text));
    button->setAutoRaise(true);
    // The window keeps the recorder as one stop in the tab order; keys reach it there.
    button->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button);
}

RecorderBar::RecorderBar(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    // The bar fits whatever height the window gives it (fitBar), rather than asking for more.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);
    layout->setSpacing(1);
    addButton(m_prevButton, "prevButton", u"Al principi", Previous, Qt::Key_Home);
    addButton(m_playButton, "playButton", u"Reprodueix", Play, Qt::Key_Space);
    addButton(m_pauseButton, "pauseButton", u"Pausa", Pause, Qt::Key_Space);
    addButton(m_stopButton, "stopButton", u"Atura", Stop, Qt::Key_Escape);
    addButton(m_recordButton, "recordButton", u"Enregistra", Record, Qt::Key_R);
    addButton(m_voiceButton, "voiceButton", u"Veu sintètica", Voice, Qt::Key_V);

    m_elapsedLabel = new QLabel(this);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    m_elapsedLabel->setAccessibleName(QStringLiteral("Temps"));
    m_elapsedLabel->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_elapsedLabel);

    m_levelMeter = new LevelMeter(this);
    m_levelMeter->setObjectName(QStringLiteral("levelMeter"));
    m_levelMeter->setAccessibleName(QStringLiteral("Nivell del so"));
    m_levelMeter->setMaximumHeight(12);
    m_levelMeter->setMinimumWidth(20);
    layout->addWidget(m_levelMeter, 1);

    const std::pair<QToolButton *, Command> commands[] = {{m_prevButton, Command::Rewind},
                                                          {m_playButton, Command::Play},
                                                          {m_pauseButton, Command::Pause},
                                                          {m_stopButton, Command::Stop},
                                                          {m_recordButton, Command::Record}};
    for (const auto &[button, command] : commands)
        connect(button, &QToolButton::clicked, this,
                [this, c = command] { emit commandRequested(c); });
    connect(m_voiceButton, &QToolButton::clicked, this, &RecorderBar::voiceRequested);

    m_designIconSize = m_playButton->iconSize();
    fitBar();
    setState(m_state);
    showProgress(0, 0);
}

void RecorderBar::setState(const recorder::State &state)
{
    m_state = state;
    const Mode mode = state.mode;
    const bool atRest = mode == Mode::Stopped || mode == Mode::Paused;
    m_prevButton->setEnabled(mode == Mode::Playing || mode == Mode::Paused);
    m_playButton->setEnabled(atRest && state.hasOutput && state.hasClip);
    m_pauseButton->setEnabled(mode == Mode::Playing);
    m_stopButton->setEnabled(mode == Mode::Playing || mode == Mode::Paused
                             || mode == Mode::Recording);
    // Also while a clip plays: a teacher who pressed the item's speaker to hear the old clip
    // records over it at once.
    const QString noRecording = recordingUnavailableReason();
    m_recordButton->setEnabled((atRest || mode == Mode::Playing) && state.hasInput
                               && noRecording.isEmpty());
    // A disabled button says why. Microphones are looked for only once the sound system loads,
    // at the first play-button press; until then the reason is that nothing is chosen.
    showToolTip(m_recordButton,
                !noRecording.isEmpty() ? recordName() + QStringLiteral(": ") + noRecording
                        : state.soundLoaded && !state.hasInput
                        ? recordName() + QStringLiteral(": no s'ha trobat cap micròfon")
                        : mode == Mode::NotOpen ? chooseAnItemFirst(recordName())
                                                : recordName());
    showVoiceButton();
}

void RecorderBar::showVoiceButton()
{
    // Until an item is chosen the button has nothing to say and its tooltip names no voice,
    // unless there is none to name.
    if (!m_state.itemChosen) {
        m_voiceButton->setEnabled(false);
        const bool noVoice = m_state.voiceLookedFor && m_state.voice == VoiceKind::None;
        showToolTip(m_voiceButton, noVoice ? voiceTip(m_state) : chooseAnItemFirst(voiceName()));
        return;
    }
    m_voiceButton->setEnabled(m_state.mode != Mode::NotOpen && m_state.mode != Mode::Recording
                              && m_state.hasText && !m_state.speaking
                              && m_state.voice != VoiceKind::None);
    showToolTip(m_voiceButton, voiceTip(m_state));
}

void RecorderBar::showProgress(qint64 elapsedMs, float level)
{
    m_elapsedLabel->setText(elapsedText(elapsedMs));
    m_levelMeter->setPercent(qRound(level * 100));
}

void RecorderBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitBar();
}

void RecorderBar::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitBar();
}

// The window draws its whole layout at one scale, smaller on a small screen and larger on a
// whiteboard, the bar included: the buttons and their symbols follow its height, and the clock
// its font.
void RecorderBar::fitBar()
{
    const int side = std::max(height() - 2 * kBarMargin, 1);
    const QSize button(std::max(1, kButtonSize.width() * side / kButtonSize.height()), side);
    const QSize icon = m_designIconSize * side / kButtonSize.height();
    for (QToolButton *each :
         {m_prevButton, m_playButton, m_pauseButton, m_stopButton, m_recordButton, m_voiceButton}) {
        each->setFixedSize(button);
        each->setIconSize(icon);
    }
    // The clock has no font of its own: it shows the bar's.
    m_elapsedLabel->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 6);
}

bool RecorderBar::event(QEvent *event)
{
    // Escape stops what plays or records before it does anything of the window's, such as
    // leaving full screen: a take is not left running where nobody sees the bar.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier
            && m_stopButton->isEnabled()) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

// The bar is one stop in the tab order, and its keys work only while it has the focus: a frame
// in the highlight colour, inside its margin, shows when they do.
void RecorderBar::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Highlight), kBarMargin));
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void RecorderBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        emit commandRequested(m_state.mode == Mode::Playing             ? Command::Pause
                                      : m_state.mode == Mode::Recording ? Command::Stop
                                                                        : Command::Play);
        break;
    case Qt::Key_Home:
        emit commandRequested(Command::Rewind);
        break;
    case Qt::Key_Escape:
        emit commandRequested(Command::Stop);
        break;
    case Qt::Key_R:
        emit commandRequested(Command::Record);
        break;
    // As a click: the voice speaks only when its button can be pressed.
    case Qt::Key_V:
        if (m_voiceButton->isEnabled())
            emit voiceRequested();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
