#include "firmware/firmware_family.h"

namespace kt {

std::optional<FirmwareLayout> FirmwareLayoutOf(int family) {
    switch (family) {
        case 3:
        case 6:
            return FirmwareLayout{512, 124};  // 63,488 bytes
        case 1:
        case 2:
        case 5:
            return FirmwareLayout{256, 248};  // 63,488 bytes
        case 4:
            return FirmwareLayout{64, 984};  // 62,976 bytes
        default:
            return std::nullopt;
    }
}

}  // namespace kt
