// When closing must ask, over sessions the recording commands really leave behind.
#include "window_state.h"

#include <gtest/gtest.h>

#include <functional>

#include "recorder_fixture.h"

namespace quillon {
namespace {

class WindowStateTest : public RecorderTest {
  protected:
    // A recording of n records with live readings, the interval box showing 00:01.
    void record(int n) {
        recorder.mnstart_Click();
        session.readout.limitCaption[2] = "00:01";
        for (int i = 0; i < n; ++i) {
            feed("1.000");
            tick(1000);
        }
    }
    // The session as a freshly opened window has it, then the case's own steps.
    void start(const std::function<void()>& setUp) {
        session.settings.sav_Auto = 0;
        session.link = LinkState{};
        session.readout = Readout{};
        session.rec = RecordingState{};
        session.sched = ScheduleState{};
        session.controls = ControlStates{};
        recorder.SetIdleState();
        recorder.InitGrid();
        setUp();
    }
    void savedTo(const QString& path) {
        session.rec.reportFile = path;
        session.rec.reportRecords = records();
    }
};

TEST_F(WindowStateTest, ClosingAsksOnlyWhenRecordsWouldBeLost) {
    const struct {
        const char* name;
        std::function<void()> setUp;
        bool loses;
    } cases[] = {
        {"recording", [&] { record(2); }, true},
        {"recording saved automatically by Link Off",
         [&] {
             session.settings.sav_Auto = 1;
             record(2);
         },
         false},
        {"paused after a file command: Stop still saves",
         [&] {
             session.settings.sav_Auto = 1;
             record(2);
             recorder.mnpause_Click();
             session.rec.RunState = kRunCommand;
         },
         false},
        {"stopped, not saved",
         [&] {
             record(2);
             recorder.mnstop_Click();
         },
         true},
        {"stopped and saved",
         [&] {
             record(2);
             recorder.mnstop_Click();
             savedTo("/d/a.csv");
         },
         false},
        {"saved while paused, then resumed",
         [&] {
             record(2);
             recorder.mnpause_Click();
             savedTo("/d/a.csv");
             recorder.mnstart_Click();
             feed("1.000");
             tick(1000);
         },
         true},
        {"report opened",
         [&] {
             record(2);
             recorder.mnstop_Click();
             session.rec.RunState = kRunViewingFile;
         },
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.setUp);
        EXPECT_EQ(ClosingLosesRecords(session), c.loses);
    }
}

}  // namespace
}  // namespace quillon
