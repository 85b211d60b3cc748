#include "pause.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace kt {

void Pause(int ms) {
    if (ms <= 0) return;
    if (!QCoreApplication::instance() || !QAbstractEventDispatcher::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    // Waits on the flag our own timer sets, not on a loop's quit: a quit or
    // an application exit meant for another loop cannot cut the pause short.
    bool over = false;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&over] { over = true; });
    timer.start(ms);
    while (!over) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace kt
