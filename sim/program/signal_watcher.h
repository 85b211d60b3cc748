// Turns SIGINT and SIGTERM into a Qt signal through a self-pipe, so that
// ktsim leaves its event loop and closes its ports cleanly.
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace ktsim {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    // Only one watcher per process: the handler writes to one pipe.
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    bool isValid() const { return notifier_ != nullptr; }

signals:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace ktsim
