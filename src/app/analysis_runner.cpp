#include "analysis_runner.h"

#include <utility>

namespace qv::app {

AnalysisRunner::AnalysisRunner(QObject* parent) : QObject(parent) {}

AnalysisRunner::~AnalysisRunner() {
    cancelAndWait();
}

bool AnalysisRunner::start(ClassPtr data, RunOptions options) {
    if (running_) return false;
    join();
    running_ = true;
    cancel_ = false;
    const int run = ++run_;
    options.cancel = &cancel_;
    // Queued from the worker, so they reach this thread in the engine's order.
    options.progress = [this, run, last = -1](int value) mutable {
        if (value == last) return;
        last = value;
        QMetaObject::invokeMethod(
            this,
            [this, run, value] {
                if (run == run_ && running_) emit progress(value);
            },
            Qt::QueuedConnection);
    };
    worker_ = std::thread([this, run, data = std::move(data), options = std::move(options)] {
        auto result = std::make_shared<Expected<RunResults>>(runAnalysis(data, options));
        QMetaObject::invokeMethod(
            this, [this, run, result] { end(run, result); }, Qt::QueuedConnection);
    });
    return true;
}

void AnalysisRunner::cancel() {
    cancel_ = true;
}

void AnalysisRunner::cancelAndWait() {
    cancel_ = true;
    join();
    running_ = false;
    ++run_;
}

void AnalysisRunner::join() {
    if (worker_.joinable()) worker_.join();
}

void AnalysisRunner::end(int run, const std::shared_ptr<Expected<RunResults>>& result) {
    if (run != run_ || !running_) return;
    join();
    running_ = false;
    // A cancel asked for is honoured even when the run got to its end first.
    if (cancel_) {
        emit cancelled();
    } else if (!*result) {
        emit failed(QString::fromStdString(result->error().message()));
    } else {
        emit finished(std::make_shared<const RunResults>(std::move(*result).value()));
    }
}

}  // namespace qv::app
