// The record step: due records, time stamps, gaps instead of stale or made-up records,
// the record limit and the end of a recording on a function change.
#include "recorder_fixture.h"

namespace quillon {
namespace {

TEST_F(RecorderTest, FirstRecordAtOnceThenOneIntervalLater) {
    recorder.mnstart_Click();
    tick();  // nothing shown yet on the readout: no record
    EXPECT_EQ(records(), 0);

    feed("-2.352");
    tick();
    ASSERT_EQ(records(), 1);
    EXPECT_EQ(cell(1, 0), "0001");
    EXPECT_EQ(cell(1, 1), "2024/01/31");
    EXPECT_EQ(cell(1, 2), "10:00:00");
    EXPECT_EQ(cell(1, 3), "-2.352");
    EXPECT_EQ(cell(1, 4), "V");
    EXPECT_EQ(session.rec.functionName, "F2");
    EXPECT_EQ(session.table.currentRow, 2);
    EXPECT_EQ(session.table.rows(), 3);

    tick(999);
    EXPECT_EQ(records(), 1);
    tick(1);
    ASSERT_EQ(records(), 2);
    EXPECT_EQ(cell(2, 0), "0002");
    EXPECT_EQ(cell(2, 2), "10:00:01");
    EXPECT_EQ(session.rec.RecNo, 3);
    // Statistics and plot ran once per record, with the new record as current row.
    EXPECT_EQ(statsCalls, 2);
    EXPECT_EQ(plottedRows, (QVector<int>{1, 2}));
}

TEST_F(RecorderTest, LateTickCatchesUpFromALiveReading) {
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    tick(500);
    feed("1.500");
    tick(1500);  // one tick came late: two intervals due, the reading 1.5 s old at most
    ASSERT_EQ(records(), 3);
    EXPECT_EQ(cell(3, 2), "10:00:02");
    EXPECT_EQ(cell(3, 3), "1.500");
}

// Intervals without a live reading stay empty: no record from a stale value, none made
// up afterwards; numbering goes on and the time column shows the gap.
TEST_F(RecorderTest, GapsInsteadOfStaleOrMadeUpRecords) {
    struct Case {
        const char* name;
        std::function<void()> gap;  // after record 1 at 10:00:00
        QStringList times;          // of every record after the gap's end plus one tick
    };
    const Case cases[] = {
        {"meter silent for 4 s, ticks going on",
         [&] {
             silence();
             for (int i = 0; i < 8; ++i) tick(500);
             feed("2.000");
             tick();
         },
         // At 10:00:01 the frame may be 1.5 s old: nothing until one is live again.
         {"10:00:00", "10:00:04"}},
        {"poll loop held up for 5.5 s",
         [&] {
             clock.advance(5500);
             feed("2.000");
             tick();
             tick(500);
         },
         {"10:00:00", "10:00:06"}},
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
         {"10:00:00", "10:00:21"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.mnstop_Click();
        clock.setNow(QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0)));
        recorder.mnstart_Click();
        feed("1.000");
        tick();
        c.gap();
        ASSERT_EQ(records(), c.times.size());
        for (int row = 1; row <= records(); ++row) {
            EXPECT_EQ(cell(row, 0), QString("%1").arg(row, 4, 10, QChar('0')));
            EXPECT_EQ(cell(row, 2), c.times[row - 1]) << "record " << row;
        }
        // Records go on each interval from the one that came back.
        feed("2.000");
        tick(1000);
        EXPECT_EQ(records(), c.times.size() + 1);
    }
}

TEST_F(RecorderTest, TimeColumnKeepsStepWithFractionalIntervals) {
    struct Case {
        const char* name;
        int intervalMs;
        int records;
        const char* lastTime;
    };
    const Case cases[] = {
        {"half second", 500, 21, "10:00:10"},
        {"one and a half", 1500, 11, "10:00:15"},
        {"two seconds", 2000, 4, "10:00:06"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        recorder.mnstop_Click();
        clock.setNow(QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0)));
        session.settings.IntTime = c.intervalMs;
        recorder.mnstart_Click();
        feed("1.000");
        tick();
        for (int i = 1; i < c.records; ++i) {
            clock.advance(c.intervalMs);
            feed("1.000");
            tick();
        }
        ASSERT_EQ(records(), c.records);
        EXPECT_EQ(cell(c.records, 2), c.lastTime);
    }
}

