// The fixed pause: as long as asked, never shorter, and the thread's events
// run meanwhile.
#include "pause.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

TEST(Pause, KeepsItsLengthWhileEventsRun) {
    int argc = 1;
    char name[] = "test_pause";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(20);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    // A quit meant for some other loop does not cut the pause short.
    QTimer::singleShot(50, &app, [] { QCoreApplication::exit(0); });

    for (const int ms : {100, 350}) {
        ticks = 0;
        QElapsedTimer clock;
        clock.start();
        kt::Pause(ms);
        const qint64 took = clock.elapsed();
        EXPECT_GE(took, ms);
        EXPECT_LT(took, ms + 150);  // a loaded 2-core machine keeps this
        EXPECT_GE(ticks, ms / 20 / 3) << "the pause blocked the thread's events";
    }
}
