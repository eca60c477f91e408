#include "poll_wait.h"

#include <QElapsedTimer>
#include <chrono>
#include <thread>

namespace quillon {

void SleepAboutOneMs() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

bool PollUntil(const Clock& clock, qint64 ms, TimeLimit limit, const std::function<bool()>& ready,
               const IdleFn& idle) {
    qint64 start = clock.tickMs();
    qint64 last = start;
    int stalled = 0;
    QElapsedTimer standing;  // real time since the clock last moved
    standing.start();
    for (;;) {
        if (ready && ready()) return true;
        const qint64 now = clock.tickMs();
        qint64 elapsed = now - start;
        if (elapsed < 0) {
            start = now;
            elapsed = 0;
        }
        if (limit == TimeLimit::MoreThan ? elapsed > ms : elapsed >= ms) return false;
        if (now == last) {
            if (++stalled >= kStalledPollLimit || standing.elapsed() > ms) return false;
        } else {
            stalled = 0;
            last = now;
            standing.restart();
        }
        if (idle) idle();
    }
}

}  // namespace quillon
