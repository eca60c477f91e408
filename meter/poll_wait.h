#pragma once
// The short waits of the meter link and the decoder: poll a condition until it holds
// or a time has passed on the program's clock.

#include <functional>

#include "clock.h"

namespace quillon {

// Runs between two polls of a wait. The program's default sleeps about 1 ms so a
// wait does not burn a processor core; tests advance a fake clock instead.
using IdleFn = std::function<void()>;
void SleepAboutOneMs();

// A wait on a clock that stands still (a fake clock nobody advances) still ends: once
// the clock has not moved for this many polls, or for as much real time as the wait
// is long, the time counts as up.
constexpr int kStalledPollLimit = 10000;

enum class TimeLimit {
    MoreThan,  // the wait ends once more than `ms` have passed
    AtLeast,   // the wait ends once `ms` or more have passed
};

// Polls `ready` until it returns true or the time is up, running `idle` between polls.
// Returns the last answer of `ready`. An elapsed time below zero restarts the count.
bool PollUntil(const Clock& clock, qint64 ms, TimeLimit limit, const std::function<bool()>& ready,
               const IdleFn& idle);

}  // namespace quillon
