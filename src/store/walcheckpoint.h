#pragma once

#include <QString>

// Copies the write-ahead log of the database file at path back into the
// file, on a pool thread through a connection of its own. After a long
// transaction that copy takes long; done at the commit, as SQLite does by
// itself, it would stall the thread that committed. A checkpoint that finds
// the log busy, or fails, leaves it for the next one: it loses nothing.
void checkpointInBackground(const QString &path);
