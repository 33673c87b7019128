// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/mediacontrol/mediacontrol.h"

#include "sound/mediacontrol/recorderbar.h"

#include <optional>

using recorder::Command;

namespace {

std::optional<Command> commandNamed(const QString &name)
{
    static const std::pair<QStringView, Command> names[] = {
            {u"close", Command::Close},   {u"open", Command::Open},   {u"prev", Command::Rewind},
            {u"play", Command::Play},     {u"pause", Command::Pause}, {u"stop", Command::Stop},
            {u"record", Command::Record}, {u"save", Command::Save}};
    for (const auto &[each, command] : names) {
        if (name.compare(each, Qt::CaseInsensitive) == 0)
            return command;
    }
    return std::nullopt;
}

} // namespace

MediaControl::MediaControl(QWidget *parent, RecorderEngine::SoundSystemFactory soundSystem)
    : QWidget(parent), m_engine(std::move(soundSystem)), m_bar(new RecorderBar(this))
{
    setFocusProxy(m_bar);
    connect(m_bar, &RecorderBar::commandRequested, &m_engine, [this](Command command) {
        if (const CommandResult result = m_engine.run(command); result != CommandResult::Done)
            emit commandFailed(command, result);
    });
    connect(m_bar, &RecorderBar::voiceRequested, &m_engine, &RecorderEngine::speak);
    connect(&m_engine, &RecorderEngine::stateChanged, this, [this](const recorder::State &state) {
        m_bar->setState(state);
        refreshProgress();
        const bool devices = state.hasOutput != m_shown.hasOutput
                || state.hasInput != m_shown.hasInput;
        m_shown = state;
        if (devices)
            emit devicesChanged(state.hasOutput, state.hasInput);
    });
    connect(&m_engine, &RecorderEngine::tick, this, &MediaControl::refreshProgress);
    connect(&m_engine, &RecorderEngine::modeChanged, this, &MediaControl::modeChanged);
    connect(&m_engine, &RecorderEngine::speechFinished, this, &MediaControl::speechFinished);
    m_shown = m_engine.state();
    m_bar->setState(m_shown);
}

MediaControl::~MediaControl() = default;

void MediaControl::setNotify(bool) { }

void MediaControl::setWait(bool) { }

void MediaControl::setShareable(bool) { }

void MediaControl::setDeviceType(const QString &) { }

void MediaControl::setFileName(const QString &fileName)
{
    m_engine.setFileName(fileName);
}

QString MediaControl::fileName() const
{
    return m_engine.fileName();
}

void MediaControl::setCommand(const QString &command)
{
    // What failed shows in the mode the command leaves behind, which the bar follows.
    static_cast<void>(runCommand(command));
}

MediaControl::CommandResult MediaControl::runCommand(const QString &command)
{
    const std::optional<Command> named = commandNamed(command);
    if (!named)
        return CommandResult::UnknownCommand;
    const CommandResult result = m_engine.run(*named);
    refreshProgress();
    return result;
}

void MediaControl::setSpeechText(std::function<QString()> text)
{
    m_engine.setSpeechText(std::move(text));
}

void MediaControl::speechTextChanged()
{
    m_engine.speechTextChanged();
}

Voice *MediaControl::voice() const
{
    return m_engine.voice();
}

void MediaControl::setSoundSystemFactory(RecorderEngine::SoundSystemFactory factory)
{
    m_engine.setSoundSystemFactory(std::move(factory));
}

void MediaControl::setSlow(bool slow)
{
    m_engine.setSlow(slow);
}

MediaControl::Mode MediaControl::mode() const
{
    return m_engine.mode();
}

qint64 MediaControl::elapsedMs() const
{
    return m_engine.elapsedMs();
}

void MediaControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_bar->setGeometry(rect());
}

// The bar holds the focus in the control's place, so a screen reader names the bar when it gets
// there: it takes the name the window gave the control.
void MediaControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_bar->setAccessibleName(accessibleName());
}

void MediaControl::refreshProgress()
{
    m_bar->showProgress(m_engine.elapsedMs(), m_engine.level());
}
