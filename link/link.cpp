#include "link.h"

#include "serial_channel.h"
#include "tcp_channel.h"

#include <QEventLoop>
#include <QTimer>

namespace kt {

Link::Link(QObject* parent)
    : QObject(parent), serial_(std::make_unique<SerialChannel>()), tcp_(std::make_unique<TcpChannel>())
{
}

Link::~Link()
{
    ClosePort();
}

bool Link::OpenPort()
{
    ClosePort();
    lastError_.clear();
    Channel* channel = nullptr;
    if (port_.kind == PortKind::Serial) {
        serial_->configure(port_.ComPortName, port_.ComBaudRate);
        channel = serial_.get();
    } else {
        tcp_->configure(port_.NetIP, port_.NetPort);
        channel = tcp_.get();
    }
    if (!channel->open(&lastError_))
        return false;
    channel_ = channel;
    return true;
}

void Link::ClosePort()
{
    if (channel_)
        channel_->close();
    channel_ = nullptr;
}

bool Link::isOpen() const
{
    return channel_ && channel_->isOpen();
}

bool Link::SendCommand(QByteArrayView text)
{
    return transact(FrameStyle::Crc, text);
}

bool Link::SendXorCommand(QByteArrayView text)
{
    return transact(FrameStyle::StxReply, text);
}

bool Link::SendXorCommandEtx(QByteArrayView text)
{
    return transact(FrameStyle::EtxReply, text);
}

bool Link::transact(FrameStyle style, QByteArrayView text)
{
    if (inTransaction_) {
        // Both would share the reply buffer and the channel.
        lastError_ = QStringLiteral("a transaction is already waiting");
        return false;
    }
    if (!isOpen()) {
        lastError_ = QStringLiteral("the port is not open");
        return false;
    }
    const auto request = BuildRequest(style, text);
    if (!request) {
        lastError_ = QStringLiteral("command text too long: %1 characters, at most %2")
                         .arg(text.size())
                         .arg(style == FrameStyle::Crc ? kMaxCrcCommandText : kMaxXorCommandText);
        return false;
    }
    collector_.reset(style);
    inTransaction_ = true;
    const bool complete = waitForReply(*request);
    inTransaction_ = false;
    if (!complete)
        return false;
    replyText_ = collector_.text();
    if (!collector_.accepted()) {
        lastError_ = QStringLiteral("the reply failed its checksum");
        return false;
    }
    lastError_.clear();
    return true;
}

// Writes the request and collects the reply while the caller's event loop
// keeps running. The limit is one precise single-shot timer: started when the
// request is written and, on serial, restarted by every byte.
bool Link::waitForReply(const QByteArray& request)
{
    Channel* channel = channel_;
    QIODevice* device = channel->device();
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    limit.setTimerType(Qt::PreciseTimer);
    bool complete = false;
    bool done = false;

    const auto finish = [&] {
        done = true;
        loop.quit();
    };
    const auto take = [&] {
        if (done)
            return;
        const QByteArray bytes = device->readAll();
        if (bytes.isEmpty())
            return;
        if (channel->limitRestartsOnByte())
            limit.start(channel->replyLimitMs());
        collector_.feed(bytes);
        if (collector_.complete()) {
            complete = true;
            finish();
        }
    };

    QObject::connect(device, &QIODevice::readyRead, &loop, take);
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        if (!done)
            lastError_ = QStringLiteral("no complete reply within %1 ms").arg(channel->replyLimitMs());
        finish();
    });
    QObject::connect(channel, &Channel::lost, &loop, [&](const QString& why) {
        take();
        if (!done) {
            lastError_ = why;
            finish();
        }
    });

    channel->discardPending();
    device->write(request);
    limit.start(channel->replyLimitMs());
    take();  // bytes that were already waiting (a late reply on the network)
    if (!done)
        loop.exec();
    if (!channel->isOpen())
        channel_ = nullptr;
    return complete;
}

}  // namespace kt
