#include "sim/program/sim_thread.h"
#include "tests/sim/sim_test_helpers.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>

namespace ktsim {
namespace {

using test::crcRequest;
using test::tcpExchange;

// A KT350 away from the search address, so that "0000AC" must find it.
const DeviceConfig kAt0001{.address = "0001"};
const QByteArray kDbReply = kt::BuildCrcReply("0001DBKT350B01V7230415");

// The tool's end of the pty: the slave path opened raw, as a serial port.
class PtyPort {
public:
    explicit PtyPort(const QString& path)
        : fd_(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        termios mode{};
        if (fd_ >= 0 && ::tcgetattr(fd_, &mode) == 0) {
            ::cfmakeraw(&mode);
            ::tcsetattr(fd_, TCSANOW, &mode);
        }
    }
    ~PtyPort() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    void purge() { ::tcflush(fd_, TCIOFLUSH); }
    void write(const QByteArray& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), bytes.size());
    }

    // Reads until `count` bytes came, the line hung up, or limitMs passed.
    QByteArray read(qsizetype count, int limitMs, bool* hungUp = nullptr) {
        QByteArray bytes;
        QElapsedTimer clock;
        clock.start();
        while (bytes.size() < count && clock.elapsed() < limitMs) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(limitMs - clock.elapsed())) <= 0) continue;
            char buffer[256];
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            if (n > 0) {
                bytes.append(buffer, n);
            } else if (n == 0 || errno == EIO || (p.revents & POLLHUP)) {
                if (hungUp) *hungUp = true;
                break;
            }
        }
        return bytes;
    }

private:
    int fd_;
};

TEST(SimOverTcp, AnswersEachConnectionAndLogsEveryRequestInOrder) {
    SimThread sim(kAt0001);
    const quint16 port = sim.startTcp();
    ASSERT_NE(port, 0);

    const auto ac = tcpExchange(port, crcRequest("0000AC"));
    EXPECT_TRUE(ac.accepted);
    EXPECT_EQ(ac.frame, kt::BuildCrcReply("0001ACF700"));
    EXPECT_EQ(tcpExchange(port, crcRequest("0001DB")).frame, kDbReply);

    QByteArray corrupt = crcRequest("0001AS");
    corrupt[corrupt.size() - 2] = corrupt[corrupt.size() - 2] == '0' ? '1' : '0';
    EXPECT_TRUE(tcpExchange(port, corrupt, 300).bytes.isEmpty());
    EXPECT_TRUE(tcpExchange(port, *kt::BuildXorRequest("0001AS"), 300).bytes.isEmpty());

    EXPECT_EQ(sim.requestLog(), (QList<QByteArray>{"0000AC", "0001DB", "0001AS", "0001AS"}));
    const auto records = sim.requestRecords();
    ASSERT_EQ(records.size(), 4);
    EXPECT_FALSE(records[2].checksumOk);
    EXPECT_EQ(records[3].style, RequestStyle::Xor);
    EXPECT_TRUE(records[3].checksumOk);
    EXPECT_LE(records[0].monotonicNs, records[1].monotonicNs);
    sim.clearLog();
    EXPECT_TRUE(sim.requestLog().isEmpty());
}

TEST(SimOverTcp, AppliesFaultsPerCommandAndForTheirCount) {
    SimThread sim(kAt0001);
    const quint16 port = sim.startTcp();
    ASSERT_TRUE(sim.addFault(QStringLiteral("DB:silent@1")));
    ASSERT_FALSE(sim.addFault(QStringLiteral("DB:sometimes")));

    EXPECT_TRUE(tcpExchange(port, crcRequest("0001DB"), 300).bytes.isEmpty());
    EXPECT_TRUE(tcpExchange(port, crcRequest("0001AS")).accepted);
    EXPECT_EQ(tcpExchange(port, crcRequest("0001DB")).frame, kDbReply);

    sim.addFault(QStringLiteral("*:badcrc"));
    EXPECT_FALSE(tcpExchange(port, crcRequest("0001AS")).accepted);
    sim.clearFaults();
    EXPECT_TRUE(tcpExchange(port, crcRequest("0001AS")).accepted);
}

