#include "link/link.h"

#include "link/command_text.h"
#include "link/pause.h"
#include "link/rfc2217_channel.h"
#include "link/serial_channel.h"
#include "link/serial_device_path.h"
#include "link/tcp_channel.h"

#include <QEventLoop>
#include <algorithm>

namespace kt {
namespace {

// The port as the technician names it: COM1 says which device it stood for.
QString portLabel(const PortSettings& port) {
    if (port.kind == PortKind::Network)
        return QStringLiteral("%1:%2").arg(port.NetIP.trimmed(), port.NetPort.trimmed());
    return SerialPortLabel(port.ComPortName);
}

}  // namespace

Link::Link(QObject* parent)
    : QObject(parent),
      serial_(std::make_unique<SerialChannel>()),
      tcp_(std::make_unique<TcpChannel>()),
      rfc2217_(std::make_unique<Rfc2217Channel>()) {
    limit_.setSingleShot(true);
    limit_.setTimerType(Qt::PreciseTimer);
    connect(&limit_, &QTimer::timeout, this, &Link::onLimit);
    for (Channel* channel :
         {static_cast<Channel*>(serial_.get()), static_cast<Channel*>(tcp_.get()),
          static_cast<Channel*>(rfc2217_.get())}) {
        connect(channel->device(), &QIODevice::readyRead, this, &Link::takeBytes);
        connect(channel, &Channel::lost, this, &Link::onLost);
    }
}

Link::~Link() {
    ClosePort();
}

bool Link::OpenPort() {
    ClosePort();
    error_ = {};
    portLost_ = false;
    Channel* channel = nullptr;
    if (port_.kind == PortKind::Serial) {
        serial_->configure(port_.ComPortName, port_.ComBaudRate);
        channel = serial_.get();
    } else if (port_.NetSetLine) {
        rfc2217_->configure(port_.NetIP, port_.NetPort, port_.netAnyAddress, port_.NetBaudRate);
        channel = rfc2217_.get();
    } else {
        tcp_->configure(port_.NetIP, port_.NetPort, port_.netAnyAddress);
        channel = tcp_.get();
    }
    if (!channel->open(&error_)) {
        if (!error_.failed()) error_.kind = LinkFault::Other;
        error_.port = portLabel(port_);
        return false;
    }
    channel_ = channel;
    return true;
}

void Link::ClosePort() {
    if (channel_) channel_->close();
    channel_ = nullptr;
}

bool Link::isOpen() const {
    return channel_ && channel_->isOpen();
}

bool Link::followLine(const QString& lineSettings) {
    if (!isOpen()) {
        fail(LinkFault::NotOpen, QStringLiteral("the port is not open"));
        return false;
    }
    LinkError error;
    if (channel_->setLine(lineSettings, &error)) return true;
    fail(error.failed() ? error.kind : LinkFault::Other, error.text);
    return false;
}

bool Link::SendCommand(QByteArrayView text) {
    return transact(FrameStyle::Crc, text);
}

bool Link::SendXorCommand(QByteArrayView text) {
    return transact(FrameStyle::StxReply, text);
}

bool Link::SendXorCommandEtx(QByteArrayView text) {
    return transact(FrameStyle::EtxReply, text);
}

bool Link::transact(FrameStyle style, QByteArrayView text) {
    if (waiting_) {
        // Both would share the reply buffer and the channel.
        fail(LinkFault::Other, QStringLiteral("a transaction is already waiting"));
        return false;
    }
    if (cancelRequested()) {
        fail(LinkFault::Other, QStringLiteral("cancelled"));
        return false;
    }
    if (!isOpen()) {
        if (portLost_)
            fail(LinkFault::Lost, QStringLiteral("the port was lost"));
        else
            fail(LinkFault::NotOpen, QStringLiteral("the port is not open"));
        return false;
    }
    // A text that cannot go out still shows in a trace, as refused.
    const auto refuse = [&] {
        trace({TraceEvent::Direction::Sent, style, text.toByteArray(), false, false, true});
    };
    if (const qsizetype at = ForbiddenByteAt(text); at >= 0) {
        refuse();
        fail(LinkFault::BadRequest,
             QStringLiteral("the command text holds byte 0x%1 at position %2 (a control byte, or "
                            "a character outside Latin-1); nothing was sent")
                 .arg(QString::number(static_cast<unsigned char>(text[at]), 16)
                          .rightJustified(2, QLatin1Char('0'))
                          .toUpper())
                 .arg(at + 1));
        return false;
    }
    const auto request = BuildRequest(style, text);
    if (!request) {
        refuse();
        fail(LinkFault::BadRequest,
             QStringLiteral("command text too long: %1 characters, at most %2")
                 .arg(text.size())
                 .arg(style == FrameStyle::Crc ? kMaxCrcCommandText : kMaxXorCommandText));
        return false;
    }
    collector_.reset(style);
    error_ = {};
    if (tracing_.load(std::memory_order_relaxed))
        trace({TraceEvent::Direction::Sent, style, *request, true, true});
    waitForReply(*request);
    if (tracing_.load(std::memory_order_relaxed))
        trace({TraceEvent::Direction::Received, style,
               QByteArray(collector_.buffer(), collector_.length()), collector_.complete(),
               collector_.complete() && collector_.accepted()});
    if (!channel_->isOpen()) channel_ = nullptr;
    if (!collector_.complete()) {
        if (!error_.failed()) fail(LinkFault::NoAnswer, QStringLiteral("no complete reply"));
        return false;
    }
    replyText_ = collector_.text();
    if (!collector_.accepted()) {
        fail(LinkFault::BadCheck, QStringLiteral("the reply failed its checksum"));
        return false;
    }
    return true;
}

// Writes the request and collects the reply while the caller's event loop
// keeps running (the window repaints, its timers fire). The limit is one
// precise single-shot timer, started when the request is written and, on
// serial, restarted by every byte. Each pass blocks until something happens;
// ending the wait needs no wake-up, the pass that took the last byte returns.
void Link::waitForReply(const QByteArray& request) {
    waiting_ = true;
    received_ = 0;
    channel_->discardPending();
    channel_->send(request);
    limit_.start(replyLimitMs());
    takeBytes();  // a late reply of an earlier request may already be waiting
    QEventLoop loop;
    while (waiting_) {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
        // A cancel wakes the thread's event loop.
        if (waiting_ && cancelRequested()) {
            fail(LinkFault::Other, QStringLiteral("cancelled"));
            stopWaiting();
        }
    }
    limit_.stop();
}

int Link::replyLimitMs() const {
    if (replyLimitMs_ > 0 || !channel_) return replyLimitMs_;
    return channel_->replyLimitMs();
}

void Link::stopWaiting() {
    waiting_ = false;
}

void Link::takeBytes() {
    if (!waiting_ || !channel_) return;
    const QByteArray bytes = channel_->device()->readAll();
    if (bytes.isEmpty()) return;
    if (channel_->limitRestartsOnByte()) limit_.start(replyLimitMs());
    // Only what is left of the budget is fed, so the verdict does not depend
    // on how the bytes were split into reads.
    const qsizetype room = std::min<qsizetype>(bytes.size(), kReplyByteBudget - received_);
    received_ += static_cast<int>(collector_.feed(QByteArrayView(bytes).first(room)));
    if (collector_.complete()) {
        stopWaiting();
    } else if (received_ >= kReplyByteBudget) {
        fail(LinkFault::NoAnswer,
             QStringLiteral("no complete reply within %1 bytes").arg(kReplyByteBudget));
        stopWaiting();
    }
}

void Link::onLimit() {
    if (!waiting_) return;
    fail(LinkFault::NoAnswer, QStringLiteral("no complete reply within %1 ms").arg(replyLimitMs()));
    stopWaiting();
}

void Link::onLost(const QString& why) {
    takeBytes();
    portLost_ = true;
    if (!waiting_) return;
    fail(LinkFault::Lost, why);
    stopWaiting();
}

void Link::setTrace(TraceObserver observer) {
    const std::lock_guard lock(traceMutex_);
    trace_ = std::move(observer);
    tracing_.store(static_cast<bool>(trace_), std::memory_order_relaxed);
}

// The observer is called under the lock, so that a setTrace from another
// thread waits for a call in progress.
void Link::trace(const TraceEvent& event) {
    if (!tracing_.load(std::memory_order_relaxed)) return;
    const std::lock_guard lock(traceMutex_);
    if (trace_) trace_(event);
}

void Link::fail(LinkFault fault, const QString& why) {
    error_ = LinkError::of(fault, why);
    error_.port = portLabel(port_);
}

}  // namespace kt
