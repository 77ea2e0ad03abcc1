#include "task_runner.h"

#include <memory>
#include <utility>

namespace qv::app {

TaskRunner::TaskRunner(QObject* parent) : QObject(parent) {}

TaskRunner::~TaskRunner() {
    cancelAndWait();
}

void TaskRunner::cancelAndWait() {
    cancel_ = true;
    ++job_;
    join();
    running_ = false;
}

void TaskRunner::join() {
    if (worker_.joinable()) worker_.join();
}

bool TaskRunner::start(Task task) {
    if (running_) return false;
    join();
    running_ = true;
    cancel_ = false;
    const int job = ++job_;
    // Queued from the worker, so they reach this thread in the work's order.
    std::function<void(int)> report = [this, job, last = -1](int value) mutable {
        if (value == last) return;
        last = value;
        QMetaObject::invokeMethod(
            this,
            [this, job, value] {
                if (job == job_ && running_) emit this->progress(value);
            },
            Qt::QueuedConnection);
    };
    worker_ = std::thread([this, job, task = std::move(task), report = std::move(report)] {
        auto result = std::make_shared<Expected<void>>(task(cancel_, report));
        QMetaObject::invokeMethod(
            this,
            [this, job, result] {
                if (job != job_ || !running_) return;
                join();
                running_ = false;
                // A cancel asked for is honoured even when the work got to its end first.
                if (cancel_)
                    emit cancelled();
                else if (!*result)
                    emit failed(QString::fromStdString(result->error().message()));
                else
                    emit finished();
            },
            Qt::QueuedConnection);
    });
    return true;
}

}  // namespace qv::app
