// SPDX-License-Identifier: GPL-3.0-or-later

// The loader where the modules are linked into the program (the browser, whose program is one
// .wasm file and can open no library): their entry points are handed out by the names the
// desktop looks them up by in the module files, so the callers are the same.
#include "sound/engine/soundloader.h"

#include <QByteArrayView>

extern "C" SoundSystem *luvana_createSoundSystem();
extern "C" void luvana_slowClip(const AudioClip *clip, double speed, AudioClip *slowed);

QFunctionPointer resolveModule(const QString &relative, const char *symbol, QStringList *reasons)
{
    const QByteArrayView name(symbol);
    if (name == QByteArrayView(kCreateSoundSystem))
        return reinterpret_cast<QFunctionPointer>(&luvana_createSoundSystem);
    if (name == QByteArrayView(kSlowClip))
        return reinterpret_cast<QFunctionPointer>(&luvana_slowClip);
    reasons->append(QStringLiteral("%1: no function %2 is linked in")
                            .arg(relative, QString::fromLatin1(symbol)));
    return nullptr;
}

std::unique_ptr<SoundSystem> loadSoundSystem()
{
    return std::unique_ptr<SoundSystem>(luvana_createSoundSystem());
}
