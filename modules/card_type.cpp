#include "modules/card_type.h"

#include "modules/module_requests.h"

#include <array>
#include <utility>

namespace kt {
namespace {

// Each box with its bit, in the order of the flags word.
constexpr std::array<std::pair<bool CardTypeBoxes::*, quint16>, 6> kBoxBits = {{
    {&CardTypeBoxes::uidA, kFlagUidA},
    {&CardTypeBoxes::block, kFlagBlock},
    {&CardTypeBoxes::sevenByte, kFlag7Byte},
    {&CardTypeBoxes::iso15693, kFlag15693},
    {&CardTypeBoxes::uidB, kFlagUidB},
    {&CardTypeBoxes::guidB, kFlagGuidB},
}};

enum class Delay { NotANumber, OutOfRange, Value };

// An optional sign, then digits only. Any length: a long number is still
// a number, only out of range.
std::pair<Delay, quint16> readDelay(QByteArrayView text) {
    bool negative = false;
    if (!text.isEmpty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text = text.sliced(1);
    }
    if (text.isEmpty()) return {Delay::NotANumber, 0};
    qint64 value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return {Delay::NotANumber, 0};
        if (value <= 0xFFFF) value = value * 10 + (c - '0');
    }
    if (value > 0xFFFF || (negative && value != 0)) return {Delay::OutOfRange, 0};
    return {Delay::Value, static_cast<quint16>(value)};
}

std::optional<quint16> hexWord(QByteArrayView text) {
    if (text.size() != 4) return std::nullopt;
    quint16 value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return std::nullopt;
        value = static_cast<quint16>(value * 16 + digit);
    }
    return value;
}

}  // namespace

std::optional<CardTypeWords> EncodeCardType(const CardTypeSettings& settings) {
    const auto [kind, delay] = readDelay(settings.sameCardText);
    if (kind == Delay::NotANumber) return kFallbackWords;
    if (kind == Delay::OutOfRange) return std::nullopt;
    CardTypeWords words{0, delay, 0};
    for (const auto& [box, bit] : kBoxBits) {
        if (settings.boxes.*box) words.flags |= bit;
    }
    if (settings.greenMode) words.mode |= kModeGreen;
    if (settings.resetMode) words.mode |= kModeReset;
    return words;
}

QByteArray CardTypeData(const CardTypeWords& words) {
    using module::Word;
    return Word(words.flags) + Word(words.delay) + Word(words.mode) + "0000";
}

std::optional<CardTypeWords> ParseCardTypeWords(QByteArrayView text) {
    if (text.size() < 12) return std::nullopt;
    const auto flags = hexWord(text.sliced(0, 4));
    const auto delay = hexWord(text.sliced(4, 4));
    const auto mode = hexWord(text.sliced(8, 4));
    if (!flags || !delay || !mode) return std::nullopt;
    return CardTypeWords{*flags, *delay, *mode};
}

CardTypeShown DecodeCardType(const CardTypeWords& words) {
    CardTypeShown shown;
    shown.sameCardText = QByteArray::number(words.delay);
    for (const auto& [box, bit] : kBoxBits) shown.boxes.*box = (words.flags & bit) != 0;
    shown.greenMode = (words.mode & kModeGreen) != 0;
    return shown;
}

}  // namespace kt
