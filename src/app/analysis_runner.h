#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <thread>

#include "analysis/run.h"

namespace qv::app {

// Runs the analysis of a class on a worker thread. The run's progress values
// and its end arrive as signals on the thread that owns the runner, in the
// order the engine gave them; a value the engine repeats is sent once.
class AnalysisRunner final : public QObject {
    Q_OBJECT
  public:
    explicit AnalysisRunner(QObject* parent = nullptr);
    // Cancels a run still going and waits for its worker.
    ~AnalysisRunner() override;

    // Starts a run unless one is going; its progress and cancel are the runner's.
    bool start(ClassPtr data, RunOptions options);
    bool running() const { return running_; }
    // Asks the run to stop soon; cancelled() follows.
    void cancel();
    // Stops the run and waits for its worker; no signal follows.
    void cancelAndWait();

  signals:
    void progress(int value);
    void finished(std::shared_ptr<const qv::RunResults> results);
    void failed(const QString& message);
    void cancelled();

  private:
    void end(int run, const std::shared_ptr<Expected<RunResults>>& result);
    void join();

    std::thread worker_;
    std::atomic<bool> cancel_{false};
    bool running_ = false;
    int run_ = 0;  // which run the queued signals belong to
};

}  // namespace qv::app
