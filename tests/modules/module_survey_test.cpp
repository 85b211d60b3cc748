// The module bus survey against ktsim on a pty: exactly the modules on the
// bus, IDs 0 and 8 included; an empty bus; a cancel between requests; a port
// lost mid-survey; and the CSV of hostile serial numbers.
#include "modules/module_survey.h"
#include "tests/controller/sim_link.h"

#include <QElapsedTimer>
#include <QThread>

namespace {

// The survey's subject is which addresses it asks and what it makes of the
// answers, not the silence limit: a silent address waits out 100 ms here
// instead of 300, which is still ample for ktsim's answer on a loaded machine.
constexpr int kQuickLimitMs = 100;
constexpr int kNobodyAnswersLimitMs = 20;

using kt::SurveyedModule;
using Kind = SurveyedModule::Kind;

// Lets ktsim's thread log the last request, which nobody answered.
QList<QByteArray> sentOnceLogged(const kt::test::SimLink& s, qsizetype count) {
    QElapsedTimer clock;
    clock.start();
    while (s.sent().size() < count && clock.elapsed() < 3000) QThread::msleep(5);
    return s.sent();
}

TEST(ModuleSurvey, FindsExactlyTheModulesOnTheBusAndAsksEveryAddressOnce) {
    kt::test::SimLink s;
    s.link.setReplyLimitMs(kQuickLimitMs);
    // A module at most addresses, IDs 0 and 8 among them, and a gap in every
    // type: only the gaps wait out the limit.
    ktsim::ModuleBus bus;
    QList<SurveyedModule> expected;
    const char letters[] = "ABHIJE";
    for (int type = 0; type < 6; ++type) {
        for (int id = 0; id <= 8; ++id) {
            if (id == (type * 3) % 9) continue;  // the gaps: 0, 3, 6, 0, 3, 6
            const QByteArray serial = QByteArray::number(15000000 + type * 1000 + id);
            bus.v5.append({.letter = letters[type], .id = char('0' + id), .serial = serial});
            expected.append({Kind::V5, type, id, serial});
        }
    }
    const qsizetype v5Count = expected.size();
    for (int id = 0; id <= 8; ++id) {
        if (id == 4) continue;
        const QByteArray serial = QByteArray::number(17030000 + id);
        bus.v7.append({.id = quint16(id), .serial = serial});
        expected.append({Kind::V7, -1, id, serial});
    }
    ASSERT_TRUE(s.sim.setModules(bus));
    QList<std::pair<int, int>> progress;
    QList<SurveyedModule> found;
    kt::ModuleSurveyObserver observer;
    observer.progress = [&](int asked, int total) { progress.append({asked, total}); };
    observer.found = [&](const SurveyedModule& m) { found.append(m); };
    const auto result = kt::SurveyModules(s.link, "0000", observer);

    EXPECT_EQ(result.modules, expected);
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(result.asked, kt::kSurveyRequests);
    ASSERT_EQ(progress.size(), kt::kSurveyRequests);
    EXPECT_EQ(progress.back(), std::make_pair(63, 63));
    const QList<QByteArray> sent = s.sent();
    ASSERT_EQ(sent.size(), 63);
    EXPECT_EQ(sent.front(), "0000DDA0S");
    EXPECT_EQ(sent[53], "0000DDE8S");
    EXPECT_EQ(sent[54], "0000DR050006880000010000");
    EXPECT_EQ(sent.back(), "0000DR050006880000010008");
    EXPECT_EQ(kt::ModuleTypeName(result.modules.value(v5Count - 1)), "KTPRINT");
}

TEST(ModuleSurvey, EmptyBusCompletesWithNothingAndCancelStopsBetweenRequests) {
    kt::test::SimLink s;
    // Nothing on this bus answers: how long the survey listens changes
    // nothing but the test's time.
    s.link.setReplyLimitMs(kNobodyAnswersLimitMs);
    ASSERT_TRUE(s.sim.setModules(ktsim::ModuleBus{}));
    auto result = kt::SurveyModules(s.link, "0000");
    EXPECT_TRUE(result.modules.isEmpty());
    EXPECT_TRUE(result.complete());
    EXPECT_EQ(sentOnceLogged(s, 63).size(), 63);

    s.sim.clearLog();
    int asked = 0;
    kt::ModuleSurveyObserver observer;
    observer.progress = [&](int n, int) { asked = n; };
    observer.keepRunning = [&] { return asked < 10; };
    result = kt::SurveyModules(s.link, "0000", observer);
    EXPECT_TRUE(result.cancelled);
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(result.asked, 10);
    EXPECT_EQ(sentOnceLogged(s, 10).size(), 10);
}

TEST(ModuleSurvey, LostPortStopsTheSurveyAndIsNoCompleteList) {
    // The demonstration bus: the KTRB5 (H) at ID 1 answers the 20th request
    // with half a frame, and the pty closes.
    kt::test::SimLink s;
    s.link.setReplyLimitMs(kQuickLimitMs);
    s.fault("DD:drop@1");
    const auto result = kt::SurveyModules(s.link, "0000");
    EXPECT_TRUE(result.portLost);
    EXPECT_FALSE(result.complete());
    EXPECT_EQ(result.asked, 2 * 9 + 2);
    EXPECT_TRUE(result.modules.isEmpty());
    EXPECT_FALSE(result.why.isEmpty());
}

TEST(ModuleSurvey, CsvQuotesSeparatorsAndShowsControlBytes) {
    const QList<SurveyedModule> modules = {{Kind::V5, 0, 1, "1503,\"01"},
                                           {Kind::V7, -1, 2, QByteArray("17\r\n3000", 8)}};
    EXPECT_EQ(kt::ModuleSurveyCsv(modules), QString::fromUtf8("kind,type,id,serial\r\n"
                                                              "V5,KTRA1/A3/B3,1,\"1503,\"\"01\"\r\n"
                                                              "V7,V7,2,17\u240D\u240A3000\r\n"));
}

}  // namespace
