#include "link/serial_channel.h"

#include "link/serial_access.h"
#include "link/serial_device_path.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace kt {
namespace {

LinkError openError(const QSerialPort& port, const QString& name, const QString& path) {
    switch (port.error()) {
        case QSerialPort::DeviceNotFoundError:
            return LinkError::of(LinkFault::NoSuchPort, port.errorString());
        case QSerialPort::PermissionError: {
            // Qt says the same for a device the account may not open and for
            // one another program holds; the device and the locks tell which.
            LinkError error = PermissionError(ProbeSerialAccess(path));
            error.text = port.errorString();
            return error;
        }
        default:
            return LinkError::of(
                LinkFault::Other,
                QStringLiteral("cannot open serial port %1: %2").arg(name, port.errorString()));
    }
}

}  // namespace

SerialChannel::SerialChannel(QObject* parent) : Channel(parent) {
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialChannel::onError);
}

SerialChannel::~SerialChannel() {
    shut();
}

void SerialChannel::configure(const QString& portName, const QString& lineSettings) {
    // A bare name ("ttyUSB0") is looked up under /dev, a path is used as it
    // is, and COM1 is /dev/ttyS0. QSerialPort takes the whole path.
    path_ = SerialDevicePath(portName);
    port_.setPortName(path_);
    name_ = SerialPortLabel(portName);
    lineText_ = lineSettings;
}

bool SerialChannel::open(LinkError* error) {
    if (port_.isOpen()) close();
    if (const auto parsed = ParseLineSettings(lineText_)) {
        line_.baud = parsed->baud;
        line_.parity = parsed->parity.value_or(*line_.parity);
        line_.dataBits = parsed->dataBits.value_or(*line_.dataBits);
        line_.stopBits = parsed->stopBits.value_or(*line_.stopBits);
    }
    // Open with settings every tty accepts, then apply the real ones: a
    // pseudo-terminal refuses parity, and QSerialPort would fail the whole
    // open for it. As with any port, a setting the device refuses is not
    // examined; the port runs with what it accepted.
    port_.setBaudRate(9600);
    port_.setParity(QSerialPort::NoParity);
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        *error = openError(port_, name_, path_);
        return false;
    }
    applyLine();
    port_.clear(QSerialPort::Output);
    port_.clear(QSerialPort::Input);
    watchedCopy_ = ::fcntl(port_.handle(), F_DUPFD_CLOEXEC, 0);
    if (watchedCopy_ < 0) {
        // Without the watch a lost port could read as silence; refuse it.
        const QString why = qt_error_string(errno);
        port_.close();
        *error = LinkError::of(LinkFault::Other,
                               QStringLiteral("cannot open serial port %1: %2").arg(name_, why));
        return false;
    }
    hangUpWatch_ = std::make_unique<QSocketNotifier>(watchedCopy_, QSocketNotifier::Read);
    connect(hangUpWatch_.get(), &QSocketNotifier::activated, this, &SerialChannel::checkHangUp);
    return true;
}

void SerialChannel::applyLine() {
    port_.setBaudRate(line_.baud);
    port_.setDataBits(*line_.dataBits);
    port_.setParity(*line_.parity);
    port_.setStopBits(*line_.stopBits);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    port_.clearError();
}

void SerialChannel::close() {
    if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
    shut();
}

void SerialChannel::shut() {
    hangUpWatch_.reset();
    if (watchedCopy_ >= 0) ::close(watchedCopy_);
    watchedCopy_ = -1;
    if (port_.isOpen()) port_.close();
}

void SerialChannel::discardPending() {
    port_.clear(QSerialPort::AllDirections);
}

void SerialChannel::send(const QByteArray& bytes) {
    // Straight to the descriptor: QSerialPort's own write path queues the
    // bytes and wakes the event loop twice for every request. A request is
    // small and the port's output buffer empty after the purge, so this
    // normally takes the whole request; anything left goes the queued way.
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(port_.handle(), bytes.constData() + done,
                                  static_cast<size_t>(bytes.size() - done));
        if (n <= 0) break;
        done += n;
    }
    if (done < bytes.size()) port_.write(bytes.sliced(done));
}

void SerialChannel::onError(QSerialPort::SerialPortError error) {
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError) return;
    lose(port_.errorString());
}

void SerialChannel::checkHangUp() {
    pollfd watched{watchedCopy_, POLLIN, 0};
    if (::poll(&watched, 1, 0) <= 0) return;
    if (watched.revents & (POLLHUP | POLLERR | POLLNVAL))
        lose(QStringLiteral("the device hung up"));
}

void SerialChannel::lose(const QString& why) {
    if (!port_.isOpen()) return;
    // Left open, the port wakes the event loop for ever (and Qt 6.4 repeats
    // its error): close at once, right after a waiting transaction has taken
    // what was read before.
    emit lost(QStringLiteral("serial port %1 was lost: %2").arg(name_, why));
    shut();
}

}  // namespace kt
