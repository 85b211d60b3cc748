// The thread that talks to the controller. It owns the Link: the serial port
// and the socket are made, used and closed on it, so that nothing the window
// does (a modal dialog, a menu held open, a slow repaint) can stall the wire
// or stretch a pause. The window hands it one job at a time and hears back
// through queued calls.
#pragma once

#include "link/link.h"
#include "link/pause.h"

#include <QObject>
#include <QThread>
#include <functional>
#include <memory>

namespace kt {

class LinkWorker {
public:
    LinkWorker();
    // Cancels what runs, waits for it to return and ends the thread; the
    // Link goes with it, on its own thread.
    ~LinkWorker();
    LinkWorker(const LinkWorker&) = delete;
    LinkWorker& operator=(const LinkWorker&) = delete;

    // Runs job on the worker thread, after every job handed over before it.
    void post(std::function<void(Link&)> job);

    // Makes the running job's next transaction fail at once and wakes its
    // pause; stays requested until clear(). Safe from any thread.
    void cancel();
    void clear() { cancel_.clear(); }

    // The link, for reading its settings and last reply while no job runs.
    Link& link() { return *link_; }
    const Link& link() const { return *link_; }
    QThread* thread() { return &thread_; }

private:
    QThread thread_;
    QObject* home_ = nullptr;  // lives on the thread; jobs are queued to it
    std::unique_ptr<Link> link_;
    Cancel cancel_;
};

}  // namespace kt
