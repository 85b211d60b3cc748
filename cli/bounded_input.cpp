#include "cli/bounded_input.h"

#include "firmware/firmware_file.h"

#include <QFile>

#include <cstdio>

namespace ktcli {

QString InputName(const QString& path) {
    return path == u"-" ? QStringLiteral("standard input") : path;
}

namespace {

std::optional<QByteArray> readStandardInput(qint64 maxSize, QString* why) {
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        *why = QStringLiteral("standard input: %1").arg(in.errorString());
        return std::nullopt;
    }
    // One byte past the bound tells a file that is too large.
    QByteArray contents;
    while (contents.size() <= maxSize) {
        const QByteArray chunk = in.read(maxSize + 1 - contents.size());
        if (chunk.isEmpty()) break;
        contents += chunk;
    }
    if (contents.size() > maxSize) {
        *why = QStringLiteral("standard input: larger than %1 bytes").arg(maxSize);
        return std::nullopt;
    }
    return contents;
}

}  // namespace

std::optional<QByteArray> ReadBoundedInput(const QString& path, qint64 maxSize, QString* why) {
    QString reason;
    auto contents = path == u"-" ? readStandardInput(maxSize, &reason)
                                 : kt::ReadBoundedFile(path, maxSize, &reason);
    if (!contents && why)
        *why = reason + QStringLiteral(
                            " (wants a regular file of at most %1 bytes, or - for standard input)")
                            .arg(maxSize);
    return contents;
}

}  // namespace ktcli
