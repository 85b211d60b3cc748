#include "controller/connect.h"

#include "controller/reply_fields.h"

namespace kt {
namespace {

using detail::accepted;
using detail::positions;

constexpr int kAttempts = 3;

// The controllers whose "DB" model field names them outright.
Family familyOfModel(const QByteArray& model) {
    if (model == "KT740") return Family::KT740;
    if (model == "KT350") return Family::KT350;
    if (model == "KT460" || model == "KT380") return Family::KT460;
    if (model == "KT660") return Family::KT660;
    return Family::Unknown;
}

// Any other model is told apart by its version code.
Family familyOfVersionCode(const QByteArray& code) {
    if (code == "V5" || code == "R5") return Family::V5;
    if (code == "V4" || code == "R4") return Family::V4;
    if (code == "V2") return Family::V2;
    if (code == "V3" || code == "R3") return Family::V3;
    return Family::Unknown;
}

void pause() {
    detail::pause(detail::kCommandPauseMs);
}

// Identifies the controller at result.address; false when it cannot be told.
bool identify(Link& link, ConnectResult& result) {
    if (result.family == Family::ThreeDigit) {
        if (!link.SendCommand(result.address + "AV")) return false;
        if (link.ReplyLength() == 20) {
            result.versionText = "KT410XB " + positions(link, 7, 14);
            return true;
        }
        if (link.ReplyLength() == 28) {
            result.versionText = positions(link, 7, 22);
            return true;
        }
        return false;
    }
    if (!accepted(link, result.address + "DB", {29})) return false;
    result.versionText = positions(link, 8, 15) + '-' + positions(link, 16, 23);
    const QByteArray model = positions(link, 8, 12);
    if (const Family family = familyOfModel(model); family != Family::Unknown) {
        result.family = family;
        if (family != Family::KT740)
            result.versionText = positions(link, 8, 19) + "  " + positions(link, 20, 23);
        return true;
    }
    result.family = familyOfVersionCode(positions(link, 16, 17));
    return result.family != Family::Unknown;
}

}  // namespace

ConnectResult Connect(Link& link, const QByteArray& idText, const ConnectObserver& observer) {
    ConnectResult result;
    const auto failed = [&](int remaining) {
        if (observer.attemptFailed) observer.attemptFailed(remaining);
    };

    bool found = false;
    for (int i = 0; i < kAttempts && !found; ++i) {
        pause();
        found = accepted(link, idText + "AC", {17, 15});
        if (!found) failed(6 - i);
    }
    if (found) {
        result.address = positions(link, 2, 5);
    } else {
        for (int i = 0; i < kAttempts && !found; ++i) {
            pause();
            found = accepted(link, idText.left(3) + "AS", {20});
            if (!found) failed(3 - i);
        }
        if (!found) return result;  // NotFound
        result.address = positions(link, 2, 4);
        result.family = Family::ThreeDigit;
    }
    result.outcome = ConnectResult::Outcome::NotIdentified;
    if (observer.addressFound)
        observer.addressFound(result.address, result.family == Family::ThreeDigit);

    pause();
    if (!identify(link, result)) {
        if (result.family != Family::ThreeDigit) result.family = Family::Unknown;
        return result;
    }
    result.outcome = ConnectResult::Outcome::Identified;

    pause();
    if (link.SendCommand(result.address + "AS")) {
        // ReplyText ends at a zero byte: a serial number with one inside is
        // shown cut there, down to nothing, but the panel still shows the reply.
        bool read = true;
        if (link.ReplyLength() == 21)
            result.serialNumber = positions(link, 8, 15);
        else if (link.ReplyLength() == 20)
            result.serialNumber = positions(link, 7, 14);
        else
            read = false;
        if (read) result.serialText = "S/N:" + result.serialNumber + "   ID:" + result.address;
    }
    return result;
}

}  // namespace kt
