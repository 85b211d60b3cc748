// Why an operation failed, in the window's three languages: the cause that
// follows the message table's "Connect device error!" or "Command error!"
// in the status line, in the same plain style.
#pragma once

#include "app/languages.h"
#include "link/link_error.h"

#include <QString>

namespace kt {

// The cause for error in language: its port, and for no access the group to
// join; for LinkFault::Other the system's own words; empty for None.
QString FaultCause(const LinkError& error, LanguageIndex language);

// What the port list puts after a port the account cannot open.
QString NoAccessMark(LanguageIndex language);

}  // namespace kt
