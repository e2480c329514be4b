// The help file: any bytes open through the real archive reader, which
// checks the directory before chmlib reads it, and the window's parts are
// read from what opened. A hang inside chmlib shows as a timeout.
#include "fuzzsupport.h"

#include "shell/chmarchive.h"
#include "shell/logic/helpsitemap.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    Fuzz::application();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = Fuzz::workPath(QStringLiteral("readme_en.chm"));
    Fuzz::writeFile(path, Fuzz::bytesOf(data, size));

    ChmArchive::OpenError error = ChmArchive::OpenError::None;
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(path, &error);
    Fuzz::require(bool(archive) == (error == ChmArchive::OpenError::None));
    if (!archive)
        return 0;
    const HelpSystemInfo info =
        parseHelpSystemInfo(archive->read(QStringLiteral("/#SYSTEM")).value_or(QByteArray()));
    for (const QString &part : {info.contentsFile, info.defaultPage}) {
        if (part.isEmpty())
            continue;
        const QByteArray bytes = archive->read(QLatin1Char('/') + part).value_or(QByteArray());
        QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
        parseHelpContents(decoder.decode(bytes));
    }
    return 0;
}
