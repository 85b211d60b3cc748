// The seconds left of a family-4 restart wait, as the window shows them in
// its status line: one line a second on a terminal ("Set factory ( 16 )"),
// nothing when the output goes to a file or a script (--json).
#pragma once

#include "controller/basic_commands.h"

namespace ktcli {

kt::Countdown restartCountdown(const char* title, bool json);

}  // namespace ktcli
