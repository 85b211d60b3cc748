#include "firmware/firmware_file.h"

#include "firmware/firmware_family.h"

#include <QFile>
#include <QFileInfo>

namespace kt {
namespace {

constexpr int kHeaderSize = 16;
constexpr char kFill = '\xFF';  // what erased flash holds behind the data

QByteArray headerTextOf(const QByteArray& header) {
    const qsizetype end = header.indexOf('\0');
    return end < 0 ? header : header.left(end);
}

// Which file fits which controller. Texts compare by their first n
// characters (the whole text when it is shorter), byte for byte, case
// included.
bool modelAccepted(Family family, const QByteArray& header, const QByteArray& version) {
    switch (family) {
        case Family::V5:
            return header.left(10) == "KT320MX-V5";
        case Family::KT740:
            return header.left(10) == "KT740MX-V6";
        case Family::V3:
        case Family::V4:
        case Family::V2:
            // A KT370 runs the KT310 firmware of its board revision.
            if (version.left(5) == "KT370") return header.left(8) == "KT310" + version.mid(5, 3);
            return header.left(11) == version.left(11);
        case Family::ThreeDigit:
            return header.left(7) == version.left(7);
        default:
            return true;
    }
}

FirmwareImage cutIntoBlocks(const QByteArray& data, const FirmwareLayout& layout) {
    FirmwareImage image;
    image.blockSize = layout.blockSize;
    for (qsizetype at = 0; at < data.size(); at += layout.blockSize) {
        QByteArray block = data.mid(at, layout.blockSize);
        block.append(layout.blockSize - block.size(), kFill);
        image.blocks.append(block);
    }
    return image;
}

}  // namespace

const char* FirmwareFile::errorText() const {
    switch (outcome) {
        case Outcome::CannotOpen:
            return "Load firmware file error!";
        case Outcome::ModelRefused:
            return "Firmware file format model error!";
        case Outcome::Loaded:
            break;
    }
    return nullptr;
}

std::optional<QByteArray> ReadBoundedFile(const QString& path, qint64 maxSize, QString* why) {
    const QFileInfo info(path);
    QString reason;
    if (!info.exists())
        reason = QStringLiteral("%1: no such file").arg(path);
    else if (!info.isFile())
        reason = QStringLiteral("%1: not a regular file").arg(path);
    else if (info.size() > maxSize)
        reason = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(maxSize);
    QByteArray contents;
    if (reason.isEmpty()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            reason = QStringLiteral("%1: %2").arg(path, file.errorString());
        else if ((contents = file.read(maxSize + 1)).size() > maxSize)
            reason = QStringLiteral("%1: larger than %2 bytes").arg(path).arg(maxSize);
    }
    if (reason.isEmpty()) return contents;
    if (why) *why = reason;
    return std::nullopt;
}

FirmwareFile LoadFirmwareFile(const QString& path, Family family, const QByteArray& versionText) {
    QString why;
    const auto contents = ReadBoundedFile(path, kMaxFirmwareFileSize, &why);
    if (!contents) {
        FirmwareFile refused;
        refused.cause = why;
        return refused;
    }
    return LoadFirmwareBytes(*contents, family, versionText);
}

FirmwareFile LoadFirmwareBytes(const QByteArray& contents, Family family,
                               const QByteArray& versionText) {
    FirmwareFile result;
    if (contents.size() > kMaxFirmwareFileSize) {
        result.cause = QStringLiteral("the file is larger than %1 bytes").arg(kMaxFirmwareFileSize);
        return result;
    }
    result.headerText = headerTextOf(contents.left(kHeaderSize));
    if (contents.size() <= kHeaderSize) {
        result.cause = QStringLiteral("the file holds no firmware");
        return result;
    }
    result.outcome = FirmwareFile::Outcome::Loaded;
    const auto layout = FirmwareLayoutOf(family);
    if (!layout) return result;
    // Never more than the family takes: the rest of a larger file is left out.
    const QByteArray data =
        contents.mid(kHeaderSize, qsizetype{layout->blockSize} * layout->maxBlocks);
    result.image = cutIntoBlocks(data, *layout);
    if (!modelAccepted(family, result.headerText, versionText)) {
        result.outcome = FirmwareFile::Outcome::ModelRefused;
        result.cause =
            QStringLiteral("the file is made for %1").arg(QString::fromLatin1(result.headerText));
    }
    return result;
}

std::optional<QByteArray> ReadFirmwareHeader(const QString& path) {
    const auto contents = ReadBoundedFile(path, kMaxFirmwareFileSize, nullptr);
    if (!contents) return std::nullopt;
    return headerTextOf(contents->left(kHeaderSize));
}

}  // namespace kt
