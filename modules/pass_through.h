// Commands passed through the controller to a module with "DD": the module
// command test of the Command page, and on the V5 Module page the serial
// number read and the ID setting by serial number. Each takes the open
// link, the address Connect left ("0000" before any Connect) and the values
// of the page; it pauses 100 ms as a plain wait of the thread, sends one
// command and shows no title of its own.
#pragma once

#include "link/link.h"

#include <QByteArray>
#include <optional>

namespace kt {

struct ModuleCommandResult {
    bool ok = false;
    // The whole reply frame for the receive field, raw bytes (the window
    // shows control bytes with VisibleText); nullopt when no reply was
    // accepted: the field keeps its previous text.
    std::optional<QByteArray> receiveText;
};

// Module command test (btnModuleCommand): "DD", the letter of the type item
// (cmbModuleType), the ID item's text (cmbModuleId) and the module command
// as typed (edModuleCommandSend; empty sends the rest alone). Any accepted
// reply is success. A type index outside the list sends nothing and fails.
ModuleCommandResult ModuleCommandTest(Link& link, const QByteArray& address, int typeIndex,
                                      const QByteArray& idText, const QByteArray& commandText);

struct V5SerialResult {
    bool ok = false;
    std::optional<QByteArray> receiveText;  // edV5Recv, on any accepted reply
    std::optional<QByteArray> serialText;   // edV5Sn, on success only
};

// Get S/N or ID (btnV5GetSn): "DD", the letter of cmbV5Type, the text of
// cmbV5Id ("0" to "8") and "S". Success is a 24-byte reply, whose positions
// 11 to 18 are the serial number.
V5SerialResult GetV5Serial(Link& link, const QByteArray& address, int typeIndex,
                           const QByteArray& idText);

// Set ID by S/N (btnV5SetId): "DD", the letter, "0C", the text of edV5Sn as
// typed and the new ID, the index of cmbV5SetId plus 1. Any accepted reply
// is success; the reply goes to edV5Recv.
ModuleCommandResult SetV5IdBySerial(Link& link, const QByteArray& address, int typeIndex,
                                    const QByteArray& serialText, int newIdIndex);

}  // namespace kt
