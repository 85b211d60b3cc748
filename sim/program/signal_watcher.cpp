#include "sim/program/signal_watcher.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

namespace ktsim {
namespace {

int pipeFds[2] = {-1, -1};

extern "C" void onSignal(int signalNumber) {
    // Only async-signal-safe work here: one byte into the pipe.
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const auto n = ::write(pipeFds[1], &byte, 1);
}

}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeFds) != 0) return;
    ::fcntl(pipeFds[1], F_SETFL, O_NONBLOCK);
    notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SignalWatcher::readSignal);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

SignalWatcher::~SignalWatcher() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    notifier_.reset();
    for (int& fd : pipeFds) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void SignalWatcher::readSignal() {
    char byte = 0;
    if (::read(pipeFds[0], &byte, 1) == 1)
        emit terminationRequested(static_cast<unsigned char>(byte));
}

}  // namespace ktsim