TEST(SimOverTcp, HoldsBackTricklesAndDropsReplies) {
    SimThread sim(kAt0001);
    const quint16 port = sim.startTcp();

    // Lower bounds only: a loaded machine may be late, never early.
    sim.addFault(QStringLiteral("DB:delay=150@1"));
    const auto delayed = tcpExchange(port, crcRequest("0001DB"));
    EXPECT_TRUE(delayed.accepted);
    EXPECT_GE(delayed.firstByteMs, 140);

    sim.addFault(QStringLiteral("DB:trickle=10@1"));
    const auto trickled = tcpExchange(port, crcRequest("0001DB"));
    EXPECT_EQ(trickled.frame, kDbReply);
    EXPECT_GE(trickled.elapsedMs, 28 * 10 - 10);
    EXPECT_GT(trickled.reads, 5);

    sim.addFault(QStringLiteral("DB:gap=150@1"));
    const auto gapped = tcpExchange(port, crcRequest("0001DB"));
    EXPECT_EQ(gapped.frame, kDbReply);
    EXPECT_GE(gapped.elapsedMs, 140);
    EXPECT_LT(gapped.firstByteMs, 100);

    sim.addFault(QStringLiteral("DB:drop@1"));
    const auto dropped = tcpExchange(port, crcRequest("0001DB"));
    EXPECT_TRUE(dropped.closed);
    EXPECT_EQ(dropped.bytes, kDbReply.left(14));

    sim.setPace(9600);  // 29 bytes of 10 bits: 30 ms on the wire
    const auto paced = tcpExchange(port, crcRequest("0001DB"));
    EXPECT_EQ(paced.frame, kDbReply);
    EXPECT_GE(paced.elapsedMs, 29);
}

TEST(SimOverPty, AnswersOnTheSlaveAndSurvivesTheToolClosingIt) {
    SimThread sim(DeviceConfig{.family = 4, .address = "012"});
    const QString path = sim.startPty();
    ASSERT_TRUE(path.startsWith(QStringLiteral("/dev/pts/")));
    EXPECT_EQ(sim.ptyPath(), path);

    const QByteArray as = kt::BuildCrcReply("012AS16030001");
    for (int open = 0; open < 2; ++open) {
        PtyPort port(path);
        ASSERT_TRUE(port.isOpen());
        port.write(crcRequest("000AS"));
        EXPECT_EQ(port.read(as.size(), 1000), as) << "opening " << open;
    }

    // Replies nobody reads must not pile up: far more than the pty holds,
    // then a purge as the tool does before each request, and the next
    // reply comes alone.
    sim.addFault(QStringLiteral("AV:huge"));
    {
        PtyPort port(path);
        QByteArray flood;
        for (int i = 0; i < 100; ++i) flood += crcRequest("012AV");
        port.write(flood);
        ASSERT_TRUE(QTest::qWaitFor([&] { return sim.requestLog().size() == 102; }, 5000));
        port.purge();
        port.write(crcRequest("000AS"));
        EXPECT_EQ(port.read(as.size() + 1, 100), as);
    }
    {
        PtyPort port(path);
        sim.addFault(QStringLiteral("AS:trickle=5@1"));
        port.write(crcRequest("012AS"));
        EXPECT_EQ(port.read(as.size(), 1000), as);
    }
    EXPECT_EQ(sim.requestLog().mid(101), (QList<QByteArray>{"012AV", "000AS", "012AS"}));
}

