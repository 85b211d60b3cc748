// The controller command texts the operations send, in one place, so that
// the window, ktcli and the tests build the same bytes. A command text goes
// behind the controller's address (DeviceAddress) unless it says otherwise.
#pragma once

#include "controller/family.h"

#include <QByteArray>
#include <QDateTime>

namespace kt::command {

// One-shot commands.
inline constexpr char kSetDateTime[] = "AA";  // + yyyymmddhhnnss
inline constexpr char kAlarm[] = "JF";        // + alarm index, 0 clears
inline constexpr char kFactoryReset[] = "AR01";
inline constexpr char kReboot[] = "AR00";
inline constexpr char kSpeed19200[] = "AE001002";   // 19200 bit/s, even parity, 8 data, 1 stop
inline constexpr char kSpeed115200[] = "AE001400";  // 115200 bit/s, no parity, 8 data, 1 stop
inline constexpr char kSerialNumber[] = "AS";

// Family 4 restarts by its own letters and is asked "AS" again afterwards.
inline constexpr char kFactoryResetFour[] = "AI";
inline constexpr char kRebootFour[] = "AJ";

// Not behind the address: the fixed text in front of a serial number (and
// a new ID) that only the controller owning that serial number answers.
inline constexpr char kBySerialNumber[] = "0000AV";

// Digital I/O test. The common set sends an output command only for a
// ticked box; family 4 sends on or off for each of its three outputs.
inline constexpr char kReadInputs[] = "DG0";
inline constexpr char kEndIoTest[] = "JD";
inline constexpr char kReadInputsFour[] = "IE";    // inputs 1 to 4
inline constexpr char kReadInputs78Four[] = "DF";  // inputs 7 and 8
inline constexpr char kEndIoTestFour[] = "JE";

// Event polling test: the poll by family, and the answer to a shown event.
inline constexpr char kPoll[] = "PI";
inline constexpr char kPollSix[] = "QI";
inline constexpr char kPollFour[] = "IE";
inline constexpr char kEventShown[] = "IB";

// The PC's date and time as the controller takes it: 14 digits, four-digit
// year, then month, day, hour (00 to 23), minute and second.
QByteArray DateTimeDigits(const QDateTime& time);

// "JF" and the alarm index in decimal, without leading zeros.
QByteArray AlarmCommand(int alarmIndex);

// Output n (1 to 4; family 4: 1 to 3) of the I/O test: "JC00n10002" for a
// ticked box in the common set and nothing (empty) for an unticked one;
// "JDn1" or "JDn0" for family 4.
QByteArray OutputCommand(Family family, int output, bool checked);

// The poll command of the family's event polling test.
QByteArray PollCommand(Family family);

}  // namespace kt::command
