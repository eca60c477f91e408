// quillon-record's command line: what it accepts, and the one line it gives for what not.
#include "record_options.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

ParsedCommandLine Parse(const QStringList& args) {
    return ParseRecordCommandLine(QStringList{"quillon-record"} + args);
}

TEST(RecordOptions, AcceptedAndRejectedCommandLinesAndDurations) {
    const ParsedCommandLine all =
        Parse({"--port", "/dev/ttyUSB0", "--interval", "0.5", "--duration", "1h30m", "--title",
               "Bench, 2", "--time-format", "hh:nn:ss AM/PM", "--quiet"});
    ASSERT_TRUE(all.options) << qPrintable(all.text);
    const RecordOptions& o = *all.options;
    EXPECT_EQ(o.port + "|" + o.title.value_or("") + "|" + o.timeFormat.value_or(""),
              "/dev/ttyUSB0|Bench, 2|hh:nn:ss AM/PM");
    EXPECT_EQ(QList<qint64>({o.intervalMs.value_or(-1), o.durationMs, o.quiet}),
              QList<qint64>({500, 5400000, 1}));
    EXPECT_FALSE(o.dateFormat) << "the setting applies";
    const ParsedCommandLine com = Parse({"--com=3", "--count", "5", "--interval", "0"});
    ASSERT_TRUE(com.options);
    EXPECT_EQ(
        QList<qint64>({com.options->com, com.options->count, com.options->intervalMs.value_or(-1)}),
        QList<qint64>({3, 5, 0}));
    const std::pair<const char*, qint64> cases[] = {
        {"90", 90000},      {"90s", 90000},     {"0.5", 500},     {"15m", 900000},
        {"1.5h", 5400000},  {"1h30m", 5400000}, {"1d", 86400000}, {"1:30:00", 5400000},
        {"45:00", 2700000}, {"2h 5m", -1},      {"1:60:00", -1},  {"-5", -1},
        {"", -1},           {"m", -1},          {"400d", -1},     {"1e3", -1}};
    for (const auto& [text, ms] : cases) EXPECT_EQ(ParseDurationMs(text).value_or(-1), ms) << text;
    // Bad usage is one line and status 2.
    const std::pair<QStringList, const char*> bad[] = {
        {{"--colour"}, "unknown option 'colour' (see --help)"},
        {{"--count"}, "missing value"},
        {{"--interval", "-1"}, "--interval"},
        {{"--duration", "0"}, "--duration"},
        {{"--count", "0"}, "--count"},
        {{"--count", "5", "--duration", "10"}, "not both"},
        {{"--port", "/dev/ttyS0", "--com", "1"}, "not both"},
        {{"--com", "257"}, "--com"},
        {{"--date-format", "dd.mm.yy"}, "date format"},
        {{"out.csv"}, "unexpected argument"}};
    for (const auto& [args, says] : bad) {
        SCOPED_TRACE(says);
        const ParsedCommandLine p = Parse(args);
        EXPECT_FALSE(p.options);
        EXPECT_EQ(p.exitCode, 2);
        EXPECT_TRUE(p.text.startsWith("quillon-record: ") && p.text.contains(says) &&
                    !p.text.contains('\n'))
            << qPrintable(p.text);
    }
}

}  // namespace
}  // namespace quillon
