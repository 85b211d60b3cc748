#include "link/rfc2217_channel.h"

#include "link/port_settings.h"

#include <libtelnet.h>

#include <QAbstractSocket>
#include <algorithm>
#include <cstring>

namespace kt {
namespace {

constexpr unsigned char kComPortOption = 44;

// Client commands of COM-PORT-OPTION; the converter acknowledges each with
// the same number plus 100 and the value it took.
enum : unsigned char {
    kSetBaudRate = 1,
    kSetDataSize = 2,
    kSetParity = 3,
    kSetStopSize = 4,
    kSetControl = 5,
    kPurgeData = 12,
    kServerOffset = 100,
};
constexpr unsigned char kNoFlowControl = 1;  // SET-CONTROL: outbound, and both ways
constexpr unsigned char kPurgeBoth = 3;      // PURGE-DATA: the converter's receive and transmit

const QString kNotRfc2217 = QStringLiteral("the converter does not take line settings (RFC 2217)");

unsigned char parityCode(QSerialPort::Parity parity) {
    switch (parity) {
        case QSerialPort::OddParity:
            return 2;
        case QSerialPort::EvenParity:
            return 3;
        case QSerialPort::MarkParity:
            return 4;
        case QSerialPort::SpaceParity:
            return 5;
        default:
            return 1;
    }
}

unsigned char stopCode(QSerialPort::StopBits stop) {
    switch (stop) {
        case QSerialPort::TwoStop:
            return 2;
        case QSerialPort::OneAndHalfStop:
            return 3;
        default:
            return 1;
    }
}

QByteArray oneByte(unsigned char value) {
    return QByteArray(1, char(value));
}

}  // namespace

void LineDataDevice::append(const char* bytes, qsizetype size) {
    held_.append(bytes, size);
    if (held_.size() > kMaxHeld) held_.remove(0, held_.size() - kMaxHeld);
}

qint64 LineDataDevice::readData(char* data, qint64 maxSize) {
    const qsizetype n = std::min<qsizetype>(held_.size(), qsizetype(maxSize));
    std::memcpy(data, held_.constData(), size_t(n));
    held_.remove(0, n);
    return n;
}

Rfc2217Channel::Rfc2217Channel(QObject* parent) : Channel(parent) {
    data_.open(QIODevice::ReadOnly);
    connect(tcp_.device(), &QIODevice::readyRead, this, &Rfc2217Channel::readSocket);
    connect(&tcp_, &Channel::lost, this, [this](const QString& why) {
        if (!open_) return;
        readSocket();  // what came before the close is still the Link's
        open_ = false;
        emit lost(why);
    });
}

Rfc2217Channel::~Rfc2217Channel() {
    close();
}

void Rfc2217Channel::configure(const QString& ip, const QString& port, bool anyAddress,
                               const QString& lineSettings) {
    ip_ = ip;
    port_ = port;
    anyAddress_ = anyAddress;
    line_ = lineSettings;
}

bool Rfc2217Channel::open(LinkError* error) {
    close();
    tcp_.configure(ip_, port_, anyAddress_);
    if (!tcp_.open(error)) return false;
    // Proxy mode: libtelnet hands every negotiation over as it came. Its
    // own RFC 1143 handling would swallow the converter's refusal of an
    // option we asked for, and that refusal is what we must hear.
    telnet_ = telnet_init(nullptr, &Rfc2217Channel::onTelnetEvent, TELNET_FLAG_PROXY, this);
    if (!telnet_) {
        *error =
            LinkError::of(LinkFault::Other, QStringLiteral("out of memory for the Telnet layer"));
        dropConnection();
        return false;
    }
    binaryOut_ = binaryIn_ = comPort_ = refused_ = false;
    acks_.fill(std::nullopt);
    if (!negotiate(error) || !setLine(line_, error)) {
        // Nothing more reaches the line: the converter may be passing the
        // negotiation itself on as data.
        dropConnection();
        return false;
    }
    // Stale bytes at the converter are no reply to anything of ours.
    discardPending();
    open_ = true;
    return true;
}

bool Rfc2217Channel::negotiate(LinkError* error) {
    // BINARY both ways; COM-PORT-OPTION is ours to offer (the client says
    // WILL, the converter DO).
    telnet_negotiate(telnet_, TELNET_WILL, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet_, TELNET_DO, TELNET_TELOPT_BINARY);
    telnet_negotiate(telnet_, TELNET_WILL, kComPortOption);
    tcp_.device()->waitForBytesWritten(0);
    const bool answered =
        waitFor([this] { return refused_ || (binaryOut_ && binaryIn_ && comPort_); },
                QDeadlineTimer(kNegotiationLimitMs, Qt::PreciseTimer));
    if (answered && !refused_) return true;
    *error = LinkError::of(
        LinkFault::NoLineSettings,
        kNotRfc2217 +
            (refused_        ? QStringLiteral(": it refused COM-PORT-OPTION or binary transmission")
             : tcp_.isOpen() ? QStringLiteral(": no answer to the Telnet negotiation within %1 ms")
                                   .arg(kNegotiationLimitMs)
                             : QStringLiteral(": it closed the connection")));
    return false;
}

bool Rfc2217Channel::setLine(const QString& lineSettings, LinkError* error) {
    if (!telnet_ || !tcp_.isOpen()) {
        *error =
            LinkError::of(LinkFault::NotOpen, QStringLiteral("the converter is not connected"));
        return false;
    }
    // As on a serial port, a text the parser refuses leaves the converter's
    // line as it is; the fields a text leaves out too.
    struct Asked {
        unsigned char command;
        QByteArray value;
        const char* what;
    };
    QList<Asked> asked;
    if (const auto line = ParseLineSettings(lineSettings)) {
        const quint32 baud = quint32(line->baud);
        const char bigEndian[] = {char(baud >> 24), char(baud >> 16), char(baud >> 8), char(baud)};
        asked.append({kSetBaudRate, QByteArray(bigEndian, 4), "baud rate"});
        if (line->dataBits) asked.append({kSetDataSize, oneByte(*line->dataBits), "data bits"});
        if (line->parity) asked.append({kSetParity, oneByte(parityCode(*line->parity)), "parity"});
        if (line->stopBits)
            asked.append({kSetStopSize, oneByte(stopCode(*line->stopBits)), "stop bits"});
    }
    asked.append({kSetControl, oneByte(kNoFlowControl), "flow control"});
    for (const Asked& a : asked) {
        acks_[a.command].reset();
        sendCommand(a.command, a.value);
    }
    tcp_.device()->waitForBytesWritten(0);
    for (const Asked& a : asked) {
        const bool acked = waitFor([&] { return acks_[a.command].has_value(); },
                                   QDeadlineTimer(kAckLimitMs, Qt::PreciseTimer));
        if (!acked) {
            *error =
                tcp_.isOpen()
                    ? LinkError::of(LinkFault::NoLineSettings,
                                    QStringLiteral("%1: no acknowledgement of the %2 within %3 ms")
                                        .arg(kNotRfc2217, QLatin1String(a.what))
                                        .arg(kAckLimitMs))
                    : LinkError::of(LinkFault::Lost,
                                    QStringLiteral("the converter closed the connection"));
            return false;
        }
        const QByteArray& ack = *acks_[a.command];
        const bool padded =
            ack.startsWith(a.value) &&
            std::all_of(ack.begin() + a.value.size(), ack.end(), [](char c) { return c == 0; });
        if (!padded) {
            *error = LinkError::of(LinkFault::LineRefused,
                                   QStringLiteral("the converter does not take the line settings "
                                                  "\"%1\" (it refused the %2)")
                                       .arg(lineSettings.left(40), QLatin1String(a.what)));
            return false;
        }
    }
    return true;
}

template <typename Done>
bool Rfc2217Channel::waitFor(Done done, const QDeadlineTimer& deadline) {
    // Blocking, as the open of every channel is: no event loop runs here.
    while (!done()) {
        if (!tcp_.isOpen() || deadline.hasExpired()) return false;
        if (tcp_.device()->waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            readSocket();
    }
    return true;
}

void Rfc2217Channel::close() {
    open_ = false;
    dropConnection();
    data_.discard();
}

void Rfc2217Channel::dropConnection() {
    tcp_.close();
    if (telnet_) telnet_free(telnet_);
    telnet_ = nullptr;
}

void Rfc2217Channel::discardPending() {
    data_.discard();
    if (telnet_) sendCommand(kPurgeData, oneByte(kPurgeBoth));
}

void Rfc2217Channel::send(const QByteArray& bytes) {
    if (!telnet_) return;
    telnet_send(telnet_, bytes.constData(), size_t(bytes.size()));
    static_cast<QAbstractSocket*>(tcp_.device())->flush();
}

void Rfc2217Channel::sendCommand(unsigned char command, const QByteArray& value) {
    const QByteArray body = oneByte(command) + value;
    telnet_subnegotiation(telnet_, kComPortOption, body.constData(), size_t(body.size()));
}

void Rfc2217Channel::readSocket() {
    if (!telnet_) return;
    const qint64 before = data_.bytesAvailable();
    const QByteArray bytes = tcp_.device()->readAll();
    if (bytes.isEmpty()) return;
    telnet_recv(telnet_, bytes.constData(), size_t(bytes.size()));
    if (data_.bytesAvailable() != before) emit data_.readyRead();
}

void Rfc2217Channel::onTelnetEvent(telnet_t*, telnet_event_t* event, void* self) {
    static_cast<Rfc2217Channel*>(self)->handle(*event);
}

void Rfc2217Channel::handle(const telnet_event_t& event) {
    switch (event.type) {
        case TELNET_EV_DATA:
            data_.append(event.data.buffer, qsizetype(event.data.size));
            break;
        case TELNET_EV_SEND:
            tcp_.device()->write(event.data.buffer, qint64(event.data.size));
            break;
        // The converter's answers to our three requests, or its own offers.
        // An offer of anything else is declined; one reply per message, so
        // a converter that repeats itself gets no more than it sent.
        case TELNET_EV_DO:
            if (event.neg.telopt == TELNET_TELOPT_BINARY)
                binaryOut_ = true;
            else if (event.neg.telopt == kComPortOption)
                comPort_ = true;
            else
                telnet_negotiate(telnet_, TELNET_WONT, event.neg.telopt);
            break;
        case TELNET_EV_WILL:
            if (event.neg.telopt == TELNET_TELOPT_BINARY)
                binaryIn_ = true;
            else
                telnet_negotiate(telnet_, TELNET_DONT, event.neg.telopt);
            break;
        case TELNET_EV_DONT:
            if (event.neg.telopt == TELNET_TELOPT_BINARY || event.neg.telopt == kComPortOption)
                refused_ = true;
            break;
        case TELNET_EV_WONT:
            if (event.neg.telopt == TELNET_TELOPT_BINARY) refused_ = true;
            break;
        case TELNET_EV_SUBNEGOTIATION:
            if (event.sub.telopt == kComPortOption)
                takeComPortReply(reinterpret_cast<const unsigned char*>(event.sub.buffer),
                                 event.sub.size);
            break;
        default:
            // Notifications of other options, warnings and errors of a
            // garbled stream: libtelnet has resynchronised, nothing to keep.
            break;
    }
}

void Rfc2217Channel::takeComPortReply(const unsigned char* bytes, size_t size) {
    // Acknowledgements carry at most four value bytes (the baud rate), but
    // sredird on a 64-bit machine sends its baud rate as eight (the four,
    // then zeros); NOTIFY-LINESTATE, NOTIFY-MODEMSTATE and the flow control
    // notices are passed over.
    if (size < 2 || size > 9) return;
    const unsigned command = bytes[0];
    if (command <= kServerOffset || command - kServerOffset >= acks_.size()) return;
    acks_[command - kServerOffset] =
        QByteArray(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));
}

}  // namespace kt
