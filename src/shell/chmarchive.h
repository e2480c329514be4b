#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

struct chmFile;

// A compiled HTML help file opened for reading with chmlib. Parts are named
// by their path inside the file, "/readme/welcome.doc".
class ChmArchive {
public:
    enum class OpenError { None, Missing, Damaged };

    // Null with the reason when the file is missing or is no readable
    // compiled help file.
    static std::unique_ptr<ChmArchive> open(const QString &path, OpenError *error);
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    QString path() const { return m_path; }
    bool contains(const QString &part) const;
    // The part's bytes; nothing when it is missing or cannot be read whole.
    std::optional<QByteArray> read(const QString &part) const;

private:
    ChmArchive(chmFile *file, const QString &path) : m_file(file), m_path(path) {}

    chmFile *m_file;
    QString m_path;
};
