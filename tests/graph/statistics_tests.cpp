// MAX, MIN, AVG, REL, the unit-prefix rule, the page MAX/MIN and the vertical scale.
#include <gtest/gtest.h>

#include "recording_fixture.h"
#include "unit_prefix.h"

namespace quillon::testing {
namespace {

TEST(ConvertUnit, PrefixRule) {
    const struct {
        int func;
        double value;
        const char *from, *to;
        std::optional<double> expected;
    } cases[] = {
        {4, 2.5, "MΩ", "KΩ", 2500},  {4, 950, "Ω", "KΩ", 0.95},       {5, 470, "nF", "uF", 0.47},
        {5, 1, "mF", "nF", 1e6},     {6, 12.3, "KHz", "MHz", 0.0123}, {6, 1.5, "MHz", "Hz", 1.5e6},
        {6, 2, " KHz ", "Hz", 2000}, {5, 3, "pF", "pF", 3},   // equal units, even unknown
        {2, 5, "mV", "V", 5},                                 // other functions never convert
        {5, 3, "pF", "nF", {}},      {6, 3, "kHz", "Hz", {}}  // no factor for the unit
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.from) + " to " + c.to);
        const auto got = ConvertUnit(c.func, c.value, QString::fromUtf8(c.from), c.to);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (got) {
            EXPECT_DOUBLE_EQ(*got, *c.expected);
        }
    }
}

using StatisticsTest = RecordingFixture;

TEST(RangeChange, HeldExtremesFollowTheNewUnit) {
    const struct {
        int func, range1;
        const char* value1;
        int range2;
        const char* value2;
        double max, min;
        const char* maxRecord;
    } cases[] = {{4, 0, "950", 1, "1.2", 1.2, 0.95, "2"},  // Ω to KΩ
                 {5, 2, "470.0", 3, "0.500", 0.5, 0.47, "2"},
                 {6, 2, "12.300", 5, "0.0100", 0.0123, 0.01, "1"},
                 {4, 4, "1.0000", 3, "900.00", 1000, 900, "1"}};
    for (const auto& c : cases) {
        RecordingFixture t;
        t.Record(c.value1, c.func, c.range1);
        t.Record(c.value2, c.func, c.range2);
        SCOPED_TRACE(c.value1);
        EXPECT_DOUBLE_EQ(NumberOr(t.s.stats.maxValue, 0), c.max);
        EXPECT_DOUBLE_EQ(NumberOr(t.s.stats.minValue, 0), c.min);
        EXPECT_EQ(t.s.stats.maxRecord, c.maxRecord);
        if (c.range1 == 0) {  // the shown rows keep the text and unit recorded
            EXPECT_EQ(t.s.stats.maxRow, (std::array<QString, 3>{"1.2", "KΩ", "10:00:01"}));
            EXPECT_EQ(t.s.stats.minRow, (std::array<QString, 3>{"950", "Ω", "10:00:00"}));
        }
    }
}

TEST_F(StatisticsTest, TiesOverloadsAndRel) {
    for (const char* v : {"5.000", "3.000", "5.000", "3.000"}) Record(v);
    EXPECT_EQ(s.stats.maxRecord, "1");
    EXPECT_EQ(s.stats.minRecord, "2");
    EXPECT_EQ(s.stats.maxRow[2], "10:00:00");
    const auto before = s.stats;
    Record("OL");
    Record("-OL");
    EXPECT_EQ(s.table.cell(5, RecordTable::ColValue), "OL");
    EXPECT_EQ(s.stats.maxValue, before.maxValue);
    EXPECT_EQ(s.stats.minValue, before.minValue);
    EXPECT_EQ(s.stats.avgCount, "4");
    EXPECT_EQ(s.stats.avgRow, (std::array<QString, 2>{"4.000", "V"}));  // the recording's decimals
    // REL takes the latest number while linked; a second press drops it.
    s.link.linkOn = true;
    s.rec.running = true;
    Record("1.234");
    StatisticsCalc& calc = graph.statistics();
    calc.toggleRelReference();
    EXPECT_EQ(QStringList({s.stats.relValue, s.stats.relUnit, s.stats.relTime}),
              QStringList({"1.234", "V", "10:00:06"}));
    EXPECT_TRUE(s.readout.indicator[kIndRel] && s.stats.statFlags[3] && s.stats.relHighlighted);
    calc.toggleRelReference();
    EXPECT_TRUE(s.stats.relValue.isEmpty());
    EXPECT_FALSE(s.readout.indicator[kIndRel] || s.stats.statFlags[3] || s.stats.relHighlighted);
    Record("OL");
    calc.toggleRelReference();  // latest record is an overload: nothing
    EXPECT_FALSE(s.stats.statFlags[3]);
    EXPECT_TRUE(s.stats.relValue.isEmpty());
    s.link.linkOn = false;
    Record("2.000");
    calc.toggleRelReference();  // link down: clears only
    EXPECT_FALSE(s.stats.statFlags[3]);
}

