#include "sim/program/sim_thread.h"

#include "sim/device/loader_commands.h"

namespace ktsim {

SimThread::SimThread(const DeviceConfig& config) : context_(std::make_unique<QObject>()) {
    thread_.setObjectName(QStringLiteral("ktsim"));
    context_->moveToThread(&thread_);
    thread_.start();
    // Created inside the thread, so that its timers, sockets and notifiers
    // belong to that thread's event loop.
    QMetaObject::invokeMethod(
        context_.get(), [this, config] { simulator_ = new Simulator(config); },
        Qt::BlockingQueuedConnection);
}

SimThread::~SimThread() {
    QMetaObject::invokeMethod(
        context_.get(), [this] { delete simulator_; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

quint16 SimThread::startTcp(quint16 port) {
    return call([port](Simulator& s) { return s.startTcp(port); });
}

QString SimThread::startPty() {
    return call([](Simulator& s) { return s.startPty(); });
}

QString SimThread::ptyPath() const {
    return call([](Simulator& s) { return s.ptyPath(); });
}

bool SimThread::addFault(const QString& faultText, QString* error) {
    return call([&](Simulator& s) { return s.addFault(faultText, error); });
}

void SimThread::clearFaults() {
    call([](Simulator& s) { s.clearFaults(); });
}

QList<QByteArray> SimThread::requestLog() const {
    return call([](Simulator& s) { return s.log().texts(); });
}

QList<LoggedRequest> SimThread::requestRecords() const {
    return call([](Simulator& s) { return s.log().entries(); });
}

void SimThread::clearLog() {
    call([](Simulator& s) { s.clearLog(); });
}

void SimThread::setPace(int baud) {
    call([baud](Simulator& s) { s.setPace(baud); });
}

bool SimThread::setConfig(const DeviceConfig& config, QString* error) {
    return call([&](Simulator& s) { return s.setConfig(config, error); });
}

DeviceConfig SimThread::config() const {
    return call([](Simulator& s) { return s.config(); });
}

ControllerState SimThread::state() const {
    return call([](Simulator& s) { return s.controller().state().snapshot(); });
}

void SimThread::setInputs(quint8 mask) {
    call([mask](Simulator& s) { s.controller().state().setInputs(mask); });
}

bool SimThread::pushEvent(const Event& event, QString* error) {
    return call([&](Simulator& s) { return s.controller().state().pushEvent(event, error); });
}

void SimThread::setClock(const QDateTime& wallTime) {
    call([&](Simulator& s) { s.controller().state().setClock(wallTime); });
}

LoaderState SimThread::loaderState() const {
    return call([](Simulator& s) { return ktsim::loaderState(s.controller()); });
}

ModuleBus SimThread::modules() const {
    return call([](Simulator& s) { return s.config().modules; });
}

// Changes the bus in one call, so that no request falls between reading it
// and writing it back.
bool SimThread::changeModules(const std::function<void(ModuleBus&)>& change, QString* error) {
    return call([&](Simulator& s) {
        ModuleBus bus = s.config().modules;
        change(bus);
        const QString problem = bus.validate();
        if (!problem.isEmpty()) {
            if (error) *error = problem;
            return false;
        }
        s.controller().config().modules = bus;
        return true;
    });
}

bool SimThread::setModules(const ModuleBus& bus, QString* error) {
    return changeModules([&](ModuleBus& b) { b = bus; }, error);
}

bool SimThread::addV5Module(const V5Module& module, QString* error) {
    return changeModules([&](ModuleBus& b) { b.v5.append(module); }, error);
}

bool SimThread::addV7Module(const V7Module& module, QString* error) {
    return changeModules([&](ModuleBus& b) { b.v7.append(module); }, error);
}

}  // namespace ktsim
