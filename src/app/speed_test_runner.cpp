#include "speed_test_runner.h"

#include <utility>

namespace qv::app {

SpeedTestRunner::SpeedTestRunner(QObject* parent) : QObject(parent) {}

SpeedTestRunner::~SpeedTestRunner() {
    cancel_ = true;
    if (thread_.joinable()) thread_.join();
}

bool SpeedTestRunner::start(Job job) {
    if (running_) return false;
    if (thread_.joinable()) thread_.join();  // the last test's thread has already ended
    cancel_ = false;
    running_ = true;
    thread_ = std::thread([this, job = std::move(job)]() mutable { work(std::move(job)); });
    return true;
}

void SpeedTestRunner::cancel() {
    if (running_) cancel_ = true;
}

void SpeedTestRunner::work(Job job) {
    PhaseResult sample = runSamplePhase(job.algorithm, job.sample, job.lineBreak, cancel_);
    const bool goOn = sample.status == PhaseResult::Status::Done;
    post(0, std::move(sample));
    if (goOn && job.random)
        post(1, runRandomPhase(job.algorithm, *job.random, job.uniform, job.lineBreak, cancel_));
    // Delivered after the phases: queued calls keep their order.
    QMetaObject::invokeMethod(
        this,
        [this] {
            running_ = false;
            emit finished();
        },
        Qt::QueuedConnection);
}

void SpeedTestRunner::post(int phase, PhaseResult result) {
    // Runs on the owner's thread; dropped if the runner is gone by then.
    QMetaObject::invokeMethod(
        this,
        [this, phase, result = std::move(result)] {
            // A phase that ended after a cancel shows nothing.
            PhaseResult shown = result;
            if (cancel_.load() && shown.status == PhaseResult::Status::Done)
                shown = {PhaseResult::Status::Cancelled, {}};
            emit phaseFinished(phase, shown);
        },
        Qt::QueuedConnection);
}

}  // namespace qv::app
