// The flash behind a controller's firmware loader, and what the loader
// remembers of one session: which blocks were written, which were read back
// since, and whether it started the new firmware.
//
// Flash as a loader sees it: erasing sets bytes to 0xFF, programming can
// only clear bits, so a block programmed without an erase first holds the
// AND of old and new bytes and fails its read-back. The memory starts out
// as an old firmware of zeros.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <vector>

namespace ktsim {

// A copy of the loader's state at one moment, for tests and traces.
struct LoaderState {
    char dialogue = 0;  // 'A', 'B' or 'C'; 0 for a family without a loader
    int blockSize = 0;
    QByteArray memory;    // the whole flash, LoaderMemory::kSize bytes
    bool active = false;  // a start command came, no upgrade since
    int starts = 0;
    // Since the last start, in the order they came: blocks whose write was
    // acknowledged, and blocks whose read-back was answered with their data.
    QList<int> blocksWritten;
    QList<int> blocksReadBack;
    bool upgradeApplied = false;
    int firmwareBlocks = 0;  // blocks of the firmware the upgrade started

    // Block k of memory.
    QByteArray block(int k) const { return memory.mid(qsizetype{k} * blockSize, blockSize); }
};

class LoaderMemory {
public:
    // Every address that four hex digits can name.
    static constexpr int kSize = 0x10000;

    LoaderMemory(char dialogue, int blockSize);

    int blockSize() const { return blockSize_; }
    int blockCount() const { return kSize / blockSize_; }
    bool active() const { return active_; }

    // A start command: a new session; the memory keeps what it holds.
    void begin();
    void erase(int address, int length);
    void eraseAll();
    // Programs block k with blockSize() bytes; eraseFirst for a loader that
    // erases each block itself.
    void program(int k, QByteArrayView data, bool eraseFirst);
    QByteArray read(int k) const;
    // Block k was read back with what it holds.
    void readBack(int k);
    // Starts the new firmware when blocks 0 to n-1 were written, n > 0, and
    // each was read back after its last write; the session ends then.
    bool upgrade();

    LoaderState snapshot() const;

private:
    char dialogue_;
    int blockSize_;
    QByteArray memory_;
    bool active_ = false;
    int starts_ = 0;
    QList<int> written_;
    QList<int> readBack_;
    std::vector<bool> isWritten_;
    std::vector<bool> isVerified_;  // read back since its last write
    bool upgradeApplied_ = false;
    int firmwareBlocks_ = 0;
};

}  // namespace ktsim
