// What a transaction costs beyond its bytes, and what waiting costs.
//
// Round trip: the Link against ktsim (in its own thread) over TCP and over a
// pseudo-terminal, beside a bare blocking client sending the very same bytes
// to the same ktsim, in the same run: the ratio of the medians is the tool's
// own cost (target: at most 1.25). Beside both, a bare ping-pong with a bare
// peer shows what the whole stack costs against the channel alone.
//
// Idle: the CPU time of the waiting thread while transactions wait out their
// limits against a controller that never answers (target: under 2 % of one core).
//
// Pauses: every kt::Pause(ms) between commands ends within 0.1 ms of its
// length, measured on the monotonic clock around the call.
//
// Exits 1 when a target is missed.
#include "link/frames.h"
#include "link/link.h"
#include "link/pause.h"
#include "sim/program/sim_thread.h"

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

constexpr double kTargetRoundTrip = 1.25;  // Link / bare client of ktsim, at most
constexpr double kTargetIdlePercent = 2;   // of one core while waiting, under
constexpr double kTargetPauseMs = 0.1;     // a pause's end from its length, at most

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
            std::fprintf(stderr, "transaction %d failed: %s\n", i,
                         qPrintable(link.lastError().text));
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
bool roundTrip(const char* name, kt::Link& link, int rounds) {
    const QByteArray text = "0000AC";
    const bool tcp = link.port().kind == kt::PortKind::Network;
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError().text));
        return false;
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
    const bool met = l / c <= kTargetRoundTrip;
    std::printf(
        "  bare    -> ktsim     %7.1f us  (%.1f us CPU in the caller)   ratio %.2fx (target <= "
        "%.2fx: %s)\n",
        c, perRound(viaClient), l / c, kTargetRoundTrip, met ? "met" : "MISSED");
    std::printf(
        "  bare    -> bare peer %7.1f us                               link+ktsim / this: %.2fx\n",
        p, l / p);
    return met;
}

bool idleCpu(const char* name, kt::Link& link, int transactions) {
    if (!link.OpenPort()) {
        std::printf("%s: cannot open: %s\n", name, qPrintable(link.lastError().text));
        return false;
    }
    const double cpu0 = threadCpuSeconds();
    const auto wall0 = Clock::now();
    for (int i = 0; i < transactions; ++i) link.SendCommand("0000AC");
    const double cpu = threadCpuSeconds() - cpu0;
    const double wall = microsSince(wall0) / 1e6;
    link.ClosePort();
    const double percent = 100.0 * cpu / wall;
    const bool met = percent < kTargetIdlePercent;
    std::printf(
        "idle wait  %-4s  %d time-outs in %.2f s, %.2f ms CPU: %.3f %% of one core (target < "
        "%.0f %%: %s)\n",
        name, transactions, wall, cpu * 1e3, percent, kTargetIdlePercent, met ? "met" : "MISSED");
    return met;
}

// Each pause length a number of times: how far from its length each ended.
bool pauses() {
    bool met = true;
    for (const int ms : {1, 5, 20, 100}) {
        std::vector<double> off;
        for (int i = 0; i < 20; ++i) {
            const auto start = Clock::now();
            kt::Pause(ms);
            off.push_back(microsSince(start) / 1e3 - ms);
        }
        const auto [least, most] = std::minmax_element(off.begin(), off.end());
        const double worst = std::max(-*least, *most);
        met = met && worst <= kTargetPauseMs;
        std::printf(
            "pause %3d ms  x%zu: ended %+.3f ms (median), %+.3f to %+.3f ms from its length "
            "(target within %.1f ms: %s)\n",
            ms, off.size(), medianMicros(off), *least, *most, kTargetPauseMs,
            worst <= kTargetPauseMs ? "met" : "MISSED");
    }
    return met;
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

    bool met = roundTrip("tcp", tcpLink, rounds);
    met = roundTrip("pty", ptyLink, rounds) && met;

    sim.addFault(QStringLiteral("*:silent"));
    met = idleCpu("tcp", tcpLink, 3) && met;
    met = idleCpu("pty", ptyLink, 10) && met;
    met = pauses() && met;
    return met ? 0 : 1;
}
