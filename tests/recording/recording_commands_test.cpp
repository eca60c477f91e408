// Start, Pause, Stop, Clear: states, menus, questions; when closing must ask, over sessions
// the recording commands really leave behind.
#include <functional>

#include "recorder_fixture.h"
#include "window_state.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, StartWithoutLinkShowsLinkErrorAndStaysIdle) {
    linkWorks = false;
    recorder.mnstart_Click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Link Error! Please check your connector.");
    EXPECT_EQ(messages.shown[0].title, "");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(checked("mnstop"));
    EXPECT_FALSE(session.rec.Running);
    EXPECT_EQ(session.rec.RunState, kRunIdle);
}

TEST_F(RecorderTest, FreshStartNamesTheRecordAndSetsIndicators) {
    session.settings.T1_beep = 1;
    session.stats.StatFlags = {true, false, true, false};
    recorder.mnstart_Click();
    EXPECT_EQ(session.rec.recordName, "20240131_100000");
    const auto& on = session.readout.indicator;
    EXPECT_EQ(QString("%1%2%3%4%5")
                  .arg(on[kIndLimit])
                  .arg(on[kIndMax])
                  .arg(on[kIndMin])
                  .arg(on[kIndRS232])
                  .arg(on[kIndWait]),
              "11010");
    EXPECT_EQ(session.stats.avgSum, "0");
    EXPECT_EQ(session.rec.RunState, kRunRecording);
    EXPECT_TRUE(session.link.timerEnabled);
}

TEST_F(RecorderTest, MenusFollowTheRecordingState) {
    struct Expect {
        const char* name;
        bool recording, paused, stopped;
    };
    const Expect table[] = {
        {"mnfile", false, true, true},  {"mnedit", false, true, true},
        {"mnrecord", true, true, true}, {"mnsetup", false, true, true},
        {"mnoder", false, true, true},  {"mnhelp", true, true, true},
        {"tbOpen", false, true, true},  {"tbClear", false, true, true},
        {"tbStart", false, true, true}, {"tbPause", true, false, true},
        {"tbStop", true, true, true},
    };
    const char* checks[3] = {"mnstart", "mnpause", "mnstop"};
    auto expectState = [&](int which) {
        for (const Expect& e : table) {
            const bool want = which == 0 ? e.recording : which == 1 ? e.paused : e.stopped;
            EXPECT_EQ(session.controls.isEnabled(e.name), want) << e.name << " in state " << which;
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(checked(checks[i]), i == which) << checks[i];
    };
    recorder.mnstart_Click();
    expectState(0);
    recorder.mnpause_Click();
    expectState(1);
    recorder.mnstop_Click();
    expectState(2);
}

TEST_F(RecorderTest, StartPauseStartContinuesNumberingOneIntervalAfterResume) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    tick(1000);
    tick(300);
    recorder.mnpause_Click();
    recorder.mnpause_Click();  // already paused: nothing
    EXPECT_FALSE(session.rec.Running);
    EXPECT_EQ(session.rec.RunState, kRunRecording);
    clock.advance(5000);
    EXPECT_TRUE(checked("mnpause"));

    recorder.mnstart_Click();  // resume at 10:00:06.3
    EXPECT_EQ(session.rec.recordName, "20240131_100000");
    feed("1.000");
    tick();
    EXPECT_EQ(records(), 2);
    tick(1000);
    tick(1000);
    EXPECT_EQ(column(0), QStringList({"0001", "0002", "0003", "0004"}));
    EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:01", "10:00:07", "10:00:08"}));
}

TEST_F(RecorderTest, ClearAsksOnlyWhileRecording) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    messages.replies = {MsgResult::No};
    recorder.mnclear_Click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Recording! Do you want to clear?");
    EXPECT_EQ(messages.shown[0].title, "Clear record!");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    // No: the recording goes on untouched.
    EXPECT_TRUE(checked("mnstart"));
    EXPECT_TRUE(session.rec.Running);
    tick(1000);
    EXPECT_EQ(records(), 2);

    messages.replies = {MsgResult::Yes};
    recorder.mnclear_Click();
    EXPECT_TRUE(checked("mnstop"));
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(saveOffers, 1);

    recorder.mnclear_Click();  // idle: no question
    EXPECT_EQ(messages.shown.size(), 2);
}

// Stop keeps the rows and offers them, even after a command (a file command while paused)
// left RunState at 3; the next Start clears them.
TEST_F(RecorderTest, StopOffersTheRecordsAndStartClearsThem) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    recorder.mnpause_Click();
    session.rec.RunState = kRunCommand;
    recorder.mnstop_Click();
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(records(), 1);
    recorder.mnstop_Click();  // nothing open any more
    EXPECT_EQ(saveOffers, 1);
    recorder.mnstart_Click();
    EXPECT_EQ(records(), 0);
}

TEST_F(RecorderTest, StopEndsRelAndTheScheduledRecording) {
    recorder.mnstart_Click();
    session.stats.StatFlags[3] = true;
    session.stats.relValue = "1.000";
    session.stats.relHighlighted = true;
    session.readout.indicator[kIndRel] = true;
    session.sched.order = 1;
    session.sched.SchedRunning = true;
    recorder.mnstop_Click();
    EXPECT_FALSE(session.stats.StatFlags[3] || session.stats.relHighlighted);
    EXPECT_FALSE(session.readout.indicator[kIndRel]);
    EXPECT_EQ(session.stats.relValue, "");
    EXPECT_EQ(scheduleEnds, 1);
    EXPECT_EQ(session.rec.RunState, kRunIdle);
}

TEST_F(RecorderTest, ResetWhilePausedMakesTheNextStartAFreshRecording) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    tick(1000);
    recorder.mnpause_Click();
    // A report file opened while paused replaces the table.
    session.rec.RunState = kRunViewingFile;
    session.hooks.ResetDisplay();
    session.table.setRows(5);
    session.table.setCell(1, 0, "0001");
    EXPECT_TRUE(checked("mnstop"));

    recorder.mnstart_Click();
    EXPECT_EQ(session.rec.RecNo, 1);
    EXPECT_EQ(records(), 0);
}

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
