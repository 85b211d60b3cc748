// The Link against the substitute controller, over TCP on loopback and over
// a pseudo-terminal: the tool's real channels, with the controller's faults.
#include "link/link.h"
#include "sim/program/sim_thread.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTimer>

namespace {

using kt::Link;
using kt::PortKind;

int argc = 1;
char arg0[] = "test_link_sim";
char* argv[] = {arg0, nullptr};
QCoreApplication& app() {
    static QCoreApplication instance(argc, argv);
    return instance;
}

ktsim::DeviceConfig kt350At0000() {
    ktsim::DeviceConfig config;
    config.family = 7;
    config.address = "0000";
    return config;
}

class LinkSim : public ::testing::TestWithParam<PortKind> {
protected:
    void SetUp() override {
        app();
        ASSERT_NE(tcpPort_ = sim_.startTcp(), 0);
        ASSERT_FALSE(sim_.startPty().isEmpty());
        link_.setPort(portSettings());
        ASSERT_TRUE(link_.OpenPort()) << link_.lastError().text.toStdString();
    }

    kt::PortSettings portSettings() const {
        kt::PortSettings port;
        port.kind = GetParam();
        port.NetIP = QStringLiteral("127.0.0.1");
        port.NetPort = QString::number(tcpPort_);
        port.ComPortName = sim_.ptyPath();
        return port;
    }

    bool serial() const { return GetParam() == PortKind::Serial; }
    int limitMs() const { return serial() ? 300 : 1200; }

    // Runs one command and says how long it took.
    qint64 timed(const QByteArray& text, bool* result) {
        QElapsedTimer clock;
        clock.start();
        *result = link_.SendCommand(text);
        return clock.elapsed();
    }

    QByteArray frame() const { return QByteArray(link_.ReplyBuffer(), link_.ReplyLength()); }

