// Connect against the substitute controller: the exact texts it sends, and
// what it makes of each controller family's replies.
#include "controller/connect.h"
#include "sim/program/sim_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace {

using kt::ConnectResult;
using Outcome = kt::ConnectResult::Outcome;

int argc = 1;
char arg0[] = "test_controller";
char* argv[] = {arg0, nullptr};

struct Session {
    ConnectResult result;
    QList<int> countdown;
    QList<QByteArray> found;  // addresses reported, "F" prepended for family 4
    QList<QByteArray> sent;
};

// Connects to a fresh substitute controller over its pseudo-terminal, whose
// 300 ms silence limit keeps the failing searches short.
Session connectTo(const ktsim::DeviceConfig& config, const QByteArray& idText = "0000",
                  const QStringList& faults = {}, kt::PortKind kind = kt::PortKind::Serial) {
    static QCoreApplication app(argc, argv);
    ktsim::SimThread sim(config);
    kt::PortSettings port;
    port.kind = kind;
    port.ComPortName = sim.startPty();
    port.NetIP = QStringLiteral("127.0.0.1");
    port.NetPort = QString::number(sim.startTcp());
    for (const QString& fault : faults) EXPECT_TRUE(sim.addFault(fault)) << fault.toStdString();
    kt::Link link;
    link.setPort(port);
    EXPECT_TRUE(link.OpenPort()) << link.lastError().text.toStdString();
    Session run;
    kt::ConnectObserver observer;
    observer.attemptFailed = [&](int remaining) { run.countdown.append(remaining); };
    observer.addressFound = [&](const QByteArray& address, bool four) {
        run.found.append((four ? "F" : "") + address);
    };
    run.result = kt::Connect(link, idText, observer);
    run.sent = sim.requestLog();
    return run;
}

TEST(Connect, FindsEachFamilyByItsModelOrVersionCode) {
    struct Case {
        int family;
        QByteArray model, versionCode;
        int expected;
    };
    const QList<Case> cases = {
        {7, "KT350", "", 7},   {8, "KT460", "", 8},   {8, "KT380", "V6", 8},
        {9, "KT660", "", 9},   {6, "KT740", "", 6},   {1, "KT300", "R3", 1},
        {2, "KT400", "R4", 2}, {3, "KT500", "R5", 3}, {5, "KT200", "V2", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model.toStdString() + " " + c.versionCode.toStdString());
        const Session run =
            connectTo({.family = c.family, .model = c.model, .versionCode = c.versionCode});
        EXPECT_EQ(run.result.outcome, Outcome::Identified);
        EXPECT_EQ(kt::CodeOf(run.result.family), c.expected);
        EXPECT_EQ(run.result.address, "0000");
        EXPECT_EQ(run.sent, (QList<QByteArray>{"0000AC", "0000DB", "0000AS"}));
        EXPECT_EQ(run.found, QList<QByteArray>{"0000"});
        EXPECT_TRUE(run.countdown.isEmpty());
    }
}

TEST(Connect, VersionPanelTextsFollowTheModel) {
    // KT350, KT460/KT380 and KT660: twelve identity characters, two spaces, four more.
    Session run = connectTo({.family = 7});
    const QByteArray identity = run.result.versionText;
    EXPECT_EQ(identity.size(), 18);
    EXPECT_TRUE(identity.startsWith("KT350")) << identity.constData();
    EXPECT_EQ(identity.mid(12, 2), "  ");
    // Everything else: eight characters, a dash, eight more.
    run = connectTo({.family = 6});
    EXPECT_EQ(run.result.versionText.size(), 17);
    EXPECT_EQ(run.result.versionText.at(8), '-');
    EXPECT_TRUE(run.result.versionText.startsWith("KT740"));
}

TEST(Connect, UnknownModelAndVersionCodeIsNotIdentified) {
    const Session run = connectTo({.family = 2, .model = "KT400", .versionCode = "V6"});
    EXPECT_EQ(run.result.outcome, Outcome::NotIdentified);
    EXPECT_EQ(run.result.family, kt::Family::Unknown);
    EXPECT_EQ(run.result.address, "0000");
    EXPECT_EQ(run.result.versionText.at(8), '-') << "the panel keeps the raw identity";
    EXPECT_EQ(run.sent, (QList<QByteArray>{"0000AC", "0000DB"}));
}

