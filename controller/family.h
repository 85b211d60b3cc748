// The controller families the tool tells apart. Connect sets the family; the
// commands, the tests and the firmware loader choose their forms by it. The
// values are the family codes ktcli prints and --family takes.
#pragma once

#include <optional>

namespace kt {

enum class Family {
    Unknown = 0,     // before Connect, or a controller that could not be told
    V3 = 1,          // a model not named below, version code "V3" or "R3"
    V4 = 2,          // a model not named below, version code "V4" or "R4"
    V5 = 3,          // a model not named below, version code "V5" or "R5"
    ThreeDigit = 4,  // three-digit address, found by "AS", described by "AV"
    V2 = 5,          // a model not named below, version code "V2"
    KT740 = 6,
    KT350 = 7,
    KT460 = 8,  // also the KT380
    KT660 = 9,
};

// The family of a code 1 to 9; nullopt for any other number.
constexpr std::optional<Family> FamilyOfCode(int code) {
    if (code < 1 || code > 9) return std::nullopt;
    return static_cast<Family>(code);
}

// The family's code, as the controller and the command line write it.
constexpr int CodeOf(Family family) {
    return static_cast<int>(family);
}

}  // namespace kt
