// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/voice.h"

#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <espeak-ng/speak_lib.h>

#include <utility>

namespace {

// Ona reads a long item 1 in a few seconds on a school's oldest computer; a synthesiser that
// takes this long has hung.
constexpr int kFestivalTimeoutMs = 30000;
// The pace of the shipped samples' clips: slower than espeak-ng's own, for children.
constexpr int kEspeakWordsPerMinute = 140;

// espeak-ng keeps one state for the whole process, so it is opened and set up only once.
struct Espeak
{
    int sampleRate = 0;
    decltype(&espeak_Synth) synth = nullptr;
    decltype(&espeak_Synchronize) synchronize = nullptr;
};

int collectSamples(short *wav, int count, espeak_EVENT *events)
{
    auto *samples = static_cast<QList<float> *>(events->user_data);
    for (int i = 0; wav && i < count; ++i)
        samples->append(wav[i] / 32768.0f);
    return 0;
}

const Espeak *openEspeak(const QString &name)
{
    static Espeak espeak;
    // Never unloaded: the library keeps its voice data and threads for the process's life.
    QLibrary library(name, 1);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load())
        return nullptr;
    if (espeak.sampleRate > 0)
        return &espeak;

    const auto initialize = reinterpret_cast<decltype(&espeak_Initialize)>(
            library.resolve("espeak_Initialize"));
    const auto setCallback = reinterpret_cast<decltype(&espeak_SetSynthCallback)>(
            library.resolve("espeak_SetSynthCallback"));
    const auto setVoice = reinterpret_cast<decltype(&espeak_SetVoiceByName)>(
            library.resolve("espeak_SetVoiceByName"));
    const auto setParameter = reinterpret_cast<decltype(&espeak_SetParameter)>(
            library.resolve("espeak_SetParameter"));
    Espeak opened;
    opened.synth = reinterpret_cast<decltype(&espeak_Synth)>(library.resolve("espeak_Synth"));
    opened.synchronize = reinterpret_cast<decltype(&espeak_Synchronize)>(
            library.resolve("espeak_Synchronize"));
    if (!initialize || !setCallback || !setVoice || !setParameter || !opened.synth
        || !opened.synchronize)
        return nullptr;
    // Without DONT_EXIT, espeak-ng ends the whole program when its data is missing.
    opened.sampleRate = initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (opened.sampleRate <= 0 || setVoice("ca") != EE_OK)
        return nullptr;
    setCallback(collectSamples);
    setParameter(espeakRATE, kEspeakWordsPerMinute, 0);
    espeak = opened;
    return &espeak;
}

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
        switch (u) {
        case u'\n':
            out += '\n';
            continue;
        case u'\u2018':
        case u'\u2019':
        case u'\u02bc':
            out += '\'';
            continue;
        case u'\u201c':
        case u'\u201d':
            out += '"';
            continue;
        case u'\u2013':
        case u'\u2014':
            out += '-';
            continue;
        case u'\u2026':
            out += "...";
            continue;
        // Catalan's ela geminada typed as one letter.
        case u'\u013f':
            out += "L\xb7";
            continue;
        case u'\u0140':
            out += "l\xb7";
            continue;
        // Where ISO-8859-15 differs from Latin-1.
        case u'\u20ac':
            out += '\xa4';
            continue;
        case u'\u0160':
            out += '\xa6';
            continue;
        case u'\u0161':
            out += '\xa8';
            continue;
        case u'\u017d':
            out += '\xb4';
            continue;
        case u'\u017e':
            out += '\xb8';
            continue;
        case u'\u0152':
            out += '\xbc';
            continue;
        case u'\u0153':
            out += '\xbd';
            continue;
        case u'\u0178':
            out += '\xbe';
            continue;
        case u'\xa4':
        case u'\xa6':
        case u'\xa8':
        case u'\xb4':
        case u'\xb8':
        case u'\xbc':
        case u'\xbd':
        case u'\xbe':
            out += ' ';
            continue;
        default:
            break;
        }
        out += (u < 0x20 || (u >= 0x7f && u < 0xa0) || u > 0xff) ? ' ' : char(u);
    }
    return out;
}

