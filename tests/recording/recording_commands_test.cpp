// Start, Pause, Stop, Clear: states, menus, questions.
#include "recorder_fixture.h"

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
    EXPECT_TRUE(session.readout.indicator[kIndLimit]);
    EXPECT_TRUE(session.readout.indicator[kIndMax]);
    EXPECT_FALSE(session.readout.indicator[kIndMin]);
    EXPECT_TRUE(session.readout.indicator[kIndRS232]);
    EXPECT_FALSE(session.readout.indicator[kIndWait]);
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
    EXPECT_FALSE(session.rec.Running);
    EXPECT_EQ(session.rec.RunState, kRunRecording);
    clock.advance(5000);
    recorder.mnpause_Click();  // already paused: nothing
    EXPECT_TRUE(checked("mnpause"));

    recorder.mnstart_Click();  // resume at 10:00:06.3
    EXPECT_EQ(session.rec.recordName, "20240131_100000");
    feed("1.000");
    tick();
    EXPECT_EQ(records(), 2);
    clock.advance(1000);
    feed("1.000");
    tick();
    ASSERT_EQ(records(), 3);
    EXPECT_EQ(cell(3, 0), "0003");
    EXPECT_EQ(cell(3, 2), "10:00:07");
    clock.advance(1000);
    feed("1.000");
    tick();
    EXPECT_EQ(cell(4, 2), "10:00:08");
}

TEST_F(RecorderTest, StartStopStartOffersTheOldTableAndClearsIt) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    recorder.mnstop_Click();
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(records(), 1);  // Stop keeps the rows
    recorder.mnstart_Click();
    EXPECT_EQ(records(), 0);
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

TEST_F(RecorderTest, StopAfterACommandRanStillOffersTheRecords) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    recorder.mnpause_Click();
    // Stopping while a command (a file command while paused) left RunState at 3 still
    // offers the records for saving.
    session.rec.RunState = kRunCommand;
    recorder.mnstop_Click();
    EXPECT_EQ(saveOffers, 1);
    recorder.mnstop_Click();  // nothing open any more
    EXPECT_EQ(saveOffers, 1);
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
    EXPECT_FALSE(session.stats.StatFlags[3]);
    EXPECT_EQ(session.stats.relValue, "");
    EXPECT_FALSE(session.stats.relHighlighted);
    EXPECT_FALSE(session.readout.indicator[kIndRel]);
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

}  // namespace
}  // namespace quillon
