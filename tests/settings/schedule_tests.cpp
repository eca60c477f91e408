#include <gtest/gtest.h>

#include "schedule.h"
#include "schedule_time.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

QDateTime At(const char* hms, int ms = 0) {
    return QDateTime(QDate(2024, 6, 1), QTime::fromString(hms, "HH:mm:ss").addMSecs(ms));
}

TEST(ScheduleTime, AcceptedForms) {
    const std::pair<const char*, QTime> times[] = {
        {"AM 09:00:00", {9, 0, 0}},  {"PM 09:00:00", {21, 0, 0}},  {"am 9:05:07", {9, 5, 7}},
        {"AM 12:30:00", {0, 30, 0}}, {"PM 12:30:00", {12, 30, 0}}, {"09:00:00 PM", {21, 0, 0}},
        {"21:15:00", {21, 15, 0}},   {"9:00", {9, 0, 0}},          {" 10:00:01 ", {10, 0, 1}}};
    for (const auto& [text, expected] : times) EXPECT_EQ(ParseScheduleTime(text), expected) << text;
    for (const char* bad :
         {"", "abc", "25:00:00", "PM 13:00:00", "AM 09:00:00 PM", "9:60:00", "9:00:00:00", "9"})
        EXPECT_FALSE(ParseScheduleTime(bad)) << bad;

    EXPECT_EQ(ParseScheduleDate("06/01/2024"), QDate(2024, 6, 1));
    EXPECT_EQ(ParseScheduleDate("6/1/2024"), QDate(2024, 6, 1));
    EXPECT_EQ(ParseScheduleDate("6/1/24"), QDate(2024, 6, 1));
    EXPECT_EQ(ParseScheduleDate("12-31-2025"), QDate(2025, 12, 31));
    for (const char* bad : {"", "2024/06/01", "13/01/2024", "02/30/2024", "6/1/024", "6/1-2024"})
        EXPECT_FALSE(ParseScheduleDate(bad)) << bad;
}

TEST(ScheduleTime, SecondsCountWholeSecondBoundaries) {
    EXPECT_EQ(SecondsBetween(At("09:59:59", 999), At("10:00:00")), 1);
    EXPECT_EQ(SecondsBetween(At("10:00:00", 999), At("10:00:00")), 0);
    EXPECT_EQ(SecondsBetween(At("10:00:01"), At("10:00:00")), -1);
}

// A loaded schedule with its dialog model, a fake clock and a stop command that behaves
// like the recording's: it reads scheduledRecordingRunning and ends the entry through
// endScheduledRecording.
struct ScheduleRig {
    explicit ScheduleRig(const QDateTime& now = At("08:00:00"), SettingsStore* reuse = nullptr)
        : clock(now), schedule(session, reuse ? *reuse : fresh.store(), clock, boxes) {
        session.hooks.startRecording = [this] { starts.push_back(clock.now()); };
        session.hooks.stopRecording = [this] {
            stops.push_back(clock.now());
            runningAtStop.push_back(session.sched.scheduledRecordingRunning);
            if (session.sched.armed == 1 && session.sched.scheduledRecordingRunning)
                endScheduledRecording(session);
        };
        schedule.load();
    }
    // The dialog's Save with START or STOP chosen.
    void save(bool start = true) {
        schedule.setStartSelected(start);
        schedule.save();
    }
    void type(int row, const QStringList& texts) {
        for (int f = 0; f < 4; ++f) schedule.setEntryField(row, f, texts[f]);
    }
    void enter(int row, const QStringList& texts) {
        type(row, texts);
        schedule.setEntryTicked(row, true);
    }
    // Poll ticks every 500 ms until `until`.
    void runUntil(const QDateTime& until) {
        while (clock.now() < until) {
            schedule.scheduleCheck();
            clock.advance(500);
        }
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    Schedule schedule;
    QVector<QDateTime> starts, stops;
    QVector<bool> runningAtStop;
};

const QStringList kEntry1 = {"06/01/2024", "AM 09:00:00", "06/01/2024", "AM 10:00:00"};
const QStringList kEntry2 = {"06/01/2024", "AM 11:00:00", "06/01/2024", "12:00:00"};

TEST(Schedule, FirstLoadStoresAnEmptyScheduleAndAnEntryRecordsItsWindow) {
    ScheduleRig rig;
    SettingsStore& store = rig.fresh.store();
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(store.ReadSetting(QString("O%1").arg(n), "absent"), ",,,,");
    EXPECT_EQ(store.ReadSetting("ck", "") + store.ReadSetting("order", ""), "000000");
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
    EXPECT_EQ(rig.schedule.form().hints[0], "( 06/01/2024 )");
    EXPECT_EQ(rig.schedule.form().hints[2], "( AM 08:00:00 )");
    EXPECT_EQ(rig.schedule.form().hints[3], "( AM 08:00:01 )");

    // An entry records from its start to one second after its stop.
    rig.enter(0, kEntry1);
    rig.save();
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, Schedule::SavedMessage());
    EXPECT_EQ(rig.boxes.shown[0].title, "Schedule recording");
    EXPECT_EQ(store.ReadSetting("O1", ""), "06/01/2024,AM 09:00:00,06/01/2024,AM 10:00:00,");
    EXPECT_EQ(store.ReadSetting("ck", ""), "10000");
    EXPECT_EQ(store.ReadSetting("order", ""), "1");