Voice::Voice(QObject *parent)
    : QObject(parent),
      m_command(festivalSynthesiser()),
      m_espeakLibrary(QStringLiteral("espeak-ng")),
      m_timeout(new QTimer(this))
{
    m_timeout->setSingleShot(true);
    connect(m_timeout, &QTimer::timeout, this, [this] {
        // Hung: the rest of the session does without Festival.
        m_festivalFailed = true;
        festivalEnded();
    });
}

Voice::~Voice()
{
    cancel();
}

void Voice::setSynthesiser(const SynthesiserCommand &command)
{
    m_command = command;
    m_festivalInstalled.reset();
    m_festivalFailed = false;
}

void Voice::setEspeakLibrary(const QString &name)
{
    m_espeakLibrary = name;
    m_espeakFailed = false;
}

Voice::Kind Voice::kind() const
{
    // Looked for once: the bar asks at every refresh.
    if (!m_festivalInstalled) {
        m_festivalInstalled = !QStandardPaths::findExecutable(m_command.program).isEmpty()
                && (m_command.voiceData.isEmpty()
                    || !QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                               m_command.voiceData, QStandardPaths::LocateDirectory)
                                .isEmpty());
    }
    if (!m_festivalFailed && *m_festivalInstalled)
        return Kind::Festival;
    return m_espeakFailed ? Kind::None : Kind::Espeak;
}

bool Voice::isSpeaking() const
{
    return bool(m_done);
}

void Voice::speak(const QString &text, Decoder decode, Done done)
{
    cancel();
    m_text = text;
    m_decode = std::move(decode);
    m_done = std::move(done);
    if (kind() != Kind::Festival) {
        // Called back from the event loop, as Festival would be.
        QTimer::singleShot(0, this, [this] {
            if (m_done)
                speakWithEspeak();
        });
        return;
    }
    m_process = new QProcess(this);
    m_process->setStandardErrorFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, &Voice::festivalEnded);
    // Queued: a program that is not there fails inside start(), before the text is written.
    connect(
            m_process, &QProcess::errorOccurred, this,
            [this, process = m_process](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart && process == m_process)
                    festivalEnded();
            },
            Qt::QueuedConnection);
    m_process->start(m_command.program, m_command.arguments);
    m_process->write(festivalText(text));
    m_process->closeWriteChannel();
    m_timeout->start(m_command.timeoutMs);
}

void Voice::cancel()
{
    m_timeout->stop();
    m_done = nullptr;
    m_decode = nullptr;
    if (QProcess *process = std::exchange(m_process, nullptr))
        endProcess(process);
}

void Voice::festivalEnded()
{
    QProcess *process = std::exchange(m_process, nullptr);
    if (!process)
        return;
    m_timeout->stop();
    AudioClip spoken;
    if (process->state() == QProcess::NotRunning && process->error() != QProcess::FailedToStart
        && process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0)
        spoken = m_decode(process->readAllStandardOutput());
    endProcess(process);
    if (spoken.isEmpty()) {
        // Missing, crashed, or no Catalan voice (text2wave then writes nothing and succeeds).
        m_festivalFailed = true;
        speakWithEspeak();
        return;
    }
    finish(std::move(spoken));
}

void Voice::speakWithEspeak()
{
    AudioClip spoken;
    const Espeak *espeak = m_espeakFailed ? nullptr : openEspeak(m_espeakLibrary);
    if (!espeak) {
        m_espeakFailed = true;
    } else {
        spoken.sampleRate = espeak->sampleRate;
        spoken.channelCount = 1;
        const QByteArray text = m_text.toUtf8();
        espeak->synth(text.constData(), size_t(text.size()) + 1, 0, POS_CHARACTER, 0,
                      espeakCHARS_UTF8, nullptr, &spoken.samples);
        espeak->synchronize();
    }
    finish(std::move(spoken));
}

void Voice::finish(AudioClip spoken)
{
    const Done done = std::exchange(m_done, nullptr);
    m_decode = nullptr;
    if (done)
        done(std::move(spoken));
}
