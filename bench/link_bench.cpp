// What a transaction costs beyond its bytes, and what waiting costs.
//
// Round trip: the Link against ktsim (in its own thread) over TCP and over a
// pseudo-terminal, beside a bare blocking ping-pong of the very same request
// and reply bytes over the same kind of channel, in the same run. Printed as
// the ratio of the two medians (target: at most 1.5).
//
// Idle: the CPU time of the waiting thread while transactions wait out their
// limits against a controller that never answers (target: under 2 % of one core).
#include "frames.h"
#include "link.h"
#include "sim_thread.h"

#include <QCoreApplication>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double medianMicros(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Reads until CR; false on end of stream.
bool readFrame(int fd)
{
    char c = 0;
    char buf[2048];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0)
            return false;
        c = buf[n - 1];
        if (c == kt::CR)
            return true;
    }
}

void writeAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0)
            return;
        done += n;
    }
}

// A peer that answers every request with the same reply, as fast as it can.
void echoPeer(int fd, QByteArray reply)
{
    while (readFrame(fd))
        writeAll(fd, reply);
}

std::vector<double> pingPong(int fd, const QByteArray& request, int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        writeAll(fd, request);
        readFrame(fd);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return times;
}

std::vector<double> bareTcp(const QByteArray& request, const QByteArray& reply, int rounds)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    listen(listener, 1);
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    connect(client, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    const int server = accept(listener, nullptr, nullptr);
    setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    std::thread peer(echoPeer, server, reply);
    auto times = pingPong(client, request, rounds);
    close(client);
    peer.join();
    close(server);
    close(listener);
    return times;
}

std::vector<double> barePty(const QByteArray& request, const QByteArray& reply, int rounds)
{
    int master = -1, slave = -1;
    openpty(&master, &slave, nullptr, nullptr, nullptr);
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    std::thread peer(echoPeer, master, reply);
    auto times = pingPong(slave, request, rounds);
    close(slave);  // the peer's read ends with EIO
    peer.join();
    close(master);
    return times;
}

std::vector<double> linkRounds(kt::Link& link, const QByteArray& text, int rounds)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        if (!link.SendCommand(text))
            std::fprintf(stderr, "transaction %d failed: %s\n", i, qPrintable(link.lastError()));
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return times;
}

// The Link against the bare peer: what the tool's side alone adds.
double linkAgainstBarePeer(const QByteArray& reply, int rounds)
{
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    listen(listener, 1);
    std::thread peer([&] {
        const int server = accept(listener, nullptr, nullptr);
        int one = 1;
        setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        echoPeer(server, reply);
        close(server);
    });
    kt::Link link;
    kt::PortSettings net;
    net.kind = kt::PortKind::Network;
    net.NetIP = QStringLiteral("127.0.0.1");
    net.NetPort = QString::number(ntohs(addr.sin_port));
    link.setPort(net);
    link.OpenPort();
    linkRounds(link, "0000AC", 50);
    const double median = medianMicros(linkRounds(link, "0000AC", rounds));
    link.ClosePort();
    peer.join();
    close(listener);
    return median;
}

double threadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

void roundTrip(const char* name, kt::Link& link, bool tcp, int rounds)
{
    const QByteArray text = "0000AC";
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError()));
        return;
    }
    linkRounds(link, text, 50);  // warm up
    const QByteArray reply(link.ReplyBuffer(), link.ReplyLength());
    const QByteArray request = *kt::BuildCrcRequest(text);
    const double viaLink = medianMicros(linkRounds(link, text, rounds));
    link.ClosePort();
    const double bare = medianMicros(tcp ? bareTcp(request, reply, rounds) : barePty(request, reply, rounds));
    std::printf("round trip %-4s  link+ktsim %8.1f us   bare ping-pong %8.1f us   ratio %.2fx (target <= 1.5x)\n", name,
                viaLink, bare, viaLink / bare);
    if (tcp) {
        const double linkOnly = linkAgainstBarePeer(reply, rounds);
        std::printf("           tcp  link+bare peer %5.1f us   ratio %.2fx (the tool's side alone)\n", linkOnly, linkOnly / bare);
    }
}

void idleCpu(const char* name, kt::Link& link, int transactions)
{
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError()));
        return;
    }
    const double cpu0 = threadCpuSeconds();
    const auto wall0 = Clock::now();
    for (int i = 0; i < transactions; ++i)
        link.SendCommand("0000AC");
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(Clock::now() - wall0).count();
    link.ClosePort();
    std::printf("idle wait  %-4s  %d time-outs in %.2f s wall, %.2f ms CPU: %.3f %% of one core (target < 2 %%)\n",
                name, transactions, wall, cpu * 1e3, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, atoi(argv[1])) : 2000;

    ktsim::SimThread sim;
    const quint16 port = sim.startTcp();
    const QString pty = sim.startPty();

    kt::Link tcpLink;
    kt::PortSettings net;
    net.kind = kt::PortKind::Network;
    net.NetIP = QStringLiteral("127.0.0.1");
    net.NetPort = QString::number(port);
    tcpLink.setPort(net);

    kt::Link ptyLink;
    kt::PortSettings serial;
    serial.ComPortName = pty;
    serial.ComBaudRate = QStringLiteral("115200,n,8,1");
    ptyLink.setPort(serial);

    roundTrip("tcp", tcpLink, true, rounds);
    roundTrip("pty", ptyLink, false, rounds);

    sim.addFault(QStringLiteral("*:silent"));
    idleCpu("tcp", tcpLink, 3);
    idleCpu("pty", ptyLink, 10);
    return 0;
}
