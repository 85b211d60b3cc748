// What every controller operation shares: the status texts it shows while it
// runs, and the one verdict by which the window picks its epilogue.
#pragma once

#include <functional>

namespace kt {

// Shows a status text while the operation runs, named by its English
// wording; the window shows it in its language (app/messages.h) and lets
// itself repaint before the operation goes on.
using ShowStatus = std::function<void(const char* english)>;

// true: FinishOperationOk ("Command ok."); false: FinishOperationError
// ("Command error!").
struct OperationResult {
    bool ok = false;
};

}  // namespace kt
