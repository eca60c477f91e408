// Start, Pause, Stop, Clear: states, menus, questions, and when closing must ask.
#include "recorder_fixture.h"
#include "window_state.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, StartWithoutLinkStaysIdleAFreshStartNamesTheRecordMenusFollow) {
    linkWorks = false;
    recorder.startRecording();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(Describe(messages.shown[0]), "|Link Error! Please check your connector.|0|0");
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.state, kRunIdle);
    linkWorks = true;
    session.settings.alarmEnabled = 1;
    session.stats.statFlags = {true, false, true, false};
    recorder.startRecording();
    EXPECT_EQ(session.rec.recordName, "20240131_100000");
    QString on;  // LIMIT, MAX, MIN, RS232, WAIT
    for (int i : {kIndLimit, kIndMax, kIndMin, kIndRS232, kIndWait})
        on += session.readout.indicator[i] ? '1' : '0';
    EXPECT_EQ(on, "11010");
    EXPECT_EQ(session.stats.avgSum, "0");
    EXPECT_EQ(session.rec.state, kRunRecording);
    EXPECT_TRUE(session.link.pollTimerOn);
    // Enabled while recording, paused, stopped.
    const std::pair<Control, const char*> menus[] = {
        {Control::FileMenu, "011"},    {Control::EditMenu, "011"},    {Control::RecordMenu, "111"},
        {Control::Options, "011"},     {Control::Schedule, "011"},    {Control::HelpMenu, "111"},
        {Control::OpenButton, "011"},  {Control::ClearButton, "011"}, {Control::StartButton, "011"},
        {Control::PauseButton, "101"}, {Control::StopButton, "111"},
    };
    const Control checks[3] = {Control::Start, Control::Pause, Control::Stop};
    for (int state = 0; state < 3; ++state) {
        if (state > 0) state == 1 ? recorder.pauseRecording() : recorder.stopRecording();
        for (const auto& [control, enabled] : menus)
            EXPECT_EQ(session.controls.isEnabled(control), enabled[state] == '1')
                << int(control) << " in state " << state;
        for (int i = 0; i < 3; ++i) EXPECT_EQ(checked(checks[i]), i == state) << i;
    }
}

TEST_F(RecorderTest, ResumeContinuesNumberingOneIntervalLaterUnlessTheTableWasReplaced) {
    restartAt(QTime(10, 0, 0));
    tick(1000);
    tick(300);
    recorder.pauseRecording();
    recorder.pauseRecording();  // already paused: nothing
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.state, kRunRecording);
    clock.advance(5000);
    recorder.startRecording();  // resume at 10:00:06.3
    EXPECT_EQ(session.rec.recordName, "20240131_100000");
    tick();
    EXPECT_EQ(records(), 2);
    tick(1000);
    tick(1000);
    EXPECT_EQ(column(0), QStringList({"0001", "0002", "0003", "0004"}));
    EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:01", "10:00:07", "10:00:08"}));
    // A report file opened while paused replaces the table: the next Start begins afresh.
    recorder.pauseRecording();
    session.rec.state = kRunViewingFile;
    session.hooks.resetDisplay();
    session.table.setRows(5);
    EXPECT_TRUE(checked(Control::Stop));
    recorder.startRecording();
    EXPECT_EQ(session.rec.nextRecord, 1);
    EXPECT_EQ(records(), 0);
}

TEST_F(RecorderTest, ClearAsksWhileRecordingAndStopOffersTheRecordsEvenAfterACommand) {
    restartAt(QTime(10, 0, 0));
    messages.replies = {MsgResult::No};
    recorder.clearRecording();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(Describe(messages.shown[0]), "Clear record!|Recording! Do you want to clear?|1|1");
    tick(1000);  // No: the recording goes on untouched
    EXPECT_EQ(records(), 2);
    recorder.clearRecording();  // Yes
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(records(), 0);
    // After a file command while paused Stop still offers the rows, ends REL and the schedule.
    restartAt(QTime(10, 0, 0));
    recorder.pauseRecording();
    session.rec.state = kRunCommand;
    session.stats.statFlags[3] = session.stats.relHighlighted = true;
    session.stats.relValue = "1.000";
    session.readout.indicator[kIndRel] = true;
    session.sched.armed = 1;
    session.sched.scheduledRecordingRunning = true;
    recorder.stopRecording();
    EXPECT_EQ(saveOffers, 2);
    EXPECT_EQ(records(), 1);
    EXPECT_FALSE(session.stats.statFlags[3] || session.stats.relHighlighted);
    EXPECT_FALSE(session.readout.indicator[kIndRel]);
    EXPECT_EQ(session.stats.relValue, "");
    EXPECT_EQ(scheduleEnds, 1);
    EXPECT_EQ(session.rec.state, kRunIdle);
    recorder.stopRecording();   // nothing open any more
    recorder.clearRecording();  // idle: no question
    EXPECT_EQ(saveOffers, 2);
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(records(), 0);
}

TEST_F(RecorderTest, ClosingAsksOnlyWhenRecordsWouldBeLost) {
    session.settings.autoSave = 0;
    restartAt(QTime(10, 0, 0));
    tick(1000);
    EXPECT_TRUE(ClosingLosesRecords(session)) << "recording";
    session.settings.autoSave = 1;
    EXPECT_FALSE(ClosingLosesRecords(session)) << "recording, saved by Link Off";
    recorder.pauseRecording();
    session.rec.state = kRunCommand;
    EXPECT_FALSE(ClosingLosesRecords(session)) << "paused after a file command: Stop saves";
    session.settings.autoSave = 0;
    session.rec.reportFile = "/d/a.csv";
    session.rec.reportRecords = records();
    EXPECT_FALSE(ClosingLosesRecords(session)) << "saved while paused";
    recorder.startRecording();
    tick(1000);
    EXPECT_TRUE(ClosingLosesRecords(session)) << "a record more after the save";
    recorder.stopRecording();
    session.rec.reportRecords = records();
    EXPECT_FALSE(ClosingLosesRecords(session)) << "stopped and saved";
    session.rec.reportFile.clear();
    session.rec.state = kRunViewingFile;
    EXPECT_FALSE(ClosingLosesRecords(session)) << "report opened";
}

}  // namespace
}  // namespace quillon
