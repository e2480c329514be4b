#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The last bytes (at most tailSize) of a member of a zip file, stored or
// deflated, found through the zip's central directory; std::nullopt when the
// file cannot be read, has no such member or its data is damaged (its size
// or inflated length disagree).
std::optional<QByteArray> zipMemberTail(const QString &zipPath, const QByteArray &member, int tailSize);
