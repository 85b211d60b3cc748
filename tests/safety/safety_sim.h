// A substitute controller in its own thread and a Link open to it over the
// channel the test names, for the field-safety tests: each attack is run
// over a pty and over TCP where both apply.
#pragma once

#include "link.h"
#include "sim_thread.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QList>

namespace kt::safety {

struct SimLink {
    explicit SimLink(kt::PortKind kind, const ktsim::DeviceConfig& config = {}) : sim(config) {
        port.kind = kind;
        if (kind == kt::PortKind::Serial) {
            port.ComPortName = sim.startPty();
        } else {
            port.NetIP = QStringLiteral("127.0.0.1");
            port.NetPort = QString::number(sim.startTcp());
        }
        link.setPort(port);
        EXPECT_TRUE(link.OpenPort()) << link.lastError().toStdString();
    }

    void fault(const char* text) { EXPECT_TRUE(sim.addFault(QString::fromLatin1(text))) << text; }
    QList<QByteArray> sent() const { return sim.requestLog(); }

    ktsim::SimThread sim;
    kt::PortSettings port;
    kt::Link link;
};

// Milliseconds the call took.
template <typename F>
qint64 timed(F&& call) {
    QElapsedTimer clock;
    clock.start();
    call();
    return clock.elapsed();
}

inline std::string channelName(const ::testing::TestParamInfo<kt::PortKind>& info) {
    return info.param == kt::PortKind::Network ? "Tcp" : "Pty";
}

}  // namespace kt::safety
