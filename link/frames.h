// Wire frames of the controller protocol: the control bytes, the XOR and
// CRC-16 checksums, request building and the two reply checks. Pure code,
// no I/O: the collector, the Link and the substitute controller build on it.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>
#include <cstdint>
#include <optional>

namespace kt {

inline constexpr char SOH = 0x01;
inline constexpr char STX = 0x02;
inline constexpr char ETX = 0x03;
inline constexpr char EOT = 0x04;
inline constexpr char CR = 0x0D;

// Requests are built in, and replies collected into, buffers of this size.
inline constexpr int kFrameBufferSize = 1500;
// Longest command text that still fits the request buffer: SOH + text + STX +
// four CRC digits + CR, or SOH + text + two XOR digits + CR.
inline constexpr int kMaxCrcCommandText = kFrameBufferSize - 7;
inline constexpr int kMaxXorCommandText = kFrameBufferSize - 4;

// Bytes one transaction takes in without completing a frame before it
// gives up: the longest frame the collector can complete (one short of the
// buffer) plus as much noise again ahead of its lead byte. Every byte counts,
// noise and restarting lead bytes included, so a peer that streams without
// ever ending a frame (a GPS, a console on the wrong port) cannot hold a
// transaction whose silence limit restarts at every byte. At 1920 bytes a
// second it ends within two seconds; a 1037-byte read-back is well inside.
inline constexpr int kReplyByteBudget = 2 * kFrameBufferSize;

// The three frame styles, named after the transaction that uses each.
enum class FrameStyle {
    Crc,       // CRC request, ETX ... EOT CRC16 CR reply   (SendCommand)
    StxReply,  // XOR request, STX ... XOR CR reply         (SendXorCommand)
    EtxReply,  // XOR request, ETX ... XOR CR reply         (SendXorCommandEtx)
};

// Upper-case digits only: the checks compare case-sensitively.
std::array<char, 2> ByteToHex(std::uint8_t value);
std::uint8_t XorChecksum(const char* data, int count);
// CRC-16/ARC (reflected 0x8005, init 0, no final XOR): "123456789" gives 0xBB3D.
std::uint16_t Crc16Update(const char* data, int count);

char ReplyLead(FrameStyle style);

// nullopt when the text does not fit the request buffer: nothing is sent then,
// rather than a truncated frame.
std::optional<QByteArray> BuildCrcRequest(QByteArrayView text);
std::optional<QByteArray> BuildXorRequest(QByteArrayView text);
std::optional<QByteArray> BuildRequest(FrameStyle style, QByteArrayView text);

// Checks of a collected reply frame (lead byte through CR, length bytes).
// Neither examines the CR; both only read inside the frame.
bool CheckXorReply(const char* frame, int length);
bool CheckCrcReply(const char* frame, int length);
bool CheckReply(FrameStyle style, const char* frame, int length);

// Reply frames as a controller sends them (used by the substitute controller
// and by tests). The payload is taken as is, even where it holds bytes that a
// receiver treats as framing.
QByteArray BuildCrcReply(QByteArrayView payload);
QByteArray BuildXorReply(char lead, QByteArrayView payload);
QByteArray BuildReply(FrameStyle style, QByteArrayView payload);

}  // namespace kt
