#include "sim/transport/pty_transport.h"

#include "sim/program/simulator.h"
#include "sim/transport/session.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <QDebug>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace ktsim {
namespace {

// How long a drop waits for the tool to read the half frame: as long as the
// tool's own silence limit on a serial line.
constexpr int kDropReadLimitMs = 300;
// Bytes written to the master reach the slave's input queue a little later
// (the kernel moves them on its own time); until then the queue reads empty
// although the half frame is still on its way.
constexpr int kDropSettleMs = 20;

// The baud rate a termios speed code stands for; 0 for one not listed.
int baudOf(speed_t speed) {
    static const std::pair<speed_t, int> kSpeeds[] = {
        {B1200, 1200},     {B2400, 2400},     {B4800, 4800},     {B9600, 9600},
        {B19200, 19200},   {B38400, 38400},   {B57600, 57600},   {B115200, 115200},
        {B230400, 230400}, {B460800, 460800}, {B921600, 921600},
    };
    for (const auto& [code, baud] : kSpeeds) {
        if (code == speed) return baud;
    }
    return 0;
}

// The kernel's termios2 (asm/termbits.h cannot be included beside
// termios.h), whose c_ospeed holds the output rate as a number.
struct KernelTermios2 {
    tcflag_t c_iflag, c_oflag, c_cflag, c_lflag;
    cc_t c_line;
    cc_t c_cc[19];
    speed_t c_ispeed, c_ospeed;
};
const unsigned long kGetTermios2 = _IOR('T', 0x2A, KernelTermios2);

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1String(what),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

PtyTransport::PtyTransport(Simulator& simulator, QObject* parent)
    : QObject(parent), simulator_(simulator) {
    session_ = new Session(
        simulator_,
        ByteSink{[this](const QByteArray& bytes) { write(bytes); }, [this] { dropAndReopen(); }},
        this);
    dropTimer_.setTimerType(Qt::PreciseTimer);
    dropTimer_.setInterval(1);
    connect(&dropTimer_, &QTimer::timeout, this, &PtyTransport::finishDrop);
}

PtyTransport::~PtyTransport() {
    closePty();
}

bool PtyTransport::open(QString* error) {
    closePty();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) {
        if (error) *error = systemError("posix_openpt");
        return false;
    }
    std::array<char, 128> name{};
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 ||
        ::ptsname_r(master, name.data(), name.size()) != 0) {
        if (error) *error = systemError("cannot set up the pty");
        ::close(master);
        return false;
    }
    const int slave = ::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios mode{};
    if (slave < 0 || ::tcgetattr(slave, &mode) != 0) {
        if (error) *error = systemError("cannot open the pty slave");
        if (slave >= 0) ::close(slave);
        ::close(master);
        return false;
    }
    // Raw before anyone sees the path: no echo of replies back as requests,
    // no CR translation.
    ::cfmakeraw(&mode);
    ::tcsetattr(slave, TCSANOW, &mode);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    master_ = master;
    slave_ = slave;
    path_ = QString::fromLocal8Bit(name.data());
    readNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(readNotifier_.get(), &QSocketNotifier::activated, this, &PtyTransport::readRequests);
    writeNotifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Write);
    writeNotifier_->setEnabled(false);
    connect(writeNotifier_.get(), &QSocketNotifier::activated, this, &PtyTransport::writePending);
    emit opened(path_);
    return true;
}

void PtyTransport::closePty() {
    readNotifier_.reset();
    writeNotifier_.reset();
    pending_.clear();
    if (master_ >= 0) ::close(master_);
    if (slave_ >= 0) ::close(slave_);
    master_ = slave_ = -1;
    path_.clear();
}

void PtyTransport::readRequests() {
    // One read per wake-up: the notifier fires again while bytes remain, and
    // a second read only to hear EAGAIN would cost every transaction.
    std::array<char, 4096> buffer;
    ssize_t n = 0;
    do {
        n = ::read(master_, buffer.data(), buffer.size());
    } while (n < 0 && errno == EINTR);
    if (n < 0 && errno == EAGAIN) return;
    if (n <= 0) {
        // Our own slave descriptor keeps the pty alive, so this is unexpected;
        // stop listening rather than spin on a dead descriptor.
        qWarning("ktsim: reading the pty failed: %s", n < 0 ? std::strerror(errno) : "end of file");
        readNotifier_->setEnabled(false);
        return;
    }
    // The line is going dead: what the tool sends now reaches nobody.
    if (dropTimer_.isActive()) return;
    // At another speed than the controller's, its UART makes garbage of
    // the request: nothing is heard, and no half frame is kept.
    if (const int wanted = simulator_.lineBaud()) {
        const int speed = lineSpeed();
        if (speed != wanted) {
            session_->reset();
            if (simulator_.verbose())
                std::printf("   %zd bytes not heard: the port runs at %d baud, not %d\n", n, speed,
                            wanted);
            std::fflush(stdout);
            return;
        }
    }
    session_->receive(QByteArrayView(buffer.data(), n));
}

int PtyTransport::lineSpeed() const {
    if (slave_ < 0) return 0;
    // A server in front of the pty (ser2net, sredird) may set any rate the
    // kernel's way, BOTHER and the number itself, which the speed codes of
    // termios do not show: ask for the number first.
    KernelTermios2 exact{};
    if (::ioctl(slave_, kGetTermios2, &exact) == 0 && exact.c_ospeed > 0)
        return int(exact.c_ospeed);
    termios mode{};
    if (::tcgetattr(slave_, &mode) != 0) return 0;
    return baudOf(::cfgetospeed(&mode));
}

void PtyTransport::discardUnreadReplies() {
    if (slave_ >= 0) ::tcflush(slave_, TCIFLUSH);
}

void PtyTransport::write(const QByteArray& bytes) {
    pending_.append(bytes);
    writePending();
}

void PtyTransport::writePending() {
    bool progressSinceDrain = true;
    while (!pending_.isEmpty() && master_ >= 0) {
        const ssize_t n = ::write(master_, pending_.constData(), pending_.size());
        if (n > 0) {
            pending_.remove(0, n);
            progressSinceDrain = true;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN && progressSinceDrain) {
            // Tens of kilobytes wait unread on the slave side: the port is
            // closed or nobody reads it, as no reply is that long.
            discardUnreadReplies();
            progressSinceDrain = false;
            continue;
        }
        break;
    }
    if (writeNotifier_) writeNotifier_->setEnabled(!pending_.isEmpty());
}

void PtyTransport::dropAndReopen() {
    // Half a reply is on its way, then the line goes dead as when a device is
    // pulled off. A hangup discards what the slave side has not read yet, so
    // the master closes only once the tool has taken the half (or has had its
    // silence limit to do so). Nothing signals that read, hence the 1 ms
    // check of the slave's input queue.
    writePending();
    session_->reset();
    dropClock_.start();
    dropTimer_.start();
}

void PtyTransport::finishDrop() {
    int unread = 0;
    if (::ioctl(slave_, TIOCINQ, &unread) != 0) unread = 0;
    const qint64 elapsed = dropClock_.elapsed();
    if (elapsed < kDropSettleMs ||
        ((unread > 0 || !pending_.isEmpty()) && elapsed < kDropReadLimitMs)) {
        writePending();
        return;
    }
    dropTimer_.stop();
    QString error;
    if (!open(&error))
        qWarning("ktsim: cannot open a new pty after the drop: %s", qPrintable(error));
}

}  // namespace ktsim
