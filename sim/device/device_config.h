// What one substitute controller is: family, address, identity and serial
// number, and which of the accepted reply lengths it answers with.
#pragma once

#include "sim/device/modules_bus.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace ktsim {

struct DeviceConfig {
    // 1 to 9, the family codes the tool's Connect tells apart; 4 is the
    // family with three-digit addresses that describes itself by "AV".
    int family = 7;
    // Four characters, three for family 4; empty gives "0000" or "000",
    // where the tool starts.
    QByteArray address = {};
    QByteArray serial = "16030001";  // eight characters
    // Five characters of the "DB" identity; empty gives the family's model.
    QByteArray model = {};
    // Two characters of the "DB" identity; empty gives the family's code.
    QByteArray versionCode = {};
    // Length of the "AC" reply frame, 15 or 17; 0 gives 15 for family 8
    // and 17 for the others, so that both forms get exercised.
    int acReplyLength = 0;
    // Family 4: length of the "AV" reply frame, 20 or 28 (0 gives 20).
    int avReplyLength = 0;
    // Take turns between the two lengths the tool accepts for "AA" and "JF"
    // (13 and 12), "AC" (the configured one, then the other) and "AV" (the
    // same), so that one run exercises both.
    bool alternateLengths = false;
    // Family 4: the version text of the "AV" reply, 8 characters for the
    // 20-byte frame or 16 for the 28-byte one; empty gives a default.
    QByteArray avVersion = {};
    // Faults of the firmware loader (families 1 to 6), as loader_fault.h
    // writes them, e.g. "nowrite=2@4"; they start with the loader.
    QStringList loaderFaults = {};
    // How long the controller answers nothing after a factory reset ("AR01",
    // family 4 "AI") and after a reboot ("AR00", "AJ"). The tool waits 16 s
    // and 3.5 s before it asks family 4 again; tests may shorten these.
    int factoryResetMs = 12000;
    int rebootMs = 3000;
    // The modules on the controller's bus, as they are now: like the
    // address, the tool changes them (an ID reassigned by serial number), so
    // the controller's "DD" and "DR" handlers write here through the
    // read-only configuration the controller hands out.
    mutable ModuleBus modules = ModuleBus::demo();

    // Fills every empty or zero field with the family's default.
    DeviceConfig resolved() const;
    // Empty when the resolved configuration is usable, else one line saying why.
    QString validate() const;

    bool operator==(const DeviceConfig&) const = default;
};

}  // namespace ktsim
