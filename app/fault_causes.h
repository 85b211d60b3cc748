// Why an operation failed, in the window's three languages: the cause that
// follows the message table's "Connect device error!" or "Command error!"
// in the status line, in the same plain style.
#pragma once

#include "app/languages.h"
#include "link/link_fault.h"

#include <QString>

namespace kt {

// What the cause names besides its kind.
struct FaultContext {
    QString port;             // "ttyUSB0", "192.168.1.100:5000"
    QString group;            // no access: the group that owns the device
    bool logInAgain = false;  // no access: the account is in the group, this session is not
    QString systemText;       // other: the system's own words (Link::lastError)
};

// The cause for fault in language; empty for LinkFault::None.
QString FaultCause(LinkFault fault, LanguageIndex language, const FaultContext& context);

// What the port list puts after a port the account cannot open.
QString NoAccessMark(LanguageIndex language);

}  // namespace kt