TEST(SimOverPty, DropClosesThePtyMidReplyAndOpensAFreshOne) {
    SimThread sim(kAt0001);
    const QString first = sim.startPty();
    sim.addFault(QStringLiteral("DB:drop@1"));
    PtyPort old(first);
    old.write(crcRequest("0001DB"));
    bool hungUp = false;
    EXPECT_EQ(old.read(kDbReply.size(), 1000, &hungUp), kDbReply.left(14));
    EXPECT_TRUE(hungUp);
    // The old slave is still open here, so the new pty cannot reuse its number.
    const QString second = sim.ptyPath();
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(second, first);
    PtyPort port(second);
    port.write(crcRequest("0001DB"));
    EXPECT_EQ(port.read(kDbReply.size(), 1000), kDbReply);
}

TEST(SimConfig, ChangesIdentityWhileRunning) {
    SimThread sim(kAt0001);
    const quint16 port = sim.startTcp();
    ASSERT_TRUE(sim.setConfig(DeviceConfig{.family = 8, .address = "0033", .model = "KT380"}));
    const auto ac = tcpExchange(port, crcRequest("0000AC"));
    EXPECT_EQ(ac.frame.size(), 15);
    EXPECT_EQ(test::positions(ac.frame, 2, 5), "0033");
    EXPECT_EQ(test::positions(tcpExchange(port, crcRequest("0033DB")).frame, 8, 12), "KT380");

    QString error;
    EXPECT_FALSE(sim.setConfig(DeviceConfig{.family = 4, .address = "0033"}, &error));
    EXPECT_FALSE(error.isEmpty());
    tcpExchange(port, crcRequest("0000AV160300010044"));
    EXPECT_EQ(sim.config().address, "0044");
}

TEST(KtsimProgram, RefusesBadOptionsWithOneLine) {
    for (const QStringList& args : {QStringList{QStringLiteral("--tcp"), QStringLiteral("x")},
                                    QStringList{QStringLiteral("--pty"), QStringLiteral("--bogus")},
                                    QStringList{QStringLiteral("--pty"), QStringLiteral("--fault"),
                                                QStringLiteral("DB:loud")},
                                    QStringList{QStringLiteral("--family"), QStringLiteral("3")}}) {
        QProcess ktsim;
        ktsim.start(QStringLiteral(KTSIM_PATH), args);
        ASSERT_TRUE(ktsim.waitForFinished(5000));
        EXPECT_EQ(ktsim.exitCode(), 2) << args.join(' ').toStdString();
        const QByteArray error = ktsim.readAllStandardError();
        EXPECT_EQ(error.count('\n'), 1) << error.toStdString();
        EXPECT_TRUE(ktsim.readAllStandardOutput().isEmpty());
    }
}

TEST(KtsimProgram, ServesLogsAndExitsCleanlyOnSigterm) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath(QStringLiteral("requests.log"));
    QProcess ktsim;
    ktsim.start(QStringLiteral(KTSIM_PATH),
                {QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--pty"),
                 QStringLiteral("--log"), logPath});
    QByteArray out;
    while (out.count('\n') < 2 && ktsim.waitForReadyRead(5000))
        out += ktsim.readAllStandardOutput();
    const QList<QByteArray> lines = out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2) << out.toStdString();
    ASSERT_TRUE(lines[0].startsWith("tcp 127.0.0.1:"));
    EXPECT_TRUE(lines[1].startsWith("pty /dev/pts/"));

    const quint16 port = lines[0].mid(14).toUShort();
    EXPECT_TRUE(tcpExchange(port, crcRequest("0000AS")).accepted);
    QByteArray corrupt = crcRequest("0000DB");
    corrupt[1] = '9';
    tcpExchange(port, corrupt, 200);

    ktsim.terminate();
    ASSERT_TRUE(ktsim.waitForFinished(5000));
    EXPECT_EQ(ktsim.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ktsim.exitCode(), 0);

    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> logged = log.readAll().trimmed().split('\n');
    ASSERT_EQ(logged.size(), 2);
    EXPECT_TRUE(logged[0].endsWith(" CRC ok 0000AS")) << logged[0].toStdString();
    EXPECT_TRUE(logged[1].endsWith(" CRC bad-checksum 9000DB")) << logged[1].toStdString();
}

}  // namespace
}  // namespace ktsim
