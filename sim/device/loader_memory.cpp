#include "sim/device/loader_memory.h"

#include <algorithm>

namespace ktsim {

LoaderMemory::LoaderMemory(char dialogue, int blockSize)
    : dialogue_(dialogue),
      blockSize_(blockSize),
      memory_(kSize, '\0'),
      isWritten_(static_cast<size_t>(blockCount()), false),
      isVerified_(static_cast<size_t>(blockCount()), false) {}

void LoaderMemory::begin() {
    active_ = true;
    ++starts_;
    written_.clear();
    readBack_.clear();
    isWritten_.assign(static_cast<size_t>(blockCount()), false);
    isVerified_.assign(static_cast<size_t>(blockCount()), false);
}

void LoaderMemory::erase(int address, int length) {
    const int from = std::clamp(address, 0, kSize);
    const int to = std::clamp(address + length, from, kSize);
    std::fill(memory_.begin() + from, memory_.begin() + to, '\xFF');
}

void LoaderMemory::eraseAll() {
    erase(0, kSize);
}

void LoaderMemory::program(int k, QByteArrayView data, bool eraseFirst) {
    const qsizetype at = qsizetype{k} * blockSize_;
    if (eraseFirst) erase(static_cast<int>(at), blockSize_);
    for (qsizetype i = 0; i < blockSize_ && i < data.size(); ++i) memory_[at + i] &= data[i];
    written_.append(k);
    isWritten_[static_cast<size_t>(k)] = true;
    isVerified_[static_cast<size_t>(k)] = false;
}

QByteArray LoaderMemory::read(int k) const {
    return memory_.mid(qsizetype{k} * blockSize_, blockSize_);
}

void LoaderMemory::readBack(int k) {
    readBack_.append(k);
    if (isWritten_[static_cast<size_t>(k)]) isVerified_[static_cast<size_t>(k)] = true;
}

bool LoaderMemory::upgrade() {
    if (!active_) return false;
    // The written blocks must run from 0 without a hole: a loader cannot know
    // how long the firmware is, but it can refuse one with a gap in it.
    const auto firstUnwritten = std::find(isWritten_.begin(), isWritten_.end(), false);
    const int n = static_cast<int>(firstUnwritten - isWritten_.begin());
    if (n == 0 || std::find(firstUnwritten, isWritten_.end(), true) != isWritten_.end())
        return false;
    if (!std::all_of(isVerified_.begin(), isVerified_.begin() + n, [](bool v) { return v; }))
        return false;
    upgradeApplied_ = true;
    firmwareBlocks_ = n;
    active_ = false;
    return true;
}

LoaderState LoaderMemory::snapshot() const {
    return {dialogue_, blockSize_, memory_,         active_,        starts_,
            written_,  readBack_,  upgradeApplied_, firmwareBlocks_};
}

}  // namespace ktsim
