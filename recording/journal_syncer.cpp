#include "journal_syncer.h"

namespace quillon {

JournalSyncer::JournalSyncer(std::function<void()> sync, std::function<void()> first)
    : sync_(std::move(sync)), first_(std::move(first)), worker_([this] { run(); }) {}

JournalSyncer::~JournalSyncer() { finish(true); }

void JournalSyncer::written() {
    bool wasUnsynced = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        wasUnsynced = unsynced_;
        unsynced_ = true;
    }
    if (!wasUnsynced) wake_.notify_one();
}

void JournalSyncer::finish(bool syncWritten) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
        syncAtFinish_ = syncWritten;
    }
    wake_.notify_one();
    if (worker_.joinable()) worker_.join();
}

void JournalSyncer::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (first_) {
        lock.unlock();
        first_();
        lock.lock();
    }
    for (;;) {
        wake_.wait(lock, [this] { return unsynced_ || finishing_; });
        if (finishing_) break;
        // At most once every kEvery: the writes of the rest of the second join this sync.
        if (wake_.wait_until(lock, lastSync_ + kEvery, [this] { return finishing_; })) break;
        unsynced_ = false;
        lastSync_ = std::chrono::steady_clock::now();
        lock.unlock();
        sync_();
        lock.lock();
    }
    if (unsynced_ && syncAtFinish_) {
        unsynced_ = false;
        lock.unlock();
        sync_();
    }
}

}  // namespace quillon
