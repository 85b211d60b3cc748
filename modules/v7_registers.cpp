#include "modules/v7_registers.h"

#include "controller/reply_fields.h"
#include "modules/module_requests.h"

namespace kt {
namespace {

using detail::kCommandPauseMs;
using detail::pause;
using detail::positions;

// Reply lengths and positions: a request addressed by ID is answered with
// 47 bytes, one addressed by serial number with 51.
constexpr int kByIdReplyLength = 47;
constexpr int kBySerialReplyLength = 51;
constexpr int kSerialFrom = 30;
constexpr int kSerialTo = 37;
constexpr int kIdDigitAt = 41;
constexpr int kWordsFrom = 26;  // flags 26-29, delay 30-33, mode 34-37
constexpr int kWordsTo = 37;

// The pause, one command, and the reply for edV7Recv if one was accepted.
std::optional<QByteArray> exchange(Link& link, const QByteArray& text) {
    pause(kCommandPauseMs);
    if (!link.SendCommand(text)) return std::nullopt;
    return link.ReplyText();
}

CardTypeResult cardTypeExchange(Link& link, const QByteArray& text) {
    CardTypeResult result;
    result.receiveText = exchange(link, text);
    if (!result.receiveText || link.ReplyLength() != kByIdReplyLength) return result;
    const auto words = ParseCardTypeWords(positions(link, kWordsFrom, kWordsTo));
    if (!words) return result;
    result.ok = true;
    result.shown = DecodeCardType(*words);
    return result;
}

}  // namespace

V7SerialOrIdResult GetV7SerialOrId(Link& link, const QByteArray& address, bool byIdChecked,
                                   int idIndex, const QByteArray& serialText) {
    V7SerialOrIdResult result;
    if (byIdChecked) {
        result.receiveText = exchange(link, address + module::V7SerialById(idIndex));
        if (!result.receiveText || link.ReplyLength() != kByIdReplyLength) return result;
        result.ok = true;
        result.serialText = positions(link, kSerialFrom, kSerialTo);
        return result;
    }
    result.receiveText = exchange(link, address + module::V7IdBySerial(serialText));
    if (!result.receiveText || link.ReplyLength() != kBySerialReplyLength) return result;
    const QByteArray digit = positions(link, kIdDigitAt, kIdDigitAt);
    // One character, and it must name an item of the list.
    const int id = digit.size() == 1 ? digit[0] - '0' : -1;
    if (id < 0 || id >= kV7IdItems) return result;
    result.ok = true;
    result.idIndex = id;
    return result;
}

ModuleCommandResult SetV7IdBySerial(Link& link, const QByteArray& address,
                                    const QByteArray& serialText, int newIdIndex) {
    const auto reply =
        exchange(link, address + module::V7SetIdBySerial(serialText, newIdIndex + 1));
    return {reply && link.ReplyLength() == kBySerialReplyLength, reply};
}

CardTypeResult SetV7CardType(Link& link, const QByteArray& address, int idIndex,
                             const CardTypeSettings& settings) {
    // Decided before anything is sent, so that a refused delay sends nothing.
    const auto words = EncodeCardType(settings);
    if (!words) return {};
    return cardTypeExchange(link, address + module::V7CardTypeWrite(idIndex, *words));
}

CardTypeResult GetV7CardType(Link& link, const QByteArray& address, int idIndex) {
    return cardTypeExchange(link, address + module::V7CardTypeRead(idIndex));
}

}  // namespace kt
