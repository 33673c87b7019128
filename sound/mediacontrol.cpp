// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/mediacontrol.h"

#include "platform/filetrash.h"
#include "sound/slowcopies.h"
#include "sound/soundsystem.h"
#include "sound/voice.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPolygonF>
#include <QProgressBar>
#include <QToolButton>

#include <algorithm>

QString elapsedText(qint64 msecs)
{
    const qint64 seconds = std::max<qint64>(msecs, 0) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

namespace {

constexpr int kBarRefreshMs = 50;
// Qt 6.4's PulseAudio backend never signals added or removed devices; the bar asks instead.
constexpr int kDevicePollMs = 1000;
// The meter shows the loudest sample of the last stretch of sound of this length.
constexpr qint64 kLevelWindowUSecs = 50000;
constexpr QSize kButtonSize(28, 29);
constexpr int kBarMargin = 2;

enum class Symbol { Previous, Play, Pause, Stop, Record, Voice };

// The bar draws its own symbols: the style's media icons are image files, and reading the
// first of them loads and probes every image format plugin Qt has, while the window starts.
QIcon symbolIcon(Symbol symbol, const QColor &ink)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    switch (symbol) {
    case Symbol::Previous:
        painter.drawRect(QRectF(4, 6, 4, 20));
        painter.drawPolygon(QPolygonF({QPointF(18, 6), QPointF(18, 26), QPointF(8, 16)}));
        painter.drawPolygon(QPolygonF({QPointF(28, 6), QPointF(28, 26), QPointF(18, 16)}));
        break;
    case Symbol::Play:
        painter.drawPolygon(QPolygonF({QPointF(8, 5), QPointF(8, 27), QPointF(27, 16)}));
        break;
    case Symbol::Pause:
        painter.drawRect(QRectF(7, 6, 7, 20));
        painter.drawRect(QRectF(18, 6, 7, 20));
        break;
    case Symbol::Stop:
        painter.drawRect(QRectF(6, 6, 20, 20));
        break;
    case Symbol::Record:
        painter.setBrush(QColor(0xd0, 0x20, 0x20));
        painter.drawEllipse(QRectF(6, 6, 20, 20));
        break;
    case Symbol::Voice:
        // A head in profile, speaking.
        painter.drawEllipse(QRectF(3, 5, 15, 17));
        painter.drawPolygon(QPolygonF({QPointF(15, 14), QPointF(20, 18), QPointF(15, 20)}));
        painter.drawRect(QRectF(6, 20, 8, 7));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(QRectF(17, 10, 8, 12), -50 * 16, 100 * 16);
        painter.drawArc(QRectF(17, 5, 13, 22), -50 * 16, 100 * 16);
        break;
    }
    return QIcon(pixmap);
}

// The tooltip of a button that works on the item chosen with a play button, before one is.
QString chooseAnItemFirst(const QString &button)
{
    return button + QStringLiteral(": primer clica l'altaveu de l'element que vols enregistrar");
}

QToolButton *barButton(QWidget *parent, const char *name, const QString &text, const QIcon &icon)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(icon);
    button->setToolTip(text);
    button->setAccessibleName(text);
    button->setAutoRaise(true);
    // The window keeps the recorder as one stop in the tab order; keys reach it there.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

MediaControl::MediaControl(QWidget *parent) : QWidget(parent)
{
    const QColor ink = palette().color(QPalette::ButtonText);
    m_prevButton = barButton(this, "prevButton", QStringLiteral("Al principi"),
                             symbolIcon(Symbol::Previous, ink));
    m_playButton = barButton(this, "playButton", QStringLiteral("Reprodueix"),
                             symbolIcon(Symbol::Play, ink));
    m_pauseButton = barButton(this, "pauseButton", QStringLiteral("Pausa"),
                              symbolIcon(Symbol::Pause, ink));
    m_stopButton = barButton(this, "stopButton", QStringLiteral("Atura"),
                             symbolIcon(Symbol::Stop, ink));
    m_recordButton = barButton(this, "recordButton", QStringLiteral("Enregistra"),
                               symbolIcon(Symbol::Record, ink));

    m_voiceButton = barButton(this, "voiceButton", QStringLiteral("Veu sintètica"),
                              symbolIcon(Symbol::Voice, ink));
    m_voice = new Voice(this);

    m_elapsedLabel = new QLabel(this);
    m_elapsedLabel->setObjectName(QStringLiteral("elapsedLabel"));
    m_elapsedLabel->setAccessibleName(QStringLiteral("Temps"));
    m_elapsedLabel->setAlignment(Qt::AlignCenter);

    m_levelMeter = new QProgressBar(this);
    m_levelMeter->setObjectName(QStringLiteral("levelMeter"));
    m_levelMeter->setAccessibleName(QStringLiteral("Nivell del so"));
    m_levelMeter->setRange(0, 100);
    m_levelMeter->setTextVisible(false);
    m_levelMeter->setMaximumHeight(12);
    m_levelMeter->setMinimumWidth(20);

    auto *layout = new QHBoxLayout(this);
    // The bar fits whatever height the window gives it (fitBar), rather than asking for more.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    layout->setContentsMargins(kBarMargin, kBarMargin, kBarMargin, kBarMargin);
    layout->setSpacing(1);
    for (QToolButton *button :
         {m_prevButton, m_playButton, m_pauseButton, m_stopButton, m_recordButton, m_voiceButton})
        layout->addWidget(button);
    layout->addWidget(m_elapsedLabel);
    layout->addWidget(m_levelMeter, 1);

    connect(m_prevButton, &QToolButton::clicked, this,
            [this] { setCommand(QStringLiteral("prev")); });
    connect(m_playButton, &QToolButton::clicked, this,
            [this] { setCommand(QStringLiteral("play")); });
    connect(m_pauseButton, &QToolButton::clicked, this,
            [this] { setCommand(QStringLiteral("pause")); });
    connect(m_stopButton, &QToolButton::clicked, this,
            [this] { setCommand(QStringLiteral("stop")); });
    connect(m_recordButton, &QToolButton::clicked, this,
            [this] { setCommand(QStringLiteral("record")); });
    connect(m_voiceButton, &QToolButton::clicked, this, &MediaControl::speak);

    m_barTimer.setInterval(kBarRefreshMs);
    connect(&m_barTimer, &QTimer::timeout, this, &MediaControl::updateBar);
    m_devicePoll.setInterval(kDevicePollMs);
    connect(&m_devicePoll, &QTimer::timeout, this, &MediaControl::refreshDevices);
    m_designIconSize = m_playButton->iconSize();
    fitBar();
    updateBar();
}

void MediaControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    fitBar();
}

