// The serial channel over QSerialPort: exclusive open (lock file and
// TIOCEXCL), no flow control, line settings from a "19200,e,8,1" text.
#pragma once

#include "link/channel.h"
#include "link/port_settings.h"

#include <QSerialPort>
#include <QSocketNotifier>

#include <memory>

namespace kt {

class SerialChannel : public Channel {
    Q_OBJECT
public:
    static constexpr int kSilenceLimitMs = 300;

    explicit SerialChannel(QObject* parent = nullptr);
    ~SerialChannel() override;

    void configure(const QString& portName, const QString& lineSettings);

    bool open(LinkError* error) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    QIODevice* device() override { return &port_; }
    void discardPending() override;
    void send(const QByteArray& bytes) override;
    int replyLimitMs() const override { return kSilenceLimitMs; }
    bool limitRestartsOnByte() const override { return true; }

    // The settings the line runs with (for tests and the trace).
    const LineSettings& line() const { return line_; }

private:
    void onError(QSerialPort::SerialPortError error);
    void checkHangUp();
    void lose(const QString& why);
    void shut();
    void applyLine();

    QSerialPort port_;
    // A hung-up tty (pty closed at the far end, USB adapter pulled out) is
    // readable for ever and reads nothing. Qt Serial Port 6.4 reports that as
    // a read error, 6.7.1 and later report nothing at all: the channel looks
    // for the hang-up itself on every wake-up of a copy of the descriptor
    // (a copy, so that its watch does not share the port's).
    int watchedCopy_ = -1;
    std::unique_ptr<QSocketNotifier> hangUpWatch_;
    QString lineText_;
    QString name_;  // as the technician gave it, for messages
    QString path_;  // the device it opens
    // What the line runs with. A settings text that does not parse leaves
    // these as they were, as a port keeps its settings between uses.
    LineSettings line_{9600, QSerialPort::NoParity, QSerialPort::Data8, QSerialPort::OneStop};
};

}  // namespace kt
