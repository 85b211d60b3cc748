// The firmware file: a 16-byte header that names the model (the text ends
// at the first zero byte when it is shorter), then the bytes to write into
// the controller from address 0 upward. No length field, no checksum.
//
// The loader cuts the data into the blocks the connected family's loader
// takes, fills the last block with 0xFF, leaves out whatever lies past the
// family's limit, and refuses a file made for another model.
#pragma once

#include "controller/family.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace kt {

// No firmware file is usefully larger: 16 header bytes and the largest
// family's 984 blocks of 64 bytes take under 64 KiB. Larger files, and
// anything that is not a regular file (a FIFO, a device), are refused
// before they are read.
inline constexpr qint64 kMaxFirmwareFileSize = 1024 * 1024;

// A firmware as the programmer writes it: blocks in address order, block k
// at controller address k * blockSize.
struct FirmwareImage {
    int blockSize = 0;
    QList<QByteArray> blocks;  // each exactly blockSize bytes

    // FirmwareBlockCount.
    int blockCount() const { return static_cast<int>(blocks.size()); }
};

struct FirmwareFile {
    enum class Outcome {
        Loaded,        // read, and the model fits the controller
        CannotOpen,    // "Load firmware file error!": also too large, not a
                       // regular file, or no data behind the header
        ModelRefused,  // "Firmware file format model error!"
    };
    Outcome outcome = Outcome::CannotOpen;
    // The header bytes before the first zero byte, at most 16.
    QByteArray headerText;
    // nullopt when the file could not be opened, and when the family has no
    // loader we know of: then no data are read, no model is checked, and the
    // window keeps the block count it had. A refused file still brings its
    // blocks; nothing uses them.
    std::optional<FirmwareImage> image;

    // Why the file was refused, for a person; empty when loaded.
    QString cause;

    bool ok() const { return outcome == Outcome::Loaded; }
    // The status text of a refusal by its English wording; nullptr when loaded.
    const char* errorText() const;
};

// LoadFirmwareFile: reads the file at path for the controller that Connect
// identified (its family, and the text it put into the version panel).
// A file with no data behind its header is refused: programming it would
// erase the controller and start it into nothing.
FirmwareFile LoadFirmwareFile(const QString& path, Family family, const QByteArray& versionText);
// The same for a file's whole contents already read (standard input).
FirmwareFile LoadFirmwareBytes(const QByteArray& contents, Family family,
                               const QByteArray& versionText);

// Reads a whole regular file of at most maxSize bytes; nullopt and a reason
// in *why otherwise. Never opens a FIFO or a device, never reads past the bound.
std::optional<QByteArray> ReadBoundedFile(const QString& path, qint64 maxSize, QString* why);

// The header text of a file just chosen from the menu, for the status line;
// nullopt when the file cannot be opened, is not a regular file or is too
// large (passed over in silence).
std::optional<QByteArray> ReadFirmwareHeader(const QString& path);

}  // namespace kt
