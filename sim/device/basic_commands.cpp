#include "sim/device/basic_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"

#include <QDate>
#include <QTime>
#include <QTimeZone>
#include <algorithm>

namespace ktsim {
namespace {

using Reply = std::optional<QByteArray>;

bool isDigits(const QByteArray& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// yyyyMMddhhmmss as "AA" carries it; an invalid date or time is no date.
std::optional<QDateTime> parseClock(const QByteArray& digits) {
    if (digits.size() != 14 || !isDigits(digits)) return std::nullopt;
    const QString text = QString::fromLatin1(digits);
    const QDate date = QDate::fromString(text.first(8), QStringLiteral("yyyyMMdd"));
    const QTime time = QTime::fromString(text.sliced(8), QStringLiteral("HHmmss"));
    if (!date.isValid() || !time.isValid()) return std::nullopt;
    return QDateTime(date, time, QTimeZone::utc());  // wall-clock fields, no zone
}

// The two speeds the tool asks for, by the code behind "AE".
QByteArray speedOfCode(const QByteArray& code) {
    if (code == "001002") return "19200,e,8,1";
    if (code == "001400") return "115200,n,8,1";
    return {};
}

// Every reply here is the address and the letters: 13 bytes, 12 with family
// 4's three-digit address, which are the lengths the tool accepts. Taking
// turns, every second reply has the other length: the address cut to three
// characters, or family 4's padded to four.
QByteArray shortReply(Controller& controller, const QByteArray& letters) {
    const QByteArray& address = controller.address();
    if (!controller.config().alternateLengths || !controller.state().otherLengthTurn(letters))
        return address + letters;
    return (address.size() == 4 ? address.right(3) : address.rightJustified(4, '0')) + letters;
}

void addCommonCommands(CommandRegistry& registry, Controller& controller) {
    registry.add({"AA", [&controller](const CommandContext& c) -> Reply {
                      const auto time = parseClock(c.args);
                      if (!time) return std::nullopt;
                      controller.state().setClock(*time);
                      return shortReply(controller, "AA");
                  }});
    // Our own read-back of the clock; nothing in the tool asks for it but the
    // free command test, whose text is "AB" to begin with.
    registry.add({"AB", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      return controller.address() + "AB" + controller.state().clockDigits();
                  }});
    // "JF" + 0 clears the alarm, 1 to 6 raise one of the six kinds.
    registry.add({"JF", [&controller](const CommandContext& c) -> Reply {
                      if (c.args.size() != 1 || c.args[0] < '0' || c.args[0] > '6')
                          return std::nullopt;
                      controller.state().setAlarm(c.args[0] - '0');
                      return shortReply(controller, "JF");
                  }});
}

void addFourDigitFamilyCommands(CommandRegistry& registry, Controller& controller) {
    // "AR01" factory reset, "AR00" reboot: answered at once, then silent for
    // the restart time.
    registry.add({"AR", [&controller](const CommandContext& c) -> Reply {
                      const DeviceConfig& config = controller.config();
                      if (c.args == "01")
                          controller.state().factoryReset(config.factoryResetMs);
                      else if (c.args == "00")
                          controller.state().reboot(config.rebootMs);
                      else
                          return std::nullopt;
                      return controller.address() + "AR";
                  }});
    // The new speed applies to the line: with --baud the simulator's pty
    // hears only it from now on.
    registry.add({"AE", [&controller](const CommandContext& c) -> Reply {
                      const QByteArray speed = speedOfCode(c.args);
                      if (speed.isEmpty()) return std::nullopt;
                      controller.state().setSpeed(speed);
                      return controller.address() + "AE";
                  }});
}

void addFamilyFourCommands(CommandRegistry& registry, Controller& controller) {
    registry.add({"AI", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      controller.state().factoryReset(controller.config().factoryResetMs);
                      return controller.address() + "AI";
                  }});
    registry.add({"AJ", [&controller](const CommandContext& c) -> Reply {
                      if (!c.args.isEmpty()) return std::nullopt;
                      controller.state().reboot(controller.config().rebootMs);
                      return controller.address() + "AJ";
                  }});
}

}  // namespace

void addBasicCommands(CommandRegistry& registry, Controller& controller) {
    addCommonCommands(registry, controller);
    if (controller.config().family == 4)
        addFamilyFourCommands(registry, controller);
    else
        addFourDigitFamilyCommands(registry, controller);
}

}  // namespace ktsim
