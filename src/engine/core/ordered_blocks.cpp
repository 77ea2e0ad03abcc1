#include "core/ordered_blocks.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace qv {

int workerCount(int requested) {
    if (requested > 0) return requested;
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

namespace {

class BlockQueue {
  public:
    BlockQueue(std::size_t blocks, std::size_t window) : blocks_(blocks), window_(window) {}

    // The next block for a worker, or false when there is none or the run stopped.
    bool take(std::size_t& block) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock,
                      [&] { return stopped_ || next_ >= blocks_ || next_ < doneUpTo_ + window_; });
        if (stopped_ || next_ >= blocks_) return false;
        block = next_++;
        return true;
    }

    void finished(std::size_t block) {
        {
            std::lock_guard lock(mutex_);
            ready_[block % window_] = true;
        }
        changed_.notify_all();
    }

    // Waits until `block` is ready; false when the run stopped first.
    bool waitFor(std::size_t block) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopped_ || ready_[block % window_]; });
        return !stopped_;
    }

    void release(std::size_t block) {
        {
            std::lock_guard lock(mutex_);
            ready_[block % window_] = false;
            doneUpTo_ = block + 1;
        }
        changed_.notify_all();
    }

    void stop(std::exception_ptr error) {
        {
            std::lock_guard lock(mutex_);
            if (!error_) error_ = std::move(error);
            stopped_ = true;
        }
        changed_.notify_all();
    }

    std::exception_ptr error() {
        std::lock_guard lock(mutex_);
        return error_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::size_t blocks_, window_;
    std::size_t next_ = 0, doneUpTo_ = 0;
    std::vector<char> ready_ = std::vector<char>(window_, 0);
    bool stopped_ = false;
    std::exception_ptr error_;
};

}  // namespace

void forEachBlockInOrder(std::size_t blocks, int threads, std::size_t window,
                         const std::function<void(std::size_t, int)>& work,
                         const std::function<void(std::size_t)>& done) {
    threads = std::max(1, threads);
    if (threads == 1 || blocks <= 1) {
        for (std::size_t b = 0; b < blocks; ++b) {
            work(b, 0);
            done(b);
        }
        return;
    }
    window = std::max<std::size_t>(window, 1);
    BlockQueue queue(blocks, window);
    std::vector<std::jthread> workers;
    workers.reserve(static_cast<std::size_t>(threads));
    try {
        for (int w = 0; w < threads; ++w) {
            workers.emplace_back([&queue, &work, w] {
                std::size_t block = 0;
                while (queue.take(block)) {
                    try {
                        work(block, w);
                    } catch (...) {
                        queue.stop(std::current_exception());
                        return;
                    }
                    queue.finished(block);
                }
            });
        }
        for (std::size_t b = 0; b < blocks && queue.waitFor(b); ++b) {
            done(b);
            queue.release(b);
        }
    } catch (...) {
        queue.stop(std::current_exception());
    }
    queue.stop(nullptr);
    workers.clear();  // joins
    if (auto error = queue.error()) std::rethrow_exception(error);
}

}  // namespace qv
