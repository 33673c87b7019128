// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/engine/espeak.h"

#include <QLibrary>
#include <QTimer>

#include <espeak-ng/speak_lib.h>

#include <utility>

namespace {

// The pace of the shipped samples' clips: slower than espeak-ng's own, for children.
constexpr int kEspeakWordsPerMinute = 140;

struct Library
{
    int sampleRate = 0;
    decltype(&espeak_Synth) synth = nullptr;
    decltype(&espeak_Synchronize) synchronize = nullptr;
};
// espeak-ng keeps one state for the whole process, so it is opened and set up only once.
Library opened;

int collectSamples(short *wav, int count, espeak_EVENT *events)
{
    auto *samples = static_cast<QList<float> *>(events->user_data);
    for (int i = 0; wav && i < count; ++i)
        samples->append(wav[i] / 32768.0f);
    return 0;
}

template<typename F>
F resolved(QLibrary &library, const char *name)
{
    return reinterpret_cast<F>(library.resolve(name));
}

const Library *openLibrary(const QString &name)
{
    // Never unloaded: the library keeps its voice data and threads for the process's life.
    QLibrary library(name, 1);
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load())
        return nullptr;
    if (opened.sampleRate > 0)
        return &opened;

    const auto initialize = resolved<decltype(&espeak_Initialize)>(library, "espeak_Initialize");
    const auto setCallback = resolved<decltype(&espeak_SetSynthCallback)>(
            library, "espeak_SetSynthCallback");
    const auto setVoice = resolved<decltype(&espeak_SetVoiceByName)>(library,
                                                                     "espeak_SetVoiceByName");
    const auto setParameter = resolved<decltype(&espeak_SetParameter)>(library,
                                                                       "espeak_SetParameter");
    Library found;
    found.synth = resolved<decltype(&espeak_Synth)>(library, "espeak_Synth");
    found.synchronize = resolved<decltype(&espeak_Synchronize)>(library, "espeak_Synchronize");
    if (!initialize || !setCallback || !setVoice || !setParameter || !found.synth
        || !found.synchronize)
        return nullptr;
    // Without DONT_EXIT, espeak-ng ends the whole program when its data is missing.
    found.sampleRate = initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (found.sampleRate <= 0 || setVoice("ca") != EE_OK)
        return nullptr;
    setCallback(collectSamples);
    setParameter(espeakRATE, kEspeakWordsPerMinute, 0);
    opened = found;
    return &opened;
}

} // namespace

Espeak::Espeak(QObject *parent) : Synthesiser(parent), m_library(QStringLiteral("espeak-ng")) { }

void Espeak::setLibrary(const QString &name)
{
    m_library = name;
    m_installed.reset();
}

bool Espeak::isInstalled()
{
    // Found, not opened: opening reads the voice data, which waits for the first word. Where
    // there is no library at all (Windows has none), the button says so before it is pressed.
    if (!m_installed)
        m_installed = QLibrary(m_library, 1).load();
    return *m_installed;
}

void Espeak::speak(const QString &text, const Decoder &, Done done)
{
    m_done = std::move(done);
    // Called back from the event loop, as Festival would be.
    QTimer::singleShot(0, this, [this, text] {
        const Done deliver = std::exchange(m_done, nullptr);
        if (!deliver)
            return;
        const Library *library = openLibrary(m_library);
        if (!library) {
            deliver(std::nullopt);
            return;
        }
        AudioClip spoken;
        spoken.sampleRate = library->sampleRate;
        spoken.channelCount = 1;
        const QByteArray utf8 = text.toUtf8();
        library->synth(utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0,
                       espeakCHARS_UTF8, nullptr, &spoken.samples);
        library->synchronize();
        deliver(std::move(spoken));
    });
}

void Espeak::cancel()
{
    m_done = nullptr;
}
