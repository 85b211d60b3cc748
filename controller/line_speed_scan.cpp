#include "controller/line_speed_scan.h"

#include "controller/reply_fields.h"

namespace kt {

using detail::accepted;
using detail::positions;

const QStringList& SpeedBoxSettings() {
    static const QStringList settings = {
        QStringLiteral("4800,n,8,1"),   QStringLiteral("4800,e,8,1"),
        QStringLiteral("9600,n,8,1"),   QStringLiteral("9600,e,8,1"),
        QStringLiteral("19200,n,8,1"),  QStringLiteral("19200,e,8,1"),
        QStringLiteral("38400,n,8,1"),  QStringLiteral("38400,e,8,1"),
        QStringLiteral("57600,n,8,1"),  QStringLiteral("57600,e,8,1"),
        QStringLiteral("115200,n,8,1"), QStringLiteral("115200,e,8,1"),
        QStringLiteral("230400,n,8,1"), QStringLiteral("230400,e,8,1"),
        QStringLiteral("460800,n,8,1"), QStringLiteral("460800,e,8,1"),
        QStringLiteral("921600,n,8,1"), QStringLiteral("921600,e,8,1"),
    };
    return settings;
}

const QStringList& LineSpeedScanOrder() {
    static const QStringList order = [] {
        const QStringList presets = {QStringLiteral("19200,e,8,1"), QStringLiteral("115200,n,8,1")};
        QStringList list = presets;
        const QStringList& box = SpeedBoxSettings();
        // The box goes from slow to fast in pairs (no parity, even parity):
        // walk the pairs backwards, keeping each pair's own order.
        for (qsizetype pair = box.size() - 2; pair >= 0; pair -= 2) {
            for (qsizetype i = pair; i < pair + 2; ++i) {
                if (!presets.contains(box[i])) list.append(box[i]);
            }
        }
        return list;
    }();
    return order;
}

LineSpeedScanResult ScanLineSpeed(Link& link, const QByteArray& idText, bool tryAll,
                                  const LineSpeedScanObserver& observer) {
    LineSpeedScanResult result;
    PortSettings port = link.port();
    const bool converter = port.kind == PortKind::Network;
    if (converter && !port.NetSetLine) {
        result.outcome = LineSpeedScanResult::Outcome::NotSerial;
        result.why = QStringLiteral(
            "the line speed is found on a serial port, or behind a converter that takes line "
            "settings (RFC 2217); a raw TCP converter's serial side is set in the converter");
        return result;
    }
    const QStringList& order = LineSpeedScanOrder();
    for (qsizetype i = 0; i < order.size(); ++i) {
        LineSpeedTry attempt;
        attempt.line = order[i];
        if (observer.trying) observer.trying(attempt.line, int(i) + 1, int(order.size()));
        (converter ? port.NetBaudRate : port.ComBaudRate) = attempt.line;
        link.setPort(port);
        if (!link.OpenPort()) {
            if (link.lastError().kind == LinkFault::LineRefused) {
                // This converter cannot run its line so; the next setting may.
                attempt.fault = LinkFault::LineRefused;
                result.tries.append(attempt);
                if (observer.tried) observer.tried(attempt);
                continue;
            }
            result.outcome = LineSpeedScanResult::Outcome::PortFailed;
            result.error = link.lastError();
            return result;
        }
        detail::pause(detail::kCommandPauseMs);
        if (accepted(link, idText + "AC", {17, 15})) {
            attempt.answered = true;
            attempt.address = positions(link, 2, 5);
        } else if (!link.portGone()) {
            detail::pause(detail::kCommandPauseMs);
            if (accepted(link, idText.left(3) + "AS", {20})) {
                attempt.answered = true;
                attempt.address = positions(link, 2, 4);
                attempt.familyFour = true;
            }
        }
        if (!attempt.answered) attempt.fault = link.lastError().kind;
        result.tries.append(attempt);
        if (observer.tried) observer.tried(attempt);
        if (!attempt.answered && link.portGone()) {
            result.outcome = LineSpeedScanResult::Outcome::PortFailed;
            result.error = link.lastError();
            return result;
        }
        if (attempt.answered && result.outcome != LineSpeedScanResult::Outcome::Found) {
            result.outcome = LineSpeedScanResult::Outcome::Found;
            result.line = attempt.line;
            result.address = attempt.address;
            result.familyFour = attempt.familyFour;
            if (!tryAll) return result;
        }
    }
    return result;
}

}  // namespace kt
