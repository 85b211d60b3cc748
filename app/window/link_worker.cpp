#include "app/window/link_worker.h"

#include <QAbstractEventDispatcher>

namespace kt {

LinkWorker::LinkWorker() {
    thread_.setObjectName(QStringLiteral("link"));
    thread_.start();
    home_ = new QObject;
    home_->moveToThread(&thread_);
    // Made on the thread, so that its timer, port and socket belong to it.
    QMetaObject::invokeMethod(
        home_,
        [this] {
            setThreadCancel(&cancel_);
            link_ = std::make_unique<Link>();
        },
        Qt::BlockingQueuedConnection);
}

// The link goes when the thread's loop has ended, on the thread itself: never
// inside a job that is still waiting in a nested loop of its own.
LinkWorker::~LinkWorker() {
    cancel();
    QObject::connect(
        &thread_, &QThread::finished, &thread_,
        [this] {
            link_.reset();
            setThreadCancel(nullptr);
        },
        Qt::DirectConnection);
    thread_.quit();
    thread_.wait();
    delete home_;  // its thread has ended: nothing can reach it any more
}

void LinkWorker::post(std::function<void(Link&)> job) {
    QMetaObject::invokeMethod(
        home_, [this, job = std::move(job)] { job(*link_); }, Qt::QueuedConnection);
}

void LinkWorker::cancel() {
    cancel_.request();
    // A transaction waiting in the thread's event loop looks again.
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(&thread_))
        dispatcher->wakeUp();
}

}  // namespace kt
