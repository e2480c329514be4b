// The settings file: any bytes load through the real file path, and the
// document they form writes back byte for byte.
#include "fuzzsupport.h"

#include "devicelink/inidocument.h"
#include "devicelink/settingsfile.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzz::bytesOf(data, size);
    static const QString path = Fuzz::workPath(QString::fromLatin1(SettingsFile::FileName));
    Fuzz::writeFile(path, bytes);

    TSystemVars vars;
    Fuzz::require(SettingsFile::load(path, vars) == SettingsFile::LoadResult::Loaded);

    Fuzz::require(IniDocument::fromBytes(bytes).toBytes() == bytes);
    return 0;
}
