#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QRandomGenerator>
#include <QStringList>

#include "report_fixture.h"
#include "report_opener.h"
#include "report_writer.h"

namespace quillon {
namespace {

using test::MakeBenchTest;
using test::ReadAll;
using test::WriteAll;

class ReportOpenerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        s.hooks.resetDisplay = [this] {
            calls << "reset";
            s.rec.recordName.clear();
            s.rec.state = kRunIdle;
        };
        callbacks.setPageBox = [this](const QString& t) {
            calls << "page " + t;
            s.graph.pageBox = t;
        };
        callbacks.showPage = [this](const QString& t) {
            calls << "show " + t;
            s.graph.pageBox = t;
        };
    }
    ReportOpener Opener() { return ReportOpener(s, messages, dialogs, callbacks); }
    QString Write(const char* name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        WriteAll(path, bytes);
        return path;
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
    const QString first = dir.filePath("first.csv");
    ASSERT_TRUE(WriteReport(source, first).ok);

    ASSERT_TRUE(Opener().LoadReport(first).ok);
    // The writer takes the title from the settings; an opened file keeps its own.
    s.settings.graphTitle = s.rec.fileTitle;
    const QString second = dir.filePath("second.csv");
    ASSERT_TRUE(WriteReport(s, second).ok);
    EXPECT_EQ(ReadAll(second), ReadAll(first));
    EXPECT_EQ(s.rec.fileTitle, "Line A, probe 2");
}

TEST_F(ReportOpenerTest, FillsHeaderFieldsStatisticsAndState) {
    Session source;
    MakeBenchTest(source);
    source.rec.recordedFunction = 4;
    source.rec.recordedRange = 3;
    s.settings.dateTimeFormats = {"dd/mm/yyyy", "hh:nn:ss AM/PM"};
    ASSERT_TRUE(Opener().LoadReport(Write("bench.test.csv", ReportBytes(source))).ok);
    EXPECT_EQ(s.rec.state, kRunViewingFile);
    EXPECT_EQ(s.rec.recordName, "bench.test");
    EXPECT_EQ(s.rec.fileTitle, "Bench test");
    EXPECT_EQ(s.rec.recordedFunction, 4);
    EXPECT_EQ(s.rec.recordedRange, 3);
    EXPECT_EQ(s.rec.functionName, "OHM");
    EXPECT_EQ(s.rec.shownFunction, "OHM");
    EXPECT_EQ(s.rec.shownUnit, "KΩ");
    EXPECT_EQ(s.rec.finestDec, "2");
    EXPECT_EQ(s.reading.rangeHigh, 600.f);
    EXPECT_EQ(s.stats.maxRow, (std::array<QString, 3>{"1.234", "V", "10:00:01 AM"}));
    EXPECT_EQ(s.stats.minRow, (std::array<QString, 3>{"1.230", "V", "10:00:00 AM"}));
    EXPECT_EQ(s.stats.avgRow, (std::array<QString, 2>{"1.232", "V"}));
    // Dates and times come back in the display formats now in force.
    ASSERT_EQ(s.table.rows(), 4);
    EXPECT_EQ(test::RowText(s, 2), "0002|01/05/2024|10:00:01 AM|1.234|V");
    EXPECT_EQ(test::RowText(s, 3), "||||");
    EXPECT_EQ(s.rec.fileDate, "01/05/2024");
    EXPECT_EQ(calls, (QStringList{"reset", "page 0", "show 1"}));
    for (Control control :
         {Control::FileMenu, Control::EditMenu, Control::RecordMenu, Control::Options,
          Control::Schedule, Control::HelpMenu, Control::OpenButton, Control::SaveButton,
          Control::PrintButton, Control::StartButton, Control::PauseButton, Control::StopButton,
          Control::ClearButton, Control::HelpButton})
        EXPECT_TRUE(s.controls.isEnabled(control)) << int(control);
    EXPECT_FALSE(s.controls.isEnabled(Control::SaveReport));
    EXPECT_FALSE(s.controls.isEnabled(Control::PopupSaveReport));
}

TEST_F(ReportOpenerTest, PageBoxShowsThePageOfTheLastRecord) {
    for (const auto& [records, page] :
         {std::pair(0, "0"), {1, "1"}, {100, "1"}, {101, "2"}, {250, "3"}}) {
        const QString path = test::WriteRecordingFile(dir.filePath("p.csv"), records);
        calls.clear();
        ASSERT_TRUE(Opener().LoadReport(path).ok);
        EXPECT_EQ(s.graph.pageBox, page) << records;
        EXPECT_EQ(s.table.recordCount(), records);
        EXPECT_EQ(calls.last(), QString("show ") + page);
    }
    EXPECT_EQ(s.table.cell(250, 0), "0250");
}

TEST_F(ReportOpenerTest, OpenCommandAsksBeforeReplacingARecording) {
    const QString path = Write("r.csv", "Title, new\r\n");
    MakeBenchTest(s);
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
    EXPECT_EQ(messages.shown[0].title, "Warning!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(dialogs.requests[0].title, "Open File");
    EXPECT_EQ(dialogs.requests[0].filters, QStringList{"Csv File(*.csv)"});
    EXPECT_EQ(s.table.recordCount(), 2);
    EXPECT_EQ(s.rec.recordName, "20240501_100000");
    EXPECT_EQ(s.rec.state, kRunIdle);
    EXPECT_TRUE(calls.isEmpty());

    dialogs.answers = {{path, 0}};
    Opener().openReport();  // Yes by default
    EXPECT_EQ(s.rec.recordName, "r");
    EXPECT_EQ(s.table.recordCount(), 0);
}

TEST_F(ReportOpenerTest, UnreadableFileChangesNothingAndIsReported) {
    MakeBenchTest(s);
    s.rec.recordName.clear();  // no question
    dialogs.answers = {{dir.filePath("missing.csv"), 0}};
    Opener().openReport();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(dir.filePath("missing.csv")));
    EXPECT_EQ(s.table.recordCount(), 2);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_FALSE(Opener().LoadReport(dir.path()).ok);
}

TEST_F(ReportOpenerTest, DamagedLinesAreReadAsFarAsTheyGo) {
    const QByteArray file =
        "Title\r\n"               // no title field
        "Type, X\r\n"             // too short for a code
        "MAX, , V, 10:00:01\r\n"  // no value: unit and time cleared
        "MIN, 1.0\r\n"            // missing unit and time
        "AVG.\r\n"
        "\r\n"
        "No, Date, Time, Value, Unit\r\n"
        " 0001, 31.02.2024, 25:61:00, 1.5, V\r\n"  // neither a date nor a time
        " 7\r\n"                                   // number only
        "\r\n"                                     // blank line: no record
        "free text, with, commas, and, more, fields\r\n"
        " 0004, 2024/05/01, 10:00:00, 2.0, V";  // no line end at the very end
    const QString path = Write("damaged.csv", file);
    s.rec.recordedFunction = 2;
    s.rec.recordedRange = 1;
    ASSERT_TRUE(Opener().LoadReport(path).ok);
    EXPECT_EQ(s.rec.fileTitle, "");
    EXPECT_EQ(s.rec.recordedFunction, 2);
    EXPECT_EQ(s.stats.maxRow, (std::array<QString, 3>{"", "", ""}));
    EXPECT_EQ(s.stats.minRow, (std::array<QString, 3>{"1.0", "", ""}));
    ASSERT_EQ(s.table.recordCount(), 4);
    EXPECT_EQ(test::RowText(s, 1), "0001|31.02.2024|25:61:00|1.5|V");  // the file's own text
    EXPECT_EQ(test::RowText(s, 2), "0007||||");
    EXPECT_EQ(test::RowText(s, 3), "free text|with|commas|and|more, fields");
    EXPECT_EQ(test::RowText(s, 4), "0004|2024/05/01|10:00:00|2.0|V");
    EXPECT_EQ(s.graph.pageBox, "1");
}

TEST_F(ReportOpenerTest, Windows1252FilesKeepTheirSymbols) {
    const QByteArray file =
        "Title, Oven \xB0"
        "C\r\nType, Temperature_(091)\r\nMAX, 21.5, \xB0"
        "C, 10:00:00\r\n"
        "\r\n\r\n\r\nNo, Date, Time, Value, Unit\r\n"
        " 0001, 2024/05/01, 10:00:00, 21.5, \xB0"
        "C\r\n";
    ASSERT_TRUE(Opener().LoadReport(Write("legacy.csv", file)).ok);
    EXPECT_EQ(s.rec.fileTitle, "Oven °C");
    EXPECT_EQ(s.stats.maxRow[1], "°C");
    EXPECT_EQ(s.table.cell(1, 4), "°C");
    EXPECT_EQ(s.rec.shownUnit, "°C");

    // A UTF-8 report edited in an 8-bit editor: each line keeps its own symbols.
    ASSERT_TRUE(Opener()
                    .LoadReport(Write("mixed.csv",
                                      "Title, Oven \xB0"
                                      "C\r\nType, OHM_(041)\r\nMAX, 1.2, K\xCE\xA9, 10:00:00\r\n"))
                    .ok);
    EXPECT_EQ(s.rec.fileTitle, "Oven °C");
    EXPECT_EQ(s.stats.maxRow[1], "KΩ");

    // A UTF-8 file with a byte-order mark.
    ASSERT_TRUE(Opener().LoadReport(Write("utf8.csv", "\xEF\xBB\xBFTitle, 1 k\xCE\xA9\r\n")).ok);
    EXPECT_EQ(s.rec.fileTitle, "1 kΩ");
}

TEST_F(ReportOpenerTest, HeaderOnlyFileShowsNoDateAndNoRecords) {
    ASSERT_TRUE(Opener().LoadReport(Write("h.csv", "Title, Empty run\r\nType, DCV_(021)\r\n")).ok);
    EXPECT_EQ(s.table.recordCount(), 0);
    EXPECT_EQ(s.rec.fileTitle, "Empty run");
    EXPECT_EQ(s.rec.fileDate, "");  // not the column header "Date"
    EXPECT_EQ(s.graph.pageBox, "0");
}

TEST_F(ReportOpenerTest, OpeningAgainWhileEventsRunDuringALoadIsRefused) {
    const QString big = test::WriteRecordingFile(dir.filePath("big.csv"), 1200);
    const QString small = Write("small.csv", "Title, Other\r\n");
    int refreshes = 0;
    s.hooks.refresh = [&] {
        ++refreshes;
        EXPECT_FALSE(s.controls.isEnabled(Control::FileMenu));  // shown disabled while loading
    };
    ReportOpener* running = nullptr;
    QVector<LoadResult> nested;
    callbacks.processEvents = [&] { nested.append(running->LoadReport(small)); };
    ReportOpener opener = Opener();
    running = &opener;
    const LoadResult result = opener.LoadReport(big);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 1200);
    ASSERT_FALSE(nested.isEmpty());
    for (const LoadResult& r : nested) EXPECT_FALSE(r.ok);
    EXPECT_EQ(s.table.recordCount(), 1200);
    EXPECT_EQ(s.rec.fileTitle, "Long run");
    EXPECT_EQ(refreshes, 1);
    EXPECT_TRUE(s.controls.isEnabled(Control::FileMenu));
    // The guard is released: the next open works.
    callbacks.processEvents = {};
    EXPECT_TRUE(Opener().LoadReport(small).ok);
}

