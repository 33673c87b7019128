// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/engine/slowcopies.h"

#include "sound/engine/soundloader.h"

#include <QByteArrayView>
#include <QHash>

#include <cstdio>

namespace {

size_t soundHash(const AudioClip &clip)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(clip.samples.constData()),
                               clip.samples.size() * qsizetype(sizeof(float)));
    return qHashMulti(0, clip.sampleRate, clip.channelCount, qHash(bytes));
}

} // namespace

const AudioClip &SlowCopies::copyOf(const QString &fileName, const AudioClip &clip)
{
    if (!m_loaded) {
        m_loaded = true;
        QStringList reasons;
        m_slowClip = reinterpret_cast<SlowClipFunction>(
                resolveModule(QStringLiteral(LUVANA_SLOW_MODULE), kSlowClip, &reasons));
        if (!m_slowClip) {
            std::fprintf(stderr, "luvana: no slow speech, its module could not be loaded:\n");
            for (const QString &reason : std::as_const(reasons))
                std::fprintf(stderr, "  %s\n", qUtf8Printable(reason));
        }
    }
    if (!m_slowClip)
        return clip;
    const size_t sound = soundHash(clip);
    auto found = m_copies.find(fileName);
    if (found != m_copies.end() && found->second.sound == sound)
        return found->second.slowed;
    AudioClip slowed;
    m_slowClip(&clip, kSlowSpeed, &slowed);
    Copy &copy = m_copies[fileName];
    copy = {sound, std::move(slowed)};
    return copy.slowed;
}
