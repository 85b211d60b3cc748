// The substitute controller as a whole: one controller, its faults, its
// request log and the transports it listens on. Lives in one thread; use it
// directly from the thread that owns it (as ktsim does), or through
// SimThread from anywhere.
#pragma once

#include "sim/device/controller.h"
#include "sim/device/device_config.h"
#include "sim/faults/fault.h"
#include "sim/faults/reply_plan.h"
#include "sim/transport/request_log.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace ktsim {

class PtyTransport;
class TcpTransport;

class Simulator : public QObject {
    Q_OBJECT
public:
    // An invalid configuration is refused with a warning; the family's
    // defaults stand in for it.
    explicit Simulator(const DeviceConfig& config = DeviceConfig(), QObject* parent = nullptr);
    ~Simulator() override;

    // Listens on 127.0.0.1 (port 0: any free port); the port, or 0 on failure.
    quint16 startTcp(quint16 port = 0);
    quint16 tcpPort() const;
    // Opens a pseudo-terminal; its slave path, or empty on failure.
    QString startPty();
    // The current slave path; a drop fault replaces the pty with a new one.
    QString ptyPath() const;
    // Why the last start failed.
    QString lastError() const { return lastError_; }

    bool addFault(const QString& faultText, QString* error = nullptr);
    void clearFaults() { faults_.clear(); }
    QList<Fault> faults() const { return faults_.faults(); }

    // Every reply byte no faster than this baud rate (10 bits a byte); 0: no limit.
    void setPace(int baud) { paceBaud_ = baud; }
    int pace() const { return paceBaud_; }

    // The speed the controller's serial line runs at: on the pty it hears
    // requests only while the tool has the port at this speed (a pty keeps
    // the speed it is set to, not the parity). 0: any speed. TCP is not
    // affected. An accepted "AE" moves it to the speed asked for.
    void setLineBaud(int baud) { lineBaud_ = baud; }
    int lineBaud() const { return lineBaud_; }

    // Becomes another controller; the log and the faults stay.
    bool setConfig(const DeviceConfig& config, QString* error = nullptr);
    // Resolved, with the address the controller has now.
    DeviceConfig config() const { return controller_.config(); }
    Controller& controller() { return controller_; }

    const RequestLog& log() const { return log_; }
    void clearLog() { log_.clear(); }
    bool openLogFile(const QString& path, QString* error) { return log_.openFile(path, error); }

    // Prints each request and reply on stdout, control bytes visible.
    void setVerbose(bool verbose) { verbose_ = verbose; }
    bool verbose() const { return verbose_; }

    // Logs the request and decides the reply, faults applied; nullopt for
    // no reply. Called by the transports' sessions.
    std::optional<ReplyPlan> respond(const Request& request);

signals:
    void ptyOpened(const QString& path);

private:
    void trace(const QByteArray& line) const;

    Controller controller_;
    FaultSet faults_;
    RequestLog log_;
    int paceBaud_ = 0;
    int lineBaud_ = 0;
    bool verbose_ = false;
    QString lastError_;
    // Declared last, destroyed first: their sessions call back into the above.
    std::unique_ptr<TcpTransport> tcp_;
    std::unique_ptr<PtyTransport> pty_;
};

}  // namespace ktsim