TEST(Connect, FamilyFourIsFoundByAsAndDescribedByAv) {
    Session run = connectTo({.family = 4});
    EXPECT_EQ(run.sent,
              (QList<QByteArray>{"0000AC", "0000AC", "0000AC", "000AS", "000AV", "000AS"}));
    EXPECT_EQ(run.countdown, (QList<int>{6, 5, 4}));
    EXPECT_EQ(run.found, QList<QByteArray>{"F000"});
    EXPECT_EQ(run.result.outcome, Outcome::Identified);
    EXPECT_EQ(run.result.family, kt::Family::ThreeDigit);
    EXPECT_TRUE(run.result.versionText.startsWith("KT410XB "))
        << run.result.versionText.constData();
    EXPECT_EQ(run.result.versionText.size(), 16);
    EXPECT_EQ(run.result.serialText, "S/N:16030001   ID:000");

    // The long "AV" reply carries the whole version text.
    run = connectTo({.family = 4, .avReplyLength = 28, .avVersion = "KT411 V3.00.0001"});
    EXPECT_EQ(run.result.versionText, "KT411 V3.00.0001");

    // A failed "AV" keeps family 4 and the address.
    run = connectTo({.family = 4}, "0000", {QStringLiteral("AV:silent")});
    EXPECT_EQ(run.result.outcome, Outcome::NotIdentified);
    EXPECT_EQ(run.result.family, kt::Family::ThreeDigit);
    EXPECT_EQ(run.result.address, "000");
}

TEST(Connect, SearchesFromTheIdPanel) {
    const Session run =
        connectTo({.family = 7, .address = "0012"}, "0012", {}, kt::PortKind::Network);
    EXPECT_EQ(run.result.address, "0012");
    EXPECT_EQ(run.result.family, kt::Family::KT350);
    EXPECT_EQ(run.result.serialText, "S/N:16030001   ID:0012");
    EXPECT_EQ(run.sent, (QList<QByteArray>{"0012AC", "0012DB", "0012AS"}));

    // A family-4 controller at 012 with the panel at 0012: "AS" goes to 001.
    const Session four = connectTo({.family = 4, .address = "012"}, "0012");
    EXPECT_EQ(four.sent.mid(0, 4), (QList<QByteArray>{"0012AC", "0012AC", "0012AC", "001AS"}));
}

TEST(Connect, FailedAttemptsCountDown) {
    // A 16-byte "AC" reply is no answer: the second attempt is.
    Session run =
        connectTo({.family = 7, .acReplyLength = 15}, "0000", {QStringLiteral("AC:wronglen@1")});
    EXPECT_EQ(run.countdown, QList<int>{6});
    EXPECT_EQ(run.result.outcome, Outcome::Identified);
    EXPECT_EQ(run.sent.count("0000AC"), 2);

    // Nobody answers: six attempts, ( 6 ) down to ( 1 ).
    run = connectTo({.family = 7}, "0000", {QStringLiteral("*:silent")});
    EXPECT_EQ(run.countdown, (QList<int>{6, 5, 4, 3, 2, 1}));
    EXPECT_EQ(run.result.outcome, Outcome::NotFound);
    EXPECT_EQ(run.result.family, kt::Family::Unknown);
    EXPECT_TRUE(run.found.isEmpty());
    EXPECT_EQ(run.sent,
              (QList<QByteArray>{"0000AC", "0000AC", "0000AC", "000AS", "000AS", "000AS"}));
}

TEST(Connect, MissingSerialNumberIsStillAConnect) {
    const Session run = connectTo({.family = 7}, "0000", {QStringLiteral("AS:silent")});
    EXPECT_EQ(run.result.outcome, Outcome::Identified);
    EXPECT_FALSE(run.result.versionText.isEmpty());
    EXPECT_TRUE(run.result.serialText.isEmpty());
    EXPECT_TRUE(run.result.serialNumber.isEmpty());
}

}  // namespace
