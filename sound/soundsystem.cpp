// SPDX-License-Identifier: GPL-3.0-or-later

#include "sound/soundsystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QStringList>

#include <cstdio>

std::unique_ptr<SoundSystem> loadSoundSystem()
{
    // LUVANA_SOUND_MODULE is where the install puts the module, relative to the executable's
    // folder; the same path holds in the build tree. A program copied somewhere else on its
    // own (Windows, a portable folder) finds the module beside itself.
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString relative = QStringLiteral(LUVANA_SOUND_MODULE);
    QStringList candidates {QDir::cleanPath(programDir.filePath(relative))};
    const QString beside = programDir.filePath(QFileInfo(relative).fileName());
    if (!candidates.contains(beside))
        candidates.append(beside);

    QStringList reasons;
    for (const QString &path : std::as_const(candidates)) {
        QLibrary module(path);
        // Never unloaded: sinks and sources handed to deleteLater() run the module's code, and
        // Qt Multimedia's, after the sound system that made them is gone.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        if (!QFileInfo::exists(path)) {
            reasons.append(QStringLiteral("%1: no such file").arg(QDir::toNativeSeparators(path)));
            continue;
        }
        const auto create = reinterpret_cast<CreateSoundSystem>(module.resolve(kCreateSoundSystem));
        if (create)
            return std::unique_ptr<SoundSystem>(create());
        reasons.append(module.errorString());
    }
    // The window shows no messages of its own; whoever started it from a terminal, or reads
    // the session's log, learns why the play buttons are silent.
    std::fprintf(stderr, "luvana: no sound, the sound module could not be loaded:\n");
    for (const QString &reason : std::as_const(reasons))
        std::fprintf(stderr, "  %s\n", qUtf8Printable(reason));
    return nullptr;
}