// The dates of a file are read with one format for all of them, the user's own day and
// month order first; "7/12/2026" must not become July beside "13/12/2026".
TEST_F(ReportOpenerTest, DatesOfAFileAreReadWithOneFormat) {
    const struct {
        const char* current;
        QStringList dates, shown;
    } cases[] = {
        // Day first where the file allows only that.
        {"yyyy/mm/dd", {"7/12/2026", "13/12/2026"}, {"2026/12/07", "2026/12/13"}},
        // Ambiguous dates follow the user's order.
        {"dd/mm/yyyy", {"7/12/2026", "8/12/2026"}, {"07/12/2026", "08/12/2026"}},
        // Month first where the file allows only that.
        {"dd/mm/yyyy", {"1/2/2027", "12/31/2026"}, {"02/01/2027", "31/12/2026"}},
        // Unreadable dates keep their text.
        {"yyyy-mm-dd", {"3/4/2026", "soon", "4/4/2026"}, {"2026-03-04", "soon", "2026-04-04"}}};
    for (const auto& c : cases) {
        QByteArray file =
            "Title, t\r\nType, DCV_(021)\r\n\r\n\r\n\r\n\r\nNo, Date, Time, Value, Unit\r\n";
        for (int i = 0; i < c.dates.size(); ++i)
            file += " " + QByteArray::number(i + 1) + ", " + c.dates[i].toUtf8() +
                    ", 10:00:00, 1.000, V\r\n";
        s.settings.dateTimeFormats[0] = c.current;
        ASSERT_TRUE(Opener().LoadReport(Write("dates.csv", file)).ok) << c.current;
        QStringList shown;
        for (int row = 1; row <= s.table.recordCount(); ++row) shown << s.table.cell(row, 1);
        EXPECT_EQ(shown, c.shown) << c.current;
    }
}

