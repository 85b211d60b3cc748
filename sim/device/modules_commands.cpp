#include "sim/device/modules_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"

#include <optional>

namespace ktsim {
namespace {

using Reply = std::optional<QByteArray>;

// Four upper-case hexadecimal digits, as the tool writes IDs, lengths and
// words ("%04X"). Lower case is refused, so that a tool writing it shows.
std::optional<quint16> hexWord(QByteArrayView text) {
    if (text.size() != 4) return std::nullopt;
    quint16 value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) return std::nullopt;
        value = static_cast<quint16>(value * 16 + digit);
    }
    return value;
}

QByteArray word(quint16 value) {
    return QByteArray::number(value, 16).toUpper().rightJustified(4, '0');
}

// Module replies carry the controller's address in four places, so that the
// fields the tool reads sit at the same positions for every family (family
// 4's three-digit address gets a leading 0).
QByteArray busAddress(const Controller& controller) {
    return controller.address().rightJustified(4, '0');
}

// The ID in the answer by serial number is decimal, its last digit at
// position 41 of the frame, where the tool reads the ID as one digit; an ID
// above 9 shows its last four decimal digits and so cannot be read whole.
QByteArray decimalId(quint16 id) {
    return QByteArray::number(id % 10000).rightJustified(4, '0');
}

ModuleBus& busOf(Controller& controller) {
    // The configuration holds the bus as it is now; see DeviceConfig::modules.
    return controller.config().modules;
}

// "DD" <letter> <ID> <module command>. The V5 modules know three commands:
// "S" (serial number), "B" (model name, our own) and, with ID "0", "C"
// <serial number> <new ID>, which moves the module with that serial number.
Reply v5Reply(Controller& controller, const CommandContext& c) {
    const QByteArray& a = c.args;
    if (a.size() < 2) return std::nullopt;
    const char letter = a[0];
    const char id = a[1];
    const QByteArray command = a.mid(2);
    ModuleBus& bus = busOf(controller);
    const QByteArray head = busAddress(controller) + "DD" + letter;

    if (id == '0' && command.startsWith('C')) {
        // "C", the serial number as sent, one digit of new ID.
        if (command.size() < 3) return std::nullopt;
        const QByteArray serial = command.mid(1, command.size() - 2);
        const char newId = command.back();
        if (newId < '0' || newId > '9') return std::nullopt;
        const QList<int> found = bus.v5BySerial(letter, serial);
        if (found.size() != 1) return std::nullopt;
        bus.v5[found.front()].id = newId;
        return head + "0C" + serial + newId;
    }
    const QList<int> found = bus.v5At(letter, id);
    if (found.size() != 1) return std::nullopt;
    const V5Module& module = bus.v5[found.front()];
    if (command == "S") return head + id + "S" + module.serial;
    if (command == "B") return head + id + "B" + v5ModelName(letter);
    return std::nullopt;
}

QByteArray cardWords(const V7Module& module) {
    QByteArray mode = word(module.mode);
    if (module.noisyWords) mode[0] = 'G';
    return word(module.flags) + word(module.delay) + mode + "0000";
}

// The reply repeats the request's fields behind the length, with the
// module's 16 characters of data in place of the request's own data.
QByteArray v7ReplyFrom(const Controller& controller, const QByteArray& fields,
                       const QByteArray& data) {
    const QByteArray body = fields + data;
    return busAddress(controller) + "DR05" + word(static_cast<quint16>(body.size() / 2)) + body;
}

// Addressing "88": by ID. Register 0000 op 01 reads the identity, answered
// with the ID and the serial number; register 0002 op 03 reads the card-type
// words, or writes them when three words and "0000" follow.
Reply v7ById(Controller& controller, const QByteArray& fields, QByteArrayView rest) {
    if (rest.size() < 4) return std::nullopt;
    const auto id = hexWord(rest.first(4));
    const QByteArrayView data = rest.sliced(4);
    if (!id) return std::nullopt;
    ModuleBus& bus = busOf(controller);
    const QList<int> found = bus.v7At(*id);
    if (found.size() != 1) return std::nullopt;
    V7Module& module = bus.v7[found.front()];
    const QByteArray addressed = fields + rest.first(4).toByteArray();
    const QByteArrayView registerAndOp = QByteArrayView(fields).sliced(2);

    if (registerAndOp == "000001" && data.isEmpty())
        return v7ReplyFrom(controller, addressed, word(module.id) + module.serial + "0000");
    if (registerAndOp != "000203") return std::nullopt;
    if (!data.isEmpty()) {
        if (data.size() != 16 || !data.endsWith("0000")) return std::nullopt;
        const auto flags = hexWord(data.sliced(0, 4));
        const auto delay = hexWord(data.sliced(4, 4));
        const auto mode = hexWord(data.sliced(8, 4));
        if (!flags || !delay || !mode) return std::nullopt;
        module.flags = *flags;
        module.delay = *delay;
        module.mode = *mode;
    }
    return v7ReplyFrom(controller, addressed, cardWords(module));
}

// Addressing "84": by serial number, register 0000 op 02. Alone it reads
// the ID; followed by the serial number again, a new ID and "0000" it gives
// the module that ID. Either way the answer is the serial number and the ID
// the module has now.
Reply v7BySerial(Controller& controller, const QByteArray& fields, QByteArrayView rest) {
    if (QByteArrayView(fields).sliced(2) != "000002" || rest.size() < 8) return std::nullopt;
    const QByteArrayView serial = rest.first(8);
    const QByteArrayView data = rest.sliced(8);
    ModuleBus& bus = busOf(controller);
    const QList<int> found = bus.v7BySerial(serial);
    if (found.size() != 1) return std::nullopt;
    V7Module& module = bus.v7[found.front()];
    if (!data.isEmpty()) {
        // The module takes a new ID only when its serial number comes twice.
        if (data.size() != 16 || data.first(8) != serial || !data.endsWith("0000"))
            return std::nullopt;
        const auto newId = hexWord(data.sliced(8, 4));
        if (!newId) return std::nullopt;
        module.id = *newId;
    }
    return v7ReplyFrom(controller, fields + serial.toByteArray(),
                       module.serial + decimalId(module.id) + "0000");
}

// "DR" "05" <length> <addressing> <register> <op> <ID or serial> <data>;
// the length counts the character pairs behind it.
Reply v7Reply(Controller& controller, const CommandContext& c) {
    const QByteArrayView a(c.args);
    if (a.size() < 6 || !a.startsWith("05")) return std::nullopt;
    const auto pairs = hexWord(a.sliced(2, 4));
    const QByteArrayView body = a.sliced(6);
    if (!pairs || body.size() != 2 * *pairs || body.size() < 8) return std::nullopt;
    const QByteArray fields = body.first(8).toByteArray();  // addressing, register, op
    const QByteArrayView rest = body.sliced(8);
    if (fields.startsWith("88")) return v7ById(controller, fields, rest);
    if (fields.startsWith("84")) return v7BySerial(controller, fields, rest);
    return std::nullopt;
}

}  // namespace

void addModuleCommands(CommandRegistry& registry, Controller& controller) {
    registry.add({"DD", [&controller](const CommandContext& c) { return v5Reply(controller, c); }});
    registry.add({"DR", [&controller](const CommandContext& c) { return v7Reply(controller, c); }});
}

}  // namespace ktsim
