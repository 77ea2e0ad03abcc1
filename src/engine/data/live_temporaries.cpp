#include "data/live_temporaries.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <utility>

namespace qv {

// A mark: `state` is free, being filled, or live. The signal handler reads
// only live slots; a path buffer is written only while its slot is not live.
struct LiveSlot {
    enum : int { kFree = 0, kFilling = 1, kLive = 2 };
    std::atomic<int> state{kFree};
    std::unique_ptr<char[]> path;
    std::size_t capacity = 0;
    // The next free slot while this one is free (guarded by freeLock).
    LiveSlot* nextFree = nullptr;
};

namespace {

constexpr std::size_t kSlotsPerChunk = 128;

// Chunks are added and never freed, not even at exit, so that a handler can
// walk them at any moment without a lock.
struct Chunk {
    LiveSlot slots[kSlotsPerChunk];
    std::atomic<Chunk*> next{nullptr};
};

Chunk& firstChunk() {
    static Chunk* const chunk = new Chunk;
    return *chunk;
}

// Free slots wait on a list, so that taking one does not walk past every
// live one (a set of 100,000 files keeps that many live at once).
std::mutex freeLock;
LiveSlot* freeSlots = nullptr;
Chunk* lastChunk = nullptr;
std::size_t usedInLast = 0;

LiveSlot* claimSlot() {
    const std::lock_guard lock(freeLock);
    LiveSlot* slot = freeSlots;
    if (slot != nullptr) {
        freeSlots = slot->nextFree;
    } else {
        if (lastChunk == nullptr) lastChunk = &firstChunk();
        if (usedInLast == kSlotsPerChunk) {
            // Linked only once made, for a handler walking the chunks meanwhile.
            Chunk* fresh = new Chunk;
            lastChunk->next.store(fresh, std::memory_order_release);
            lastChunk = fresh;
            usedInLast = 0;
        }
        slot = &lastChunk->slots[usedInLast++];
    }
    slot->state.store(LiveSlot::kFilling, std::memory_order_relaxed);
    return slot;
}

void freeSlot(LiveSlot* slot) noexcept {
    slot->state.store(LiveSlot::kFree, std::memory_order_release);
    const std::lock_guard lock(freeLock);
    slot->nextFree = freeSlots;
    freeSlots = slot;
}

std::atomic<int> deferring{0};
std::atomic<int> deferredSignal{0};

[[noreturn]] void endBySignal(int signal) {
    removeLiveTemporaries();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    // Blocked while its handler runs: delivered, with the default action, as
    // soon as it is unblocked here.
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    raise(signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    _exit(128 + signal);
}

// Whoever takes the deferred signal (the handler or the last SignalsDeferred) acts on it.
void actOnDeferred() {
    if (deferring.load() != 0) return;
    if (const int signal = deferredSignal.exchange(0); signal != 0) endBySignal(signal);
}

void onTerminationSignal(int signal) {
    if (deferring.load() != 0) {
        deferredSignal.store(signal);
        actOnDeferred();  // the hold may have ended meanwhile
        return;
    }
    endBySignal(signal);
}

}  // namespace

LiveTemporary::LiveTemporary(const std::filesystem::path& path) : slot_(claimSlot()) {
    const std::string& text = path.native();
    if (slot_->capacity < text.size() + 1) {
        slot_->capacity = text.size() + 1;
        slot_->path = std::make_unique<char[]>(slot_->capacity);
    }
    std::memcpy(slot_->path.get(), text.c_str(), text.size() + 1);
    slot_->state.store(LiveSlot::kLive, std::memory_order_release);
}

LiveTemporary::LiveTemporary(LiveTemporary&& other) noexcept
    : slot_(std::exchange(other.slot_, nullptr)) {}

LiveTemporary& LiveTemporary::operator=(LiveTemporary&& other) noexcept {
    if (this != &other) {
        release();
        slot_ = std::exchange(other.slot_, nullptr);
    }
    return *this;
}

void LiveTemporary::release() noexcept {
    if (slot_ != nullptr) freeSlot(slot_);
    slot_ = nullptr;
}

void removeLiveTemporaries() noexcept {
    for (Chunk* chunk = &firstChunk(); chunk != nullptr;
         chunk = chunk->next.load(std::memory_order_acquire))
        for (LiveSlot& slot : chunk->slots)
            if (slot.state.load(std::memory_order_acquire) == LiveSlot::kLive)
                ::unlink(slot.path.get());
}

void removeTemporariesOnSignals() {
    firstChunk();  // made now, not inside a handler
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&action.sa_mask, signal);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores (nohup) stays ignored.
        struct sigaction before {};
        if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler == SIG_IGN) continue;
        sigaction(signal, &action, nullptr);
    }
}

SignalsDeferred::SignalsDeferred() {
    deferring.fetch_add(1);
}

SignalsDeferred::~SignalsDeferred() {
    deferring.fetch_sub(1);
    actOnDeferred();
}

}  // namespace qv
