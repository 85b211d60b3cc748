// The Controller page's "Set Controller" group: read a controller's ID and
// serial number, find the ID that goes with a serial number, and give the
// controller with a serial number a new ID. Both take the open link and the
// texts of the page as typed; neither shows a title of its own.
#pragma once

#include "controller/operation.h"
#include "link/link.h"

#include <QByteArray>
#include <optional>

namespace kt {

struct ControllerIdResult {
    bool ok = false;
    // New texts for the ID field (edCtrlByID) and the serial number field
    // (edCtrlBySN); nullopt leaves a field as it is.
    std::optional<QByteArray> idText;
    std::optional<QByteArray> serialText;
};

// Get S/N or ID. byIdChecked is the state of the "ID:" option (rbCtrlByID);
// otherwise "S/N:" is chosen. By ID: the address + "AS", a 21-byte reply
// gives the ID (positions 2 to 5) and the serial number (8 to 15). By S/N:
// "0000AV" + serialText, a 17-byte reply gives the ID (2 to 5).
ControllerIdResult GetControllerId(Link& link, const QByteArray& address, bool byIdChecked,
                                   const QByteArray& serialText);

// Set ID by S/N: "0000AV" + serialText + newIdText; a 17-byte reply is
// success. The address the window keeps does not change: only Connect
// changes it.
OperationResult SetControllerIdBySerial(Link& link, const QByteArray& serialText,
                                        const QByteArray& newIdText);

}  // namespace kt
