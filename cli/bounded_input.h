// Files named on the command line, read whole but never without a bound: a
// regular file, or standard input for "-". A FIFO, a device such as
// /dev/zero or a file past the limit is refused before anything is sent.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace ktcli {

// The whole contents; nullopt and one line naming the file and the limit in
// *why otherwise.
std::optional<QByteArray> ReadBoundedInput(const QString& path, qint64 maxSize, QString* why);

// The name a message gives the input: the path, or "standard input".
QString InputName(const QString& path);

}  // namespace ktcli
