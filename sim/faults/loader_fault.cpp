#include "sim/faults/loader_fault.h"

#include <array>

namespace ktsim {
namespace {

struct KindName {
    LoaderFaultKind kind;
    const char* name;
    bool perBlock;
};

constexpr std::array kKinds = {
    KindName{LoaderFaultKind::NoWrite, "nowrite", true},
    KindName{LoaderFaultKind::NoReadBack, "noreadback", true},
    KindName{LoaderFaultKind::WrongData, "wrongdata", true},
    KindName{LoaderFaultKind::LowerData, "lowerdata", true},
    KindName{LoaderFaultKind::ShortData, "shortdata", true},
    KindName{LoaderFaultKind::NoHandshake, "nohandshake", false},
    KindName{LoaderFaultKind::NoErase, "noerase", true},
};

// More blocks than any loader has (984 of 64 bytes), and a bound on counts
// that catches typing errors.
constexpr int kMaxBlock = 1023;
constexpr int kMaxCount = 1000000;

std::optional<int> numberIn(QStringView text, int min, int max) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max) return std::nullopt;
    return value;
}

std::optional<LoaderFault> fail(QString* error, const QString& reason) {
    if (error) *error = reason;
    return std::nullopt;
}

}  // namespace

QString LoaderFault::toString() const {
    QString text;
    for (const KindName& k : kKinds) {
        if (k.kind == kind) text = QLatin1String(k.name);
    }
    if (block >= 0) text += QLatin1Char('=') + QString::number(block);
    if (remaining >= 0) text += QLatin1Char('@') + QString::number(remaining);
    return text;
}

std::optional<LoaderFault> LoaderFault::parse(QStringView text, QString* error) {
    const QString quoted = QLatin1Char('"') + text.toString() + QLatin1Char('"');
    LoaderFault fault;
    QStringView rest = text;
    const auto at = rest.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        const auto count = numberIn(rest.sliced(at + 1), 1, kMaxCount);
        if (!count)
            return fail(
                error,
                QStringLiteral("loader fault %1: @N needs a count of 1 or more").arg(quoted));
        fault.remaining = *count;
        rest = rest.first(at);
    }
    QStringView name = rest;
    const auto equals = rest.indexOf(QLatin1Char('='));
    if (equals >= 0) name = rest.first(equals);
    for (const KindName& k : kKinds) {
        if (name != QLatin1String(k.name)) continue;
        fault.kind = k.kind;
        if (equals < 0) return fault;
        if (!k.perBlock)
            return fail(error,
                        QStringLiteral("loader fault %1: %2 takes no block").arg(quoted, name));
        const auto block = numberIn(rest.sliced(equals + 1), 0, kMaxBlock);
        if (!block)
            return fail(error, QStringLiteral("loader fault %1: =BLOCK needs a block 0 to %2")
                                   .arg(quoted)
                                   .arg(kMaxBlock));
        fault.block = *block;
        return fault;
    }
    return fail(error, QStringLiteral("loader fault %1: unknown kind \"%2\"; known: nowrite, "
                                      "noreadback, wrongdata, lowerdata, shortdata, "
                                      "nohandshake, noerase")
                           .arg(quoted, name.toString()));
}

bool LoaderFaults::take(LoaderFaultKind kind, int block) {
    for (auto it = faults_.begin(); it != faults_.end(); ++it) {
        if (it->kind != kind || (it->block >= 0 && it->block != block)) continue;
        if (it->remaining > 0 && --it->remaining == 0) faults_.erase(it);
        return true;
    }
    return false;
}

}  // namespace ktsim
