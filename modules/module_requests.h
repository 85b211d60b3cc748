// The module command texts, in one place, so that the window, ktcli and the
// tests build the same bytes. Each goes behind the controller's address
// (DeviceAddress): the controller passes "DD" on to a V5 module and "DR" to
// a V7 module.
#pragma once

#include "modules/card_type.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace kt::module {

// Both module type lists (cmbV5Type on the V5 page, cmbModuleType on the
// Command page) hold six items in the same order; the item picks the
// letter: A (KTRA1/A3/B3), B (KTIOM-2A/24), H (KTRB5), I (KTRC5), J (KTRD5)
// and E (KTPRINT). nullopt outside 0 to 5.
inline constexpr int kTypeCount = 6;
std::optional<char> TypeLetter(int typeIndex);

// "DD" + letter + ID + module command, as typed: the module command test.
QByteArray PassThrough(char letter, QByteArrayView idText, QByteArrayView moduleCommand);
// "DD" + letter + ID + "S": a V5 module's serial number.
QByteArray V5SerialRead(char letter, QByteArrayView idText);
// "DD" + letter + "0C" + serial number as typed + new ID in decimal: the
// module with that serial number takes the ID. "0" stands in the ID place.
QByteArray V5SetId(char letter, QByteArrayView serialText, int newId);

// The "DR" prefixes: "DR", "05", the length of the rest in character
// pairs, the addressing (88 by ID, 84 by serial number) and the register
// and operation fields.
inline constexpr char kV7SerialById[] = "DR05000688000001";     // + ID
inline constexpr char kV7IdBySerial[] = "DR05000884000002";     // + serial
inline constexpr char kV7SetIdBySerial[] = "DR05001084000002";  // + serial, serial, new ID, 0000
inline constexpr char kV7CardTypeWrite[] = "DR05000E88000203";  // + ID, three words, 0000
inline constexpr char kV7CardTypeRead[] = "DR05000688000203";   // + ID

// "%04X": four upper-case hexadecimal digits of the low 16 bits.
QByteArray Word(int value);

QByteArray V7SerialById(int id);
QByteArray V7IdBySerial(QByteArrayView serialText);
// The serial number goes twice, then the new ID and "0000".
QByteArray V7SetIdBySerial(QByteArrayView serialText, int newId);
QByteArray V7CardTypeWrite(int id, const CardTypeWords& words);
QByteArray V7CardTypeRead(int id);

}  // namespace kt::module
