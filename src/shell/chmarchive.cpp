#include "chmarchive.h"

#include "shell/logic/chmdirectory.h"

#include <QFile>
#include <QFileInfo>

#include <chm_lib.h>

namespace {

// No part of a help file comes near this; a larger length is damage.
constexpr LONGUINT64 LargestPart = 64 * 1024 * 1024;

// Reads the last byte of every part stored uncompressed (the compressed
// parts lie inside one of them): a file cut short or with a damaged
// directory cannot give them all.
int lastByteReadable(chmFile *file, chmUnitInfo *unit, void *allReadable)
{
    unsigned char last = 0;
    if (unit->space == CHM_UNCOMPRESSED && unit->length > 0 &&
        chm_retrieve_object(file, unit, &last, unit->length - 1, 1) != 1) {
        *static_cast<bool *>(allReadable) = false;
        return CHM_ENUMERATOR_SUCCESS;
    }
    return CHM_ENUMERATOR_CONTINUE;
}

} // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const QString &path, OpenError *error)
{
    *error = OpenError::None;
    if (!QFileInfo(path).isFile()) {
        *error = OpenError::Missing;
        return nullptr;
    }
    // chmlib follows the directory's links as they are: a damaged chain
    // would keep it reading for ever.
    QFile bytes(path);
    if (!bytes.open(QIODevice::ReadOnly) || checkChmDirectory(bytes) != ChmDirectoryFault::None) {
        *error = OpenError::Damaged;
        return nullptr;
    }
    bytes.close();
    chmFile *file = chm_open(QFile::encodeName(path).constData());
    if (!file) {
        *error = OpenError::Damaged;
        return nullptr;
    }
    std::unique_ptr<ChmArchive> archive(new ChmArchive(file, path));
    bool allReadable = true;
    const bool listed = chm_enumerate(file, CHM_ENUMERATE_ALL, lastByteReadable, &allReadable) != 0;
    // Every compiled help file has a "#SYSTEM" part.
    if (!listed || !allReadable || !archive->read(QStringLiteral("/#SYSTEM"))) {
        *error = OpenError::Damaged;
        return nullptr;
    }
    return archive;
}

ChmArchive::~ChmArchive()
{
    chm_close(m_file);
}

bool ChmArchive::contains(const QString &part) const
{
    chmUnitInfo unit{};
    return chm_resolve_object(m_file, part.toUtf8().constData(), &unit) == CHM_RESOLVE_SUCCESS;
}

std::optional<QByteArray> ChmArchive::read(const QString &part) const
{
    chmUnitInfo unit{};
    if (chm_resolve_object(m_file, part.toUtf8().constData(), &unit) != CHM_RESOLVE_SUCCESS ||
        unit.length > LargestPart)
        return std::nullopt;
    QByteArray bytes(qsizetype(unit.length), Qt::Uninitialized);
    if (unit.length > 0 && chm_retrieve_object(m_file, &unit, reinterpret_cast<unsigned char *>(bytes.data()),
                                               0, LONGINT64(unit.length)) != LONGINT64(unit.length))
        return std::nullopt;
    return bytes;
}
