// The RFC 2217 channel against a scripted converter on loopback: one that
// refuses COM-PORT-OPTION, one that takes another speed than asked, and one
// that doubles IAC, sends notifications and an endless subnegotiation.
#include "link/rfc2217_channel.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <initializer_list>
#include <thread>

using namespace kt;

namespace {

// The socket's notifiers need an application object.
int argc = 1;
char name[] = "test_rfc2217_channel";
char* argv[] = {name, nullptr};
QCoreApplication& app() {
    static QCoreApplication instance(argc, argv);
    return instance;
}

constexpr char IAC = char(0xFF), SB = char(0xFA), SE = char(0xF0), WILL = char(0xFB),
               DO = char(0xFD), DONT = char(0xFE);

QByteArray bytes(std::initializer_list<char> list) {
    return QByteArray(list.begin(), qsizetype(list.size()));
}

// One connection's converter side, in a thread of its own: the channel's
// open blocks its caller.
class Converter {
public:
    using Script = std::function<void(Converter&)>;
    explicit Converter(Script script) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 1);
        socklen_t size = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, script] {
            peer_ = ::accept(listener_, nullptr, nullptr);
            if (peer_ >= 0) script(*this);
        });
    }
    ~Converter() {
        finish();
        if (peer_ >= 0) ::close(peer_);
        ::close(listener_);
    }
    quint16 port() const { return port_; }
    // Waits for the script to end.
    void finish() {
        if (thread_.joinable()) thread_.join();
    }

    // Everything the client sends within ms, or until it closes.
    QByteArray read(int ms) {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        for (qint64 left; (left = ms - clock.elapsed()) > 0;) {
            pollfd p{peer_, POLLIN, 0};
            if (::poll(&p, 1, int(left)) <= 0) break;
            char buffer[4096];
            const ssize_t n = ::read(peer_, buffer, sizeof buffer);
            if (n <= 0) {
                closed = true;
                break;
            }
            got.append(buffer, n);
        }
        received += got;
        return got;
    }
    void write(const QByteArray& bytes) { ::send(peer_, bytes.constData(), bytes.size(), 0); }
    // Reads until the client's SET-CONTROL (the last line setting) came.
    void readSettings() {
        for (int i = 0; i < 20 && !received.contains(QByteArray("\xff\xfa\x2c\x05", 4)); ++i)
            read(50);
    }
    void acceptOptions() { write(bytes({IAC, DO, 0, IAC, WILL, 0, IAC, DO, 44})); }
    static QByteArray ack(char command, const QByteArray& value) {
        return bytes({IAC, SB, 44, char(command + 100)}) + value + bytes({IAC, SE});
    }

    QByteArray received;
    bool closed = false;

private:
    int listener_ = -1;
    int peer_ = -1;
    quint16 port_ = 0;
    std::thread thread_;
};

Rfc2217Channel* channelTo(const Converter& converter, const QString& line) {
    app();
    auto* channel = new Rfc2217Channel;
    channel->configure(QStringLiteral("127.0.0.1"), QString::number(converter.port()), false, line);
    return channel;
}

TEST(Rfc2217Channel, AConverterThatRefusesOrIgnoresTheOptionFailsFastAndHearsNoMore) {
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "refusing");
        Converter converter([silent](Converter& c) {
            c.read(100);
            if (!silent) c.write(bytes({IAC, DONT, 44}));
            c.read(3000);  // until the client has gone
        });
        std::unique_ptr<Rfc2217Channel> channel(channelTo(converter, "19200,e,8,1"));
        LinkError error;
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(channel->open(&error));
        EXPECT_LT(clock.elapsed(), silent ? 2000 : 500);
        EXPECT_EQ(error.kind, LinkFault::NoLineSettings);
        EXPECT_TRUE(error.text.startsWith("the converter does not take line settings (RFC 2217)"));
        EXPECT_FALSE(channel->isOpen());
        channel->send("0000AC");  // refused: nothing goes out
        channel.reset();
        converter.finish();
        EXPECT_TRUE(converter.closed);
        // Only the negotiation reached the converter: no line setting, no data.
        EXPECT_FALSE(converter.received.contains(SB));
        EXPECT_FALSE(converter.received.contains("AC"));
    }
}

TEST(Rfc2217Channel, AnotherSpeedThanAskedIsARefusedLine) {
    Converter converter([](Converter& c) {
        c.read(50);
        c.acceptOptions();
        c.readSettings();
        c.write(Converter::ack(1, QByteArray("\x00\x00\x25\x80", 4)));  // 9600
        c.read(1000);
    });
    std::unique_ptr<Rfc2217Channel> channel(channelTo(converter, "115200,n,8,1"));
    LinkError error;
    EXPECT_FALSE(channel->open(&error));
    EXPECT_EQ(error.kind, LinkFault::LineRefused);
    EXPECT_TRUE(error.text.contains("baud rate")) << error.text.toStdString();
}

TEST(Rfc2217Channel, DataCrossesWithIacDoubledAndNoiseFromTheConverterPassedOver) {
    Converter converter([](Converter& c) {
        c.read(50);
        c.acceptOptions();
        c.readSettings();
        // Acknowledged as asked, the baud rate eight bytes long as sredird
        // sends it, between notifications and a subnegotiation that never ends
        // within any sane size.
        c.write(Converter::ack(1, QByteArray("\x00\x00\x4b\x00\x00\x00\x00\x00", 8)) +
                Converter::ack(7, QByteArray("\x30", 1)) + Converter::ack(2, "\x08") +
                Converter::ack(3, "\x03") + Converter::ack(4, "\x01") + Converter::ack(5, "\x01") +
                bytes({IAC, SB, 44, 106}) + QByteArray(20000, 'x') + bytes({IAC, SE}));
        c.read(300);  // the purge, then the request
        c.write(QByteArray("\x03reply", 6) + bytes({IAC, IAC}) + "\r");
        c.read(300);
    });
    std::unique_ptr<Rfc2217Channel> channel(channelTo(converter, "19200,e,8,1"));
    LinkError error;
    ASSERT_TRUE(channel->open(&error)) << error.text.toStdString();
    channel->discardPending();
    channel->send(
        QByteArray("A\xff"
                   "B",
                   3));
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    while (!reply.endsWith('\r') && clock.elapsed() < 2000) {
        QTest::qWait(5);
        reply += channel->device()->readAll();
    }
    // The tail of the oversize subnegotiation may come through as line
    // noise, which the reply collector drops before the lead byte.
    EXPECT_TRUE(reply.endsWith(QByteArray("\x03reply\xff\r", 8))) << reply.right(40).toStdString();
    channel->close();
    channel.reset();
    converter.finish();
    // The request went out with its 0xFF doubled, after a purge of both
    // directions; the line settings as asked: 19200, 8 bits, even, 1 stop.
    EXPECT_TRUE(
        converter.received.contains(QByteArray("A\xff\xff"
                                               "B",
                                               4)));
    EXPECT_TRUE(converter.received.contains(QByteArray("\xff\xfa\x2c\x0c\x03\xff\xf0", 7)));
    EXPECT_TRUE(
        converter.received.contains(QByteArray("\xff\xfa\x2c\x01\x00\x00\x4b\x00\xff\xf0", 10)));
    EXPECT_TRUE(converter.received.contains(QByteArray("\xff\xfa\x2c\x03\x03\xff\xf0", 7)));
}

}  // namespace
