// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/engine/voice.h"

#include <QTimer>

#include <utility>

namespace {

// Shorter than any word: what a synthesiser gives for a text of marks it does not read.
constexpr qint64 kShortestWordUSecs = 100000;

bool holdsWords(const AudioClip &spoken)
{
    return spoken.durationUSecs() >= kShortestWordUSecs && !isSilent(spoken);
}

} // namespace

Voice::~Voice()
{
    cancel();
}

Voice::Kind Voice::kind()
{
    for (const auto &[synthesiser, failed] : m_synthesisers) {
        if (!failed && synthesiser->isInstalled())
            return synthesiser->kind();
    }
    return Kind::None;
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
    speakFrom(0);
}

void Voice::speakFrom(std::size_t first)
{
    for (std::size_t i = first; i < m_synthesisers.size(); ++i) {
        Synthesiser *synthesiser = m_synthesisers[i].first;
        if (m_synthesisers[i].second || !synthesiser->isInstalled())
            continue;
        m_speaking = synthesiser;
        synthesiser->speak(m_text, m_decode, [this, i](std::optional<AudioClip> spoken) {
            m_speaking = nullptr;
            if (spoken && holdsWords(*spoken)) {
                finish(std::move(*spoken));
                return;
            }
            // A synthesiser that failed is passed over from now on; one that had no word for
            // this text is asked again for the next.
            if (!spoken)
                m_synthesisers[i].second = true;
            speakFrom(i + 1);
        });
        return;
    }
    // No voice could speak this text: the caller still hears back from the event loop.
    QTimer::singleShot(0, this, [this] { finish({}); });
}

void Voice::cancel()
{
    if (Synthesiser *speaking = std::exchange(m_speaking, nullptr))
        speaking->cancel();
    m_done = nullptr;
    m_decode = nullptr;
}

void Voice::finish(AudioClip spoken)
{
    const Done done = std::exchange(m_done, nullptr);
    m_decode = nullptr;
    if (done)
        done(std::move(spoken));
}
