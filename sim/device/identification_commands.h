// The commands by which the tool finds and identifies a controller: "AC",
// "AS", "DB" and "AV" (including the "0000AV" + serial number forms).
#pragma once

namespace ktsim {

class CommandRegistry;
class Controller;

void addIdentificationCommands(CommandRegistry& registry, Controller& controller);

}  // namespace ktsim
