#include "soundservice.h"

#include "common/apppaths.h"

#include <QDir>
#include <QFileInfo>

namespace {

class SilentSound final : public SoundService {
public:
    bool play(const QString &) override { return false; }
};

SilentSound silent;
SoundService *installed = nullptr;

} // namespace

SoundService &SoundService::instance()
{
    return installed ? *installed : silent;
}

void SoundService::install(SoundService *service)
{
    installed = service;
}

QString findSoundFile(const QString &fileName)
{
    if (fileName.isEmpty())
        return QString();
    if (QFileInfo(fileName).isAbsolute())
        return QFileInfo(fileName).isFile() ? fileName : QString();
    for (const QString &candidate :
         {QDir::current().absoluteFilePath(fileName), AppPaths::besideExecutable(fileName)}) {
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    return QString();
}
