#pragma once
// The power-cut safety of a recording journal without holding up the window: a worker
// thread makes what was written durable (fdatasync of the journal's descriptor) at most
// once a second and within a second of the last write. The writes themselves stay on the
// caller's thread, so a killed program still loses nothing that was written.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace quillon {

class JournalSyncer {
  public:
    static constexpr std::chrono::milliseconds kEvery{1000};

    // sync makes the writes so far durable. first, when given, runs on the worker before
    // anything else (the folder's sync once the file has its name).
    explicit JournalSyncer(std::function<void()> sync, std::function<void()> first = {});
    // finish(true) unless finished already.
    ~JournalSyncer();
    JournalSyncer(const JournalSyncer&) = delete;
    JournalSyncer& operator=(const JournalSyncer&) = delete;

    // Something was written: a sync follows within kEvery, the first one at once.
    void written();
    // Ends the worker and waits for it (the descriptor may be closed afterwards). With
    // syncWritten, writes not yet synced are synced first (the file stays for recovery).
    void finish(bool syncWritten);

  private:
    void run();

    std::function<void()> sync_;
    std::function<void()> first_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool unsynced_ = false;
    bool finishing_ = false;
    bool syncAtFinish_ = true;
    std::chrono::steady_clock::time_point lastSync_{};  // long ago: the first sync is at once
    std::thread worker_;  // last: started once everything above is set
};

}  // namespace quillon