void MediaControl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitBar();
}

// The window draws its whole layout at one scale, smaller on a small screen and larger on a
// whiteboard, the bar included: the buttons and their symbols follow its height, and the clock
// its font.
void MediaControl::fitBar()
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

MediaControl::~MediaControl() = default;

void MediaControl::setNotify(bool) { }

void MediaControl::setWait(bool) { }

void MediaControl::setShareable(bool) { }

void MediaControl::setDeviceType(const QString &) { }

void MediaControl::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

QString MediaControl::fileName() const
{
    return m_fileName;
}

void MediaControl::setCommand(const QString &command)
{
    // What failed shows in the mode the command leaves behind, which the bar follows.
    static_cast<void>(runCommand(command));
}

MediaControl::CommandResult MediaControl::runCommand(const QString &command)
{
    const QString name = command.toLower();
    if (name == u"close")
        return close();
    if (name == u"open")
        return open();
    if (name == u"prev")
        return rewind();
    if (name == u"play")
        return play();
    if (name == u"pause")
        return pause();
    if (name == u"stop")
        return stop();
    if (name == u"record")
        return record();
    if (name == u"save")
        return save();
    return CommandResult::UnknownCommand;
}

void MediaControl::setSpeechText(std::function<QString()> text)
{
    m_speechText = std::move(text);
    updateBar();
}

void MediaControl::speechTextChanged()
{
    updateBar();
}

Voice *MediaControl::voice() const
{
    return m_voice;
}

void MediaControl::setSlow(bool slow)
{
    m_slow = slow;
    if (slow && !m_slowCopies)
        m_slowCopies = std::make_unique<SlowCopies>();
}

