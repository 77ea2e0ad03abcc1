#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <thread>

#include "core/expected.h"

namespace qv::app {

// Runs one piece of long work at a time on a worker thread: its progress and
// its end arrive as signals on the thread that owns the runner, in the order
// the work gave them, a repeated progress value once. The work keeps its
// result in what it captured; the owner reads it after finished().
class TaskRunner final : public QObject {
    Q_OBJECT
  public:
    // `progress` may be called from the worker; `cancel` is read there.
    using Task = std::function<Expected<void>(const std::atomic<bool>& cancel,
                                              const std::function<void(int)>& progress)>;

    explicit TaskRunner(QObject* parent = nullptr);
    // Cancels work still going and waits for its worker; no signal follows.
    ~TaskRunner() override;

    bool start(Task task);
    bool running() const { return running_; }
    // Asks the work to stop soon; cancelled() follows.
    void cancel() { cancel_ = true; }
    // Stops the work and waits for its worker; no signal follows.
    void cancelAndWait();

  signals:
    void progress(int value);
    void finished();
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
