// The frames the traffic monitor lists: every request and reply the link
// traced while the monitor was open, the newest last, at most kMaxRows.
#pragma once

#include "link/link.h"

#include <QAbstractTableModel>
#include <QElapsedTimer>
#include <QTime>
#include <deque>

namespace kt {

class TrafficLog : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;
    enum Column {
        TimeColumn,
        DirectionColumn,
        FrameColumn,
        BytesColumn,
        LengthColumn,
        VerdictColumn,
        ReplyMsColumn,
        ColumnCount
    };

    struct Row {
        QTime time;
        TraceEvent event;
        int sinceRequestMs = -1;  // a reply: milliseconds since its request
        // A pause's marker row, not a frame: the frames the pause hid, from
        // `time` on (the event is empty).
        int hidden = 0;
    };

    explicit TrafficLog(QObject* parent = nullptr);

    // Adds the frame now; a reply counts its milliseconds from the last request.
    void record(const TraceEvent& event);
    // The same at a given wall time and monotonic millisecond: the frame's
    // own moment, taken where it passed (monotonicNow() is safe from any
    // thread).
    void record(const TraceEvent& event, const QTime& time, qint64 monotonicMs);
    qint64 monotonicNow() const { return clock_.elapsed(); }
    // A frame not listed because the monitor is paused: the first of a
    // pause adds one marker row, the others count on it.
    void hide(const QTime& time);
    // The pause ended: the next hidden frame starts a new marker.
    void endPause() { markerOpen_ = false; }
    void clear();
    // The language changed: the headers and the rows read again.
    void retranslate();

    const Row& row(int index) const { return rows_[static_cast<size_t>(index)]; }
    // Every row as ktcli --trace writes it, one a line.
    QString text() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // What a column can show in the installed language: its header first,
    // then the words its cells hold.
    static QStringList columnTexts(int column);

private:
    QString cell(const Row& row, int column) const;
    void append(Row row);
    bool markerOpen_ = false;

    std::deque<Row> rows_;
    qint64 requestAtMs_ = -1;
    QElapsedTimer clock_;
};

}  // namespace kt
