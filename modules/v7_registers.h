// The V7 Module page ("Set Reader/DIDO"): a V7 module's serial number and
// ID, and a reader's card-type settings, through the controller's "DR"
// requests. Each operation takes the open link, the address Connect left
// and the values of the page; it pauses 100 ms as a plain wait of the
// thread, sends one command and shows no title of its own. Every accepted
// reply goes whole to edV7Recv.
#pragma once

#include "link/link.h"
#include "modules/card_type.h"
#include "modules/pass_through.h"

#include <QByteArray>
#include <optional>

namespace kt {

// cmbV7Id lists "0" to "8": its index is the ID.
inline constexpr int kV7IdItems = 9;

struct V7SerialOrIdResult {
    bool ok = false;
    std::optional<QByteArray> receiveText;  // edV7Recv, on any accepted reply
    std::optional<QByteArray> serialText;   // edV7Sn, after a read by ID
    std::optional<int> idIndex;             // item to select in cmbV7Id, after a read by S/N
};

// Get S/N or ID (btnV7SnId). byIdChecked is the state of rbID; otherwise
// rbSN is chosen. By ID: the ID index as "%04X", a 47-byte reply gives the
// serial number at positions 30 to 37. By S/N: the text of edV7Sn, a
// 51-byte reply gives the ID as one decimal digit at position 41; a
// character that is no item of cmbV7Id (a 9 as much as a letter) fails and
// selects nothing.
V7SerialOrIdResult GetV7SerialOrId(Link& link, const QByteArray& address, bool byIdChecked,
                                   int idIndex, const QByteArray& serialText);

// Set ID by S/N (btnV7SetId): the serial number twice, then the new ID (the
// index of cmbV7SetId plus 1) as "%04X" and "0000"; a 51-byte reply is
// success.
ModuleCommandResult SetV7IdBySerial(Link& link, const QByteArray& address,
                                    const QByteArray& serialText, int newIdIndex);

struct CardTypeResult {
    bool ok = false;
    std::optional<QByteArray> receiveText;  // edV7Recv, on any accepted reply
    // The card-type controls as the reply has them; nullopt leaves every one
    // of them (edSameCard, the six boxes, chkGreenMode) as it is.
    std::optional<CardTypeShown> shown;
};

// Set Card Type (btnV7SetCardType): the ID index as "%04X" and the words
// EncodeCardType makes of the settings. A delay it refuses sends nothing
// and fails. Success is a 47-byte reply with readable words at positions
// 26 to 37, which the controls then show.
CardTypeResult SetV7CardType(Link& link, const QByteArray& address, int idIndex,
                             const CardTypeSettings& settings);

// Get Card Type (btnV7GetCardType): the same reply judged the same way.
CardTypeResult GetV7CardType(Link& link, const QByteArray& address, int idIndex);

}  // namespace kt
