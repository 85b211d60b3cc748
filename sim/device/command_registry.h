// The controller's command table: command letters to the handler that
// builds the reply payload. A new command is one add() call next to its
// handler; addressing, request style and reply style are declared with it.
#pragma once

#include "sim/transport/request.h"

#include "link/frames.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <functional>
#include <optional>

namespace ktsim {

struct CommandContext {
    QByteArray address;  // the address the request carried; empty if unaddressed
    QByteArray letters;
    QByteArray args;  // the text behind the letters
    RequestStyle style = RequestStyle::Crc;
};

// A payload, or nullopt when the controller stays silent.
using CommandHandler = std::function<std::optional<QByteArray>(const CommandContext&)>;

struct Command {
    QByteArray letters;
    CommandHandler handler;
    // Addresses answered besides the controller's own (a technician's
    // search starts at "0000").
    QList<QByteArray> alsoAnsweredAt = {};
    // False for the loader commands that carry no address in front.
    bool addressed = true;
    RequestStyle requestStyle = RequestStyle::Crc;
    // How an XOR request is answered: STX- or ETX-lead XOR reply. CRC
    // requests are always answered in the CRC style.
    kt::FrameStyle xorReplyStyle = kt::FrameStyle::StxReply;
};

struct CommandMatch {
    const Command* command = nullptr;
    CommandContext context;
};

class CommandRegistry {
public:
    // Replaces a command with the same letters, addressing and request style.
    void add(Command command);
    void clear();
    int size() const { return static_cast<int>(commands_.size()); }

    // The command the text addresses, preferring the longest address and
    // letters that fit (so "ZP" wins over "Z" should both exist).
    std::optional<CommandMatch> match(QByteArrayView text, RequestStyle style,
                                      QByteArrayView ownAddress) const;

private:
    QList<Command> commands_;
};

}  // namespace ktsim
