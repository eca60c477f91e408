#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>

#include "report_fixture.h"
#include "report_opener.h"

namespace quillon {
namespace {

using test::RowText;

class ReportOpenerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        s.hooks.resetDisplay = [this] { calls << "reset"; };
        callbacks.setPageBox = [this](const QString& t) { calls << "page " + t; };
        callbacks.showPage = [this](const QString& t) { calls << "show " + (s.graph.pageBox = t); };
    }
    ReportOpener Opener() { return ReportOpener(s, messages, dialogs, callbacks); }
    QString Write(const char* name, const QByteArray& bytes) {
        EXPECT_TRUE(test::WriteAll(dir.filePath(name), bytes));
        return dir.filePath(name);
    }
    bool Load(const char* name, const QByteArray& bytes) {
        return Opener().LoadReport(Write(name, bytes)).ok;
    }

    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    ReportOpenerCallbacks callbacks;
    QStringList calls;
};

TEST_F(ReportOpenerTest, RoundTripGivesTheSameBytes) {
    Session source;
    test::MakeRecording(source, 120);
    source.settings.graphTitle = "Line A, probe 2";
    source.table.setCell(7, 3, "OL");
    source.table.setCell(8, 3, "-OL");
    const QString first = Write("first.csv", ReportBytes(source));
    ASSERT_TRUE(Opener().LoadReport(first).ok);
    EXPECT_EQ(s.rec.fileTitle, "Line A, probe 2");
    s.settings.graphTitle = s.rec.fileTitle;  // the writer takes the title from the settings
    EXPECT_EQ(ReportBytes(s), test::ReadAll(first));
}

TEST_F(ReportOpenerTest, FillsHeaderFieldsStatisticsAndState) {
    Session source;
    test::MakeBenchTest(source);
    source.rec.recordedFunction = 4;
    source.rec.recordedRange = 3;
    s.settings.dateTimeFormats = {"dd/mm/yyyy", "hh:nn:ss AM/PM"};
    ASSERT_TRUE(QDir(dir.path()).mkdir("my.data"));
    ASSERT_TRUE(Load("my.data/bench.test.csv", ReportBytes(source)));
    EXPECT_EQ(s.rec.state, kRunViewingFile);
    EXPECT_EQ(QStringList({s.rec.recordName, s.rec.fileTitle, s.rec.functionName,
                           s.rec.shownFunction, s.rec.shownUnit, s.rec.finestDec}),
              QStringList({"bench.test", "Bench test", "OHM", "OHM", "KΩ", "2"}));
    EXPECT_EQ(s.rec.recordedFunction, 4);
    EXPECT_EQ(s.rec.recordedRange, 3);
    EXPECT_EQ(s.reading.rangeHigh, 600.f);
    EXPECT_EQ(s.stats.maxRow, (std::array<QString, 3>{"1.234", "V", "10:00:01 AM"}));
    EXPECT_EQ(s.stats.minRow, (std::array<QString, 3>{"1.230", "V", "10:00:00 AM"}));
    EXPECT_EQ(s.stats.avgRow, (std::array<QString, 2>{"1.232", "V"}));
    // Dates and times come back in the display formats now in force.
    ASSERT_EQ(s.table.rows(), 4);
    EXPECT_EQ(RowText(s, 2), "0002|01/05/2024|10:00:01 AM|1.234|V");
    EXPECT_EQ(RowText(s, 3), "||||");
    EXPECT_EQ(s.rec.fileDate, "01/05/2024");
    EXPECT_EQ(calls, (QStringList{"reset", "page 0", "show 1"}));
    for (Control c :
         {Control::FileMenu, Control::HelpMenu, Control::OpenButton, Control::HelpButton})
        EXPECT_TRUE(s.controls.isEnabled(c)) << int(c);
    EXPECT_FALSE(s.controls.isEnabled(Control::SaveReport));
    EXPECT_FALSE(s.controls.isEnabled(Control::PopupSaveReport));
}

// Records beyond the limit are left out and the user is told.
TEST_F(ReportOpenerTest, PageBoxShowsThePageOfTheLastRecordUpToTheLimit) {
    constexpr int kMax = ReportOpener::kMaxRecords;
    for (const auto& [records, page] : {std::pair(0, "0"),
                                        {1, "1"},
                                        {100, "1"},
                                        {101, "2"},
                                        {250, "3"},
                                        {kMax, "100"},
                                        {kMax + 5, "100"}}) {
        calls.clear();
        messages.shown.clear();
        s.rec.recordName.clear();  // no question about the file shown before
        dialogs.answers = {{test::WriteRecordingFile(dir.filePath("p.csv"), records), 0}};
        Opener().openReport();
        EXPECT_EQ(s.graph.pageBox, page) << records;
        EXPECT_EQ(s.table.recordCount(), std::min(records, kMax));
        EXPECT_EQ(calls.last(), QString("show ") + page);
        EXPECT_EQ(s.rec.fileDate, records ? "2024/05/01" : "");  // not the column header
        ASSERT_EQ(messages.shown.size(), records > kMax ? 1 : 0);
    }
    EXPECT_EQ(messages.shown[0].text, RecordsLeftOutMessage());
}

