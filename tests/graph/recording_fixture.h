#pragma once
// A record table filled as the record step fills it, then the step's statistics and plot.
#include <gtest/gtest.h>

#include <QTime>

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
        graph.drawEmptyFrame();
    }

    // Records `value` as the meter shows it, one second after the record before, from 10:00:00.
    void Record(const QString& value, int func = 2, int range = 1) {
        const int n = s.rec.nextRecord;
        s.reading.valueText = value;
        s.reading.function = func;
        s.reading.range = range;
        const QString time = FormatTime(QTime(10, 0).addSecs(n - 1), s.settings.dateTimeFormats[1]);
        const QString cells[] = {FormatNumber(n, "0000"), "2024/01/31", time, value,
                                 UnitTable(func, range)};
        for (int c = 0; c < RecordTable::kColumns; ++c) s.table.setCell(n, c, cells[c]);
        s.table.addRow();
        const bool changed = n > 1 && range != s.rec.recordedRange;
        if (n == 1) {
            s.rec.recordedFunction = func;
            s.rec.rangeChanged = false;
        } else if (changed) {
            s.rec.previousRange = s.rec.recordedRange;
            s.rec.rangeChanged = true;
        }
        if (n == 1 || (changed && range < s.rec.finestRange.toInt())) {
            s.rec.finestRange = QString::number(range);
            s.rec.finestDec = DecimalTable(func, range);
        }
        s.rec.recordedRange = range;
        s.readout.unit = UnitTable(func, range);
        s.table.currentRow = n;
        graph.statistics().UpdateMaxMin();
        graph.statistics().UpdateAverage();
        graph.PlotNewPoint();
        s.table.currentRow = n + 1;
        s.rec.nextRecord = n + 1;
    }
    void RecordMany(int count, const std::function<QString(int)>& valueOf) {
        for (int i = 0; i < count; ++i) Record(valueOf(i));
    }
    void TestBody() override {}  // also made on its own, inside a loop over cases

    Session s;
    FakeClock clock;
    TrendGraph graph{s, clock};
};

}  // namespace quillon::testing
