#include "controller/controller_id.h"

#include "controller/commands.h"
#include "controller/reply_fields.h"

namespace kt {
namespace {

using detail::accepted;
using detail::positions;

}  // namespace

ControllerIdResult GetControllerId(Link& link, const QByteArray& address, bool byIdChecked,
                                   const QByteArray& serialText) {
    detail::pause(detail::kCommandPauseMs);
    ControllerIdResult result;
    if (byIdChecked) {
        // Only the four-digit families' 21-byte form: family 4's 20-byte
        // "AS" reply has its fields elsewhere.
        if (accepted(link, address + command::kSerialNumber, {21})) {
            result = {true, positions(link, 2, 5), positions(link, 8, 15)};
        }
    } else if (accepted(link, command::kBySerialNumber + serialText, {17})) {
        result = {true, positions(link, 2, 5), std::nullopt};
    }
    return result;
}

OperationResult SetControllerIdBySerial(Link& link, const QByteArray& serialText,
                                        const QByteArray& newIdText) {
    detail::pause(detail::kCommandPauseMs);
    return {accepted(link, command::kBySerialNumber + serialText + newIdText, {17})};
}

}  // namespace kt
