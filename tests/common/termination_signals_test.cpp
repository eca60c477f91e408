#include "termination_signals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>

using namespace quillon;

namespace {
void Ignore(int) {}

// Signals reach the event loop in order; the former handlers come back afterwards.
TEST(TerminationSignals, SignalsReachTheEventLoopAndTheOldHandlersReturn) {
    const std::vector<int> numbers = {SIGTERM, SIGHUP, SIGINT};
    for (int n : numbers) std::signal(n, Ignore);
    {
        std::vector<int> seen;
        TerminationSignals handler([&](int n) { seen.push_back(n); });
        ASSERT_TRUE(handler.installed());
        for (int n : numbers) ::raise(n);
        QDeadlineTimer deadline(5000);
        while (seen.size() < 3 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(seen, numbers);
    }
    for (int n : numbers) EXPECT_EQ(std::signal(n, SIG_DFL), &Ignore) << n;
}
}  // namespace
