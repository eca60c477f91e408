#include <gtest/gtest.h>

#include "schedule.h"
#include "schedule_time.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

QDateTime At(const char* hms, int ms = 0) {
    return QDateTime(QDate(2024, 6, 1), QTime::fromString(hms, "HH:mm:ss").addMSecs(ms));
}

TEST(ScheduleTime, AcceptedFormsAndWholeSeconds) {
    const std::pair<const char*, QTime> times[] = {
        {"AM 09:00:00", {9, 0, 0}},  {"PM 09:00:00", {21, 0, 0}},  {"am 9:05:07", {9, 5, 7}},
        {"AM 12:30:00", {0, 30, 0}}, {"PM 12:30:00", {12, 30, 0}}, {"09:00:00 PM", {21, 0, 0}},
        {"21:15:00", {21, 15, 0}},   {"9:00", {9, 0, 0}},          {" 10:00:01 ", {10, 0, 1}}};
    for (const auto& [text, expected] : times) EXPECT_EQ(ParseScheduleTime(text), expected) << text;
    for (const char* bad :
         {"", "abc", "25:00:00", "PM 13:00:00", "AM 09:00:00 PM", "9:60:00", "9:00:00:00", "9"})
        EXPECT_FALSE(ParseScheduleTime(bad)) << bad;
    const std::pair<const char*, QDate> dates[] = {{"06/01/2024", {2024, 6, 1}},
                                                   {"6/1/2024", {2024, 6, 1}},
                                                   {"6/1/24", {2024, 6, 1}},
                                                   {"12-31-2025", {2025, 12, 31}}};
    for (const auto& [text, expected] : dates) EXPECT_EQ(ParseScheduleDate(text), expected) << text;
    for (const char* bad : {"", "2024/06/01", "13/01/2024", "02/30/2024", "6/1/024", "6/1-2024"})
        EXPECT_FALSE(ParseScheduleDate(bad)) << bad;
    EXPECT_EQ(SecondsBetween(At("09:59:59", 999), At("10:00:00")), 1);
    EXPECT_EQ(SecondsBetween(At("10:00:00", 999), At("10:00:00")), 0);
    EXPECT_EQ(SecondsBetween(At("10:00:01"), At("10:00:00")), -1);
}