class MidnightTest : public RecorderTest {
  protected:
    MidnightTest() : RecorderTest(QDateTime(QDate(2024, 1, 31), QTime(23, 59, 58))) {}
};

TEST_F(MidnightTest, TimesContinueFromMidnightAndDateFollowsTheClock) {
    recorder.mnstart_Click();
    for (int i = 0; i < 4; ++i) {
        feed("0.001");
        tick(i == 0 ? 0 : 1000);
    }
    ASSERT_EQ(records(), 4);
    EXPECT_EQ(cell(2, 2), "23:59:59");
    EXPECT_EQ(cell(3, 2), "00:00:00");
    EXPECT_EQ(cell(4, 2), "00:00:01");
    EXPECT_EQ(cell(2, 1), "2024/01/31");
    EXPECT_EQ(cell(3, 1), "2024/02/01");
}

TEST_F(RecorderTest, ZeroIntervalRecordsOncePerTick) {
    session.settings.IntTime = 0;
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    tick(500);
    tick(500);
    tick(500);
    EXPECT_EQ(records(), 4);
    // The time column follows the clock instead of standing still.
    EXPECT_EQ(cell(1, 2), "10:00:00");
    EXPECT_EQ(cell(3, 2), "10:00:01");
    EXPECT_EQ(cell(4, 2), "10:00:01");
}

TEST_F(RecorderTest, RecordTenThousandStopsAndStartsAgainAtRowOne) {
    QString lastNumber;
    int rowsAtStop = 0;
    int rowsShown = 0, rowsShownAtStop = 0;
    session.hooks.Refresh = [&] { rowsShown = session.table.rows(); };
    recorder.calls().PromptUnsavedRecord = [&] {
        ++saveOffers;
        lastNumber = cell(10000, 0);
        rowsAtStop = session.table.rows();
        rowsShownAtStop = rowsShown;  // what the window shows under the save question
    };
    recorder.mnstart_Click();
    feed("1.000");
    tick();
    for (int i = 1; i < 10000; ++i) {
        clock.advance(1000);
        feed("1.000");
        tick();
    }

    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(lastNumber, "10000");
    EXPECT_EQ(rowsAtStop, 10002);
    EXPECT_EQ(rowsShownAtStop, 10002);
    // The new recording starts empty, numbered from 1.
    EXPECT_TRUE(checked("mnstart"));
    EXPECT_EQ(session.rec.RecNo, 1);
    EXPECT_EQ(records(), 0);
    feed("1.000");
    tick();
    EXPECT_EQ(cell(1, 0), "0001");
}

TEST_F(RecorderTest, FunctionChangeStopsAndClears) {
    QString shown, shownAtOffer;
    session.hooks.Refresh = [&] { shown = session.readout.value; };
    recorder.calls().PromptUnsavedRecord = [&] {
        ++saveOffers;
        shownAtOffer = shown;  // the save question stands over the new function's reading
    };
    recorder.mnstart_Click();
    feed("1.000", 2);
    tick();
    feed("0.015", 3);
    tick(1000);
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(shownAtOffer, "0.015");
    EXPECT_TRUE(checked("mnstop"));
    EXPECT_FALSE(session.rec.Running);
    EXPECT_EQ(session.rec.RecNo, 0);
    EXPECT_EQ(records(), 0);
    EXPECT_EQ(session.readout.value, "");
    EXPECT_EQ(session.rec.recordName, "");
}

TEST_F(RecorderTest, FinestRangeFollowsTheLowestResistanceRange) {
    struct Step {
        int range;
        float dec;
        const char* finestRange;
        const char* finestDec;
    };
    const Step steps[] = {{3, 2, "3", "2"}, {4, 1, "3", "2"}, {2, 3, "2", "3"}, {3, 0, "2", "3"}};
    recorder.mnstart_Click();
    for (const Step& s : steps) {
        feed("1.0", 4, s.range, s.dec);
        tick(1000);
        EXPECT_EQ(session.rec.finestRange, s.finestRange) << "range " << s.range;
        EXPECT_EQ(session.rec.finestDec, s.finestDec) << "range " << s.range;
    }
    EXPECT_TRUE(session.rec.RangeChanged);
    EXPECT_EQ(session.rec.PrevRange, 2);
    EXPECT_EQ(session.rec.RecRange, 3);
    EXPECT_EQ(cell(1, 4), "KΩ");
}

}  // namespace
}  // namespace quillon
