#include "platform/soundsystem.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

std::unique_ptr<SoundSystem> loadSoundSystem()
{
    // LUVANA_SOUND_MODULE is relative to the executable's folder, the same installed and in the
    // build tree.
    QLibrary module(QDir(QCoreApplication::applicationDirPath())
                            .filePath(QStringLiteral(LUVANA_SOUND_MODULE)));
    // Never unloaded: sinks and sources handed to deleteLater() run the module's code, and Qt
    // Multimedia's, after the sound system that made them is gone.
    module.setLoadHints(QLibrary::PreventUnloadHint);
    const auto create = reinterpret_cast<CreateSoundSystem>(module.resolve(kCreateSoundSystem));
    if (!create)
        return nullptr;
    return std::unique_ptr<SoundSystem>(create());
}
