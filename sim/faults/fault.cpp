#include "sim/faults/fault.h"

#include <array>

namespace ktsim {
namespace {

// What follows "=": nothing, milliseconds, or a frame length in bytes.
enum class Value { None, Ms, Bytes, Rate };

struct KindName {
    FaultKind kind;
    const char* name;
    Value value;
};

constexpr std::array kKinds = {
    KindName{FaultKind::Silent, "silent", Value::None},
    KindName{FaultKind::BadCrc, "badcrc", Value::None},
    KindName{FaultKind::Lowercase, "lowercase", Value::None},
    KindName{FaultKind::Noise, "noise", Value::None},
    KindName{FaultKind::DoubleLead, "doublelead", Value::None},
    KindName{FaultKind::TwoFrames, "twoframes", Value::None},
    KindName{FaultKind::Trickle, "trickle", Value::Ms},
    KindName{FaultKind::Gap, "gap", Value::Ms},
    KindName{FaultKind::Delay, "delay", Value::Ms},
    KindName{FaultKind::WrongLength, "wronglen", Value::None},
    KindName{FaultKind::Huge, "huge", Value::None},
    KindName{FaultKind::ZeroByte, "zerobyte", Value::None},
    KindName{FaultKind::Drop, "drop", Value::None},
    KindName{FaultKind::Length, "length", Value::Bytes},
    KindName{FaultKind::Escape, "escape", Value::None},
    KindName{FaultKind::Close, "close", Value::None},
    KindName{FaultKind::Stream, "stream", Value::Rate},
};

// A stream faster than a 115200-baud line is of no use to anyone.
constexpr int kMaxStreamRate = 11520;

// Longer than any time limit of the tool; a bound that catches typing errors.
constexpr int kMaxFaultMs = 600000;
// Room for an oversized frame, with the smallest reply frame (no payload) at
// the other end.
constexpr int kMaxFrameLength = 4000;
constexpr int kMinFrameLength = 4;

std::optional<Fault> fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return std::nullopt;
}

std::optional<int> positiveNumber(QStringView text, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > max) return std::nullopt;
    return value;
}

}  // namespace

const char* faultKindName(FaultKind kind) {
    for (const KindName& k : kKinds) {
        if (k.kind == kind) return k.name;
    }
    return "?";
}

bool Fault::matches(const QByteArray& commandLetters, const QByteArray& text) const {
    for (const QByteArray& l : letters) {
        if (l == "*" || l == commandLetters || (!text.isEmpty() && l == text)) return true;
    }
    return false;
}

QString Fault::toString() const {
    QString text = QString::fromLatin1(letters.join(',')) + QLatin1Char(':') +
                   QLatin1String(faultKindName(kind));
    if (ms > 0) text += QLatin1Char('=') + QString::number(ms);
    if (length > 0) text += QLatin1Char('=') + QString::number(length);
    if (rate > 0) text += QLatin1Char('=') + QString::number(rate);
    if (skip > 0) text += QLatin1Char('#') + QString::number(skip + 1);
    if (remaining >= 0) text += QLatin1Char('@') + QString::number(remaining);
    return text;
}

