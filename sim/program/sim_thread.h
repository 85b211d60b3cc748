// A Simulator running in a thread of its own, for tests and benchmarks that
// talk to it from their own thread. Every call blocks until the simulator's
// thread has carried it out; do not call from inside that thread.
#pragma once

#include "sim/device/device_config.h"
#include "sim/device/loader_memory.h"
#include "sim/program/simulator.h"
#include "sim/transport/request_log.h"

#include <QByteArray>
#include <QList>
#include <QMetaObject>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>
#include <type_traits>

namespace ktsim {

class SimThread {
public:
    explicit SimThread(const DeviceConfig& config = DeviceConfig());
    ~SimThread();
    SimThread(const SimThread&) = delete;
    SimThread& operator=(const SimThread&) = delete;

    // Listens on 127.0.0.1; the port (port 0: a free one), or 0 on failure.
    quint16 startTcp(quint16 port = 0);
    // Opens a pseudo-terminal; its slave path, or empty on failure.
    QString startPty();
    // The current slave path (a drop fault replaces the pty).
    QString ptyPath() const;

    // Same syntax as ktsim --fault, e.g. "DB:silent" or "*:trickle=250@2".
    bool addFault(const QString& faultText, QString* error = nullptr);
    void clearFaults();

    // The command texts received, in order; bad checksums included.
    QList<QByteArray> requestLog() const;
    // The same with style, checksum verdict and time stamp.
    QList<LoggedRequest> requestRecords() const;
    void clearLog();

    // Every reply byte no faster than this baud rate; 0: no limit.
    void setPace(int baud);

    // Becomes another controller (family, address, identity, fresh state); false with the
    // reason in *error when the configuration is not usable.
    bool setConfig(const DeviceConfig& config, QString* error = nullptr);
    // Resolved, with the address the controller has now.
    DeviceConfig config() const;

    // What the controller remembers now: clock, alarm, inputs, outputs,
    // buffered events, speed, restarts.
    ControllerState state() const;
    // Input n is active when bit n-1 is set.
    void setInputs(quint8 mask);
    // Buffers an event behind the others; false with the reason in *error
    // when its fields do not fit the reply layouts.
    bool pushEvent(const Event& event, QString* error = nullptr);
    // The controller's clock goes on from these wall-clock fields.
    void setClock(const QDateTime& wallTime);

    // The firmware loader (families 1 to 6): its memory, the blocks written
    // and read back since the last start, whether the upgrade was applied.
    // Its faults come with the configuration (DeviceConfig::loaderFaults).
    LoaderState loaderState() const;

    // The modules on the controller's bus as they are now (IDs the tool
    // reassigned included).
    ModuleBus modules() const;
    // Replaces the bus, or puts one module on it behind the others; false
    // with the reason in *error when a module does not fit the reply layouts.
    bool setModules(const ModuleBus& bus, QString* error = nullptr);
    bool addV5Module(const V5Module& module, QString* error = nullptr);
    bool addV7Module(const V7Module& module, QString* error = nullptr);

    // Runs fn in the simulator's thread and waits for it.
    template <typename Fn>
    auto call(Fn fn) const;

private:
    bool changeModules(const std::function<void(ModuleBus&)>& change, QString* error);

    QThread thread_;
    // Lives in thread_: the context in which call() runs its functions.
    std::unique_ptr<QObject> context_;
    Simulator* simulator_ = nullptr;  // lives in thread_
};

template <typename Fn>
auto SimThread::call(Fn fn) const {
    using Result = decltype(fn(*simulator_));
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(
            context_.get(), [&] { fn(*simulator_); }, Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(
            context_.get(), [&] { result = fn(*simulator_); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

}  // namespace ktsim
