#include "modules/pass_through.h"

#include "controller/reply_fields.h"
#include "modules/module_requests.h"

namespace kt {
namespace {

using detail::kCommandPauseMs;
using detail::pause;

constexpr int kV5SerialReplyLength = 24;
constexpr int kV5SerialFrom = 11;
constexpr int kV5SerialTo = 18;

// The pause, then one command; any accepted reply goes to the receive field.
ModuleCommandResult exchange(Link& link, const QByteArray& text) {
    pause(kCommandPauseMs);
    if (!link.SendCommand(text)) return {};
    return {true, link.ReplyText()};
}

}  // namespace

ModuleCommandResult ModuleCommandTest(Link& link, const QByteArray& address, int typeIndex,
                                      const QByteArray& idText, const QByteArray& commandText) {
    const auto letter = module::TypeLetter(typeIndex);
    if (!letter) return {};
    return exchange(link, address + module::PassThrough(*letter, idText, commandText));
}

V5SerialResult GetV5Serial(Link& link, const QByteArray& address, int typeIndex,
                           const QByteArray& idText) {
    const auto letter = module::TypeLetter(typeIndex);
    if (!letter) return {};
    const ModuleCommandResult reply =
        exchange(link, address + module::V5SerialRead(*letter, idText));
    if (!reply.ok || link.ReplyLength() != kV5SerialReplyLength)
        return {false, reply.receiveText, std::nullopt};
    return {true, reply.receiveText, detail::positions(link, kV5SerialFrom, kV5SerialTo)};
}

ModuleCommandResult SetV5IdBySerial(Link& link, const QByteArray& address, int typeIndex,
                                    const QByteArray& serialText, int newIdIndex) {
    const auto letter = module::TypeLetter(typeIndex);
    if (!letter) return {};
    return exchange(link, address + module::V5SetId(*letter, serialText, newIdIndex + 1));
}

}  // namespace kt
