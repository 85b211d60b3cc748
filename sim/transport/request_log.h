// Every request the controller received, in order, with its checksum
// verdict and a monotonic time stamp; optionally appended to a file.
#pragma once

#include "sim/transport/request.h"

#include <QFile>
#include <QList>
#include <QString>

namespace ktsim {

struct LoggedRequest {
    QByteArray text;  // the command text: no SOH, checksum or CR
    RequestStyle style = RequestStyle::Crc;
    bool checksumOk = false;
    qint64 monotonicNs = 0;  // steady clock (CLOCK_MONOTONIC)
};

class RequestLog {
public:
    // Appends one line per request to the file from now on.
    bool openFile(const QString& path, QString* error);

    void add(const Request& request);
    void clear() { entries_.clear(); }
    const QList<LoggedRequest>& entries() const { return entries_; }
    QList<QByteArray> texts() const;

    // "<seconds> <CRC|XOR> <ok|bad-checksum> <text>", control bytes visible.
    static QByteArray formatLine(const LoggedRequest& entry);

private:
    QList<LoggedRequest> entries_;
    QFile file_;
};

}  // namespace ktsim
