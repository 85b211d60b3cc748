#include "firmware/firmware_family.h"

namespace kt {

std::optional<FirmwareLayout> FirmwareLayoutOf(Family family) {
    switch (family) {
        case Family::V5:
        case Family::KT740:
            return FirmwareLayout{512, 124};  // 63,488 bytes
        case Family::V3:
        case Family::V4:
        case Family::V2:
            return FirmwareLayout{256, 248};  // 63,488 bytes
        case Family::ThreeDigit:
            return FirmwareLayout{64, 984};  // 62,976 bytes
        default:
            return std::nullopt;
    }
}

}  // namespace kt
