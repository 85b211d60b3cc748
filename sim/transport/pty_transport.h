// The serial side: a pseudo-terminal whose slave path the tool opens as its
// serial port. The simulator keeps a slave descriptor of its own open, so
// that the master never reads EIO (and its notifier never spins) while the
// tool has the port closed.
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <memory>

namespace ktsim {

class Session;
class Simulator;

class PtyTransport : public QObject {
    Q_OBJECT
public:
    explicit PtyTransport(Simulator& simulator, QObject* parent = nullptr);
    ~PtyTransport() override;

    // Opens a fresh pty in raw mode, closing any previous one. False with the
    // reason in *error on failure.
    bool open(QString* error);
    QString path() const { return path_; }

signals:
    // A pty was opened: at start and after a drop fault replaced the old one.
    void opened(const QString& path);

private:
    void closePty();
    void readRequests();
    void write(const QByteArray& bytes);
    void writePending();
    void dropAndReopen();
    void finishDrop();
    void discardUnreadReplies();
    // The speed the tool has set the port to, in baud; 0 when unknown.
    int lineSpeed() const;

    Simulator& simulator_;
    Session* session_ = nullptr;
    int master_ = -1;
    int slave_ = -1;
    QString path_;
    std::unique_ptr<QSocketNotifier> readNotifier_;
    std::unique_ptr<QSocketNotifier> writeNotifier_;
    QByteArray pending_;  // reply bytes the pty could not take yet
    // A drop waits for the tool to read the half frame before it hangs up.
    QTimer dropTimer_;
    QElapsedTimer dropClock_;
};

}  // namespace ktsim
