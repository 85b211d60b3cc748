// The digital I/O commands: outputs switched by "JC" (family 4: "JD" with
// output and state), inputs read by "DG0" (family 4: "DF" for inputs 7 and 8;
// its "IE" is with the event commands), end of test "JD" (family 4: "JE").
#pragma once

namespace ktsim {

class CommandRegistry;
class Controller;

void addIoCommands(CommandRegistry& registry, Controller& controller);

}  // namespace ktsim
