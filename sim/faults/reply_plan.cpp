#include "sim/faults/reply_plan.h"

#include "link/frames.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cctype>

namespace ktsim {
namespace {

bool has(const QList<Fault>& faults, FaultKind kind) {
    return std::any_of(faults.begin(), faults.end(),
                       [kind](const Fault& f) { return f.kind == kind; });
}

int longest(const QList<Fault>& faults, FaultKind kind) {
    int ms = 0;
    for (const Fault& f : faults) {
        if (f.kind == kind) ms = std::max(ms, f.ms);
    }
    return ms;
}

// Bytes that stand for line noise: anything but a lead byte or a CR, which
// would start or end a frame in the tool's collector.
QByteArray noiseBytes(int count) {
    QByteArray noise;
    auto* random = QRandomGenerator::global();
    while (noise.size() < count) {
        const char c = static_cast<char>(random->bounded(256));
        if (c != kt::STX && c != kt::ETX && c != kt::CR) noise.append(c);
    }
    return noise;
}

// What a GPS or a console on the wrong port sends: both lead bytes among
// the text, and never a CR, so no frame ever ends.
const QByteArray kStreamPattern = QByteArrayLiteral(
    "\x03$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n"
    "\x02login: \x03\x03\x03 0000AC \x7F\x1B[2J\n");

char otherHexDigit(char c) {
    if (c == '9') return 'A';
    if (c == 'F') return '0';
    return static_cast<char>(c + 1);
}

}  // namespace

std::optional<ReplyPlan> shapeReply(const Answer& answer, const QList<Fault>& faults) {
    if (has(faults, FaultKind::Silent)) return std::nullopt;

    ReplyPlan plan;
    for (const Fault& f : faults) plan.faults.append(f.toString());

    if (const auto stream =
            std::find_if(faults.begin(), faults.end(),
                         [](const Fault& f) { return f.kind == FaultKind::Stream; });
        stream != faults.end()) {
        plan.bytes = kStreamPattern;
        plan.streamRate = stream->rate;
        return plan;
    }

    QByteArray payload = answer.payload;
    if (has(faults, FaultKind::WrongLength)) payload.append('0');
    for (const Fault& f : faults) {
        if (f.kind != FaultKind::Length) continue;
        const qsizetype overhead = kt::BuildReply(answer.style, {}).size();
        const qsizetype wanted = std::max<qsizetype>(0, f.length - overhead);
        if (payload.size() > wanted)
            payload.truncate(wanted);
        else
            payload.append(QByteArray(wanted - payload.size(), '0'));
    }
    if (has(faults, FaultKind::Huge) && payload.size() < kt::kFrameBufferSize)
        payload.append(QByteArray(kt::kFrameBufferSize - payload.size(), 'H'));
    if (has(faults, FaultKind::Escape)) {
        // A terminal's "clear the screen": whoever prints the field raw loses
        // the technician's screen.
        const QByteArray clear = "\x1b[2J";
        payload = payload.left(std::max<qsizetype>(0, payload.size() - clear.size())) + clear;
    }
    for (const Fault& f : faults) {
        if (f.kind != FaultKind::ZeroByte) continue;
        if (f.length >= 2 && f.length - 2 < payload.size())
            payload[f.length - 2] = '\0';  // frame position N is payload character N - 1
        else if (payload.isEmpty())
            payload.append('\0');
        else if (f.length == 0)
            payload[payload.size() / 2] = '\0';
    }

    QByteArray frame = kt::BuildReply(answer.style, payload);
    const qsizetype digits = answer.style == kt::FrameStyle::Crc ? 4 : 2;
    const qsizetype firstDigit = frame.size() - 1 - digits;
    if (has(faults, FaultKind::BadCrc)) frame[firstDigit] = otherHexDigit(frame[firstDigit]);
    if (has(faults, FaultKind::Lowercase)) {
        bool changed = false;
        for (qsizetype i = firstDigit; i < firstDigit + digits; ++i) {
            const char lower =
                static_cast<char>(std::tolower(static_cast<unsigned char>(frame[i])));
            changed = changed || lower != frame[i];
            frame[i] = lower;
        }
        // All-decimal digits have no lower case: say so rather than pretend.
        if (!changed)
            plan.faults.append(QStringLiteral("(lowercase: checksum has no letter digits)"));
    }

    const char lead = frame.front();
    if (has(faults, FaultKind::DoubleLead)) frame.prepend(QByteArray(1, lead) + "JUNK");
    if (has(faults, FaultKind::Noise)) frame.prepend(noiseBytes(6) + kt::CR + noiseBytes(4));
    if (has(faults, FaultKind::TwoFrames)) {
        // A decoy of the same length: a receiver that takes the second frame
        // shows '#' where the real reply has its fields.
        frame.append(kt::BuildReply(answer.style, QByteArray(payload.size(), '#')));
    }

    plan.bytes = std::move(frame);
    plan.delayMs = longest(faults, FaultKind::Delay);
    plan.trickleMs = longest(faults, FaultKind::Trickle);
    plan.gapMs = longest(faults, FaultKind::Gap);
    if (plan.gapMs > 0) plan.gapAt = static_cast<int>(plan.bytes.size() / 2);
    if (has(faults, FaultKind::Drop)) plan.dropAfter = static_cast<int>(plan.bytes.size() / 2);
    if (has(faults, FaultKind::Close)) plan.dropAfter = 0;
    return plan;
}

}  // namespace ktsim
