#include "sim/device/identification_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"

#include <algorithm>

namespace ktsim {
namespace {

// Filler the tool never reads: "F" and the family digit, so that a trace
// shows which family answered.
QByteArray familyTag(const DeviceConfig& config) {
    return "F" + QByteArray::number(config.family);
}

bool isDigits(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void addFourDigitFamilyCommands(CommandRegistry& registry, Controller& controller) {
    // "AC": the address search. Answered at the controller's own address and
    // at "0000", where a technician starts; the reply carries the real address.
    registry.add({"AC",
                  [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceConfig& config = controller.config();
                      QByteArray payload = config.address + "AC" + familyTag(config);
                      int length = config.acReplyLength;
                      if (config.alternateLengths && controller.state().otherLengthTurn("AC"))
                          length = length == 17 ? 15 : 17;
                      if (length == 17) payload += "00";
                      return payload;
                  },
                  {"0000"}});
    registry.add({"AS", [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      if (!c.args.isEmpty()) return std::nullopt;
                      return controller.address() + "AS" + controller.config().serial;
                  }});
    // "DB": the identity at fixed places: model, board revision "B01",
    // version code, build date.
    registry.add({"DB", [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceConfig& config = controller.config();
                      return config.address + "DB" + config.model + "B01" + config.versionCode +
                             "230415";
                  }});
    // "AV" + serial number finds the controller that owns the serial number;
    // "AV" + serial number + four digits also gives it that new address. Only
    // the owner answers, so it is accepted at "0000" as well.
    registry.add({"AV",
                  [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      const QByteArray& serial = controller.config().serial;
                      if (!c.args.startsWith(serial)) return std::nullopt;
                      const QByteArray newAddress = c.args.mid(serial.size());
                      if (newAddress.isEmpty()) return controller.address() + "AVSNOK";
                      if (newAddress.size() != 4 || !isDigits(newAddress)) return std::nullopt;
                      controller.setAddress(newAddress);
                      return newAddress + "AVSNOK";
                  },
                  {"0000"}});
}

void addFamilyFourCommands(CommandRegistry& registry, Controller& controller) {
    // Family 4 does not know "AC": it is found by "AS" at its three-digit
    // address or at "000".
    registry.add({"AS",
                  [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      if (!c.args.isEmpty()) return std::nullopt;
                      return controller.address() + "AS" + controller.config().serial;
                  },
                  {"000"}});
    registry.add({"AV", [&controller](const CommandContext& c) -> std::optional<QByteArray> {
                      if (!c.args.isEmpty()) return std::nullopt;
                      const DeviceConfig& config = controller.config();
                      QByteArray version = config.avVersion;
                      // The other form: the 28-byte reply's 16 characters
                      // end in the 20-byte reply's 8.
                      if (config.alternateLengths && controller.state().otherLengthTurn("AV"))
                          version = version.size() == 16 ? version.right(8) : "KT410XB " + version;
                      return controller.address() + "AV" + version;
                  }});
}

}  // namespace

void addIdentificationCommands(CommandRegistry& registry, Controller& controller) {
    if (controller.config().family == 4)
        addFamilyFourCommands(registry, controller);
    else
        addFourDigitFamilyCommands(registry, controller);
}

}  // namespace ktsim
