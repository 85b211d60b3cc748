// The controller's one-shot commands: set and read the clock ("AA", "AB"),
// alarm ("JF"), factory reset and reboot ("AR01"/"AR00", family 4 "AI"/"AJ")
// and serial speed ("AE").
#pragma once

namespace ktsim {

class CommandRegistry;
class Controller;

void addBasicCommands(CommandRegistry& registry, Controller& controller);

}  // namespace ktsim