    rig.clock.setNow(At("08:59:58", 250));
    rig.runUntil(At("09:00:01"));
    ASSERT_EQ(rig.starts.size(), 1);
    EXPECT_EQ(rig.starts[0], At("09:00:00", 250));
    EXPECT_TRUE(rig.session.sched.scheduledRecordingRunning);
    EXPECT_TRUE(rig.session.sched.bannerShown);
    EXPECT_TRUE(rig.session.sched.bannerText.startsWith(" ~ "));
    EXPECT_TRUE(rig.session.sched.bannerText.endsWith("10:00:00"));

    rig.clock.setNow(At("09:59:59", 250));
    rig.runUntil(At("10:00:03"));
    ASSERT_EQ(rig.stops.size(), 1);
    EXPECT_EQ(rig.stops[0], At("10:00:01", 250));
    EXPECT_TRUE(rig.runningAtStop[0]);  // so the stop saves the report by itself
    EXPECT_EQ(rig.session.sched.armed, 0);
    EXPECT_FALSE(rig.session.sched.scheduledRecordingRunning);
    EXPECT_FALSE(rig.session.sched.bannerShown);
    EXPECT_EQ(rig.starts.size(), 1);
}

TEST(Schedule, SaveRefusesOverlappingOrEmptyWindows) {
    const QStringList none = {"", "", "", ""}, day = {"06/01/2024", "", "06/01/2024", ""};
    const struct {
        const char* name;
        QStringList first;
        const char *start, *stop;
        bool accepted;
    } rows[] = {{"second starts when first stops", kEntry1, "10:00:00", "10:30:00", false},
                {"second starts a second later", kEntry1, "10:00:01", "10:30:00", true},
                {"start equals stop", none, "10:00:00", "10:00:00", false},
                {"row one empty", none, "AM 11:00:00", "12:00:00", false}};
    for (const auto& row : rows) {
        ScheduleRig rig;
        rig.type(0, row.first);
        rig.enter(1, {day[0], row.start, day[2], row.stop});
        rig.save();
        ASSERT_EQ(rig.boxes.shown.size(), 1) << row.name;
        EXPECT_EQ(rig.boxes.shown[0].text,
                  row.accepted ? Schedule::SavedMessage() : Schedule::InputErrorMessage())
            << row.name;
        EXPECT_EQ(rig.schedule.form().ticked[1], row.accepted) << row.name;
        if (!row.accepted) {
            const auto focus = rig.schedule.takeFocusRequest();
            ASSERT_TRUE(focus) << row.name;
            EXPECT_EQ(focus->row, 1);
            EXPECT_EQ(focus->field, 0);
            EXPECT_EQ(rig.fresh.store().ReadSetting("ck", ""), "00000") << row.name;
            EXPECT_EQ(rig.session.sched.armed, 0) << row.name;  // a refused Save arms nothing
        }
    }
}

TEST(Schedule, TickingChecksEachFieldInOrder) {
    const std::pair<const char*, QString> rows[] = {{"", Schedule::MissingFieldMessage()},
                                                    {"abc", Schedule::InputErrorMessage()}};
    for (const auto& [startTime, message] : rows) {
        ScheduleRig rig;
        rig.enter(0, {"06/01/2024", startTime, "06/01/2024", "AM 10:00:00"});
        ASSERT_EQ(rig.boxes.shown.size(), 1);
        EXPECT_EQ(rig.boxes.shown[0].text, message);
        EXPECT_FALSE(rig.schedule.form().ticked[0]);
        const auto focus = rig.schedule.takeFocusRequest();
        ASSERT_TRUE(focus);
        EXPECT_EQ(focus->field, 1);
    }
}

