// The vertical scale of the graph page: Auto Range, Meter Range and Range.
#include <gtest/gtest.h>

#include "recording_fixture.h"

namespace quillon::testing {
namespace {

TEST(AutoRange, FitsThePageSpreadIntoSeventyUnits) {
    const struct {
        int range;  // DC volts: range 1 has three decimals, range 3 one
        std::vector<const char*> values;
        double yStep;
        float tickDn, tickUp;
    } cases[] = {
        // s below six resolutions: flat page, data 30 units above the bottom.
        {1, {"1.234", "1.230"}, 0.001, 1.2f, 1.28f},
        // s = 0.0143: YStep 0.014 would end at 1.98, so one resolution more.
        {1, {"1.000", "2.000"}, 0.015, 0.86f, 2.06f},
        // s = 0.0043 rounds to 0.004; one resolution more (0.005) would still end below
        // the top value, so the step grows until the page fits.
        {1, {"-1.500", "-1.200"}, 0.006, -1.62f, -1.14f},
        {3, {"230.0", "228.0"}, 1, 198, 278},  // s + 0.5 truncates to 0, so YStep is 1
        {3, {"-500.0", "400.0"}, 13, -630, 410},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values[0]);
        RecordingFixture t;
        for (const char* v : c.values) t.Record(v, 2, c.range);
        t.graph->statistics().ComputeGraphScale();
        EXPECT_NEAR(t.s.graph.YStep, c.yStep, 1e-9);
        EXPECT_FLOAT_EQ(t.s.settings.Tick_Dn, c.tickDn);
        EXPECT_FLOAT_EQ(t.s.settings.Tick_UP, c.tickUp);
    }
}

using FixedScales = RecordingFixture;

TEST_F(FixedScales, MeterRangeTakesTheOverloadLimitsAndRangeTheUsers) {
    s.settings.Graph_range = 1;
    s.reading.OLHigh = 60;
    s.reading.OLLow = -60;
    Record("1.000");
    graph->statistics().ComputeGraphScale();
    EXPECT_FLOAT_EQ(s.settings.Tick_UP, 60);
    EXPECT_FLOAT_EQ(s.settings.Tick_Dn, -60);
    EXPECT_DOUBLE_EQ(s.graph.YStep, 1.5);

    s.settings.Graph_range = 2;
    s.settings.Tick_UP = 2;
    s.settings.Tick_Dn = 10;  // given upside down: the step is still positive
    Record("100.000");        // far outside: drawn outside the plot, scale unchanged
    graph->statistics().ComputeGraphScale();
    EXPECT_FLOAT_EQ(s.settings.Tick_UP, 2);
    EXPECT_FLOAT_EQ(s.settings.Tick_Dn, 10);
    EXPECT_DOUBLE_EQ(s.graph.YStep, 0.1);
}

TEST_F(FixedScales, NothingChangesWithoutRecordsPageOrDecimalIndex) {
    s.graph.YStep = 7;
    graph->statistics().ComputeGraphScale();
    EXPECT_EQ(s.graph.YStep, 7);
    Record("1.000");
    s.graph.YStep = 7;
    s.graph.pageBox = "0";
    graph->statistics().ComputeGraphScale();
    EXPECT_EQ(s.graph.YStep, 7);
    s.graph.pageBox = "1";
    s.rec.finestDec = "9";  // not a decimal index of the tables
    graph->statistics().ComputeGraphScale();
    EXPECT_EQ(s.graph.YStep, 7);
}

}  // namespace
}  // namespace quillon::testing