TEST_F(ReportOpenerTest, OpenCommandAsksBeforeReplacingARecordingAndKeepsItOnFailure) {
    const QString path = Write("r.csv", "Title, new\r\n");
    test::MakeBenchTest(s);
    s.rec.state = kRunCommand;
    Opener().openReport();  // cancelled: only idle again
    EXPECT_EQ(s.rec.state, kRunIdle);
    EXPECT_TRUE(messages.shown.isEmpty());
    dialogs.answers = {{path, 0}};
    messages.replies = {MsgResult::No};
    Opener().openReport();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              "All currently recorded data will be overwritten. Are you sure you want to open "
              "the file?");
    EXPECT_EQ(QStringList({messages.shown[0].title, dialogs.requests[0].title}),
              QStringList({"Warning!", "Open File"}));
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"Csv File(*.csv)"});
    EXPECT_EQ(s.rec.recordName, "20240501_100000");
    dialogs.answers = {{dir.filePath("missing.csv"), 0}};
    Opener().openReport();  // Yes by default, but the file cannot be read
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_TRUE(messages.shown[2].text.contains(dir.filePath("missing.csv")));
    EXPECT_EQ(s.table.recordCount(), 2);
    EXPECT_EQ(s.rec.state, kRunIdle);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_FALSE(Opener().LoadReport(dir.path()).ok);
    const QString fifo = dir.filePath("pipe.csv");  // would block in open() if tried
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_TRUE(Opener().LoadReport(fifo).errorText.startsWith(fifo));
    EXPECT_EQ(s.table.recordCount(), 2);
    dialogs.answers = {{path, 0}};
    Opener().openReport();
    EXPECT_EQ(s.rec.recordName, "r");
    EXPECT_EQ(s.table.recordCount(), 0);
}

TEST_F(ReportOpenerTest, DamagedLinesAreReadAsFarAsTheyGo) {
    const QByteArray file =
        "Title\r\n"               // no title field
        "Type, X\r\n"             // too short for a code
        "MAX, , V, 10:00:01\r\n"  // no value: unit and time cleared
        "MIN, 1.0\r\n"            // missing unit and time
        "AVG.\r\n\r\nNo, Date, Time, Value, Unit\r\n"
        " 0001, 31.02.2024, 25:61:00, 1.5, V\r\n"  // neither a date nor a time
        " 7\r\n\r\n"                               // number only; blank line: no record
        "free text, with, commas, and, more, fields\r\n"
        " 0004, 2024/05/01, 10:00:00, 2.0, V";  // no line end at the very end
    s.rec.recordedFunction = 2;
    ASSERT_TRUE(Load("damaged.csv", file));
    EXPECT_EQ(s.rec.fileTitle, "");
    EXPECT_EQ(s.rec.recordedFunction, 2);
    EXPECT_EQ(s.stats.maxRow, (std::array<QString, 3>{"", "", ""}));
    EXPECT_EQ(s.stats.minRow, (std::array<QString, 3>{"1.0", "", ""}));
    ASSERT_EQ(s.table.recordCount(), 4);
    EXPECT_EQ(RowText(s, 1), "0001|31.02.2024|25:61:00|1.5|V");  // the file's own text
    EXPECT_EQ(RowText(s, 2), "0007||||");
    EXPECT_EQ(RowText(s, 3), "free text|with|commas|and|more, fields");
    EXPECT_EQ(RowText(s, 4), "0004|2024/05/01|10:00:00|2.0|V");
    EXPECT_EQ(s.graph.pageBox, "1");
}

// Windows-1252 files, and UTF-8 files with a byte-order mark.
TEST_F(ReportOpenerTest, EightBitFilesKeepTheirSymbols) {
    ASSERT_TRUE(
        Load("legacy.csv",
             "Title, Oven \260C\r\nType, Temperature_(091)\r\nMAX, 21.5, \260C, 10:00:00\r\n"
             "\r\n\r\n\r\nNo\r\n 0001, 2024/05/01, 10:00:00, 21.5, \260C\r\n"));
    EXPECT_EQ(
        QStringList({s.rec.fileTitle, s.stats.maxRow[1], s.table.cell(1, 4), s.rec.shownUnit}),
        QStringList({"Oven °C", "°C", "°C", "°C"}));
    ASSERT_TRUE(Load("utf8.csv", "\357\273\277Title, 1 k\316\251\r\n"));
    EXPECT_EQ(s.rec.fileTitle, "1 kΩ");
}

// One date format for all dates of a file, the user's day and month order first:
// "7/12/2026" must not become July beside "13/12/2026".
TEST_F(ReportOpenerTest, DatesOfAFileAreReadWithOneFormat) {
    const struct {
        const char* current;
        QStringList dates, shown;
    } cases[] = {
        {"yyyy/mm/dd", {"7/12/2026", "13/12/2026"}, {"2026/12/07", "2026/12/13"}},
        {"dd/mm/yyyy", {"7/12/2026", "8/12/2026"}, {"07/12/2026", "08/12/2026"}},  // ambiguous
        {"dd/mm/yyyy", {"1/2/2027", "12/31/2026"}, {"02/01/2027", "31/12/2026"}},
        {"yyyy-mm-dd", {"3/4/2026", "soon", "4/4/2026"}, {"2026-03-04", "soon", "2026-04-04"}}};
    for (const auto& c : cases) {
        QByteArray file = "Title, t\r\nType, DCV_(021)\r\n\r\n\r\n\r\n\r\nNo\r\n";
        for (const QString& date : c.dates) file += " 1, " + date.toUtf8() + ", 10:00:00, 1, V\n";
        s.settings.dateTimeFormats[0] = c.current;
        ASSERT_TRUE(Load("dates.csv", file)) << c.current;
        QStringList shown;
        for (int row = 1; row <= s.table.recordCount(); ++row) shown << s.table.cell(row, 1);
        EXPECT_EQ(shown, c.shown) << c.current;
    }
}

}  // namespace
}  // namespace quillon
