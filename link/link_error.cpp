#include "link/link_error.h"

namespace kt {

const char* LinkFaultName(LinkFault fault) {
    switch (fault) {
        case LinkFault::None:
            return "none";
        case LinkFault::NoSuchPort:
            return "no-such-port";
        case LinkFault::NoAccess:
            return "no-access";
        case LinkFault::InUse:
            return "in-use";
        case LinkFault::Refused:
            return "refused";
        case LinkFault::Unreachable:
            return "unreachable";
        case LinkFault::NoLineSettings:
            return "no-line-settings";
        case LinkFault::LineRefused:
            return "line-refused";
        case LinkFault::Lost:
            return "lost";
        case LinkFault::NoAnswer:
            return "no-answer";
        case LinkFault::BadCheck:
            return "bad-check";
        case LinkFault::BadRequest:
            return "bad-request";
        case LinkFault::NotOpen:
            return "not-open";
        case LinkFault::Other:
            return "other";
    }
    return "other";
}

}  // namespace kt
