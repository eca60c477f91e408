// What the status bar says and when closing must ask, over sessions the recording
// commands really leave behind.
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
    // A session as a freshly opened window leaves it.
    void reset() {
        session.settings = Settings{};
        session.settings.IntTime = 1000;
        session.settings.Fdt = {"yyyy/mm/dd", "HH:nn:ss"};
        session.link = LinkState{};
        session.readout = Readout{};
        session.rec = RecordingState{};
        session.sched = ScheduleState{};
        session.controls = ControlStates{};
        recorder.SetIdleState();
        recorder.InitGrid();
    }
    void savedTo(const QString& path) {
        session.rec.reportFile = path;
        session.rec.reportRecords = records();
    }
};

TEST_F(WindowStateTest, StatusLineSaysWhatIsGoingOn) {
    const struct {
        const char* name;
        std::function<void()> setUp;
        StatusLine expected;  // with the meter on /dev/ttyUSB0 while the link is up
    } cases[] = {
        {"idle at start", [] {}, {"Idle", "", "No meter", "", ""}},
        {"recording",
         [&] { record(3); },
         {"Recording", "3 records, interval 00:01", "/dev/ttyUSB0", "", ""}},
        {"one record",
         [&] { record(1); },
         {"Recording", "1 record, interval 00:01", "/dev/ttyUSB0", "", ""}},
        {"no live reading",
         [&] {
             record(2);
             session.readout.stale = true;
         },
         {"Waiting for the meter", "2 records, interval 00:01", "/dev/ttyUSB0", "", ""}},
        {"link lost, recording kept",
         [&] {
             record(2);
             session.link.LinkOn = false;
         },
         {"Waiting for the meter", "2 records, interval 00:01", "No meter", "", ""}},
        {"paused and saved",
         [&] {
             record(2);
             recorder.mnpause_Click();
             savedTo("/home/u/Data/a.csv");
         },
         {"Paused", "2 records, interval 00:01", "/dev/ttyUSB0", "",
          "Saved to /home/u/Data/a.csv"}},
        {"saved, then more records",
         [&] {
             record(2);
             savedTo("/home/u/Data/a.csv");
             feed("1.000");
             tick(1000);
         },
         {"Recording", "3 records, interval 00:01", "/dev/ttyUSB0", "", ""}},
        {"stopped and saved automatically",
         [&] {
             record(2);
             recorder.mnstop_Click();
             savedTo("/home/u/Data/a.csv");
         },
         {"Idle", "", "/dev/ttyUSB0", "", "Saved to /home/u/Data/a.csv"}},
        {"report opened, then a print command",
         [&] {
             record(2);
             recorder.mnstop_Click();
             session.rec.RunState = kRunViewingFile;
             session.controls.setEnabled("mnsaveData", false);
             savedTo("/tmp/old report.csv");
             session.rec.RunState = kRunCommand;
         },
         {"Viewing old report.csv", "", "/dev/ttyUSB0", "", ""}},
        {"schedule armed",
         [&] {
             session.sched.order = 1;
             session.sched.SchedStart = QDateTime(QDate(2024, 2, 1), QTime(8, 30));
         },
         {"Idle", "", "No meter", "Next start 2024/02/01 08:30:00", ""}},
        {"scheduled entry recording",
         [&] {
             session.sched.order = 1;
             session.sched.SchedStart = QDateTime(QDate(2024, 2, 1), QTime(8, 30));
             session.sched.SchedRunning = true;
         },
         {"Idle", "", "No meter", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        c.setUp();
        const StatusLine line = DescribeStatus(session, "/dev/ttyUSB0");
        EXPECT_EQ(line.state, c.expected.state);
        EXPECT_EQ(line.records, c.expected.records);
        EXPECT_EQ(line.port, c.expected.port);
        EXPECT_EQ(line.schedule, c.expected.schedule);
        EXPECT_EQ(line.saved, c.expected.saved);
    }
}

TEST_F(WindowStateTest, ClosingAsksOnlyWhenRecordsWouldBeLost) {
    const struct {
        const char* name;
        std::function<void()> setUp;
        bool loses;
    } cases[] = {
        {"nothing recorded", [] {}, false},
        {"recording started, no record yet", [&] { record(0); }, false},
        {"recording", [&] { record(2); }, true},
        {"recording, saved automatically at Link Off",
         [&] {
             session.settings.sav_Auto = 1;
             record(2);
         },
         false},
        {"scheduled recording",
         [&] {
             record(2);
             session.sched.SchedRunning = true;
         },
         false},
        {"paused after a file command: Stop does not save",
         [&] {
             session.settings.sav_Auto = 1;
             record(2);
             recorder.mnpause_Click();
             session.rec.RunState = kRunCommand;
         },
         true},
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
             savedTo("/home/u/Data/a.csv");
         },
         false},
        {"saved while paused, then resumed",
         [&] {
             record(2);
             recorder.mnpause_Click();
             savedTo("/home/u/Data/a.csv");
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
        reset();
        c.setUp();
        EXPECT_EQ(ClosingLosesRecords(session), c.loses);
    }
}

}  // namespace
}  // namespace quillon