TEST_F(ReportOpenerTest, RecordsBeyondTheLimitAreLeftOutAndTheUserIsTold) {
    for (const int n : {ReportOpener::kMaxRecords, ReportOpener::kMaxRecords + 5}) {
        messages.shown.clear();
        s.rec.recordName.clear();  // no question about the file shown before
        dialogs.answers = {{test::WriteRecordingFile(dir.filePath("long.csv"), n), 0}};
        Opener().openReport();
        EXPECT_EQ(s.table.recordCount(), ReportOpener::kMaxRecords);
        const QStringList told =
            n > ReportOpener::kMaxRecords ? QStringList{RecordsLeftOutMessage()} : QStringList{};
        ASSERT_EQ(messages.shown.size(), told.size());
        if (!told.isEmpty()) EXPECT_EQ(messages.shown[0].text, told[0]);
    }
}

TEST(ReportNames, FileNameAndRecordNameOfAPath) {
    const struct {
        const char *path, *fileName, *recordName;
    } cases[] = {{"/home/u/Data/20240131_142500.csv", "20240131_142500.csv", "20240131_142500"},
                 {"/home/u/my.data/run.csv", "run.csv", "run"},
                 {"/home/u/run.2.csv", "run.2.csv", "run.2"},
                 {"run", "run", "run"},
                 {"/home/u/", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(FileNameOf(c.path), c.fileName) << c.path;
        EXPECT_EQ(RecordNameOfPath(c.path), c.recordName) << c.path;
    }
}

// The reader takes any file a user may pick: it must finish, never crash, and keep the
// table within its capacity.

struct Loader {
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    LoadResult Load(const QString& path) {
        s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        ReportOpenerCallbacks cb;
        cb.processEvents = [] {};
        return ReportOpener(s, messages, dialogs, cb).LoadReport(path);
    }
};

void ExpectSane(const Session& s) {
    EXPECT_GE(s.table.rows(), 2);
    EXPECT_LE(s.table.recordCount(), ReportOpener::kMaxRecords);
    EXPECT_TRUE(s.table.cell(s.table.rows() - 1, 0).isEmpty());
    EXPECT_TRUE(s.table.redraw());
    EXPECT_EQ(s.rec.state, kRunViewingFile);
}

QByteArray Mutate(QByteArray bytes, QRandomGenerator& rng) {
    const int edits = 1 + rng.bounded(20);
    for (int i = 0; i < edits && !bytes.isEmpty(); ++i) {
        const int at = rng.bounded(int(bytes.size()));
        const int kind = rng.bounded(4);
        if (kind == 0)
            bytes[at] = char(rng.bounded(256));
        else if (kind == 1)
            bytes.remove(at, 1 + rng.bounded(30));
        else if (kind == 2)
            bytes.insert(at, rng.bounded(2) ? "\r" : ", , ,");
        else
            bytes.truncate(at);
    }
    return bytes;
}

TEST(ReportReaderRobustness, MutatedAndRandomFilesLoadWithoutHarm) {
    QTemporaryDir dir;
    Session source;
    test::MakeRecording(source, 40);
    source.table.setCell(3, 4, "KΩ");
    const QByteArray good = ReportBytes(source);
    QRandomGenerator rng(20240501);
    const QString path = dir.filePath("m.csv");
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        if (round % 3 == 2) {
            bytes.resize(rng.bounded(4000));
            for (char& c : bytes) c = char(rng.bounded(256));
        } else {
            bytes = Mutate(good, rng);
        }
        ASSERT_TRUE(test::WriteAll(path, bytes));
        Loader loader;
        ASSERT_TRUE(loader.Load(path).ok) << round;
        ExpectSane(loader.s);
    }
}

