// A substitute controller in its own thread and a Link open to it over the
// channel the test names, for the field-safety tests: each attack is run
// over a pty and over TCP where both apply.
#pragma once

#include "../controller/sim_link.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QList>

namespace kt::safety {

// The controller tests' SimLink, with the channel named first.
struct SimLink : kt::test::SimLink {
    explicit SimLink(kt::PortKind kind, const ktsim::DeviceConfig& config = {})
        : kt::test::SimLink(config, kind) {}
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
