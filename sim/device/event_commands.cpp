#include "sim/device/event_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"

namespace ktsim {
namespace {

using Reply = std::optional<QByteArray>;

// "PI" (family 6: "QI"): the clock at positions 8 to 21, the eight inputs at
// 22 to 29 (35 bytes); with an event buffered, its code at 30, time at 31 to
// 44, point at 45 to 48 and card at 49 to 53 (59 bytes).
void addPollCommand(CommandRegistry& registry, Controller& controller, const QByteArray& letters) {
    registry.add({letters, [&controller, letters](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceState& state = controller.state();
                      QByteArray payload = controller.address() + letters + state.clockDigits();
                      for (int n = 1; n <= 8; ++n) payload += state.inputChar(n);
                      if (const Event* event = state.headEvent())
                          payload += event->code + event->time + event->point + event->card;
                      return payload;
                  }});
}

// Family 4's "IE" serves the I/O test and the polling test alike: the clock
// at positions 7 to 20, "0" and the alarm at 21 to 22, inputs 1 to 4 at 23 to
// 26 (32 bytes); with an event buffered, its time at 27 to 40, point at 41 to
// 44 and "0" and its code at 45 to 46 (52 bytes).
void addFamilyFourPoll(CommandRegistry& registry, Controller& controller) {
    registry.add({"IE", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceState& state = controller.state();
                      QByteArray payload = controller.address() + "IE" + state.clockDigits() + '0' +
                                           char('0' + state.alarm());
                      for (int n = 1; n <= 4; ++n) payload += state.inputChar(n);
                      if (const Event* event = state.headEvent())
                          payload += event->time + event->point + '0' + event->code;
                      return payload;
                  }});
}

}  // namespace

void addEventCommands(CommandRegistry& registry, Controller& controller) {
    const int family = controller.config().family;
    if (family == 4)
        addFamilyFourPoll(registry, controller);
    else
        addPollCommand(registry, controller, family == 6 ? "QI" : "PI");
    // The tool has shown the head event: let it go. The reply carries how
    // many are left, four digits.
    registry.add(
        {"IB", [&controller](const CommandContext& c) -> Reply {
             if (!c.args.isEmpty()) return std::nullopt;
             controller.state().popEvent();
             return controller.address() + "IB" +
                    QByteArray::number(controller.state().eventCount()).rightJustified(4, '0');
         }});
}

}  // namespace ktsim
