// The record step: due records, time stamps, gaps instead of stale or made-up records,
// the record limit and the end of a recording on a function change.
#include "recorder_fixture.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, FirstRecordAtOnceThenOneIntervalLaterAndLateTicksCatchUp) {
    recorder.startRecording();
    tick();  // nothing shown yet on the readout: no record
    EXPECT_EQ(records(), 0);

    feed("-2.352");
    tick();
    ASSERT_EQ(records(), 1);
    EXPECT_EQ(line(1), "0001 2024/01/31 10:00:00 -2.352 V");
    EXPECT_EQ(session.rec.functionName, "F2");
    EXPECT_EQ(session.table.currentRow, 2);
    EXPECT_EQ(session.table.rows(), 3);

    tick(999);
    EXPECT_EQ(records(), 1);
    tick(1);
    ASSERT_EQ(records(), 2);
    EXPECT_EQ(line(2), "0002 2024/01/31 10:00:01 -2.352 V");
    EXPECT_EQ(session.rec.nextRecord, 3);
    // Statistics and plot ran once per record, with the new record as current row.
    EXPECT_EQ(statsCalls, 2);
    EXPECT_EQ(plottedRows, (QVector<int>{1, 2}));

    tick(500);
    feed("1.500");
    tick(1500);  // one tick came late: two intervals due, the reading 1.5 s old at most
    EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:01", "10:00:02", "10:00:03"}));
    EXPECT_EQ(column(3), QStringList({"-2.352", "-2.352", "1.500", "1.500"}));
}

// Intervals without a live reading stay empty: no record from a stale value, none made
// up afterwards; numbering goes on and the time column shows the gap.
TEST_F(RecorderTest, GapsInsteadOfStaleOrMadeUpRecords) {
    const struct {
        const char* name;
        std::function<void()> gap;  // after record 1 at 10:00:00
        const char* resumedAt;      // the time of record 2
    } cases[] = {
        // At 10:00:01 the frame may be 1.5 s old: nothing until one is live again.
        {"meter silent for 4 s, ticks going on",
         [&] {
             silence();
             for (int i = 0; i < 8; ++i) tick(500);
             feed("2.000");
             tick();
         },
         "10:00:04"},
        {"poll loop held up for 5.5 s",
         [&] {
             clock.advance(5500);
             feed("2.000");
             tick();
             tick(500);
         },
         "10:00:06"},
        {"no link for 20 s, then the meter is back",
         [&] {
             silence();
             clock.advance(20000);
             tick();  // the reading is 20 s old: nothing
             clock.advance(500);
             feed("2.000");
             tick();
             tick(500);
         },
         "10:00:21"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.stopRecording();
        clock.setNow(QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0)));
        recorder.startRecording();
        feed("1.000");
        tick();
        c.gap();
        EXPECT_EQ(column(2), QStringList({"10:00:00", c.resumedAt}));
        // Records go on each interval from the one that came back.
        feed("2.000");
        tick(1000);
        EXPECT_EQ(column(0), QStringList({"0001", "0002", "0003"}));
    }
}

TEST_F(RecorderTest, TimeColumnKeepsStepWithFractionalAndZeroIntervals) {
    const struct {
        int intervalMs, records, tickMs;
        const char* lastTime;
    } cases[] = {
        {500, 21, 500, "10:00:10"},
        {1500, 11, 1500, "10:00:15"},
        {2000, 4, 2000, "10:00:06"},
        {0, 4, 500, "10:00:01"},  // zero: a record every tick
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.intervalMs);
        recorder.stopRecording();
        clock.setNow(QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0)));
        session.settings.recordIntervalMs = c.intervalMs;
        recorder.startRecording();
        feed("1.000");
        tick();
        for (int i = 1; i < c.records; ++i) {
            feed("1.000");
            tick(c.tickMs);
        }
        ASSERT_EQ(records(), c.records);
        EXPECT_EQ(cell(c.records, 2), c.lastTime);
    }
    // The time column follows the clock instead of standing still.
    EXPECT_EQ(column(2), QStringList({"10:00:00", "10:00:00", "10:00:01", "10:00:01"}));
}

class MidnightTest : public RecorderTest {
  protected:
    MidnightTest() : RecorderTest(QDateTime(QDate(2024, 1, 31), QTime(23, 59, 58))) {}
};

TEST_F(MidnightTest, TimesContinueFromMidnightAndDateFollowsTheClock) {
    recorder.startRecording();
    for (int i = 0; i < 4; ++i) {
        feed("0.001");
        tick(i == 0 ? 0 : 1000);
    }
    EXPECT_EQ(column(2), QStringList({"23:59:58", "23:59:59", "00:00:00", "00:00:01"}));
    EXPECT_EQ(column(1), QStringList({"2024/01/31", "2024/01/31", "2024/02/01", "2024/02/01"}));
}

TEST_F(RecorderTest, RecordTenThousandStopsAndStartsAgainAtRowOne) {
    QString lastNumber;
    int rowsAtStop = 0, rowsShown = 0, rowsShownAtStop = 0;
    session.hooks.refresh = [&] { rowsShown = session.table.rows(); };
    recorder.calls().PromptUnsavedRecord = [&] {
        ++saveOffers;
        lastNumber = cell(10000, 0);
        rowsAtStop = session.table.rows();
        rowsShownAtStop = rowsShown;  // what the window shows under the save question
    };
    recorder.startRecording();
    feed("1.000");
    tick();
    for (int i = 1; i < 10000; ++i) {
        feed("1.000");
        tick(1000);
    }
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(lastNumber, "10000");
    EXPECT_EQ(rowsAtStop, 10002);
    EXPECT_EQ(rowsShownAtStop, 10002);
    // The new recording starts empty, numbered from 1.
    EXPECT_TRUE(checked(Control::Start));
    EXPECT_EQ(session.rec.nextRecord, 1);
    EXPECT_EQ(records(), 0);
    feed("1.000");
    tick();
    EXPECT_EQ(cell(1, 0), "0001");
}

TEST_F(RecorderTest, FunctionChangeStopsAndClears) {
    QString shown, shownAtOffer;
    session.hooks.refresh = [&] { shown = session.readout.value; };
    recorder.calls().PromptUnsavedRecord = [&] {
        ++saveOffers;
        shownAtOffer = shown;  // the save question stands over the new function's reading
    };
    recorder.startRecording();
    feed("1.000", 2);
    tick();
    feed("0.015", 3);
    tick(1000);
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(shownAtOffer, "0.015");
    EXPECT_TRUE(checked(Control::Stop));
    EXPECT_FALSE(session.rec.running);
    EXPECT_EQ(session.rec.nextRecord, 0);
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(session.readout.value + session.rec.recordName, "");
}

TEST_F(RecorderTest, FinestRangeFollowsTheLowestResistanceRange) {
    const struct {
        int range;
        float dec;
        const char* finest;  // range and decimals
    } steps[] = {{3, 2, "3 2"}, {4, 1, "3 2"}, {2, 3, "2 3"}, {3, 0, "2 3"}};
    recorder.startRecording();
    for (const auto& s : steps) {
        feed("1.0", 4, s.range, s.dec);
        tick(1000);
        EXPECT_EQ(session.rec.finestRange + " " + session.rec.finestDec, s.finest) << s.range;
    }
    EXPECT_TRUE(session.rec.rangeChanged);
    EXPECT_EQ(session.rec.previousRange, 2);
    EXPECT_EQ(session.rec.recordedRange, 3);
    EXPECT_EQ(cell(1, 4), "KΩ");
}

}  // namespace
}  // namespace quillon