TEST(ReportReaderRobustness, EdgeFilesLoad) {
    QTemporaryDir dir;
    QByteArray manyLines = "1\n2\n3\n4\n5\n6\n7\n";  // more records than a recording holds
    for (int i = 0; i < 12000; ++i) manyLines += " 1, 2024/05/01, 10:00:00, 1, V\n";
    const std::pair<QByteArray, int> cases[] = {{{}, 0},
                                                {"a\nb\nc\nd\ne\nf\ng\n", 0},
                                                {QByteArray(50, '\n'), 0},
                                                {QByteArray(2000, '\0'), 0},
                                                {"T, x\r\nType, (1\r\n", 0},  // type line too short
                                                {"T, x\r\nType, ABC_(x9z)\r\n", 0},
                                                {manyLines, ReportOpener::kMaxRecords}};
    for (const auto& [bytes, records] : cases) {
        const QString path = dir.filePath("e.csv");
        ASSERT_TRUE(test::WriteAll(path, bytes));
        Loader loader;
        ASSERT_TRUE(loader.Load(path).ok) << bytes.left(20).toStdString();
        ExpectSane(loader.s);
        EXPECT_EQ(loader.s.table.recordCount(), records) << bytes.left(20).toStdString();
    }
}

TEST(ReportReaderRobustness, NamedPipeIsRefusedInsteadOfWaitingForAWriter) {
    QTemporaryDir dir;
    const QString path = dir.filePath("pipe.csv");
    ASSERT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    Loader loader;
    test::MakeBenchTest(loader.s);
    const LoadResult result = loader.Load(path);  // would block in open() if tried
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.errorText.startsWith(path)) << result.errorText.toStdString();
    EXPECT_EQ(loader.s.table.recordCount(), 2);  // the shown recording is kept
}

