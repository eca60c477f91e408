#pragma once
// A session with a record table filled the way the record step fills it, and the calls
// the record step makes after each record (statistics, then the plot).

#include <gtest/gtest.h>

#include <QTime>
#include <memory>

#include "clock.h"
#include "date_time_format.h"
#include "meter_tables.h"
#include "number_format.h"
#include "session.h"
#include "trend_graph.h"

namespace quillon::testing {

class RecordingFixture : public ::testing::Test {
  public:
    RecordingFixture() {
        s.settings.dateTimeFormats = {QStringLiteral("yyyy/mm/dd"), QStringLiteral("HH:nn:ss")};
        s.stats.statFlags = {true, true, true, false};
        s.graph.pageBox = QStringLiteral("1");
        s.rec.nextRecord = 1;
        graph = std::make_unique<TrendGraph>(s, clock);
        graph->drawEmptyFrame();
    }

    // Writes the next record (value as the meter shows it) and runs the record step's
    // statistics and plot calls. Time stamps are one second apart from 10:00:00.
    void Record(const QString& value, int func = 2, int range = 1) {
        const int n = s.rec.nextRecord;
        s.reading.valueText = value;
        s.reading.function = func;
        s.reading.range = range;
        RecordTable& t = s.table;
        const QString time = FormatTime(QTime(10, 0).addSecs(n - 1), s.settings.dateTimeFormats[1]);
        const QString cells[] = {FormatNumber(n, "0000"), "2024/01/31", time, value,
                                 UnitTable(func, range)};
        for (int c = 0; c < RecordTable::kColumns; ++c) t.setCell(n, c, cells[c]);
        t.addRow();
        const QString dec = DecimalTable(func, range);
        if (n == 1) {
            s.rec.recordedFunction = func;
            s.rec.recordedRange = range;
            s.rec.rangeChanged = false;
            s.rec.finestRange = QString::number(range);
            s.rec.finestDec = dec;
        } else if (range != s.rec.recordedRange) {
            s.rec.previousRange = s.rec.recordedRange;
            s.rec.recordedRange = range;
            s.rec.rangeChanged = true;
            if (range < s.rec.finestRange.toInt()) {
                s.rec.finestRange = QString::number(range);
                s.rec.finestDec = dec;
            }
        }
        s.readout.unit = UnitTable(func, range);
        t.currentRow = n;
        graph->statistics().UpdateMaxMin();
        graph->statistics().UpdateAverage();
        graph->PlotNewPoint();
        t.currentRow = n + 1;
        s.rec.nextRecord = n + 1;
    }

    void RecordMany(int count, const std::function<QString(int)>& valueOf) {
        for (int i = 0; i < count; ++i) Record(valueOf(i));
    }
    void TestBody() override {}  // also used on its own, inside a loop over cases

    Session s;
    FakeClock clock;
    std::unique_ptr<TrendGraph> graph;
};

}  // namespace quillon::testing
