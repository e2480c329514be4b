#include "chmarchive.h"

#include <QFile>
#include <QFileInfo>

#include <chm_lib.h>

namespace {

// No part of a help file comes near this; a larger length is damage.
constexpr LONGUINT64 LargestPart = 64 * 1024 * 1024;

} // namespace

std::unique_ptr<ChmArchive> ChmArchive::open(const QString &path, OpenError *error)
{
    *error = OpenError::None;
    if (!QFileInfo(path).isFile()) {
        *error = OpenError::Missing;
        return nullptr;
    }
    chmFile *file = chm_open(QFile::encodeName(path).constData());
    if (!file) {
        *error = OpenError::Damaged;
        return nullptr;
    }
    std::unique_ptr<ChmArchive> archive(new ChmArchive(file, path));
    // Every compiled help file has this part; one that cannot be read
    // whole tells of a cut or overwritten file.
    if (!archive->read(QStringLiteral("/#SYSTEM"))) {
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