TEST_F(StatisticsTest, PageMaxMinConvertsUnitsAndLeavesOverloadsOut) {
    for (int i = 0; i < 100; ++i) Record("500.00", 4, 0);  // page 1 in Ω
    Record("0.7000", 4, 1);                                // page 2 starts in KΩ
    Record("450.00", 4, 0);                                // back in Ω: converted
    Record("OL", 4, 0);
    s.rec.recordedRange = 1;          // reference unit KΩ
    s.graph.lastPlottedValue = 0.2f;  // whatever was drawn last does not count
    s.graph.pageBox = "2";
    graph.statistics().ComputePageMaxMin();
    EXPECT_DOUBLE_EQ(NumberOr(s.stats.pageMax, 0), 0.7);
    EXPECT_DOUBLE_EQ(NumberOr(s.stats.pageMin, 0), 0.45);
}

// Auto Range fits the page's spread into seventy grid units.
TEST(AutoRange, FitsThePageSpreadIntoSeventyUnits) {
    const struct {
        int range;  // DC volts: range 1 has three decimals, range 3 one
        std::vector<const char*> values;
        double yStep;
        float tickDn, tickUp;
    } cases[] = {{1, {"1.234", "1.230"}, 0.001, 1.2f, 1.28f},   // below six resolutions: flat page
                 {1, {"1.000", "2.000"}, 0.015, 0.86f, 2.06f},  // 0.014 would end at 1.98: one more
                 {1, {"-1.500", "-1.200"}, 0.006, -1.62f, -1.14f},  // grows until the page fits
                 {3, {"230.0", "228.0"}, 1, 198, 278},  // s + 0.5 truncates to 0: step 1
                 {3, {"-500.0", "400.0"}, 13, -630, 410}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.values[0]);
        RecordingFixture t;
        for (const char* v : c.values) t.Record(v, 2, c.range);
        t.graph.statistics().ComputeGraphScale();
        EXPECT_NEAR(t.s.graph.valuePerGridUnit, c.yStep, 1e-9);
        EXPECT_FLOAT_EQ(t.s.settings.graphBottom, c.tickDn);
        EXPECT_FLOAT_EQ(t.s.settings.graphTop, c.tickUp);
    }
}

// Meter Range takes the overload limits, Range the user's; nothing changes without
// records, page or decimal index.
TEST_F(StatisticsTest, FixedScalesAndNoScale) {
    s.graph.valuePerGridUnit = 7;
    graph.statistics().ComputeGraphScale();
    EXPECT_EQ(s.graph.valuePerGridUnit, 7);
    Record("1.000");
    for (const char* page : {"0", "1"}) {
        s.graph.valuePerGridUnit = 7;
        s.graph.pageBox = page;
        s.rec.finestDec = page[0] == '0' ? "3" : "9";  // 9: not a decimal index of the tables
        graph.statistics().ComputeGraphScale();
        EXPECT_EQ(s.graph.valuePerGridUnit, 7) << page;
    }
    s.settings.graphRangeMode = 1;
    s.reading.rangeHigh = 60;
    s.reading.rangeLow = -60;
    graph.statistics().ComputeGraphScale();
    EXPECT_FLOAT_EQ(s.settings.graphTop, 60);
    EXPECT_FLOAT_EQ(s.settings.graphBottom, -60);
    EXPECT_DOUBLE_EQ(s.graph.valuePerGridUnit, 1.5);
    s.settings.graphRangeMode = 2;
    s.settings.graphTop = 2;
    s.settings.graphBottom = 10;  // given upside down: the step is still positive
    Record("100.000");            // far outside: drawn outside the plot, scale unchanged
    graph.statistics().ComputeGraphScale();
    EXPECT_FLOAT_EQ(s.settings.graphTop, 2);
    EXPECT_FLOAT_EQ(s.settings.graphBottom, 10);
    EXPECT_DOUBLE_EQ(s.graph.valuePerGridUnit, 0.1);
}

}  // namespace
}  // namespace quillon::testing