// A large file of random bytes is read to its end without harm.
TEST(ReportReaderRobustness, FiftyMegabyteBinaryFileFinishes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bin");
    QByteArray bytes(50 * 1024 * 1024, '\0');
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(bytes.data()), bytes.size() / 4);
    ASSERT_TRUE(test::WriteAll(path, bytes));
    Loader loader;
    ASSERT_TRUE(loader.Load(path).ok);
    ExpectSane(loader.s);
}

// Opening a small report takes memory for its size, not the most a report may have: it
// works in a child process allowed only 24 MB more address space than it uses.
TEST(ReportReaderRobustness, SmallFileNeedsLittleMemory) {
    QTemporaryDir dir;
    const QString path = test::WriteRecordingFile(dir.filePath("small.csv"), 20);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        QFile status("/proc/self/status");
        if (!status.open(QIODevice::ReadOnly)) _exit(77);
        const QByteArray text = status.readAll();
        const qsizetype at = text.indexOf("VmSize:");
        if (at < 0) _exit(77);
        const qint64 usedKb = text.mid(at + 7, 20).trimmed().split(' ').first().toLongLong();
        const rlimit limit{rlim_t(usedKb + 24 * 1024) * 1024, rlim_t(usedKb + 24 * 1024) * 1024};
        if (usedKb <= 0 || setrlimit(RLIMIT_AS, &limit) != 0) _exit(77);
        try {
            Loader loader;
            _exit(loader.Load(path).records == 20 ? 0 : 1);
        } catch (...) {
            _exit(1);  // out of memory; never return into the test runner
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "no address space limit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the load ran out of memory";
}

}  // namespace
}  // namespace quillon
