// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/engine/festival.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

namespace {

// Ona reads a long item 1 in a few seconds on a school's oldest computer; a synthesiser that
// takes this long has hung.
constexpr int kFestivalTimeoutMs = 30000;

// What Festival's ISO-8859-15 spells differently from the text's Unicode.
struct Spelling
{
    char16_t from;
    const char *to;
};
constexpr Spelling kSpellings[] = {
        {u'\n', "\n"},
        {u'\u2018', "'"},
        {u'\u2019', "'"},
        {u'\u02bc', "'"},
        {u'\u201c', "\""},
        {u'\u201d', "\""},
        {u'\u2013', "-"},
        {u'\u2014', "-"},
        {u'\u2026', "..."},
        // Catalan's ela geminada typed as one letter.
        {u'\u013f', "L\xb7"},
        {u'\u0140', "l\xb7"},
        // Where ISO-8859-15 differs from Latin-1: its letters move in, Latin-1's go.
        {u'\u20ac', "\xa4"},
        {u'\u0160', "\xa6"},
        {u'\u0161', "\xa8"},
        {u'\u017d', "\xb4"},
        {u'\u017e', "\xb8"},
        {u'\u0152', "\xbc"},
        {u'\u0153', "\xbd"},
        {u'\u0178', "\xbe"},
        {u'\xa4', " "},
        {u'\xa6', " "},
        {u'\xa8', " "},
        {u'\xb4', " "},
        {u'\xb8', " "},
        {u'\xbc', " "},
        {u'\xbd', " "},
        {u'\xbe', " "},
};

void endProcess(QProcess *process)
{
    process->disconnect();
    process->kill();
    // A killed process is gone at once; this only collects it.
    process->waitForFinished(1000);
    process->deleteLater();
}

} // namespace

SynthesiserCommand festivalSynthesiser()
{
    return {QStringLiteral("text2wave"),
            {QStringLiteral("-eval"), QStringLiteral("(voice_upc_ca_ona_hts)")},
            QStringLiteral("festival/voices/catalan/upc_ca_ona_hts"),
            kFestivalTimeoutMs};
}

QByteArray festivalText(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const auto spelt = std::find_if(std::begin(kSpellings), std::end(kSpellings),
                                        [u](const Spelling &s) { return s.from == u; });
        if (spelt != std::end(kSpellings))
            out += spelt->to;
        else
            out += (u < 0x20 || (u >= 0x7f && u < 0xa0) || u > 0xff) ? ' ' : char(u);
    }
    return out;
}

Festival::Festival(QObject *parent)
    : Synthesiser(parent), m_command(festivalSynthesiser()), m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    // Hung: the rest of the session does without Festival.
    connect(m_timeout, &QTimer::timeout, this, &Festival::ended);
}

Festival::~Festival()
{
    cancel();
}

void Festival::setCommand(const SynthesiserCommand &command)
{
    m_command = command;
    m_installed.reset();
}

bool Festival::isInstalled()
{
    if (!m_installed) {
        m_installed = !QStandardPaths::findExecutable(m_command.program).isEmpty()
                && (m_command.voiceData.isEmpty()
                    || !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                               m_command.voiceData, QStandardPaths::LocateDirectory)
                                .isEmpty());
    }
    return *m_installed;
}

void Festival::speak(const QString &text, const Decoder &decode, Done done)
{
    cancel();
    m_decode = decode;
    m_done = std::move(done);
    m_process = new QProcess(this);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, &Festival::ended);
    // Queued: a program that is not there fails inside start(), before the text is written.
    connect(
            m_process, &QProcess::errorOccurred, this,
            [this, process = m_process](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart && process == m_process)
                    ended();
            },
            Qt::QueuedConnection);
    m_process->start(m_command.program, m_command.arguments);
    m_process->write(festivalText(text));
    m_process->closeWriteChannel();
    m_timeout->start(m_command.timeoutMs);
}

void Festival::cancel()
{
    m_timeout->stop();
    m_done = nullptr;
    m_decode = nullptr;
    if (QProcess *process = std::exchange(m_process, nullptr))
        endProcess(process);
}

void Festival::ended()
{
    QProcess *process = std::exchange(m_process, nullptr);
    if (!process)
        return;
    m_timeout->stop();
    QByteArray wav;
    if (process->state() == QProcess::NotRunning && process->error() != QProcess::FailedToStart
        && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
        wav = process->readAllStandardOutput();
    endProcess(process);
    const Decoder decode = std::exchange(m_decode, nullptr);
    const Done done = std::exchange(m_done, nullptr);
    // Missing, crashed, hung, or no Catalan voice (text2wave then writes nothing and succeeds).
    // A text with no word Ona can say ("____", "?") gives a WAV without a sample: Festival is
    // fine, this text is not for it.
    if (wav.isEmpty())
        done(std::nullopt);
    else
        done(decode(wav));
}
