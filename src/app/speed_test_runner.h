#pragma once

#include <QObject>
#include <optional>
#include <string>
#include <thread>

#include "verify/speed_test.h"

namespace qv::app {

// Runs one speed test (the sample phase, then the random phase when there is
// one) on a worker thread, so that the window stays responsive while a long
// search runs. Results come back on the owner's thread, one signal per phase.
class SpeedTestRunner : public QObject {
    Q_OBJECT
  public:
    struct Job {
        SpeedAlgorithm algorithm = SpeedAlgorithm::DC;
        DistanceMatrix sample;
        std::string lineBreak;
        std::optional<SpeedInputs> random;  // no random phase when empty
        UniformSource uniform;
    };

    explicit SpeedTestRunner(QObject* parent = nullptr);
    // Cancels a running test and waits for its thread.
    ~SpeedTestRunner() override;

    bool running() const { return running_; }
    bool cancelling() const { return running_ && cancel_.load(); }

    // Starts a test; refused (false) while one runs.
    bool start(Job job);
    // Asks the running test to stop; its unfinished phase reports Cancelled.
    void cancel();

  signals:
    // phase 0 is the sample phase, 1 the random phase.
    void phaseFinished(int phase, const qv::PhaseResult& result);
    // After the last phase, whatever its outcome.
    void finished();

  private:
    void work(Job job);
    void post(int phase, PhaseResult result);

    std::thread thread_;
    CancelFlag cancel_{false};
    bool running_ = false;
};

}  // namespace qv::app
