// The commands the controller passes to its module bus: "DD" to the V5
// modules (type letter, ID, module command) and "DR" to the V7 modules
// (a register request in hexadecimal). The bus is the controller's
// configuration's `modules`; reassigning an ID by serial number moves the
// module there.
#pragma once

namespace ktsim {

class CommandRegistry;
class Controller;

void addModuleCommands(CommandRegistry& registry, Controller& controller);

}  // namespace ktsim
