#include "soundoutputloader.h"

#include "common/apppaths.h"
#include "measure/soundoutputmodule.h"

#include <QLibrary>

std::unique_ptr<SoundService> loadSoundOutput()
{
    // Never unloaded: the player's code must stay for as long as it lives.
    QLibrary module(AppPaths::besideExecutable(QLatin1String(SoundOutputModule::FileName)));
    using Create = SoundService *(*)();
    const auto create = reinterpret_cast<Create>(module.resolve(SoundOutputModule::CreateFunction));
    if (!create) {
        qWarning("No sound: %s", qPrintable(module.errorString()));
        return nullptr;
    }
    return std::unique_ptr<SoundService>(create());
}
