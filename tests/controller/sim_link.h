// A substitute controller in its own thread and a Link already open to it,
// as the window hands a Link to an operation. The pty is the default: its
// 300 ms silence limit keeps the failing cases short.
#pragma once

#include "controller/operation.h"
#include "link/link.h"
#include "sim/program/sim_thread.h"

#include <gtest/gtest.h>

#include <QList>
#include <QStringList>

namespace kt::test {

struct SimLink {
    explicit SimLink(const ktsim::DeviceConfig& config = {},
                     kt::PortKind kind = kt::PortKind::Serial)
        : sim(config) {
        port.kind = kind;
        if (kind == kt::PortKind::Serial) {
            port.ComPortName = sim.startPty();
        } else {
            port.NetIP = QStringLiteral("127.0.0.1");
            port.NetPort = QString::number(sim.startTcp());
        }
        link.setPort(port);
        EXPECT_TRUE(link.OpenPort()) << link.lastError().text.toStdString();
    }

    void fault(const char* text) { EXPECT_TRUE(sim.addFault(QString::fromLatin1(text))) << text; }
    QList<QByteArray> sent() const { return sim.requestLog(); }

    ktsim::SimThread sim;
    kt::PortSettings port;
    kt::Link link;
};

// Collects the status texts an operation shows, by their English wording.
struct StatusLog {
    QStringList texts;
    kt::ShowStatus recorder() {
        return [this](const char* english) { texts.append(QString::fromUtf8(english)); };
    }
};

}  // namespace kt::test
