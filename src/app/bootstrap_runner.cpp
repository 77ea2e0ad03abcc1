#include "bootstrap_runner.h"

#include <utility>

namespace qv::app {

BootstrapRunner::BootstrapRunner(QObject* parent) : QObject(parent) {}

BootstrapRunner::~BootstrapRunner() {
    cancel_ = true;
    ++job_;
    join();
}

void BootstrapRunner::join() {
    if (worker_.joinable()) worker_.join();
}

bool BootstrapRunner::start(std::shared_ptr<const RunResults> run, BootstrapOptions options) {
    if (running_) return false;
    join();
    running_ = true;
    cancel_ = false;
    const int job = ++job_;
    options.cancel = &cancel_;
    options.progress = [this, job](int value) {
        QMetaObject::invokeMethod(
            this,
            [this, job, value] {
                if (job == job_ && running_) emit progress(value);
            },
            Qt::QueuedConnection);
    };
    worker_ = std::thread([this, job, run = std::move(run), options = std::move(options)] {
        auto result =
            std::make_shared<Expected<BootstrapResults>>(bootstrapIntervals(*run, options));
        QMetaObject::invokeMethod(
            this,
            [this, job, run, result] {
                if (job != job_ || !running_) return;
                join();
                running_ = false;
                if (cancel_)
                    emit cancelled();
                else if (!*result)
                    emit failed(QString::fromStdString(result->error().message()));
                else
                    emit finished(
                        run, std::make_shared<const BootstrapResults>(std::move(*result).value()));
            },
            Qt::QueuedConnection);
    });
    return true;
}

}  // namespace qv::app
