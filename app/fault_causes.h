// Why an operation failed, in the installed language: the cause that
// follows "Connect device error!" or "Command error!" in the status line, in
// the same plain style.
#pragma once

#include "link/link_error.h"

#include <QString>

namespace kt {

// The cause for error: its port, and for no access the group to
// join; for LinkFault::Other the system's own words; empty for None.
QString FaultCause(const LinkError& error);

// What the port list puts after a port the account cannot open.
QString NoAccessMark();

}  // namespace kt
