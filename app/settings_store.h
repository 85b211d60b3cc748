// The seven values the tool keeps between runs: the port page last used, the
// serial port and its line settings, the converter's address and TCP port,
// the firmware file and the language.
//
// Where they live. The values belong to the machine, not to one account:
// SettingsKey names them the way the Windows tool does, and here that key is
// the INI file of organisation "Kestrane", application "ControllerTools",
// section [ControllerTools]:
//
//     machine-wide   /etc/xdg/Kestrane/ControllerTools.ini      (QSettings SystemScope)
//     the account    ~/.config/Kestrane/ControllerTools.ini     (QSettings UserScope)
//
//     [ControllerTools]
//     TYPE=1
//     ComPortName=ttyUSB0
//     ComBaudRate="19200,e,8,1"
//     NetIP=192.168.1.101
//     NetPort=5003
//     FirmwareFile=KT320MX.KTB
//     LanguageFlag=ChineseGB
//     NetSetLine=1                  (only once the converter's line was set)
//     NetBaudRate="115200,n,8,1"
//
// (the file name already says Kestrane and ControllerTools, and "Software" is
// only the registry's branch for programs, so the key becomes one section).
// The folders are the ones Qt uses on Debian. QSettings also reads its
// organisation-wide files (Kestrane.ini beside each Kestrane folder), each
// after the application file of the same place, should anyone write a
// [ControllerTools] section there. An ordinary account usually may not write /etc/xdg: its saves
// then go to its own file, and loading reads the account's file over the machine-wide one, value by
// value. That is what the Windows tool gets from registry virtualisation. When a save does reach
// the machine-wide file, the same values are dropped from the account's file, so the account sees
// what it just saved.
//
// Types. TYPE is an integer; the others are text. In the INI file TYPE is a
// bare decimal number in the signed 32-bit range (what QSettings writes for an
// int, and what a technician types); a QSettings @Variant holding an int is
// taken as well. Any other TYPE (a word, "1x", an empty value, a list) is a
// value of the wrong type. The texts are whatever the line holds, digits
// included; a list a technician typed without quotes (ComBaudRate=9600,n,8,1)
// is read back joined with commas. QSettings' typed forms (@ByteArray,
// @Variant of anything but text, @Rect, @Size, @Point, @Invalid) in a text
// value are values of the wrong type.
//
// Errors are never shown in the window. A file that cannot be read or is not
// clean INI (a line without "=", a section header without "]"), the account's
// or the machine-wide one, is skipped as a whole, and standard error names it
// and its first damaged line; the other file's values still count. A value of
// the wrong type ends the loading there (the values before it keep what was read,
// it and the ones after it keep their defaults). A save that cannot be written
// anywhere is dropped.
#pragma once

#include "app/languages.h"

#include <QByteArray>
#include <QString>

namespace kt {

inline constexpr char SettingsKey[] = "\\Software\\Kestrane\\ControllerTools";

// The values as the window holds them, initialised to the defaults.
struct StoredSettings {
    // The stored TYPE: 0 the serial page, any other number the network page.
    int type = 0;
    QString ComPortName = QStringLiteral("COM1");
    QString ComBaudRate = QStringLiteral("19200,e,8,1");
    QString NetIP = QStringLiteral("192.168.1.101");
    QString NetPort = QStringLiteral("5003");
    QString FirmwareFile = QStringLiteral("KT320MX.KTB");
    // Kept as stored, even a word that is not one of the three.
    QString LanguageFlag = QStringLiteral("English");
    // Beside the seven: whether the network page also sets the converter's
    // serial line (RFC 2217), 0 or 1, and that line. Written only once the
    // check box was ticked, so that a store that never used it keeps
    // exactly the seven values.
    int NetSetLine = 0;
    QString NetBaudRate = QStringLiteral("19200,e,8,1");
    bool netLineStored = false;  // the store holds either of the two

    bool networkPage() const { return type != 0; }
    LanguageIndex languageIndex() const { return languageIndexForFlag(LanguageFlag); }

    friend bool operator==(const StoredSettings&, const StoredSettings&) = default;
};

// Reads the values, in the order FirmwareFile, TYPE, ComBaudRate, ComPortName,
// NetIP, NetPort, LanguageFlag; a value that is not stored keeps its default.
// Writes nothing.
StoredSettings loadSettings();

// Writes TYPE (1 for the network page, 0 for the serial page, whatever number
// `fields.type` holds), then NetPort, NetIP, ComBaudRate and ComPortName: all
// four whichever page is active; then NetSetLine and NetBaudRate when the
// check box is ticked or they are stored already. The caller has already
// taken the active page's entries into `fields`.
void SavePortSettings(const StoredSettings& fields);

// Writes FirmwareFile, and nothing else.
void SaveFirmwareFile(const QString& firmwareFile);

// Writes LanguageFlag, and nothing else.
void SaveLanguage(const QString& languageFlag);

// The number (from 1) of the first line of an INI text that is neither
// blank, a comment, a section header nor a key=value line, or holds a
// control byte; 0 when every line is sound.
int FirstDamagedIniLine(const QByteArray& bytes);

}  // namespace kt
