// The one-shot controller commands of the Test page, the speed changes and
// presets of the COM port page, and the free command test of the Command
// page. Each takes the open link (the window's BeginOperation opened it),
// the address and family Connect left (address "0000", family 0 before any
// Connect), and the values read from the window; it sleeps its fixed
// pauses as plain waits of the thread and returns what the window shows.
#pragma once

#include "controller/family.h"
#include "controller/operation.h"
#include "link/link.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <optional>

namespace kt {

// Set date and time: shows "Set date and time", pauses 100 ms, then sends
// "AA" and the clock as 14 digits; a reply of 12 or 13 bytes is success.
// now() is read after the pause; empty means the PC's local clock.
OperationResult SetDateTime(Link& link, const QByteArray& address, const ShowStatus& status = {},
                            const std::function<QDateTime()>& now = {});

// Alarm test: "JF" and the index of the alarm box (0 "Alarm Off", 1 "Steal
// Alarm", 2 "Help Alarm", 3 "Fire Alarm", 4 "Gas Alarm", 5 "Forced Alarm",
// 6 "Duress Alarm"); a reply of 12 or 13 bytes is success.
OperationResult AlarmTest(Link& link, const QByteArray& address, int alarmIndex,
                          const ShowStatus& status = {});

// The seconds left of a family-4 restart wait, told once a second while it
// runs (16 down to 1 for a factory reset; 4, then 3 down to 1, for a reboot).
using Countdown = std::function<void(int secondsLeft)>;

// Set factory: "AR01", a 13-byte reply is success. Family 4: "AI" (a
// 12-byte reply, else it fails at once), 16000 ms with the port open, then
// "AS", whose 20-byte reply is success.
OperationResult FactoryReset(Link& link, const QByteArray& address, Family family,
                             const ShowStatus& status = {}, const Countdown& countdown = {});

// Set reboot: as FactoryReset with "AR00", or "AJ" and 3500 ms for family 4.
OperationResult Reboot(Link& link, const QByteArray& address, Family family,
                       const ShowStatus& status = {}, const Countdown& countdown = {});

enum class LineSpeed { Baud19200, Baud115200 };

// What the speed box of the COM port page shows for a speed: its text and
// the item selected ("19200,e,8,1" item 5, "115200,n,8,1" item 10).
struct SpeedBoxSetting {
    QString text;
    int index = -1;
    bool operator==(const SpeedBoxSetting&) const = default;
};

// The two preset buttons: the speed box setting, nothing sent.
SpeedBoxSetting SpeedPreset(LineSpeed speed);

struct SpeedChangeResult {
    bool ok = false;
    // Set after the epilogue has closed the port, so that the next
    // operation opens it at the controller's new speed; nullopt on failure:
    // the speed box stays as it is.
    std::optional<SpeedBoxSetting> speedBox;
};

// Set baudrate: "AE001002" (19200,e,8,1) or "AE001400" (115200,n,8,1), a
// 13-byte reply is success. Family 4 cannot change its speed: nothing is
// sent and the operation fails.
SpeedChangeResult ChangeSpeed(Link& link, const QByteArray& address, Family family, LineSpeed speed,
                              const ShowStatus& status = {});

struct CommandTestResult {
    // Any reply the link accepts is success; the window then also saves the
    // port settings.
    bool ok = false;
    // The whole reply frame for the receive field, raw bytes (the window
    // shows control bytes with VisibleText); nullopt on failure, when the
    // field keeps its previous text.
    std::optional<QByteArray> receiveText;
};

// Command test: the address followed by the command text exactly as typed
// (an empty text sends the address alone). It shows no title of its own.
CommandTestResult CommandTest(Link& link, const QByteArray& address, const QByteArray& commandText);

}  // namespace kt
