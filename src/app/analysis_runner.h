#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "analysis/run.h"
#include "task_runner.h"

namespace qv::app {

// Runs the analysis of a class on a worker thread. The run's progress values
// and its end arrive as signals on the thread that owns the runner, in the
// order the engine gave them; a value the engine repeats is sent once.
class AnalysisRunner final : public QObject {
    Q_OBJECT
  public:
    explicit AnalysisRunner(QObject* parent = nullptr);

    // Starts a run unless one is going; its progress and cancel are the runner's.
    bool start(ClassPtr data, RunOptions options);
    bool running() const { return task_.running(); }
    // Asks the run to stop soon; cancelled() follows.
    void cancel() { task_.cancel(); }
    // Stops the run and waits for its worker; no signal follows.
    void cancelAndWait() { task_.cancelAndWait(); }

  signals:
    void progress(int value);
    void finished(std::shared_ptr<const qv::RunResults> results);
    void failed(const QString& message);
    void cancelled();

  private:
    TaskRunner task_;
    std::shared_ptr<std::optional<RunResults>> results_;  // of the run going
};

}  // namespace qv::app
