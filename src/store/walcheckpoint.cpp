#include "store/walcheckpoint.h"

#include <QThreadPool>

#include <sqlite3.h>

void checkpointInBackground(const QString &path)
{
    // The application waits for the pool's threads before it ends.
    QThreadPool::globalInstance()->start([file = path.toUtf8()] {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        sqlite3_close(db);
    });
}
