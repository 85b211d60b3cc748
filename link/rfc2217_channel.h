// The third channel: a serial-to-network converter spoken to with Telnet's
// COM-PORT-OPTION (RFC 2217), which also sets the converter's serial line.
//
// libtelnet does the Telnet layer (option negotiation by the RFC 1143 rules,
// IAC doubling both ways, bounded subnegotiation buffers); this file adds the
// COM-PORT-OPTION commands on top. The connection itself is a TcpChannel, so
// the connect, its limits and its failures read as on raw TCP.
#pragma once

#include "link/channel.h"
#include "link/tcp_channel.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <array>
#include <optional>

struct telnet_t;
union telnet_event_t;

namespace kt {

// The data bytes the converter passed on from its serial line, with the
// Telnet layer taken off: what the Link reads.
class LineDataDevice : public QIODevice {
    Q_OBJECT
public:
    // A reply is at most 1500 bytes; a converter streaming between two
    // transactions loses its oldest bytes beyond this.
    static constexpr qsizetype kMaxHeld = 64 * 1024;

    using QIODevice::QIODevice;
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return held_.size() + QIODevice::bytesAvailable(); }
    void append(const char* bytes, qsizetype size);
    void discard() { held_.clear(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray held_;
};

class Rfc2217Channel : public Channel {
    Q_OBJECT
public:
    // Negotiation and every acknowledgement of the line settings are awaited
    // this long at most; together well under the 2 s in which a converter
    // that does not take line settings must be told apart.
    static constexpr int kNegotiationLimitMs = 1200;
    static constexpr int kAckLimitMs = 600;

    explicit Rfc2217Channel(QObject* parent = nullptr);
    ~Rfc2217Channel() override;

    // As TcpChannel, plus the converter's line settings text ("19200,e,8,1").
    void configure(const QString& ip, const QString& port, bool anyAddress,
                   const QString& lineSettings);

    bool open(LinkError* error) override;
    void close() override;
    bool isOpen() const override { return open_ && tcp_.isOpen(); }
    QIODevice* device() override { return &data_; }
    // PURGE-DATA both ways at the converter, and what is held here. Not
    // awaited: the converter handles it before the request behind it.
    void discardPending() override;
    void send(const QByteArray& bytes) override;
    int replyLimitMs() const override { return TcpChannel::kTotalLimitMs; }
    bool limitRestartsOnByte() const override { return false; }
    bool setLine(const QString& lineSettings, LinkError* error) override;

private:
    static void onTelnetEvent(telnet_t* telnet, telnet_event_t* event, void* self);
    void handle(const telnet_event_t& event);
    void takeComPortReply(const unsigned char* bytes, size_t size);
    void readSocket();
    void sendCommand(unsigned char command, const QByteArray& value);
    // Reads the socket until done() or the deadline; false at the deadline
    // or when the connection went away.
    template <typename Done>
    bool waitFor(Done done, const QDeadlineTimer& deadline);
    bool negotiate(LinkError* error);
    void dropConnection();

    TcpChannel tcp_;
    LineDataDevice data_;
    telnet_t* telnet_ = nullptr;
    QString ip_, port_, line_;
    bool anyAddress_ = false;
    bool open_ = false;
    // Negotiation state: each option on, or refused by the converter.
    bool binaryOut_ = false, binaryIn_ = false, comPort_ = false, refused_ = false;
    // The value the converter acknowledged for each client command (1 to
    // 12), since the command went out.
    std::array<std::optional<QByteArray>, 13> acks_;
};

}  // namespace kt
