#include "bootstrap_runner.h"

#include <utility>

namespace qv::app {

BootstrapRunner::BootstrapRunner(QObject* parent) : QObject(parent) {
    connect(&task_, &TaskRunner::progress, this, &BootstrapRunner::progress);
    connect(&task_, &TaskRunner::failed, this, &BootstrapRunner::failed);
    connect(&task_, &TaskRunner::cancelled, this, &BootstrapRunner::cancelled);
    connect(&task_, &TaskRunner::finished, this, [this] {
        emit finished(run_, std::make_shared<const BootstrapResults>(std::move(**intervals_)));
    });
}

bool BootstrapRunner::start(std::shared_ptr<const RunResults> run, BootstrapOptions options) {
    if (task_.running()) return false;
    auto intervals = std::make_shared<std::optional<BootstrapResults>>();
    const bool started = task_.start(
        [run, options = std::move(options), intervals](
            const std::atomic<bool>& cancel,
            const std::function<void(int)>& progress) mutable -> Expected<void> {
            options.cancel = &cancel;
            options.progress = progress;
            auto computed = bootstrapIntervals(*run, options);
            if (!computed) return computed.error();
            *intervals = std::move(computed).value();
            return {};
        });
    if (started) {
        run_ = std::move(run);
        intervals_ = std::move(intervals);
    }
    return started;
}

}  // namespace qv::app
