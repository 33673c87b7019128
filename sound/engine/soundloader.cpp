// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/engine/soundloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QStringList>

#include <cstdio>

QFunctionPointer resolveModule(const QString &relative, const char *symbol, QStringList *reasons)
{
    // `relative` is where the install puts the module, relative to the executable's folder; the
    // same path holds in the build tree. A program copied somewhere else on its own (Windows, a
    // portable folder) finds the module beside itself.
    const QDir programDir(QCoreApplication::applicationDirPath());
    QStringList candidates {QDir::cleanPath(programDir.filePath(relative))};
    const QString beside = programDir.filePath(QFileInfo(relative).fileName());
    if (!candidates.contains(beside))
        candidates.append(beside);

    for (const QString &path : std::as_const(candidates)) {
        QLibrary module(path);
        // Never unloaded: sinks and sources handed to deleteLater() run the module's code, and
        // Qt Multimedia's, after the sound system that made them is gone.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (!QFileInfo::exists(path)) {
            reasons->append(QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(path)));
            continue;
        }
        if (const QFunctionPointer function = module.resolve(symbol))
            return function;
        reasons->append(module.errorString());
    }
    return nullptr;
}

std::unique_ptr<SoundSystem> loadSoundSystem()
{
    QStringList reasons;
    const auto create = reinterpret_cast<CreateSoundSystem>(
            resolveModule(QStringLiteral(LUVANA_SOUND_MODULE), kCreateSoundSystem, &reasons));
    if (create)
        return std::unique_ptr<SoundSystem>(create());
    // The window shows no messages of its own; whoever started it from a terminal, or reads
    // the session's log, learns why the play buttons are silent.
    std::fprintf(stderr, "luvana: no sound, the sound module could not be loaded:\n");
    for (const QString &reason : std::as_const(reasons))
        std::fprintf(stderr, "  %s\n", qUtf8Printable(reason));
    return nullptr;
}