    ktsim::SimThread sim_{kt350At0000()};
    quint16 tcpPort_ = 0;
    Link link_;
};

TEST_P(LinkSim, IdentifiesTheController) {
    ASSERT_TRUE(link_.SendCommand("0000AC")) << link_.lastError().text.toStdString();
    EXPECT_EQ(link_.ReplyLength(), 17);
    EXPECT_EQ(link_.ReplyText().mid(1, 4), "0000");
    EXPECT_EQ(link_.ReplyText().front(), kt::ETX);
    EXPECT_EQ(link_.ReplyText().back(), kt::CR);

    ASSERT_TRUE(link_.SendCommand("0000DB"));
    EXPECT_EQ(link_.ReplyLength(), 29);
    EXPECT_EQ(link_.ReplyText().mid(7, 5), "KT350");

    ASSERT_TRUE(link_.SendCommand("0000AS"));
    EXPECT_EQ(link_.ReplyLength(), 21);
    EXPECT_EQ(link_.ReplyText().mid(7, 8), "16030001");

    EXPECT_EQ(sim_.requestLog(), (QList<QByteArray>{"0000AC", "0000DB", "0000AS"}));
}

TEST_P(LinkSim, CollectsThroughNoiseAndRestarts) {
    for (const char* fault : {"AC:noise@1", "AC:doublelead@1", "AC:twoframes@1"}) {
        SCOPED_TRACE(fault);
        ASSERT_TRUE(sim_.addFault(QString::fromLatin1(fault)));
        ASSERT_TRUE(link_.SendCommand("0000AC")) << link_.lastError().text.toStdString();
        // The frame starts at its last lead byte and ends at its first CR.
        EXPECT_EQ(link_.ReplyLength(), 17);
        EXPECT_EQ(link_.ReplyText().left(7), QByteArray("\x03"
                                                        "0000AC"));
    }
}

TEST_P(LinkSim, RejectsBadFramesButShowsThem) {
    ASSERT_TRUE(link_.SendCommand("0000AC"));
    ASSERT_TRUE(sim_.addFault(QStringLiteral("DB:badcrc@1")));
    EXPECT_FALSE(link_.SendCommand("0000DB"));
    // A complete frame that failed its check is still the reply text.
    EXPECT_EQ(link_.ReplyLength(), 29);
    EXPECT_EQ(link_.ReplyText().mid(7, 5), "KT350");

    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:lowercase@1")));
    EXPECT_FALSE(link_.SendCommand("0000AC"));
    EXPECT_EQ(link_.ReplyLength(), 17);

    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:huge@1")));
    EXPECT_FALSE(link_.SendCommand("0000AC"));

    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:wronglen@1")));
    EXPECT_TRUE(link_.SendCommand("0000AC"));
    EXPECT_EQ(link_.ReplyLength(), 18) << "the caller judges the length";

    ASSERT_TRUE(sim_.addFault(QStringLiteral("AS:zerobyte@1")));
    EXPECT_TRUE(link_.SendCommand("0000AS"));
    EXPECT_FALSE(link_.ReplyText().contains('\0')) << "the text ends at the zero byte";
    EXPECT_LT(link_.ReplyText().size(), link_.ReplyLength());
    EXPECT_EQ(frame().back(), kt::CR);
    EXPECT_TRUE(frame().contains('\0'));
}

TEST_P(LinkSim, TimeOutKeepsThePreviousReplyText) {
    ASSERT_TRUE(link_.SendCommand("0000DB"));
    const QByteArray previous = link_.ReplyText();
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:silent@1")));
    bool ok = true;
    const qint64 ms = timed("0000AC", &ok);
    EXPECT_FALSE(ok);
    EXPECT_GE(ms, limitMs() - 5);
    EXPECT_LT(ms, limitMs() + 700);
    EXPECT_EQ(link_.ReplyText(), previous);
    EXPECT_EQ(link_.ReplyLength(), 0);

    // Half a frame, then silence: the bytes are there, the text is not.
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:gap=2000@1")));
    EXPECT_FALSE(link_.SendCommand("0000AC"));
    EXPECT_GT(link_.ReplyLength(), 0);
    EXPECT_EQ(link_.ReplyText(), previous);
}

TEST_P(LinkSim, FarEndGoneEndsTheTransactionAtOnce) {
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:drop@1")));
    bool ok = true;
    const qint64 ms = timed("0000AC", &ok);
    EXPECT_FALSE(ok);
    EXPECT_LT(ms, limitMs());
    EXPECT_FALSE(link_.isOpen());
    EXPECT_FALSE(link_.lastError().text.isEmpty());
    EXPECT_FALSE(link_.SendCommand("0000AC")) << "nothing to send on";
    link_.ClosePort();

    // The next operation opens anew (a replaced pty has a new path).
    link_.setPort(portSettings());
    ASSERT_TRUE(link_.OpenPort()) << link_.lastError().text.toStdString();
    EXPECT_TRUE(link_.SendCommand("0000AC")) << link_.lastError().text.toStdString();
}

TEST_P(LinkSim, RefusesTextsTooLongForTheBuffer) {
    const QByteArray longest = "0000" + QByteArray(kt::kMaxCrcCommandText - 4, 'Z');
    QList<kt::TraceEvent> traced;
    link_.setTrace([&](const kt::TraceEvent& event) { traced << event; });
    EXPECT_FALSE(link_.SendCommand(longest + 'Z'));
    EXPECT_FALSE(link_.SendXorCommand(longest + "ZZZZ"));
    EXPECT_FALSE(link_.SendCommand("0000\rAC"));
    EXPECT_TRUE(sim_.requestLog().isEmpty()) << "nothing was written";
    // Each shows in a trace as refused, the text as it was given.
    ASSERT_EQ(traced.size(), 3);
    for (const kt::TraceEvent& event : traced) EXPECT_TRUE(event.refused);
    EXPECT_EQ(traced[2].bytes, "0000\rAC");
    link_.setTrace({});
    EXPECT_FALSE(link_.SendCommand(longest));  // sent whole; nobody answers it
    EXPECT_EQ(sim_.requestLog(), QList<QByteArray>{longest});
}

TEST_P(LinkSim, OneTransactionAtATime) {
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:delay=200@1")));
    bool nested = true;
    QTimer::singleShot(50, [&] { nested = link_.SendCommand("0000DB"); });
    EXPECT_TRUE(link_.SendCommand("0000AC"));
    EXPECT_FALSE(nested);
    EXPECT_EQ(link_.ReplyLength(), 17);
    EXPECT_EQ(sim_.requestLog(), QList<QByteArray>{"0000AC"});
}

INSTANTIATE_TEST_SUITE_P(Channels, LinkSim, ::testing::Values(PortKind::Network, PortKind::Serial),
                         [](const auto& info) {
                             return info.param == PortKind::Network ? "Tcp" : "Pty";
                         });

// The time limits, with margins a loaded two-core machine keeps.
class SerialLimit : public LinkSim {};
class NetworkLimit : public LinkSim {};

TEST_P(SerialLimit, RestartsAtEveryByte) {
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:trickle=250@1")));
    bool ok = false;
    const qint64 ms = timed("0000AC", &ok);
    EXPECT_TRUE(ok) << link_.lastError().text.toStdString();
    EXPECT_GT(ms, 3000) << "sixteen pauses of 250 ms";

    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:gap=450@1")));
    EXPECT_FALSE(link_.SendCommand("0000AC"));
}

TEST_P(NetworkLimit, RunsFromTheRequest) {
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:delay=1000@1")));
    EXPECT_TRUE(link_.SendCommand("0000AC")) << link_.lastError().text.toStdString();

    // Bytes arriving steadily do not extend the limit: 17 bytes 90 ms apart
    // complete after about 1.4 s.
    ASSERT_TRUE(sim_.addFault(QStringLiteral("AC:trickle=90@1")));
    bool ok = true;
    const qint64 ms = timed("0000AC", &ok);
    EXPECT_FALSE(ok);
    EXPECT_LT(ms, 1200 + 700);
}

INSTANTIATE_TEST_SUITE_P(Pty, SerialLimit, ::testing::Values(PortKind::Serial));
INSTANTIATE_TEST_SUITE_P(Tcp, NetworkLimit, ::testing::Values(PortKind::Network));

// Opening: every failure is a false result with a reason, never a hang.
class LinkOpen : public ::testing::Test {
protected:
    void SetUp() override { app(); }

