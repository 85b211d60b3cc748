// The event buffer: the poll commands ("PI", family 6 "QI", family 4 "IE")
// give the clock and the oldest buffered event, "IB" lets it go.
#pragma once

namespace ktsim {

class CommandRegistry;
class Controller;

void addEventCommands(CommandRegistry& registry, Controller& controller);

}  // namespace ktsim
