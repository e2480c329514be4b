#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// What every fuzz target shares: one application object for the Qt classes
// that need it, a directory for the files the real readers insist on, and a
// way to stop on a broken invariant so that libFuzzer keeps the input.
namespace Fuzz {

inline QCoreApplication &application()
{
    static int argc = 1;
    static char name[] = "kelvora-fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

// Reused by every input of a run: creating a directory per input would cost
// more than the parse.
inline QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString workPath(const QString &name)
{
    return workDir().filePath(name);
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort(); // the harness itself failed, not the code under test
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// A finding: libFuzzer stores the input that led here.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace Fuzz
