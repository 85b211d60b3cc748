// The event polling loop: the head date, each event shown and answered by
// one "IB", the family's poll command, and replies that change nothing.
#include "controller/polling_test.h"
#include "tests/controller/sim_link.h"

#include <QElapsedTimer>

namespace {

using kt::test::SimLink;

// Plays the window: panel texts in the order written, TestRunning cleared
// after `passes` passes.
struct Panels {
    int passes = 1;
    int asked = 0;
    QList<QByteArray> dates;
    QList<QByteArray> events;
    QStringList status;

    kt::PollingObserver observer() {
        return {
            .showStatus = [this](const char* text) { status.append(QString::fromUtf8(text)); },
            .keepRunning = [this] { return asked++ < passes; },
            .showDate = [this](const QByteArray& text) { dates.append(text); },
            .showEvent = [this](const QByteArray& text) { events.append(text); },
            .silenceChanged = {},
        };
    }
};

const QDateTime kDecember(QDate(2026, 12, 7), QTime(14, 5, 9));

TEST(EventPolling, EachEventIsShownAndAnsweredOnceAndThePanelsKeepTheirTexts) {
    SimLink s({.family = 7});
    s.sim.setClock(kDecember);
    ASSERT_TRUE(s.sim.pushEvent({"20261207140509", '1', "0001", "12345"}));
    ASSERT_TRUE(s.sim.pushEvent({"20261208235958", 'A', "0002", "00077"}));
    Panels p;
    p.passes = 4;
    const auto result = kt::PollingTest(s.link, "0000", kt::Family::KT350, p.observer());
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.passes, 4);
    EXPECT_EQ(result.events, 2);
    EXPECT_EQ(p.status, QStringList{"Pooling data test"});
    EXPECT_EQ(s.sent(),
              (QList<QByteArray>{"0000PI", "0000IB", "0000PI", "0000IB", "0000PI", "0000PI"}));
    EXPECT_EQ(p.events, (QList<QByteArray>{"[1] 2026/12/07  14:05:09 (0001) [12345]",
                                           "[A] 2026/12/08  23:59:58 (0002) [00077]"}));
    ASSERT_EQ(p.dates.size(), 4);
    EXPECT_TRUE(p.dates.front().startsWith("2026/12/07  14:05:")) << p.dates.front().constData();
    EXPECT_EQ(p.dates.front().size(), 20);
    EXPECT_TRUE(s.sim.state().events.isEmpty());
    // Nothing after the last pass: no end-of-test command, and the panels keep
    // what they were given last (nothing clears them).
    EXPECT_EQ(s.sent().back(), "0000PI");
}

TEST(EventPolling, FamilySixPollsByQiAndAnswersOnlyARecord) {
    SimLink s({.family = 6});
    Panels p;
    p.passes = 2;
    kt::PollingTest(s.link, "0000", kt::Family::KT740, p.observer());
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000QI", "0000QI"}));
    EXPECT_EQ(p.dates.size(), 2);
    EXPECT_TRUE(p.events.isEmpty());

    s.sim.clearLog();
    ASSERT_TRUE(s.sim.pushEvent({}));
    kt::PollingTest(s.link, "0000", kt::Family::KT740, {});
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"0000QI", "0000IB"}));
}

TEST(EventPolling, FamilyFourPollsByIeAndAnswersLater) {
    SimLink s({.family = 4, .address = "012"});
    s.sim.setClock(kDecember);
    ASSERT_TRUE(s.sim.pushEvent({"20261207140509", '3', "0004", "12345"}));
    Panels p;
    p.passes = 2;
    const auto result = kt::PollingTest(s.link, "012", kt::Family::ThreeDigit, p.observer());
    EXPECT_EQ(result.events, 1);
    EXPECT_EQ(s.sent(), (QList<QByteArray>{"012IE", "012IB", "012IE"}));
    EXPECT_EQ(p.events, QList<QByteArray>{"20261207140509 (0004) (03)"});
    EXPECT_TRUE(p.dates.value(0).startsWith("2026/12/07  14:05:")) << p.dates.value(0).constData();
    const auto records = s.sim.requestRecords();
    ASSERT_EQ(records.size(), 3);
    EXPECT_GE(records[1].monotonicNs - records[0].monotonicNs, 100'000'000)
        << "family 4 answers a record after 100 ms";
}

TEST(EventPolling, RepliesOfOtherLengthsOrFailedChecksChangeNothing) {
    // 59 bytes is the others' record length, not family 4's.
    SimLink four({.family = 4});
    ASSERT_TRUE(four.sim.pushEvent({}));
    four.fault("IE:length=59");
    Panels p;
    kt::PollingTest(four.link, "000", kt::Family::ThreeDigit, p.observer());
    EXPECT_TRUE(p.dates.isEmpty());
    EXPECT_TRUE(p.events.isEmpty());
    EXPECT_EQ(four.sent(), QList<QByteArray>{"000IE"});

    SimLink common({.family = 9});
    ASSERT_TRUE(common.sim.pushEvent({}));
    common.fault("PI:badcrc@1");
    Panels q;
    q.passes = 2;
    kt::PollingTest(common.link, "0000", kt::Family::KT660, q.observer());
    EXPECT_EQ(common.sent(), (QList<QByteArray>{"0000PI", "0000PI", "0000IB"}));
    EXPECT_EQ(q.dates.size(), 1);
    EXPECT_EQ(q.events.size(), 1);
}

}  // namespace
