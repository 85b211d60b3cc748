// Connect: find the controller on the open link, learn its address, model,
// version and serial number. The controller answers "AC" with a four-digit
// address, or, for family 4, "AS" with a three-digit one; it then describes
// itself by "DB" (family 4: "AV") and gives its serial number by "AS".
#pragma once

#include "controller/family.h"
#include "link/link.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace kt {

// What the window shows and keeps after a Connect.
struct ConnectResult {
    enum class Outcome {
        NotFound,       // no accepted "AC" or "AS" reply in six attempts
        NotIdentified,  // address found, "DB"/"AV" failed or unknown
        Identified,     // the serial number step may still have failed
    };
    Outcome outcome = Outcome::NotFound;
    QByteArray address;               // DeviceAddress: four digits, three for family 4
    Family family = Family::Unknown;  // ControllerFamily
    QByteArray versionText;           // for pnVER
    QByteArray serialNumber;          // empty when the last "AS" failed (or held a zero byte first)
    QByteArray serialText;            // for pnSN: "S/N:" serial "   ID:" address, or empty
};

// Moments of the search the window shows as they happen.
struct ConnectObserver {
    // An address attempt failed; the status line counts down: 6, 5, 4 during
    // the "AC" attempts, 3, 2, 1 during the "AS" ones.
    std::function<void(int remaining)> attemptFailed;
    // The controller answered with its address (family 4 when it answered
    // "AS"): move the ID selector, hide DI5, DI6 and DO4 for family 4, and
    // store the port settings; identification follows.
    std::function<void(const QByteArray& address, bool familyFour)> addressFound;
};

// Runs the whole dialogue on an open link. idText is what the ID panel
// shows (four digits as a rule); the "AS" search takes its first three
// characters. Sleeps its fixed 100 ms pauses as plain waits of the thread.
ConnectResult Connect(Link& link, const QByteArray& idText, const ConnectObserver& observer = {});

}  // namespace kt
