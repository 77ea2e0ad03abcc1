#include "analysis_runner.h"

#include <optional>
#include <utility>

namespace qv::app {

AnalysisRunner::AnalysisRunner(QObject* parent) : QObject(parent) {
    connect(&task_, &TaskRunner::progress, this, &AnalysisRunner::progress);
    connect(&task_, &TaskRunner::failed, this, &AnalysisRunner::failed);
    connect(&task_, &TaskRunner::cancelled, this, &AnalysisRunner::cancelled);
    connect(&task_, &TaskRunner::finished, this, [this] {
        emit finished(std::make_shared<const RunResults>(std::move(**results_)));
    });
}

bool AnalysisRunner::start(ClassPtr data, RunOptions options) {
    if (task_.running()) return false;
    auto results = std::make_shared<std::optional<RunResults>>();
    const bool started = task_.start(
        [data = std::move(data), options = std::move(options), results](
            const std::atomic<bool>& cancel,
            const std::function<void(int)>& progress) mutable -> Expected<void> {
            options.cancel = &cancel;
            options.progress = progress;
            auto run = runAnalysis(data, options);
            if (!run) return run.error();
            *results = std::move(run).value();
            return {};
        });
    if (started) results_ = std::move(results);
    return started;
}

}  // namespace qv::app
