// The device link: one channel (serial port, or TCP to a converter, raw or
// RFC 2217) opened for
// one operation, and the three request/reply transactions over it.
//
// A transaction frames the command text, writes it, and collects the reply
// byte by byte while the caller's event loop keeps running (the window
// repaints, its timers fire). It returns true when a complete frame passed
// its check within the time limit: 300 ms of silence on serial (restarted at
// every byte), 1200 ms in total on the network (never restarted). Either way
// it ends after kReplyByteBudget bytes without a frame, and it refuses a
// command text that carries a control byte before anything is written.
// A cancel of the thread it runs on (link/pause.h) fails the transaction
// waiting now and every later one at once.
#pragma once

#include "link/frames.h"
#include "link/link_error.h"
#include "link/port_settings.h"
#include "link/reply_collector.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace kt {

class Channel;
class SerialChannel;
class TcpChannel;
class Rfc2217Channel;

// One frame as it crossed the channel, for a trace: the request as written,
// or the reply as collected when its transaction ended (complete or not).
struct TraceEvent {
    enum class Direction { Sent, Received };
    Direction direction = Direction::Sent;
    FrameStyle style = FrameStyle::Crc;
    QByteArray bytes;
    bool complete = true;  // Received: a whole frame arrived
    bool checkOk = true;   // Received: the frame passed its CRC or XOR check
    bool refused = false;  // Sent: the text could not be framed; nothing was written
};
using TraceObserver = std::function<void(const TraceEvent&)>;

class Link : public QObject {
    Q_OBJECT
public:
    explicit Link(QObject* parent = nullptr);
    ~Link() override;

    void setPort(const PortSettings& port) { port_ = port; }
    const PortSettings& port() const { return port_; }

    // Opens the channel the port settings name; false when it cannot be
    // opened (lastError() then says why). Blocks without running the event loop.
    bool OpenPort();
    void ClosePort();
    bool isOpen() const;
    // After the controller took a new line speed: a converter that takes
    // line settings (RFC 2217) moves its serial line along. The serial port
    // and raw TCP have nothing to move. False, with lastError(), when the
    // converter did not follow.
    bool followLine(const QString& lineSettings);

    bool SendCommand(QByteArrayView text);        // CRC request, ETX reply
    bool SendXorCommand(QByteArrayView text);     // XOR request, STX reply
    bool SendXorCommandEtx(QByteArrayView text);  // XOR request, ETX reply
    bool transact(FrameStyle style, QByteArrayView text);

    // The last reply. ReplyBuffer/ReplyLength hold whatever the last
    // transaction collected; ReplyText changes only when a frame completed.
    const char* ReplyBuffer() const { return collector_.buffer(); }
    int ReplyLength() const { return collector_.length(); }
    const QByteArray& ReplyText() const { return replyText_; }

    // Called with every request written and every reply collected, on the
    // link's thread; empty (the default) costs one test per frame. May be set
    // from another thread: once it returns, the old observer is not called.
    void setTrace(TraceObserver observer);

    // The reply's time limit in milliseconds; 0 (the default) is the
    // channel's own, the rule above. Tests whose subject is not the limit
    // shorten it, so that a survey of silent addresses does not wait out
    // 300 ms at each.
    void setReplyLimitMs(int ms) { replyLimitMs_ = ms; }
    int replyLimitMs() const;

    // Why the last open or transaction failed, with the port it names; its
    // kind is None after a success.
    const LinkError& lastError() const { return error_; }
    // The open port went away (adapter pulled, pty closed, peer closed)
    // since OpenPort; stays set until the next OpenPort.
    bool portLost() const { return portLost_; }
    // No further request can go out: the port was lost, or a request found
    // it not open. A silent controller on a live port is not this.
    bool portGone() const { return portLost_ || error_.kind == LinkFault::NotOpen; }

private:
    void waitForReply(const QByteArray& request);
    void takeBytes();
    void onLimit();
    void onLost(const QString& why);
    void stopWaiting();
    void fail(LinkFault fault, const QString& why);
    void trace(const TraceEvent& event);

    PortSettings port_;
    std::unique_ptr<SerialChannel> serial_;
    std::unique_ptr<TcpChannel> tcp_;
    std::unique_ptr<Rfc2217Channel> rfc2217_;
    Channel* channel_ = nullptr;  // the open one, or null
    ReplyCollector collector_;
    QByteArray replyText_;
    LinkError error_;
    bool portLost_ = false;
    QTimer limit_;
    bool waiting_ = false;
    int received_ = 0;  // bytes taken in by the waiting transaction
    std::atomic<bool> tracing_{false};
    std::mutex traceMutex_;
    int replyLimitMs_ = 0;
    TraceObserver trace_;
};

}  // namespace kt
