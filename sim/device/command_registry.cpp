#include "sim/device/command_registry.h"

namespace ktsim {

void CommandRegistry::add(Command command) {
    for (Command& existing : commands_) {
        if (existing.letters == command.letters && existing.addressed == command.addressed &&
            existing.requestStyle == command.requestStyle) {
            existing = std::move(command);
            return;
        }
    }
    commands_.append(std::move(command));
}

void CommandRegistry::clear() {
    commands_.clear();
}

std::optional<CommandMatch> CommandRegistry::match(QByteArrayView text, RequestStyle style,
                                                   QByteArrayView ownAddress) const {
    std::optional<CommandMatch> best;
    qsizetype bestLength = -1;
    auto consider = [&](const Command& command, QByteArrayView address) {
        const qsizetype head = address.size() + command.letters.size();
        if (head <= bestLength || text.size() < head || !text.startsWith(address) ||
            text.sliced(address.size(), command.letters.size()) != command.letters)
            return;
        bestLength = head;
        best = CommandMatch{
            &command,
            {address.toByteArray(), command.letters, text.sliced(head).toByteArray(), style}};
    };
    for (const Command& command : commands_) {
        if (command.requestStyle != style) continue;
        if (!command.addressed) {
            consider(command, {});
            continue;
        }
        consider(command, ownAddress);
        for (const QByteArray& other : command.alsoAnsweredAt) consider(command, other);
    }
    return best;
}

}  // namespace ktsim
