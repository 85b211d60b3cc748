// Firmware files made on the spot, and one programming run against a fresh
// substitute controller over its pseudo-terminal, with everything the run
// reported and everything the controller received and kept.
#pragma once

#include "firmware/firmware_file.h"
#include "firmware/programmer.h"
#include "sim/program/sim_thread.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

namespace kt::test {

// Bytes that differ from block to block and hold letter digits in hex, so
// that a case change or a swapped block shows.
QByteArray firmwareData(int size, int seed = 1);

// A firmware file in a temporary folder: the header bytes as given (a
// 16-byte header is the caller's business), then the data.
class TempFirmwareFile {
public:
    TempFirmwareFile(const QByteArray& header, const QByteArray& data);
    QString path() const { return path_; }

private:
    QTemporaryDir dir_;
    QString path_;
};

// A 16-byte header: the text, zero-filled.
QByteArray header(const QByteArray& text);

// A header text and a version panel text that the family's check accepts,
// as ktsim's controllers of that family identify themselves.
struct Model {
    QByteArray header;
    QByteArray version;
};
Model modelFor(int family);

// The image of a file of dataSize bytes for the family, through the loader.
FirmwareImage imageFor(int family, int dataSize);
// The blocks as one run of bytes, the way the controller's memory holds them.
QByteArray joined(const FirmwareImage& image);

struct ProgramRun {
    bool ok = false;
    QStringList statuses;
    QList<int> countdown;
    QList<int> programProgress, verifyProgress;
    int programMaximum = -1, verifyMaximum = -1;
    qint64 totalMs = 0;
    qint64 upgradingToEndMs = -1;  // from "Upgrading ..." until the run returned
    QList<QByteArray> sent;
    QList<ktsim::LoggedRequest> records;
    ktsim::LoaderState loader;

    // The requests whose text begins so, in order.
    QList<QByteArray> sentStartingWith(const QByteArray& head) const;
    // Milliseconds between the first requests that begin with each head.
    double msBetween(const QByteArray& first, const QByteArray& second, int nth = 0) const;
};

// Programs the image into a fresh controller of config's family at its
// address; faults as ktsim --fault takes them.
ProgramRun program(const ktsim::DeviceConfig& config, const FirmwareImage& image,
                   const QStringList& faults = {});
// The same for a family the image was not cut for (the family passed to
// ProgramFirmware differs from the controller's).
ProgramRun programAs(int family, const ktsim::DeviceConfig& config, const FirmwareImage& image,
                     const QStringList& faults = {});

}  // namespace kt::test