// A loaded schedule whose stop command ends the entry as the recording's does; `log` notes both.
struct ScheduleRig {
    explicit ScheduleRig(const QDateTime& now = At("08:00:00"), SettingsStore* reuse = nullptr)
        : clock(now), schedule(session, reuse ? *reuse : fresh.store(), clock, boxes) {
        session.hooks.startRecording = [this] { note("start"); };
        session.hooks.stopRecording = [this] {
            note(session.sched.scheduledRecordingRunning ? "stop scheduled" : "stop");
            if (session.sched.armed == 1 && session.sched.scheduledRecordingRunning)
                endScheduledRecording(session);
        };
        schedule.load();
    }
    void note(const QString& what) { log << what + " " + clock.now().toString("HH:mm:ss.zzz"); }
    void save(bool start = true) {  // the dialog's Save with START or STOP chosen
        schedule.setStartSelected(start);
        schedule.save();
    }
    void enter(int row, const QStringList& texts, bool tick = true) {
        for (int f = 0; f < 4; ++f) schedule.setEntryField(row, f, texts[f]);
        if (tick) schedule.setEntryTicked(row, true);
    }
    void runUntil(const QDateTime& until) {  // poll ticks every 500 ms
        for (; clock.now() < until; clock.advance(500)) schedule.scheduleCheck();
    }
    QStringList told() const {
        QStringList texts;
        for (const auto& box : boxes.shown) texts << box.text;
        return texts;
    }
    QString state() const {
        const auto& s = session.sched;
        const auto& t = schedule.form().ticked;
        return QString::asprintf("armed %d running %d banner %d entry %d ticked %d%d", s.armed,
                                 s.scheduledRecordingRunning, s.bannerShown, s.currentEntry, t[0],
                                 t[1]);
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    Schedule schedule;
    QStringList log;
};

const QStringList kEntry1 = {"06/01/2024", "AM 09:00:00", "06/01/2024", "AM 10:00:00"};
const QStringList kEntry2 = {"06/01/2024", "AM 11:00:00", "06/01/2024", "12:00:00"};

TEST(Schedule, FirstLoadStoresAnEmptyScheduleAndAnEntryRecordsItsWindow) {
    ScheduleRig rig;
    EXPECT_EQ(rig.fresh.stored("O1 O2 O3 O4 O5 ck order"), ",,,, ,,,, ,,,, ,,,, ,,,, 00000 0");
    const auto& hints = rig.schedule.form().hints;
    EXPECT_EQ(hints[0] + hints[2] + hints[3], "( 06/01/2024 )( AM 08:00:00 )( AM 08:00:01 )");
    // An entry records from its start to one second after its stop.
    rig.enter(0, kEntry1);
    rig.save();
    EXPECT_EQ(rig.told(), QStringList{Schedule::SavedMessage()});
    EXPECT_EQ(rig.boxes.shown[0].title, "Schedule recording");
    EXPECT_EQ(rig.fresh.stored("O1 ck order"),
              "06/01/2024,AM 09:00:00,06/01/2024,AM 10:00:00, 10000 1");
    rig.clock.setNow(At("08:59:58", 250));
    rig.runUntil(At("09:00:01"));
    EXPECT_EQ(rig.log, QStringList{"start 09:00:00.250"});
    EXPECT_EQ(rig.state(), "armed 1 running 1 banner 1 entry 1 ticked 10");
    rig.clock.setNow(At("09:59:59", 250));
    rig.runUntil(At("10:00:03"));
    // A stop while scheduled, so the stop saves the report by itself.
    EXPECT_EQ(rig.log, QStringList({"start 09:00:00.250", "stop scheduled 10:00:01.250"}));
    EXPECT_EQ(rig.state(), "armed 0 running 0 banner 0 entry 1 ticked 10");
}

// Refused Saves and ticks untick the row, focus its field and arm nothing.
TEST(Schedule, SaveAndTickRefuseBadEntries) {
    const QString saved = Schedule::SavedMessage(), refused = Schedule::InputErrorMessage();
    const struct {
        const char* name;
        bool rowOneFilled;  // with kEntry1, unticked
        const char *start, *stop;
        bool save;
        QString told;
        const char* focus;
    } rows[] = {{"starts as row one stops", true, "10:00:00", "10:30:00", true, refused, "1,0"},
                {"starts a second later", true, "10:00:01", "10:30:00", true, saved, "none"},
                {"start equals stop", true, "10:30:00", "10:30:00", true, refused, "1,0"},
                {"row one empty", false, "AM 11:00:00", "12:00:00", true, refused, "1,0"},
                {"tick, no start time", false, "", "10:00:00", false,
                 Schedule::MissingFieldMessage(), "1,1"},
                {"tick, bad start time", false, "abc", "10:00:00", false, refused, "1,1"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ScheduleRig rig;
        if (row.rowOneFilled) rig.enter(0, kEntry1, false);
        rig.enter(1, {"06/01/2024", row.start, "06/01/2024", row.stop});
        if (row.save) rig.save();
        EXPECT_EQ(rig.told(), QStringList{row.told});
        const auto f = rig.schedule.takeFocusRequest();
        EXPECT_EQ(f ? QString("%1,%2").arg(f->row).arg(f->field) : "none", row.focus);
        const bool ok = row.told == saved;
        EXPECT_EQ(rig.fresh.stored("ck"), ok ? "01000" : "00000");
        EXPECT_EQ(rig.state(), ok ? "armed 1 running 0 banner 0 entry 2 ticked 01"
                                  : "armed 0 running 0 banner 0 entry 1 ticked 00");
    }
}

// Typing into the recording entry moves on to the next without stopping; reopened after
// the first entry ended, the schedule waits for the second.
TEST(Schedule, MovesOnToTheSecondEntryWhenTypedIntoAndWhenReopenedLater) {
    test::FreshStore shared;
    {
        ScheduleRig first(At("08:00:00"), &shared.store());
        first.enter(0, kEntry1);
        first.enter(1, kEntry2);
        first.save();
        first.clock.setNow(At("09:00:00"));
        first.schedule.scheduleCheck();
        first.schedule.setEntryField(0, 3, "AM 10:30:00");
        EXPECT_EQ(first.state(), "armed 1 running 0 banner 0 entry 2 ticked 01");
        EXPECT_EQ(first.session.sched.entryStart, At("11:00:00"));
        EXPECT_EQ(first.log, QStringList{"start 09:00:00.000"});
    }
    ScheduleRig again(At("10:30:00"), &shared.store());
    EXPECT_EQ(again.state(), "armed 1 running 0 banner 0 entry 2 ticked 01");
    EXPECT_TRUE(again.schedule.form().start);
    again.runUntil(At("11:00:00"));
    EXPECT_TRUE(again.log.isEmpty());
    again.runUntil(At("11:00:01"));
    EXPECT_EQ(again.log, QStringList{"start 11:00:00.000"});
}

// STOP with an overlapping row disarms; a refused START never reuses a finished entry's times.
TEST(Schedule, RefusedSavesAfterAGoodOneRecordNothingMore) {
    ScheduleRig rig;
    rig.enter(0, kEntry1);
    rig.save();
    rig.enter(1, {"06/01/2024", "AM 09:30:00", "06/01/2024", "AM 11:30:00"});
    rig.save(false);
    EXPECT_EQ(rig.told(), QStringList({Schedule::SavedMessage(), Schedule::InputErrorMessage()}));
    EXPECT_EQ(rig.fresh.stored("order O2"), "1 ,,,,");
    rig.clock.setNow(At("09:00:00"));
    rig.runUntil(At("09:00:05"));
    EXPECT_TRUE(rig.log.isEmpty());

    ScheduleRig done;
    done.enter(0, kEntry1);
    done.save();
    done.clock.setNow(At("09:00:00"));
    done.runUntil(At("10:00:02"));
    ASSERT_EQ(done.log.size(), 2);
    done.enter(1, {"06/01/2024", "AM 10:30:00", "06/01/2024", "AM 10:15:00"});
    done.save();
    EXPECT_EQ(done.told().last(), Schedule::InputErrorMessage());
    done.runUntil(At("10:00:10"));
    EXPECT_EQ(done.log.size(), 2);
}

// An unusable store is told once and arms this run; an unreadable entry never arms.
TEST(Schedule, UnusableOrHandEditedStores) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("regtest.ini");  // a folder where the file should be
    SettingsStore store(dir.filePath("regtest.ini"));
    ScheduleRig rig(At("09:00:00"), &store);
    rig.enter(0, kEntry1);
    rig.save();
    rig.save();
    ASSERT_EQ(rig.told().size(), 1);
    EXPECT_TRUE(rig.told()[0].contains(store.path() + " could not be read (this is a folder"));
    rig.schedule.scheduleCheck();
    EXPECT_EQ(rig.log.size(), 1);

    test::FreshStore shared;
    for (const QString key : {"O2", "O3", "O4", "O5"}) shared.store().WriteSetting(key, ",,,,");
    for (const char* key : {"ck", "order"}) shared.store().WriteSetting(key, "1");
    shared.store().WriteSetting("O1", "06/01/2024,soon");
    ScheduleRig edited(At("08:00:00"), &shared.store());
    EXPECT_EQ(edited.schedule.form().fields[0][1], "soon");
    EXPECT_EQ(edited.state(), "armed 0 running 0 banner 0 entry 1 ticked 00");
    edited.schedule.scheduleCheck();
    EXPECT_TRUE(edited.log.isEmpty());
}

}  // namespace
}  // namespace quillon