TEST(Schedule, ReopenedAfterTheFirstEntryEndedWaitsForTheSecond) {
    test::FreshStore shared;
    {
        ScheduleRig first(At("08:00:00"), &shared.store());
        first.enter(0, kEntry1);
        first.enter(1, kEntry2);
        first.save();
        first.clock.setNow(At("08:30:00"));
        first.runUntil(At("08:31:00"));  // closed at 08:30 before anything started
        ASSERT_TRUE(first.starts.isEmpty());
    }
    ScheduleRig again(At("10:30:00"), &shared.store());
    EXPECT_FALSE(again.schedule.form().ticked[0]);
    EXPECT_TRUE(again.schedule.form().ticked[1]);
    EXPECT_TRUE(again.schedule.form().start);
    EXPECT_EQ(again.session.sched.currentEntry, 2);
    again.runUntil(At("11:00:00"));
    EXPECT_TRUE(again.starts.isEmpty());
    again.runUntil(At("11:00:01"));
    ASSERT_EQ(again.starts.size(), 1);
    EXPECT_EQ(again.starts[0], At("11:00:00"));
}

TEST(Schedule, StopWithAnInvalidRowDisarmsWithoutStoring) {
    ScheduleRig rig;
    rig.enter(0, kEntry1);
    rig.save();
    rig.enter(1, {"06/01/2024", "AM 09:30:00", "06/01/2024", "AM 11:30:00"});  // overlaps row 1
    rig.save(false);
    ASSERT_EQ(rig.boxes.shown.size(), 2);
    EXPECT_EQ(rig.boxes.shown[1].text, Schedule::InputErrorMessage());
    EXPECT_EQ(rig.fresh.store().ReadSetting("order", ""), "1");
    EXPECT_EQ(rig.fresh.store().ReadSetting("O2", ""), ",,,,");
    rig.clock.setNow(At("09:00:00"));
    rig.runUntil(At("09:00:05"));
    EXPECT_TRUE(rig.starts.isEmpty());
}

TEST(Schedule, RefusedStartAfterAFinishedScheduleRecordsNothing) {
    ScheduleRig rig;
    rig.enter(0, kEntry1);
    rig.save();
    rig.clock.setNow(At("09:00:00"));
    rig.runUntil(At("10:00:02"));
    ASSERT_EQ(rig.stops.size(), 1);

    // The finished entry's times are still in memory; a refused Save must not use them.
    rig.enter(1, {"06/01/2024", "AM 10:30:00", "06/01/2024", "AM 10:15:00"});
    rig.save();
    EXPECT_EQ(rig.boxes.shown.last().text, Schedule::InputErrorMessage());
    rig.runUntil(At("10:00:10"));
    EXPECT_EQ(rig.starts.size(), 1);
}

TEST(Schedule, TypingIntoTheRecordingEntryMovesOnWithoutStopping) {
    ScheduleRig rig;
    rig.enter(0, kEntry1);
    rig.enter(1, kEntry2);
    rig.save();
    rig.clock.setNow(At("09:00:00"));
    rig.schedule.scheduleCheck();
    ASSERT_TRUE(rig.session.sched.scheduledRecordingRunning);

    rig.schedule.setEntryField(0, 3, "AM 10:30:00");
    EXPECT_FALSE(rig.schedule.form().ticked[0]);
    EXPECT_FALSE(rig.session.sched.scheduledRecordingRunning);
    EXPECT_EQ(rig.session.sched.currentEntry, 2);
    EXPECT_EQ(rig.session.sched.entryStart, At("11:00:00"));
    EXPECT_TRUE(rig.stops.isEmpty());
}

TEST(Schedule, SaveIntoAnUnusableStoreIsNotReportedAsSavedAndToldOnce) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("regtest.ini");  // a folder where the file should be
    SettingsStore store(dir.filePath("regtest.ini"));
    ScheduleRig rig(At("08:00:00"), &store);
    rig.enter(0, kEntry1);
    rig.save();
    rig.save();
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_TRUE(
        rig.boxes.shown[0].text.contains(store.path() + " could not be read (this is a folder"))
        << rig.boxes.shown[0].text.toStdString();
    rig.clock.setNow(At("09:00:00"));
    rig.schedule.scheduleCheck();  // armed for this run all the same
    EXPECT_EQ(rig.starts.size(), 1);
}

TEST(Schedule, HandEditedStoreNeverArmsAnUnreadableEntry) {
    test::FreshStore shared;
    shared.store().WriteSetting("O1", "06/01/2024,soon");
    for (int n = 2; n <= 5; ++n) shared.store().WriteSetting(QString("O%1").arg(n), ",,,,");
    shared.store().WriteSetting("ck", "1");
    shared.store().WriteSetting("order", "1");
    ScheduleRig rig(At("08:00:00"), &shared.store());
    EXPECT_FALSE(rig.schedule.form().ticked[0]);
    EXPECT_EQ(rig.schedule.form().fields[0][1], "soon");
    EXPECT_EQ(rig.session.sched.armed, 0);
    rig.schedule.scheduleCheck();
    EXPECT_TRUE(rig.starts.isEmpty());
}

}  // namespace
}  // namespace quillon
