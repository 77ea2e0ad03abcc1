#pragma once

#include <cstddef>
#include <functional>

namespace qv {

// The worker count for a request: 0 means one per core.
int workerCount(int requested);

// Runs work(block, worker) for every block on `threads` workers and done(block)
// on the calling thread, strictly in block order, as each block is ready.
// Workers run at most `window` blocks ahead of the last one done, so buffers
// indexed by block % window are never shared. With one thread everything runs
// on the calling thread. An exception from either function stops the rest
// and is rethrown here once the workers have ended.
void forEachBlockInOrder(std::size_t blocks, int threads, std::size_t window,
                         const std::function<void(std::size_t block, int worker)>& work,
                         const std::function<void(std::size_t block)>& done);

}  // namespace qv
