#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "stats/bootstrap.h"
#include "task_runner.h"

namespace qv::app {

// Computes the bootstrap intervals of a run on a worker thread, as
// AnalysisRunner runs an analysis: progress and the end arrive as signals on
// the runner's thread.
class BootstrapRunner final : public QObject {
    Q_OBJECT
  public:
    explicit BootstrapRunner(QObject* parent = nullptr);

    // Starts unless already going; the results must hold their students.
    bool start(std::shared_ptr<const RunResults> run, BootstrapOptions options);
    bool running() const { return task_.running(); }
    void cancel() { task_.cancel(); }

  signals:
    void progress(int value);
    void finished(std::shared_ptr<const qv::RunResults> run,
                  std::shared_ptr<const qv::BootstrapResults> intervals);
    void failed(const QString& message);
    void cancelled();

  private:
    TaskRunner task_;
    // The run and the intervals of the work going.
    std::shared_ptr<const RunResults> run_;
    std::shared_ptr<std::optional<BootstrapResults>> intervals_;
};

}  // namespace qv::app