    static kt::PortSettings network(const QString& ip, const QString& port) {
        kt::PortSettings settings;
        settings.kind = PortKind::Network;
        settings.NetIP = ip;
        settings.NetPort = port;
        return settings;
    }
};

TEST_F(LinkOpen, SerialFailures) {
    Link link;
    kt::PortSettings port;
    port.ComPortName = QStringLiteral("/dev/kt-no-such-port");
    link.setPort(port);
    EXPECT_FALSE(link.OpenPort());
    EXPECT_EQ(link.lastError().kind, kt::LinkFault::NoSuchPort);
    EXPECT_EQ(link.lastError().port, u"/dev/kt-no-such-port");
    EXPECT_FALSE(link.isOpen());

    // A port held by another is refused, not shared.
    ktsim::SimThread sim(kt350At0000());
    port.ComPortName = sim.startPty();
    Link first;
    first.setPort(port);
    ASSERT_TRUE(first.OpenPort()) << first.lastError().text.toStdString();
    Link second;
    second.setPort(port);
    EXPECT_FALSE(second.OpenPort());
    // Told apart from a port the account may not open.
    EXPECT_EQ(second.lastError().kind, kt::LinkFault::InUse)
        << second.lastError().text.toStdString();
    EXPECT_EQ(second.lastError().port, port.ComPortName);
    // The holder's lock file names it: here, this very process.
    EXPECT_EQ(second.lastError().holderPid, qint64(getpid()));
    EXPECT_TRUE(first.SendCommand("0000AC")) << "the holder is not disturbed";
    first.ClosePort();
    EXPECT_TRUE(second.OpenPort()) << "free again after close";

    // A line settings text the parser refuses still opens the port.
    second.ClosePort();
    port.ComBaudRate = QStringLiteral("fast please");
    second.setPort(port);
    ASSERT_TRUE(second.OpenPort());
    EXPECT_TRUE(second.SendCommand("0000AC"));
}

TEST_F(LinkOpen, NetworkFailures) {
    // A port nobody listens on: take a free one and close it again.
    quint16 closedPort = 0;
    {
        QTcpServer server;
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
        closedPort = server.serverPort();
    }
    struct Case {
        QString ip, port, reason;
    };
    const QList<Case> cases = {
        {QStringLiteral("127.0.0.1"), QString::number(closedPort), QStringLiteral("refused")},
        {QStringLiteral("localhost"), QStringLiteral("5003"), QStringLiteral("dotted-decimal")},
        {QStringLiteral("127.0.1"), QStringLiteral("5003"), QStringLiteral("dotted-decimal")},
        {QStringLiteral("127.0.0.1"), QStringLiteral("abc"), QStringLiteral("port")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.ip + u' ' + c.port).toStdString());
        Link link;
        link.setPort(network(c.ip, c.port));
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(link.OpenPort());
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_TRUE(link.lastError().text.contains(c.reason, Qt::CaseInsensitive))
            << link.lastError().text.toStdString();
    }
}

TEST_F(LinkOpen, NetworkPortIsCutToSixteenBits) {
    ktsim::SimThread sim(kt350At0000());
    if (sim.startTcp(4464) == 0) GTEST_SKIP() << "loopback port 4464 is taken";
    Link link;
    link.setPort(network(QStringLiteral("127.0.0.1"), QStringLiteral("70000")));
    ASSERT_TRUE(link.OpenPort()) << link.lastError().text.toStdString();
    EXPECT_TRUE(link.SendCommand("0000AC"));
}

}  // namespace
