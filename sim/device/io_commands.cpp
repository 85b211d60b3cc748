#include "sim/device/io_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"

#include <algorithm>

namespace ktsim {
namespace {

using Reply = std::optional<QByteArray>;

bool isDigits(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void addFourDigitFamilyCommands(CommandRegistry& registry, Controller& controller) {
    // "JC" 00 <output 1-4> <1 on, 0 off> <hold, four digits, seconds>: the
    // tool sends "JC00n10002" every pass while the box is ticked and nothing
    // once it is not, so the output drops two seconds after the last one.
    // Hold 0000 keeps it on until switched off.
    registry.add({"JC", [&controller](const CommandContext& c) -> Reply {
                      const QByteArray& a = c.args;
                      if (a.size() != 8 || !isDigits(a) || !a.startsWith("00")) return std::nullopt;
                      const int output = a[2] - '0';
                      if (output < 1 || output > 4 || (a[3] != '0' && a[3] != '1'))
                          return std::nullopt;
                      controller.state().setOutput(output, a[3] == '1', a.sliced(4).toInt() * 1000);
                      return controller.address() + "JC" + a;
                  }});
    // "DG0": inputs 1 to 8 at positions 8 to 15, then the eight output places.
    registry.add({"DG", [&controller](const CommandContext& c) -> Reply {
                      if (c.args != "0") return std::nullopt;
                      const DeviceState& state = controller.state();
                      QByteArray payload = controller.address() + "DG";
                      for (int n = 1; n <= 8; ++n) payload += state.inputChar(n);
                      for (int n = 1; n <= 8; ++n)
                          payload += n <= kOutputCount ? state.outputChar(n) : '0';
                      return payload;
                  }});
    // End of the I/O test: every output off.
    registry.add({"JD", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      controller.state().allOutputsOff();
                      return controller.address() + "JD";
                  }});
}

void addFamilyFourCommands(CommandRegistry& registry, Controller& controller) {
    // "JD" <output 1-3> <1 on, 0 off>: family 4 outputs stay as switched.
    registry.add({"JD", [&controller](const CommandContext& c) -> Reply {
                      const QByteArray& a = c.args;
                      if (a.size() != 2 || a[0] < '1' || a[0] > '3' || (a[1] != '0' && a[1] != '1'))
                          return std::nullopt;
                      controller.state().setOutput(a[0] - '0', a[1] == '1');
                      return controller.address() + "JD" + a;
                  }});
    // "DF": inputs 7 and 8 at positions 7 and 8 (inputs 1 to 4 come with "IE").
    registry.add({"DF", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceState& state = controller.state();
                      return controller.address() + "DF" + state.inputChar(7) + state.inputChar(8);
                  }});
    registry.add({"JE", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      controller.state().allOutputsOff();
                      return controller.address() + "JE";
                  }});
}

}  // namespace

void addIoCommands(CommandRegistry& registry, Controller& controller) {
    if (controller.config().family == 4)
        addFamilyFourCommands(registry, controller);
    else
        addFourDigitFamilyCommands(registry, controller);
}

}  // namespace ktsim
