#include "sim/device/loader_commands.h"

#include "sim/device/command_registry.h"
#include "sim/device/controller.h"
#include "sim/faults/loader_fault.h"

#include <memory>

namespace ktsim {
namespace {

using Reply = std::optional<QByteArray>;

struct Loader {
    Loader(char dialogue, int blockSize) : dialogue(dialogue), memory(dialogue, blockSize) {}

    char dialogue;
    LoaderMemory memory;
    LoaderFaults faults;
    QByteArray startArgs;    // behind "Zx"
    QByteArray upgradeArgs;  // behind "Zr" or "X"
};

using Step = Reply (*)(Loader&, const CommandContext&);

// The handler of every loader command: one step of the dialogue on the
// loader all of them share. The loader lives with its commands, so a new
// configuration (a new command table) starts a fresh one; loaderState()
// finds it again through the start command's handler.
struct LoaderStep {
    std::shared_ptr<Loader> loader;
    Step step;
    Reply operator()(const CommandContext& c) const { return step(*loader, c); }
};

std::shared_ptr<Loader> makeLoader(int family) {
    std::shared_ptr<Loader> loader;
    switch (family) {
        case 3:
        case 6:
            loader = std::make_shared<Loader>('A', 512);
            loader->startArgs = "5E9C";
            loader->upgradeArgs = "C72D";
            break;
        case 1:
        case 2:
        case 5:
            loader = std::make_shared<Loader>('B', 256);
            loader->startArgs = "E7";
            break;
        case 4:
            loader = std::make_shared<Loader>('C', 64);
            break;
        default:
            break;
    }
    return loader;
}

bool isHex(QByteArrayView text, bool upperCase) {
    for (const char c : text) {
        const bool letter = upperCase ? (c >= 'A' && c <= 'F') : (c >= 'a' && c <= 'f');
        if (!letter && (c < '0' || c > '9')) return false;
    }
    return true;
}

// The block that four address digits name: in the case the dialogue's
// loader reads, and on a block boundary; nullopt otherwise.
std::optional<int> blockAt(const Loader& l, QByteArrayView digits) {
    if (digits.size() != 4 || !isHex(digits, l.dialogue == 'A')) return std::nullopt;
    const int address = digits.toInt(nullptr, 16);
    if (address % l.memory.blockSize() != 0) return std::nullopt;
    return address / l.memory.blockSize();
}

Reply start(Loader& l, const CommandContext& c) {
    if (c.args != l.startArgs) return std::nullopt;
    l.memory.begin();
    return c.address + c.letters;
}

// "BOOT" and the block size: filler the tool does not read, of the length
// it wants (B: 17 bytes with the address, C: 13 without).
Reply handshake(Loader& l, const CommandContext& c) {
    if (!l.memory.active() || !c.args.isEmpty() || l.faults.take(LoaderFaultKind::NoHandshake))
        return std::nullopt;
    return c.address + c.letters + "BOOT" +
           QByteArray::number(l.memory.blockSize()).rightJustified(4, '0');
}

// B erases the two blocks from an even one; C erases everything at once.
Reply erase(Loader& l, const CommandContext& c) {
    if (!l.memory.active()) return std::nullopt;
    if (l.dialogue == 'C') {
        if (!c.args.isEmpty() || l.faults.take(LoaderFaultKind::NoErase)) return std::nullopt;
        l.memory.eraseAll();
        return c.address + c.letters;
    }
    const auto k = blockAt(l, c.args);
    if (!k || *k % 2 != 0 || l.faults.take(LoaderFaultKind::NoErase, *k)) return std::nullopt;
    l.memory.erase(*k * l.memory.blockSize(), 2 * l.memory.blockSize());
    return c.address + c.letters + c.args;
}

Reply write(Loader& l, const CommandContext& c) {
    if (!l.memory.active() || c.args.size() < 4) return std::nullopt;
    const auto k = blockAt(l, QByteArrayView(c.args).first(4));
    const QByteArrayView data = QByteArrayView(c.args).sliced(4);
    if (!k || data.size() != 2 * l.memory.blockSize() || !isHex(data, true) ||
        l.faults.take(LoaderFaultKind::NoWrite, *k))
        return std::nullopt;
    l.memory.program(*k, QByteArray::fromHex(data.toByteArray()), l.dialogue == 'A');
    return c.address + c.letters + c.args.first(4);
}

Reply readBack(Loader& l, const CommandContext& c) {
    if (!l.memory.active()) return std::nullopt;
    const auto k = blockAt(l, c.args);
    if (!k || l.faults.take(LoaderFaultKind::NoReadBack, *k)) return std::nullopt;
    QByteArray data = l.memory.read(*k).toHex().toUpper();
    bool spoiled = false;
    if (l.faults.take(LoaderFaultKind::WrongData, *k)) {
        data[0] = data[0] == '0' ? '1' : '0';
        spoiled = true;
    }
    if (l.faults.take(LoaderFaultKind::LowerData, *k)) {
        data = data.toLower();
        spoiled = true;
    }
    if (l.faults.take(LoaderFaultKind::ShortData, *k)) {
        data.truncate(data.size() / 2);
        spoiled = true;
    }
    // Only a true copy of the block counts towards the upgrade.
    if (!spoiled) l.memory.readBack(*k);
    return c.address + c.letters + data;
}

Reply upgrade(Loader& l, const CommandContext& c) {
    if (c.args != l.upgradeArgs || !l.memory.upgrade()) return std::nullopt;
    return c.address + c.letters;
}

}  // namespace

void addLoaderCommands(CommandRegistry& registry, Controller& controller) {
    const std::shared_ptr<Loader> loader = makeLoader(controller.config().family);
    if (!loader) return;
    for (const QString& text : controller.config().loaderFaults) {
        if (const auto fault = LoaderFault::parse(text)) loader->faults.add(*fault);
    }
    auto add = [&](const char* letters, Step step, bool addressed, RequestStyle style,
                   kt::FrameStyle reply) {
        registry.add({letters, LoaderStep{loader, step}, {}, addressed, style, reply});
    };
    // The start always comes as a controller command at the address.
    add("Zx", start, true, RequestStyle::Crc, kt::FrameStyle::Crc);
    if (loader->dialogue == 'A') {
        add("Zp", write, true, RequestStyle::Crc, kt::FrameStyle::Crc);
        add("Zv", readBack, true, RequestStyle::Crc, kt::FrameStyle::Crc);
        add("Zr", upgrade, true, RequestStyle::Crc, kt::FrameStyle::Crc);
        return;
    }
    const bool addressed = loader->dialogue == 'B';
    const kt::FrameStyle reply = addressed ? kt::FrameStyle::EtxReply : kt::FrameStyle::StxReply;
    add("A", handshake, addressed, RequestStyle::Xor, reply);
    add("E", erase, addressed, RequestStyle::Xor, reply);
    add("P", write, addressed, RequestStyle::Xor, reply);
    add("R", readBack, addressed, RequestStyle::Xor, reply);
    add("X", upgrade, addressed, RequestStyle::Xor, reply);
}

LoaderState loaderState(Controller& controller) {
    const QByteArray& address = controller.address();
    const auto match = controller.registry().match(address + "Zx", RequestStyle::Crc, address);
    const LoaderStep* step = match ? match->command->handler.target<LoaderStep>() : nullptr;
    return step ? step->loader->memory.snapshot() : LoaderState{};
}

}  // namespace ktsim