const AudioClip &MediaControl::heardClip()
{
    if (m_slow && m_recording == Recording::None)
        return m_slowCopies->copyOf(m_fileName, m_clip);
    return m_clip;
}

bool MediaControl::startHearing(const AudioClip &clip, qint64 fromUSecs)
{
    m_heard = clip;
    return m_sound->startPlayback(clip, fromUSecs) == StartResult::Started;
}

MediaControl::Mode MediaControl::mode() const
{
    return m_mode;
}

qint64 MediaControl::elapsedMs() const
{
    switch (m_mode) {
    case Mode::Playing:
        return m_sound->positionUSecs() / 1000;
    case Mode::Recording:
        return m_sound->recordedUSecs() / 1000;
    case Mode::NotOpen:
    case Mode::Stopped:
    case Mode::Paused:
        break;
    }
    return m_positionUSecs / 1000;
}

MediaControl::CommandResult MediaControl::close()
{
    if (m_sound) {
        m_sound->stopPlayback();
        // A recording that was not kept is dropped with the clip: that is what discarding means.
        m_sound->stopRecording();
    }
    ++m_openCount;
    m_voice->cancel();
    m_clip = {};
    m_heard = {};
    m_recording = Recording::None;
    m_positionUSecs = 0;
    setMode(Mode::NotOpen);
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::open()
{
    // Closing cannot fail.
    static_cast<void>(close());
    if (m_fileName.isEmpty())
        return CommandResult::BadFile;
    SoundSystem *sound = soundSystem();
    if (!sound)
        return CommandResult::NoDevice;
    ClipReadResult read = sound->readClipFile(m_fileName);
    m_clip = std::move(read.clip);
    // Open even without a usable clip: the teacher records the item's clip from here, over a
    // missing file or a broken one alike.
    setMode(Mode::Stopped);
    const bool usable = read.error == ClipReadError::None || read.error == ClipReadError::NoFile;
    return usable ? CommandResult::Done : CommandResult::BadFile;
}

MediaControl::CommandResult MediaControl::rewind()
{
    switch (m_mode) {
    case Mode::NotOpen:
        return CommandResult::NothingOpen;
    case Mode::Playing:
        m_positionUSecs = 0;
        if (!startHearing(heardClip(), 0))
            setMode(Mode::Stopped);
        return CommandResult::Done;
    case Mode::Recording:
        finishRecording();
        break;
    case Mode::Stopped:
    case Mode::Paused:
        break;
    }
    m_positionUSecs = 0;
    setMode(Mode::Stopped);
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::play()
{
    if (m_mode == Mode::NotOpen)
        return CommandResult::NothingOpen;
    if (m_mode == Mode::Playing)
        return CommandResult::Done;
    if (m_mode == Mode::Recording)
        finishRecording();
    if (m_clip.isEmpty())
        return CommandResult::BadFile;
    const AudioClip &clip = heardClip();
    // A pause held while the speed changed resumes at the same word.
    if (m_heard.durationUSecs() > 0 && clip.durationUSecs() != m_heard.durationUSecs())
        m_positionUSecs = m_positionUSecs * clip.durationUSecs() / m_heard.durationUSecs();
    if (m_positionUSecs >= clip.durationUSecs())
        m_positionUSecs = 0;
    if (!startHearing(clip, m_positionUSecs))
        return CommandResult::NoDevice;
    setMode(Mode::Playing);
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::pause()
{
    if (m_mode == Mode::NotOpen)
        return CommandResult::NothingOpen;
    if (m_mode == Mode::Playing) {
        m_sound->stopPlayback();
        m_positionUSecs = m_sound->positionUSecs();
        setMode(Mode::Paused);
    }
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::stop()
{
    switch (m_mode) {
    case Mode::NotOpen:
        return CommandResult::NothingOpen;
    case Mode::Recording:
        finishRecording();
        return CommandResult::Done;
    case Mode::Playing:
    case Mode::Paused:
        m_sound->stopPlayback();
        break;
    case Mode::Stopped:
        break;
    }
    m_positionUSecs = 0;
    setMode(Mode::Stopped);
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::record()
{
    if (m_mode == Mode::NotOpen)
        return CommandResult::NothingOpen;
    if (m_mode == Mode::Recording)
        return CommandResult::Done;
    m_sound->stopPlayback();
    m_positionUSecs = 0;
    if (m_sound->startRecording() != StartResult::Started) {
        setMode(Mode::Stopped);
        return CommandResult::NoDevice;
    }
    setMode(Mode::Recording);
    return CommandResult::Done;
}

MediaControl::CommandResult MediaControl::save()
{
    if (m_mode == Mode::NotOpen)
        return CommandResult::NothingOpen;
    if (m_mode == Mode::Recording)
        finishRecording();
    if (m_recording == Recording::None)
        return CommandResult::NothingRecorded;
    AudioClip kept = m_recording == Recording::Microphone ? m_sound->keptRecording(m_clip) : m_clip;
    // On failure the recording stays here, so the teacher can keep it once the cause is gone.
    if (m_sound->saveClipFile(kept, m_fileName, moveFileToTrash) != ClipSaveResult::Saved)
        return CommandResult::WriteFailed;
    // From now on the strip plays what the pupils will hear.
    if (m_mode == Mode::Playing || m_mode == Mode::Paused) {
        m_sound->stopPlayback();
        setMode(Mode::Stopped);
    }
    m_clip = std::move(kept);
    m_recording = Recording::None;
    m_positionUSecs = 0;
    updateBar();
    return CommandResult::Done;
}

void MediaControl::speak()
{
    const QString text = m_speechText ? m_speechText().trimmed() : QString();
    if (m_mode == Mode::NotOpen || m_mode == Mode::Recording || text.isEmpty()
        || m_voice->isSpeaking())
        return;
    if (m_mode == Mode::Playing || m_mode == Mode::Paused) {
        m_sound->stopPlayback();
        m_positionUSecs = 0;
        setMode(Mode::Stopped);
    }
    const quint64 openCount = m_openCount;
    m_voice->speak(
            text, [this](const QByteArray &wav) { return m_sound->readClipBytes(wav).clip; },
            [this, openCount](AudioClip spoken) { speechArrived(std::move(spoken), openCount); });
    updateBar();
}

void MediaControl::speechArrived(AudioClip spoken, quint64 openCount)
{
    // A recording begun while the voice spoke is the teacher's later word.
    if (openCount == m_openCount && m_mode != Mode::Recording && !spoken.isEmpty()) {
        m_sound->stopPlayback();
        m_clip = std::move(spoken);
        m_recording = Recording::Synthetic;
        m_positionUSecs = 0;
        setMode(Mode::Stopped);
    }
    updateBar();
    emit speechFinished();
}

SoundSystem *MediaControl::soundSystem()
{
    if (m_soundLoaded)
        return m_sound.get();
    m_soundLoaded = true;
    m_sound = loadSoundSystem();
    if (!m_sound)
        return nullptr;
    m_sound->playbackFinished = [this] { playbackEnded(); };
    m_sound->playbackFailed = [this] { playbackEnded(); };
    m_sound->recordingInterrupted = [this] { finishRecording(); };
    m_sound->devicesChanged = [this] { refreshDevices(); };
    m_devicePoll.start();
    refreshDevices();
    return m_sound.get();
}

void MediaControl::finishRecording()
{
    if (m_mode != Mode::Recording)
        return;
    AudioClip recording = m_sound->stopRecording();
    // A device that delivered nothing leaves the clip that was there.
    if (!recording.isEmpty()) {
        m_clip = std::move(recording);
        m_recording = Recording::Microphone;
    }
    m_positionUSecs = 0;
    setMode(Mode::Stopped);
}

void MediaControl::playbackEnded()
{
    if (m_mode != Mode::Playing)
        return;
    m_positionUSecs = 0;
    setMode(Mode::Stopped);
}

void MediaControl::setMode(Mode mode)
{
    if (mode == Mode::Playing || mode == Mode::Recording)
        m_barTimer.start();
    else
        m_barTimer.stop();
    const bool changed = mode != m_mode;
    m_mode = mode;
    updateBar();
    if (changed)
        emit modeChanged(mode);
}

void MediaControl::refreshDevices()
{
    const bool hasOutput = m_sound->hasOutput();
    const bool hasInput = m_sound->hasInput();
    if (hasOutput == m_hasOutput && hasInput == m_hasInput)
        return;
    m_hasOutput = hasOutput;
    m_hasInput = hasInput;
    updateBar();
}

void MediaControl::updateBar()
{
    const bool atRest = m_mode == Mode::Stopped || m_mode == Mode::Paused;
    m_prevButton->setEnabled(m_mode == Mode::Playing || m_mode == Mode::Paused);
    m_playButton->setEnabled(atRest && m_hasOutput && !m_clip.isEmpty());
    m_pauseButton->setEnabled(m_mode == Mode::Playing);
    m_stopButton->setEnabled(m_mode == Mode::Playing || m_mode == Mode::Paused
                             || m_mode == Mode::Recording);
    m_recordButton->setEnabled(atRest && m_hasInput);
    // A disabled button says why. Microphones are looked for only once the sound system loads,
    // at the first play-button press; until then the reason is that nothing is chosen.
    const QString recordTip = m_soundLoaded && !m_hasInput
            ? QStringLiteral("Enregistra: no s'ha trobat cap micròfon")
            : m_mode == Mode::NotOpen ? chooseAnItemFirst(QStringLiteral("Enregistra"))
                                      : QStringLiteral("Enregistra");
    if (m_recordButton->toolTip() != recordTip)
        m_recordButton->setToolTip(recordTip);
    updateVoiceButton();
    m_elapsedLabel->setText(elapsedText(elapsedMs()));
    m_levelMeter->setValue(qRound(level() * 100));
}

void MediaControl::updateVoiceButton()
{
    // Which voice there is is looked for once an item has been chosen, not while the window
    // starts; until then the button has nothing to say and its tooltip names no voice.
    if (!m_speechText) {
        m_voiceButton->setEnabled(false);
        m_voiceButton->setToolTip(chooseAnItemFirst(QStringLiteral("Veu sintètica")));
        return;
    }
    const Voice::Kind kind = m_voice->kind();
    const bool hasText = !m_speechText().trimmed().isEmpty();
    m_voiceButton->setEnabled(m_mode != Mode::NotOpen && m_mode != Mode::Recording && hasText
                              && !m_voice->isSpeaking() && kind != Voice::Kind::None);
    QString tip;
    switch (kind) {
    case Voice::Kind::Festival:
        tip = QStringLiteral("Veu sintètica: llegeix l'element triat amb la veu Ona (Festival)");
        break;
    case Voice::Kind::Espeak:
        tip = QStringLiteral(
                "Veu sintètica: llegeix l'element triat amb la veu catalana d'eSpeak NG");
        break;
    case Voice::Kind::None:
        tip = QStringLiteral("Veu sintètica: no hi ha cap veu catalana instal·lada");
        break;
    }
    // Why it cannot be pressed, where the reason is not the voice's.
    if (kind != Voice::Kind::None && m_mode == Mode::NotOpen)
        tip = chooseAnItemFirst(QStringLiteral("Veu sintètica"));
    else if (kind != Voice::Kind::None && !hasText)
        tip = QStringLiteral("Veu sintètica: l'element triat no té cap text per llegir");
    if (m_voiceButton->toolTip() != tip)
        m_voiceButton->setToolTip(tip);
}

float MediaControl::level() const
{
    if (m_mode == Mode::Recording)
        return m_sound->level();
    if (m_mode != Mode::Playing)
        return 0;
    const qint64 now = m_sound->positionUSecs();
    const float *samples = m_heard.samples.constData();
    const qint64 from = m_heard.frameAt(now - kLevelWindowUSecs) * m_heard.channelCount;
    const qint64 to = m_heard.frameAt(now) * m_heard.channelCount;
    return std::min(peakLevel(samples + from, samples + to), 1.0f);
}

void MediaControl::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
        setCommand(m_mode == Mode::Playing             ? QStringLiteral("pause")
                           : m_mode == Mode::Recording ? QStringLiteral("stop")
                                                       : QStringLiteral("play"));
        break;
    case Qt::Key_Home:
        setCommand(QStringLiteral("prev"));
        break;
    case Qt::Key_Escape:
        setCommand(QStringLiteral("stop"));
        break;
    case Qt::Key_R:
        setCommand(QStringLiteral("record"));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
