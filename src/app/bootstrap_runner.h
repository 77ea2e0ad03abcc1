#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "stats/bootstrap.h"

namespace qv::app {

// Computes the bootstrap intervals of a run on a worker thread, as
// AnalysisRunner runs an analysis: progress and the end arrive as signals on
// the runner's thread.
class BootstrapRunner final : public QObject {
    Q_OBJECT
  public:
    explicit BootstrapRunner(QObject* parent = nullptr);
    ~BootstrapRunner() override;

    // Starts unless already going; the results must hold their students.
    bool start(std::shared_ptr<const RunResults> run, BootstrapOptions options);
    bool running() const { return running_; }
    void cancel() { cancel_ = true; }

  signals:
    void progress(int value);
    void finished(std::shared_ptr<const qv::RunResults> run,
                  std::shared_ptr<const qv::BootstrapResults> intervals);
    void failed(const QString& message);
    void cancelled();

  private:
    void join();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    int job_ = 0;  // which start the queued signals belong to
};

}  // namespace qv::app
