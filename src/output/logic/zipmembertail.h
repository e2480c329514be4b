#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The last bytes (at most tailSize) of a deflated member of a zip file,
// found through the zip's central directory and inflated piece by piece;
// std::nullopt when the file cannot be read, has no such member or its data
// is damaged (the inflated length is not the size the directory gives).
std::optional<QByteArray> zipMemberTail(const QString &zipPath, const QByteArray &member, int tailSize);
