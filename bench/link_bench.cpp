// What a transaction costs beyond its bytes, and what waiting costs.
//
// Round trip: the Link against ktsim (in its own thread) over TCP and over a
// pseudo-terminal, beside a bare blocking client sending the very same bytes
// to the same ktsim, in the same run: the ratio of the medians is the tool's
// own cost (target: at most 1.5). Beside both, a bare ping-pong with a bare
// peer shows what the whole stack costs against the channel alone.
//
// Idle: the CPU time of the waiting thread while transactions wait out their
// limits against a controller that never answers (target: under 2 % of one core).
#include "frames.h"
#include "link.h"
#include "sim_thread.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double medianMicros(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double microsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Reads until a chunk ends in CR; false on end of stream.
bool readFrame(int fd) {
    char buf[2048];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) return false;
        if (buf[n - 1] == kt::CR) return true;
    }
}

void writeAll(int fd, const QByteArray& bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n =
            write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n <= 0) return;
        done += n;
    }
}

// A bare blocking client and a peer thread that answers every request with
// the same reply, over one kind of channel.
class BarePair {
public:
    BarePair(bool tcp, const QByteArray& reply) {
        if (tcp) {
            const int listener = socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            socklen_t len = sizeof addr;
            getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
            listen(listener, 1);
            client_ = socket(AF_INET, SOCK_STREAM, 0);
            connect(client_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            peer_ = accept(listener, nullptr, nullptr);
            close(listener);
            int one = 1;
            setsockopt(client_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            setsockopt(peer_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        } else {
            openpty(&peer_, &client_, nullptr, nullptr, nullptr);
            termios t{};
            tcgetattr(client_, &t);
            cfmakeraw(&t);
            tcsetattr(client_, TCSANOW, &t);
        }
        thread_ = std::thread([fd = peer_, reply] {
            while (readFrame(fd)) writeAll(fd, reply);
        });
    }
    ~BarePair() {
        close(client_);  // the peer's read ends (end of stream, or EIO on a pty)
        thread_.join();
        close(peer_);
    }
    std::vector<double> rounds(const QByteArray& request, int n) {
        std::vector<double> times;
        for (int i = 0; i < n; ++i) {
            const auto start = Clock::now();
            writeAll(client_, request);
            readFrame(client_);
            times.push_back(microsSince(start));
        }
        return times;
    }

private:
    int client_ = -1;
    int peer_ = -1;
    std::thread thread_;
};

// A bare blocking client of ktsim itself: the same requests and replies
// without the Link, so the difference is the tool's own cost.
class BareClient {
public:
    BareClient(const kt::PortSettings& port) {
        if (port.kind == kt::PortKind::Network) {
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            addr.sin_port = htons(static_cast<uint16_t>(port.NetPort.toUInt()));
            fd_ = socket(AF_INET, SOCK_STREAM, 0);
            connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
            int one = 1;
            setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        } else {
            fd_ = open(port.ComPortName.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
            termios t{};
            tcgetattr(fd_, &t);
            cfmakeraw(&t);
            tcsetattr(fd_, TCSANOW, &t);
        }
    }
    ~BareClient() { close(fd_); }
    std::vector<double> rounds(const QByteArray& request, int n) {
        std::vector<double> times;
        for (int i = 0; i < n; ++i) {
            const auto start = Clock::now();
            writeAll(fd_, request);
            readFrame(fd_);
            times.push_back(microsSince(start));
        }
        return times;
    }

private:
    int fd_ = -1;
};

std::vector<double> linkRounds(kt::Link& link, const QByteArray& text, int n) {
    std::vector<double> times;
    for (int i = 0; i < n; ++i) {
        const auto start = Clock::now();
        if (!link.SendCommand(text))
            std::fprintf(stderr, "transaction %d failed: %s\n", i, qPrintable(link.lastError()));
        times.push_back(microsSince(start));
    }
    return times;
}

double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct Sample {
    std::vector<double> micros;
    double cpuSeconds = 0;  // of this thread
};

template <typename Fn>
void sample(Sample& into, Fn rounds) {
    const double cpu0 = threadCpuSeconds();
    const auto times = rounds();
    into.cpuSeconds += threadCpuSeconds() - cpu0;
    into.micros.insert(into.micros.end(), times.begin(), times.end());
}

// The Link, a bare client of ktsim, and a bare client of a bare peer, in
// blocks taken in turn so that all three see the same machine: on a virtual
// machine the wake-up latency drifts with load.
void roundTrip(const char* name, kt::Link& link, int rounds) {
    const QByteArray text = "0000AC";
    const bool tcp = link.port().kind == kt::PortKind::Network;
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError()));
        return;
    }
    linkRounds(link, text, 50);  // warm up
    const QByteArray reply(link.ReplyBuffer(), link.ReplyLength());
    const QByteArray request = *kt::BuildCrcRequest(text);
    link.ClosePort();
    BarePair pair(tcp, reply);
    Sample viaLink, viaClient, viaPair;
    constexpr int kBlocks = 20;
    const int n = rounds / kBlocks;
    for (int block = 0; block < kBlocks; ++block) {
        link.OpenPort();
        sample(viaLink, [&] { return linkRounds(link, text, n); });
        link.ClosePort();
        {
            BareClient client(link.port());
            sample(viaClient, [&] { return client.rounds(request, n); });
        }
        sample(viaPair, [&] { return pair.rounds(request, n); });
    }
    const double l = medianMicros(viaLink.micros), c = medianMicros(viaClient.micros),
                 p = medianMicros(viaPair.micros);
    const auto perRound = [&](const Sample& s) {
        return s.cpuSeconds * 1e6 / static_cast<double>(s.micros.size());
    };
    std::printf("round trip %s, median of %d:\n", name, n * kBlocks);
    std::printf("  link    -> ktsim     %7.1f us  (%.1f us CPU in the caller)\n", l,
                perRound(viaLink));
    std::printf(
        "  bare    -> ktsim     %7.1f us  (%.1f us CPU in the caller)   ratio %.2fx (target <= "
        "1.5x)\n",
        c, perRound(viaClient), l / c);
    std::printf(
        "  bare    -> bare peer %7.1f us                               link+ktsim / this: %.2fx\n",
        p, l / p);
}

void idleCpu(const char* name, kt::Link& link, int transactions) {
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError()));
        return;
    }
    const double cpu0 = threadCpuSeconds();
    const auto wall0 = Clock::now();
    for (int i = 0; i < transactions; ++i) link.SendCommand("0000AC");
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = microsSince(wall0) / 1e6;
    link.ClosePort();
    std::printf(
        "idle wait  %-4s  %d time-outs in %.2f s, %.2f ms CPU: %.3f %% of one core (target < 2 "
        "%%)\n",
        name, transactions, wall, cpu * 1e3, 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(20, atoi(argv[1])) : 4000;

    ktsim::SimThread sim;
    kt::PortSettings net;
    net.kind = kt::PortKind::Network;
    net.NetIP = QStringLiteral("127.0.0.1");
    net.NetPort = QString::number(sim.startTcp());
    kt::PortSettings serial;
    serial.ComPortName = sim.startPty();
    serial.ComBaudRate = QStringLiteral("115200,n,8,1");

    kt::Link tcpLink;
    tcpLink.setPort(net);
    kt::Link ptyLink;
    ptyLink.setPort(serial);

    roundTrip("tcp", tcpLink, rounds);
    roundTrip("pty", ptyLink, rounds);

    sim.addFault(QStringLiteral("*:silent"));
    idleCpu("tcp", tcpLink, 3);
    idleCpu("pty", ptyLink, 10);
    return 0;
}
