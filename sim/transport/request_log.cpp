#include "sim/transport/request_log.h"

#include "link/visible_text.h"

#include <chrono>

namespace ktsim {

bool RequestLog::openFile(const QString& path, QString* error) {
    file_.close();
    file_.setFileName(path);
    if (file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) return true;
    if (error)
        *error = QStringLiteral("cannot open log file %1: %2").arg(path, file_.errorString());
    return false;
}

void RequestLog::add(const Request& request) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    LoggedRequest entry{request.text, request.style, request.checksumOk,
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()};
    if (file_.isOpen()) {
        file_.write(formatLine(entry) + '\n');
        file_.flush();
    }
    entries_.append(std::move(entry));
}

QList<QByteArray> RequestLog::texts() const {
    QList<QByteArray> texts;
    texts.reserve(entries_.size());
    for (const LoggedRequest& entry : entries_) texts.append(entry.text);
    return texts;
}

QByteArray RequestLog::formatLine(const LoggedRequest& entry) {
    return QByteArray::number(static_cast<double>(entry.monotonicNs) / 1e9, 'f', 6) + ' ' +
           styleName(entry.style) + ' ' + (entry.checksumOk ? "ok" : "bad-checksum") + ' ' +
           kt::VisibleText(entry.text).toUtf8();
}

}  // namespace ktsim
