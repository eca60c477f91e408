// Start, Pause, Stop, Clear: states, menus, questions; when closing must ask, over sessions
// the recording commands really leave behind.
#include <functional>

#include "recorder_fixture.h"
#include "window_state.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, StartWithoutLinkShowsLinkErrorAndStaysIdle) {
    linkWorks = false;
    recorder.startRecording();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Link Error! Please check your connector.");
    EXPECT_EQ(messages.shown[0].title, "");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(checked(Control::Stop));
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.state, kRunIdle);
}

TEST_F(RecorderTest, FreshStartNamesTheRecordAndSetsIndicators) {
    session.settings.alarmEnabled = 1;
    session.stats.statFlags = {true, false, true, false};
    recorder.startRecording();
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
    EXPECT_EQ(session.rec.state, kRunRecording);
    EXPECT_TRUE(session.link.pollTimerOn);
}

TEST_F(RecorderTest, MenusFollowTheRecordingState) {
    struct Expect {
        Control control;
        bool recording, paused, stopped;
    };
    const Expect table[] = {
        {Control::FileMenu, false, true, true},    {Control::EditMenu, false, true, true},
        {Control::RecordMenu, true, true, true},   {Control::Options, false, true, true},
        {Control::Schedule, false, true, true},    {Control::HelpMenu, true, true, true},
        {Control::OpenButton, false, true, true},  {Control::ClearButton, false, true, true},
        {Control::StartButton, false, true, true}, {Control::PauseButton, true, false, true},
        {Control::StopButton, true, true, true},
    };
    const Control checks[3] = {Control::Start, Control::Pause, Control::Stop};
    auto expectState = [&](int which) {
        for (const Expect& e : table) {
            const bool want = which == 0 ? e.recording : which == 1 ? e.paused : e.stopped;
            EXPECT_EQ(session.controls.isEnabled(e.control), want)
                << int(e.control) << " in state " << which;
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(checked(checks[i]), i == which) << i;
    };
    recorder.startRecording();
    expectState(0);
    recorder.pauseRecording();
    expectState(1);
    recorder.stopRecording();
    expectState(2);
}

TEST_F(RecorderTest, StartPauseStartContinuesNumberingOneIntervalAfterResume) {
    recorder.startRecording();
    feed("1.000");
    tick();
    tick(1000);
    tick(300);
    recorder.pauseRecording();
    recorder.pauseRecording();  // already paused: nothing
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.state, kRunRecording);
    clock.advance(5000);
    EXPECT_TRUE(checked(Control::Pause));

    recorder.startRecording();  // resume at 10:00:06.3
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
    recorder.startRecording();
    feed("1.000");
    tick();
    messages.replies = {MsgResult::No};
    recorder.clearRecording();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "Recording! Do you want to clear?");
    EXPECT_EQ(messages.shown[0].title, "Clear record!");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    // No: the recording goes on untouched.
    EXPECT_TRUE(checked(Control::Start));
    EXPECT_TRUE(session.rec.running);
    tick(1000);
    EXPECT_EQ(records(), 2);

    messages.replies = {MsgResult::Yes};
    recorder.clearRecording();
    EXPECT_TRUE(checked(Control::Stop));
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(saveOffers, 1);

    recorder.clearRecording();  // idle: no question
    EXPECT_EQ(messages.shown.size(), 2);
}

// Stop keeps the rows and offers them, even after a command (a file command while paused)
// left state at 3; the next Start clears them.
TEST_F(RecorderTest, StopOffersTheRecordsAndStartClearsThem) {
    recorder.startRecording();
    feed("1.000");
    tick();
    recorder.pauseRecording();
    session.rec.state = kRunCommand;
    recorder.stopRecording();
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(records(), 1);
    recorder.stopRecording();  // nothing open any more
    EXPECT_EQ(saveOffers, 1);
    recorder.startRecording();
    EXPECT_EQ(records(), 0);
}

TEST_F(RecorderTest, StopEndsRelAndTheScheduledRecording) {
    recorder.startRecording();
    session.stats.statFlags[3] = true;
    session.stats.relValue = "1.000";
    session.stats.relHighlighted = true;
    session.readout.indicator[kIndRel] = true;
    session.sched.armed = 1;
    session.sched.scheduledRecordingRunning = true;
    recorder.stopRecording();
    EXPECT_FALSE(session.stats.statFlags[3] || session.stats.relHighlighted);
    EXPECT_FALSE(session.readout.indicator[kIndRel]);
    EXPECT_EQ(session.stats.relValue, "");
    EXPECT_EQ(scheduleEnds, 1);
    EXPECT_EQ(session.rec.state, kRunIdle);
}

TEST_F(RecorderTest, ResetWhilePausedMakesTheNextStartAFreshRecording) {
    recorder.startRecording();
    feed("1.000");
    tick();
    tick(1000);
    recorder.pauseRecording();
    // A report file opened while paused replaces the table.
    session.rec.state = kRunViewingFile;
    session.hooks.resetDisplay();
    session.table.setRows(5);
    session.table.setCell(1, 0, "0001");
    EXPECT_TRUE(checked(Control::Stop));

    recorder.startRecording();
    EXPECT_EQ(session.rec.nextRecord, 1);
    EXPECT_EQ(records(), 0);
}

class WindowStateTest : public RecorderTest {
  protected:
    // A recording of n records with live readings, the interval box showing 00:01.
    void record(int n) {
        recorder.startRecording();
        session.readout.limitCaption[2] = "00:01";
        for (int i = 0; i < n; ++i) {
            feed("1.000");
            tick(1000);
        }
    }
    // The session as a freshly opened window has it, then the case's own steps.
    void start(const std::function<void()>& setUp) {
        session.settings.autoSave = 0;
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
             session.settings.autoSave = 1;
             record(2);
         },
         false},
        {"paused after a file command: Stop still saves",
         [&] {
             session.settings.autoSave = 1;
             record(2);
             recorder.pauseRecording();
             session.rec.state = kRunCommand;
         },
         false},
        {"stopped, not saved",
         [&] {
             record(2);
             recorder.stopRecording();
         },
         true},
        {"stopped and saved",
         [&] {
             record(2);
             recorder.stopRecording();
             savedTo("/d/a.csv");
         },
         false},
        {"saved while paused, then resumed",
         [&] {
             record(2);
             recorder.pauseRecording();
             savedTo("/d/a.csv");
             recorder.startRecording();
             feed("1.000");
             tick(1000);
         },
         true},
        {"report opened",
         [&] {
             record(2);
             recorder.stopRecording();
             session.rec.state = kRunViewingFile;
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
