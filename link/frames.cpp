#include "link/frames.h"

namespace kt {
namespace {

// The standard 256-entry table of CRC-16/ARC, built once at compile time.
constexpr std::array<std::uint16_t, 256> makeCrcTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t crc = static_cast<std::uint16_t>(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
        table[i] = crc;
    }
    return table;
}
constexpr auto kCrcTable = makeCrcTable();
static_assert(kCrcTable[1] == 0xC0C1 && kCrcTable[255] == 0x4040);

char hexDigit(unsigned nibble) {
    return static_cast<char>(nibble < 10 ? '0' + nibble : 'A' + (nibble - 10));
}

void appendHex(QByteArray& out, std::uint8_t value) {
    const auto digits = ByteToHex(value);
    out.append(digits[0]).append(digits[1]);
}

void appendCrc(QByteArray& out, std::uint16_t crc) {
    appendHex(out, static_cast<std::uint8_t>(crc >> 8));
    appendHex(out, static_cast<std::uint8_t>(crc & 0xFF));
}

bool matchesHex(const char* at, std::uint8_t value) {
    const auto digits = ByteToHex(value);
    return at[0] == digits[0] && at[1] == digits[1];
}

}  // namespace

std::array<char, 2> ByteToHex(std::uint8_t value) {
    return {hexDigit(value >> 4), hexDigit(value & 0x0F)};
}

std::uint8_t XorChecksum(const char* data, int count) {
    std::uint8_t x = 0;
    for (int i = 0; i < count; ++i) x ^= static_cast<std::uint8_t>(data[i]);
    return x;
}

std::uint16_t Crc16Update(const char* data, int count) {
    std::uint16_t crc = 0;
    for (int i = 0; i < count; ++i)
        crc = static_cast<std::uint16_t>(
            (crc >> 8) ^ kCrcTable[(crc ^ static_cast<std::uint8_t>(data[i])) & 0xFF]);
    return crc;
}

char ReplyLead(FrameStyle style) {
    return style == FrameStyle::StxReply ? STX : ETX;
}

std::optional<QByteArray> BuildCrcRequest(QByteArrayView text) {
    if (text.size() > kMaxCrcCommandText) return std::nullopt;
    QByteArray frame;
    frame.reserve(text.size() + 7);
    frame.append(SOH).append(text).append(STX);
    appendCrc(frame, Crc16Update(frame.constData(), static_cast<int>(frame.size())));
    frame.append(CR);
    return frame;
}

std::optional<QByteArray> BuildXorRequest(QByteArrayView text) {
    if (text.size() > kMaxXorCommandText) return std::nullopt;
    QByteArray frame;
    frame.reserve(text.size() + 4);
    frame.append(SOH).append(text);
    appendHex(frame, XorChecksum(frame.constData(), static_cast<int>(frame.size())));
    frame.append(CR);
    return frame;
}

std::optional<QByteArray> BuildRequest(FrameStyle style, QByteArrayView text) {
    return style == FrameStyle::Crc ? BuildCrcRequest(text) : BuildXorRequest(text);
}

bool CheckXorReply(const char* frame, int length) {
    if (length < 4) return false;
    return matchesHex(frame + length - 3, XorChecksum(frame, length - 3));
}

bool CheckCrcReply(const char* frame, int length) {
    // The CRC covers everything up to and including the first EOT; its four
    // digits follow directly. Whatever stands between them and the CR is not
    // examined.
    for (int i = 0; i < length; ++i) {
        if (frame[i] != EOT) continue;
        const int e = i + 1;
        if (e + 4 > length) return false;
        const std::uint16_t crc = Crc16Update(frame, e);
        return matchesHex(frame + e, static_cast<std::uint8_t>(crc >> 8)) &&
               matchesHex(frame + e + 2, static_cast<std::uint8_t>(crc & 0xFF));
    }
    return false;
}

bool CheckReply(FrameStyle style, const char* frame, int length) {
    return style == FrameStyle::Crc ? CheckCrcReply(frame, length) : CheckXorReply(frame, length);
}

QByteArray BuildCrcReply(QByteArrayView payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 7);
    frame.append(ETX).append(payload).append(EOT);
    appendCrc(frame, Crc16Update(frame.constData(), static_cast<int>(frame.size())));
    frame.append(CR);
    return frame;
}

QByteArray BuildXorReply(char lead, QByteArrayView payload) {
    QByteArray frame;
    frame.reserve(payload.size() + 4);
    frame.append(lead).append(payload);
    appendHex(frame, XorChecksum(frame.constData(), static_cast<int>(frame.size())));
    frame.append(CR);
    return frame;
}

QByteArray BuildReply(FrameStyle style, QByteArrayView payload) {
    return style == FrameStyle::Crc ? BuildCrcReply(payload)
                                    : BuildXorReply(ReplyLead(style), payload);
}

}  // namespace kt
