// The record step: due records, time stamps, gaps instead of stale or made-up records,
// the record limit, the end of a recording on a function change.
#include "recorder_fixture.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, RecordsAtOnceThenEachIntervalLateTicksCatchUpAFunctionChangeEnds) {
    recorder.startRecording();
    tick();  // nothing on the readout yet: no record
    EXPECT_EQ(records(), 0);
    feed("-2.352");
    tick();
    EXPECT_EQ(line(1), "0001 2024/01/31 10:00:00 -2.352 V");
    EXPECT_EQ(session.rec.functionName, "F2");
    EXPECT_EQ(session.table.currentRow, 2);
    EXPECT_EQ(session.table.rows(), 3);
    tick(999);
    EXPECT_EQ(records(), 1);
    tick(1);
    EXPECT_EQ(line(2), "0002 2024/01/31 10:00:01 -2.352 V");
    EXPECT_EQ(session.rec.nextRecord, 3);
    // Statistics and plot ran once per record, with the new record as current row.
    EXPECT_EQ(statsCalls, 2);
    EXPECT_EQ(plottedRows, (QVector<int>{1, 2}));
    tick(500);
    feed("1.500");
    tick(1500);  // a late tick: two intervals due, the reading 1.5 s old at most
    EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:01", "10:00:02", "10:00:03"}));
    EXPECT_EQ(column(3), QStringList({"-2.352", "-2.352", "1.500", "1.500"}));
    // A change of function ends the recording: the save question over the new reading.
    QString shown, shownAtOffer;
    session.hooks.refresh = [&] { shown = session.readout.value; };
    recorder.calls().PromptUnsavedRecord = [&] { shownAtOffer = shown; };
    feed("0.015", 3);
    tick(1000);
    EXPECT_EQ(shownAtOffer, "0.015");
    EXPECT_TRUE(checked(Control::Stop));
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.nextRecord, 0);
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(session.readout.value + session.rec.recordName, "");
}

TEST_F(RecorderTest, FinestRangeFollowsTheLowestResistanceRange) {
    // Range and decimals of a record, then the finest range and decimals so far.
    const std::tuple<int, float, const char*> steps[] = {
        {3, 2, "3 2"}, {4, 1, "3 2"}, {2, 3, "2 3"}, {3, 0, "2 3"}};
    recorder.startRecording();
    for (const auto& [range, dec, finest] : steps) {
        feed("1.0", 4, range, dec);
        tick(1000);
        EXPECT_EQ(session.rec.finestRange + " " + session.rec.finestDec, finest) << range;
    }
    EXPECT_TRUE(session.rec.rangeChanged);
    EXPECT_EQ(session.rec.previousRange, 2);
    EXPECT_EQ(session.rec.recordedRange, 3);
    EXPECT_EQ(cell(1, 4), "Ω3");
}

// Intervals without a live reading stay empty: no record from a stale value, none made
// up afterwards; numbering goes on and the time column shows the gap.
TEST_F(RecorderTest, GapsInsteadOfStaleOrMadeUpRecords) {
    for (const bool ticking : {true, false}) {
        SCOPED_TRACE(ticking ? "meter silent, ticks going on" : "poll loop held up");
        restartAt(QTime(10, 0, 0));
        silence();
        for (int i = 0; i < 9; ++i) ticking ? tick(500) : clock.advance(500);
        feed("2.000");
        for (int i = 0; i < 4; ++i) tick(i == 0 ? 0 : 500);  // live again at 10:00:04.5
        EXPECT_EQ(column(0), QStringList({"0001", "0002", "0003"}));
        EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:05", "10:00:06"}));
    }
}

TEST_F(RecorderTest, TimeColumnKeepsStepWithFractionalAndZeroIntervalsAndOverMidnight) {
    // Interval, records, tick and the last record's time; 0: a record a tick, clock stamped.
    const std::tuple<int, int, int, const char*> cases[] = {
        {500, 21, 500, "10:00:10"}, {1500, 11, 1500, "10:00:15"}, {0, 4, 500, "10:00:01"}};
    for (const auto& [interval, n, tickMs, lastTime] : cases) {
        SCOPED_TRACE(interval);
        session.settings.recordIntervalMs = interval;
        restartAt(QTime(10, 0, 0));
        for (int i = 1; i < n; ++i) tick(tickMs);
        ASSERT_EQ(records(), n);
        EXPECT_EQ(cell(n, 2), lastTime);
    }
    session.settings.recordIntervalMs = 1000;
    restartAt(QTime(23, 59, 58));
    for (int i = 0; i < 3; ++i) tick(1000);
    EXPECT_EQ(column(2), QStringList({"23:59:58", "23:59:59", "00:00:00", "00:00:01"}));
    EXPECT_EQ(column(1), QStringList({"2024/01/31", "2024/01/31", "2024/02/01", "2024/02/01"}));
}

TEST_F(RecorderTest, RecordTenThousandStopsAndStartsAgainAtRowOne) {
    QString lastNumber;
    int rowsShown = 0, rowsShownAtStop = 0;
    session.hooks.refresh = [&] { rowsShown = session.table.rows(); };
    recorder.calls().PromptUnsavedRecord = [&] {
        ++saveOffers;
        lastNumber = cell(10000, 0);
        rowsShownAtStop = rowsShown;  // what the window shows under the save question
    };
    restartAt(QTime(10, 0, 0));
    for (int i = 1; i < 10000; ++i) tick(1000);
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(lastNumber, "10000");
    EXPECT_EQ(rowsShownAtStop, 10002);
    // The new recording starts empty, numbered from 1.
    EXPECT_TRUE(checked(Control::Start));
    EXPECT_EQ(records(), 0);
    feed("1.000");
    tick();
    EXPECT_EQ(cell(1, 0), "0001");
}

}  // namespace
}  // namespace quillon
