// How each controller family takes its firmware: the size of the blocks its
// loader writes and checks, and how many of them it holds. Families 3 and 6
// (loader dialogue A) take 512-byte blocks, 1, 2 and 5 (dialogue B) 256-byte
// blocks, family 4 (dialogue C) 64-byte blocks; every other family has no
// loader we know of.
#pragma once

#include "controller/family.h"

#include <optional>

namespace kt {

struct FirmwareLayout {
    int blockSize = 0;
    int maxBlocks = 0;  // blocks past this are not taken from the file
};

// nullopt for a family without a known loader dialogue (0: not identified, 7 to 9).
std::optional<FirmwareLayout> FirmwareLayoutOf(Family family);

}  // namespace kt
