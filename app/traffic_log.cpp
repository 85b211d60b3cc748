#include "app/traffic_log.h"

#include "link/trace_line.h"
#include "link/visible_text.h"

namespace kt {
namespace {

// The saved file keeps the marker in English, as ktcli --trace writes.
const char* const kPausedFrames =
    QT_TRANSLATE_NOOP("kt::TrafficLog", "paused: %1 frames not shown");

}  // namespace

TrafficLog::TrafficLog(QObject* parent) : QAbstractTableModel(parent) {
    clock_.start();
}

void TrafficLog::record(const TraceEvent& event) {
    record(event, QTime::currentTime(), clock_.elapsed());
}

void TrafficLog::record(const TraceEvent& event, const QTime& time, qint64 monotonicMs) {
    Row row{time, event, -1};
    if (event.direction == TraceEvent::Direction::Sent)
        requestAtMs_ = event.refused ? -1 : monotonicMs;
    else if (requestAtMs_ >= 0)
        row.sinceRequestMs = static_cast<int>(monotonicMs - requestAtMs_);
    append(std::move(row));
}

void TrafficLog::hide(const QTime& time) {
    // No request time survives a pause: a reply after it counts from nothing.
    requestAtMs_ = -1;
    if (markerOpen_ && !rows_.empty() && rows_.back().hidden > 0) {
        ++rows_.back().hidden;
        const int last = rowCount() - 1;
        emit dataChanged(index(last, 0), index(last, ColumnCount - 1));
        return;
    }
    markerOpen_ = true;
    Row marker{time, {}, -1};
    marker.hidden = 1;
    append(std::move(marker));
}

void TrafficLog::append(Row row) {
    if (rows_.size() >= kMaxRows) {
        beginRemoveRows({}, 0, 0);
        rows_.pop_front();
        endRemoveRows();
    }
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push_back(std::move(row));
    endInsertRows();
}

void TrafficLog::clear() {
    beginResetModel();
    rows_.clear();
    requestAtMs_ = -1;
    markerOpen_ = false;
    endResetModel();
}

void TrafficLog::retranslate() {
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
}

QString TrafficLog::text() const {
    QString all;
    for (const Row& row : rows_) {
        if (row.hidden > 0)
            all += row.time.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral(" -- ") +
                   QString::fromUtf8(kPausedFrames).arg(row.hidden) + u'\n';
        else
            all += TraceLine(row.time, row.event) + u'\n';
    }
    return all;
}

int TrafficLog::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TrafficLog::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrafficLog::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const Row& row = rows_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) return cell(row, index.column());
    if (role == Qt::TextAlignmentRole &&
        (index.column() == LengthColumn || index.column() == ReplyMsColumn))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QString TrafficLog::cell(const Row& row, int column) const {
    if (row.hidden > 0) {
        if (column == TimeColumn) return row.time.toString(QStringLiteral("HH:mm:ss.zzz"));
        if (column == DirectionColumn) return tr(kPausedFrames).arg(row.hidden);
        return {};
    }
    const TraceEvent& e = row.event;
    const bool sent = e.direction == TraceEvent::Direction::Sent;
    switch (column) {
        case TimeColumn:
            return row.time.toString(QStringLiteral("HH:mm:ss.zzz"));
        case DirectionColumn:
            return sent ? tr("Sent") : tr("Received");
        case FrameColumn:
            return TraceStyleName(e.style);
        case BytesColumn:
            return VisibleText(e.bytes);
        case LengthColumn:
            return QString::number(e.bytes.size());
        case VerdictColumn:
            if (sent) return e.refused ? tr("refused before sending") : QString();
            if (!e.complete) return e.bytes.isEmpty() ? tr("timed out") : tr("incomplete");
            return e.checkOk ? tr("check good") : tr("check bad");
        case ReplyMsColumn:
            return row.sinceRequestMs >= 0 ? QString::number(row.sinceRequestMs) : QString();
        default:
            return {};
    }
}

QVariant TrafficLog::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    if (section < 0 || section >= ColumnCount) return {};
    return columnTexts(section).value(0);
}

QStringList TrafficLog::columnTexts(int column) {
    switch (column) {
        case TimeColumn:
            return {tr("Time")};
        case DirectionColumn:
            return {tr("Direction"), tr("Sent"), tr("Received")};
        case FrameColumn:
            return {tr("Frame")};
        case BytesColumn:
            return {tr("Bytes")};
        case LengthColumn:
            return {tr("Length")};
        case VerdictColumn:
            return {tr("Verdict"),    tr("check good"), tr("check bad"),
                    tr("incomplete"), tr("timed out"),  tr("refused before sending")};
        case ReplyMsColumn:
            return {tr("Reply ms")};
        default:
            return {};
    }
}

}  // namespace kt