std::optional<Fault> Fault::parse(QStringView faultText, QString* error) {
    const QString quoted = QLatin1Char('"') + faultText.toString() + QLatin1Char('"');
    const auto colon = faultText.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return fail(error,
                    QStringLiteral("fault %1: expected LETTERS:KIND, e.g. DB:silent").arg(quoted));
    Fault fault;
    for (QStringView l : faultText.first(colon).split(QLatin1Char(','))) {
        if (l.isEmpty())
            return fail(error, QStringLiteral("fault %1: empty command letters").arg(quoted));
        for (const QChar c : l) {
            if (c.unicode() <= 0x20 || c.unicode() > 0x7E)
                return fail(error,
                            QStringLiteral("fault %1: command letters must be printable ASCII")
                                .arg(quoted));
        }
        fault.letters.append(l.toLatin1());
    }

    QStringView rest = faultText.sliced(colon + 1);
    const auto at = rest.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const auto count = positiveNumber(rest.sliced(at + 1), 1000000);
        if (!count)
            return fail(error,
                        QStringLiteral("fault %1: @N needs a count of 1 or more").arg(quoted));
        fault.remaining = *count;
        rest = rest.first(at);
    }
    const auto hash = rest.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        const auto nth = positiveNumber(rest.sliced(hash + 1), 1000000);
        if (!nth)
            return fail(
                error,
                QStringLiteral("fault %1: #N needs a request number of 1 or more").arg(quoted));
        fault.skip = *nth - 1;
        rest = rest.first(hash);
    }
    QStringView kindName = rest;
    QStringView msText;
    const auto equals = rest.indexOf(QLatin1Char('='));
    if (equals >= 0) {
        kindName = rest.first(equals);
        msText = rest.sliced(equals + 1);
    }
    for (const KindName& k : kKinds) {
        if (kindName != QLatin1String(k.name)) continue;
        fault.kind = k.kind;
        if (k.value == Value::Ms) {
            const auto ms = positiveNumber(msText, kMaxFaultMs);
            if (!ms)
                return fail(error, QStringLiteral("fault %1: %2 needs =MS, 1 to %3 milliseconds")
                                       .arg(quoted, QLatin1String(k.name))
                                       .arg(kMaxFaultMs));
            fault.ms = *ms;
        } else if (k.value == Value::Bytes) {
            const auto bytes = positiveNumber(msText, kMaxFrameLength);
            if (!bytes || *bytes < kMinFrameLength)
                return fail(error,
                            QStringLiteral("fault %1: %2 needs =N, a frame of %3 to %4 bytes")
                                .arg(quoted, QLatin1String(k.name))
                                .arg(kMinFrameLength)
                                .arg(kMaxFrameLength));
            fault.length = *bytes;
        } else if (k.kind == FaultKind::ZeroByte && equals >= 0) {
            // zerobyte=N: the byte at frame position N (the lead byte is 1).
            const auto position = positiveNumber(msText, kMaxFrameLength);
            if (!position || *position < 2)
                return fail(error, QStringLiteral("fault %1: zerobyte=N needs a payload position, "
                                                  "2 to %2")
                                       .arg(quoted)
                                       .arg(kMaxFrameLength));
            fault.length = *position;
        } else if (k.value == Value::Rate) {
            const auto rate = positiveNumber(msText, kMaxStreamRate);
            if (!rate)
                return fail(error, QStringLiteral("fault %1: %2 needs =N, 1 to %3 bytes a second")
                                       .arg(quoted, QLatin1String(k.name))
                                       .arg(kMaxStreamRate));
            fault.rate = *rate;
        } else if (equals >= 0) {
            return fail(
                error,
                QStringLiteral("fault %1: %2 takes no =value").arg(quoted, QLatin1String(k.name)));
        }
        return fault;
    }
    return fail(error,
                QStringLiteral("fault %1: unknown kind \"%2\"; known: silent, badcrc, "
                               "lowercase, noise, doublelead, twoframes, trickle=MS, "
                               "gap=MS, delay=MS, wronglen, length=N, huge, zerobyte[=N], drop, "
                               "escape, close, stream=N")
                    .arg(quoted, kindName.toString()));
}

QList<Fault> FaultSet::take(const QByteArray& commandLetters, const QByteArray& text) {
    QList<Fault> applied;
    for (auto it = faults_.begin(); it != faults_.end();) {
        if (!it->matches(commandLetters, text)) {
            ++it;
            continue;
        }
        if (it->skip > 0) {
            --it->skip;
            ++it;
            continue;
        }
        applied.append(*it);
        if (it->remaining > 0 && --it->remaining == 0)
            it = faults_.erase(it);
        else
            ++it;
    }
    return applied;
}

}  // namespace ktsim
