// The window's two includes of the version still name link/; they move to
// version/version.h with the window's next change, and this file goes.
#pragma once

#include "version/version.h"
