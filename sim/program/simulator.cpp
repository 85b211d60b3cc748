#include "sim/program/simulator.h"

#include "sim/transport/pty_transport.h"
#include "sim/transport/tcp_transport.h"

#include "link/visible_text.h"

#include <cstdio>

namespace ktsim {
namespace {

DeviceConfig usableConfig(const DeviceConfig& config) {
    const QString error = config.validate();
    if (error.isEmpty()) return config;
    qWarning("ktsim: %s; using the defaults of family 7", qPrintable(error));
    return DeviceConfig();
}

}  // namespace

Simulator::Simulator(const DeviceConfig& config, QObject* parent)
    : QObject(parent), controller_(usableConfig(config)) {}

Simulator::~Simulator() = default;

quint16 Simulator::startTcp(quint16 port) {
    if (!tcp_) tcp_ = std::make_unique<TcpTransport>(*this);
    return tcp_->listen(port, &lastError_);
}

quint16 Simulator::tcpPort() const {
    return tcp_ ? tcp_->port() : 0;
}

QString Simulator::startPty() {
    if (pty_ && !pty_->path().isEmpty()) return pty_->path();
    if (!pty_) {
        pty_ = std::make_unique<PtyTransport>(*this);
        connect(pty_.get(), &PtyTransport::opened, this, &Simulator::ptyOpened);
    }
    if (!pty_->open(&lastError_)) return {};
    return pty_->path();
}

QString Simulator::ptyPath() const {
    return pty_ ? pty_->path() : QString();
}

bool Simulator::addFault(const QString& faultText, QString* error) {
    const auto fault = Fault::parse(faultText, error);
    if (!fault) return false;
    faults_.add(*fault);
    return true;
}

bool Simulator::setConfig(const DeviceConfig& config, QString* error) {
    const QString problem = config.validate();
    if (!problem.isEmpty()) {
        if (error) *error = problem;
        return false;
    }
    controller_.setConfig(config);
    return true;
}

std::optional<ReplyPlan> Simulator::respond(const Request& request) {
    log_.add(request);
    if (verbose_)
        trace("<- " + RequestLog::formatLine(log_.entries().back()) + "  " +
              kt::VisibleText(request.frame).toUtf8());
    if (!request.checksumOk) {
        if (verbose_) trace("   no reply: bad checksum");
        return std::nullopt;
    }
    const bool restarting = controller_.state().restarting();
    const auto answer = controller_.answer(request);
    if (!answer) {
        if (verbose_ && restarting)
            trace("   no reply: restarting");
        else if (verbose_)
            trace("   no reply: not addressed to " + controller_.address() +
                  ", unknown command or arguments");
        return std::nullopt;
    }
    // A controller takes a new speed once it has answered "AE" at the old
    // one: from then on only the new speed is heard.
    if (lineBaud_ != 0 && answer->letters == "AE") {
        lineBaud_ = controller_.state().speed().split(',').front().toInt();
        if (verbose_) trace("   the line runs at " + controller_.state().speed() + " from now on");
    }
    auto plan = shapeReply(*answer, faults_.take(answer->letters, request.text));
    if (!plan) {
        if (verbose_) trace("   no reply: silent fault");
        return std::nullopt;
    }
    plan->paceBaud = paceBaud_;
    if (verbose_) {
        QByteArray line = "-> " + kt::VisibleText(plan->bytes).toUtf8();
        if (!plan->faults.isEmpty())
            line += "  [" + plan->faults.join(QLatin1Char(' ')).toUtf8() + ']';
        trace(line);
    }
    return plan;
}

void Simulator::trace(const QByteArray& line) const {
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace ktsim
