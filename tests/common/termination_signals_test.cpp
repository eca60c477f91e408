#include "termination_signals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <csignal>
#include <vector>

using namespace quillon;

namespace {
void Ignore(int) {}
}  // namespace

// Each signal reaches the callback on the event loop, in order; the handlers that were there
// before come back afterwards.
TEST(TerminationSignals, SignalsReachTheEventLoopAndTheOldHandlersReturn) {
    struct sigaction mine = {};
    mine.sa_handler = Ignore;
    sigemptyset(&mine.sa_mask);
    struct sigaction before[3];
    const int numbers[] = {SIGTERM, SIGHUP, SIGINT};
    for (int i = 0; i < 3; ++i) ::sigaction(numbers[i], &mine, &before[i]);
    {
        std::vector<int> seen;
        TerminationSignals handler([&](int n) { seen.push_back(n); });
        ASSERT_TRUE(handler.installed());
        for (int s : numbers) ::raise(s);
        QElapsedTimer waited;
        waited.start();
        while (seen.size() < 3 && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        EXPECT_EQ(seen, std::vector<int>(std::begin(numbers), std::end(numbers)));
    }
    for (int i = 0; i < 3; ++i) {
        struct sigaction now = {};
        ::sigaction(numbers[i], &before[i], &now);
        EXPECT_EQ(now.sa_handler, &Ignore) << numbers[i];
    }
}
