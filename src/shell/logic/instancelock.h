#pragma once

#include <QLockFile>
#include <QString>

// The program's title as the single-instance lock knows it: the executable's
// file name without directory and extension, first character upper case and
// the rest lower case ("/opt/bin/kelvora" and "KELVORA.EXE" both give "Kelvora").
QString applicationTitle(const QString &executablePath);

// The lock that lets one instance of the program run at a time: a lock file
// named after the application title in the temporary directory. A lock left by
// an instance that crashed is taken over, not obeyed. Held until destroyed.
class InstanceLock {
public:
    explicit InstanceLock(const QString &title);

    // Takes the lock, waiting up to 100 ms; false when another instance holds
    // it or the lock file cannot be created.
    bool tryAcquire();

    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
    QLockFile m_lock;
};
