// quillon-record as its own process, with no display at all, against the simulated
// meter: the report QUILLON's window reads, the end on a signal, the clear statuses; and a
// captured line played back to quillon-record and to the window, which record the same.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <csignal>
#include <fstream>

#include "../app/private_home.h"
#include "capture_file.h"
#include "options.h"
#include "program.h"
#include "report_opener.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::Home;
using testing::RunUntil;
using testing::SimProcess;

// DC volts rising by one step a frame (four frames a second): every poll reads a new value.
const char kRamp[] = "func dcv; range 1; ramp 0 5 100";

class Recorder {
  public:
    Recorder(const Home& home, const QString& ports, const QStringList& args) {
        process.setProcessEnvironment(home.environment(ports));
        process.start(QCoreApplication::applicationDirPath() + "/quillon-record", args);
    }
    ~Recorder() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(5000);
    }
    // Waits for the end; false when it did not come within ms.
    bool ends(int ms) {
        const bool ended = process.waitForFinished(ms);
        out += QString::fromUtf8(process.readAllStandardOutput());
        err += QString::fromUtf8(process.readAllStandardError());
        return ended && process.exitStatus() == QProcess::NormalExit;
    }
    QStringList records() const { return out.split('\n', Qt::SkipEmptyParts); }
    void kill(int signal) { ::kill(pid_t(process.processId()), signal); }

    QProcess process;
    QString out, err;
};

#define SKIP_WITHOUT_PROGRAMS()                                                                  \
    if (!QFileInfo(QCoreApplication::applicationDirPath() + "/quillon-record").isExecutable() || \
        !QFileInfo(SimProcess::program()).isExecutable())                                        \
    GTEST_SKIP() << "quillon-record or the meter simulator is not built"

struct Report {
    LoadResult loaded;
    std::shared_ptr<Session> session = std::make_shared<Session>();
    const Session& s() const { return *session; }
    // Number, value and unit of each record, then the MAX, MIN and AVG rows: what must
    // match between two recordings of the same frames (date and time are when they ran).
    std::string values() const {
        QStringList v;
        for (int row = 1; row <= loaded.records; ++row)
            for (int col : {0, 3, 4}) v << s().table.cell(row, col);
        const Statistics& st = s().stats;
        v << st.maxRow[0] << st.maxRow[1] << st.minRow[0] << st.minRow[1] << st.avgRow[0]
          << st.avgRow[1];
        return v.join(' ').toStdString();
    }
};

// The report as QUILLON's window opens it.
Report Open(const QString& path) {
    Report r;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    r.loaded = ReportOpener(*r.session, boxes, dialogs).LoadReport(path);
    return r;
}

// The records printed as they were taken are the report's, as the window's reader opens
// it, with the title setting and statistics; no journal stays.
Report ExpectPrintedRecordsInTheReport(const Recorder& run, const Home& home, const QString& path,
                                       int records) {
    const Report report = Open(path);
    EXPECT_EQ(report.loaded.records, records) << qPrintable(report.loaded.errorText);
    const QStringList printed = run.records();
    EXPECT_EQ(printed.size(), records) << qPrintable(run.out);
    for (int row = 1; row <= qMin(records, int(printed.size())); ++row) {
        QStringList cells;
        for (int c = 0; c < RecordTable::kColumns; ++c) cells << report.s().table.cell(row, c);
        EXPECT_EQ(printed[row - 1], cells.join(','));
    }
    EXPECT_EQ(report.s().rec.fileTitle, "Night run") << "the title setting";
    EXPECT_FALSE(report.s().stats.avgRow[0].isEmpty());
    EXPECT_TRUE(home.journalFiles().isEmpty());
    return report;
}

TEST(RecordEndToEnd, SigIntEndsTheRunWithItsRecordsInTheReport) {
    SKIP_WITHOUT_PROGRAMS();
    SimProcess meter({"-e", kRamp});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    Home home(0);
    const QString out = home.reports() + "run.csv";
    Recorder run(home, meter.linkPath(), {"--interval", "1", "--out", out, "--quiet"});
    ASSERT_TRUE(RunUntil(
        [&] {
            run.out += QString::fromUtf8(run.process.readAllStandardOutput());
            return run.records().size() >= 3;
        },
        30000));
    run.kill(SIGINT);
    ASSERT_TRUE(run.ends(30000)) << qPrintable(run.err);
    EXPECT_EQ(run.process.exitCode(), 0) << qPrintable(run.err);
    ExpectPrintedRecordsInTheReport(run, home, out, 3);
    EXPECT_TRUE(run.err.isEmpty()) << "--quiet";
}

// A recorder killed outright leaves its journal; the next quillon-record start makes it a
// report in the save folder, as the window's next start would.
TEST(RecordEndToEnd, AKilledRecorderIsRecoveredByTheNextStart) {
    SKIP_WITHOUT_PROGRAMS();
    SimProcess meter({"-e", kRamp});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    Home home(0);
    Recorder killed(home, meter.linkPath(), {"--interval", "0.5", "--out", home.path() + "/x.csv"});
    ASSERT_TRUE(RunUntil([&] { return home.journalRecords() >= 3; }, 30000));
    killed.kill(SIGKILL);
    ASSERT_TRUE(killed.process.waitForFinished(5000));
    const int records = home.journalRecords();

    Recorder next(home, home.path() + "/no-meter", {});
    ASSERT_TRUE(RunUntil(
        [&] {
            next.err += QString::fromUtf8(next.process.readAllStandardError());
            return next.err.contains("records)");
        },
        15000))
        << qPrintable(next.err);
    next.kill(SIGTERM);
    ASSERT_TRUE(next.ends(10000));
    EXPECT_EQ(next.process.exitCode(), 3) << "ended before a meter was found";
    const QStringList reports = QDir(home.reports()).entryList({"*_recovered.csv"}, QDir::Files);
    ASSERT_EQ(reports.size(), 1) << qPrintable(next.err);
    EXPECT_TRUE(next.err.contains(
        QString("%1%2 (%3 records)").arg(home.reports(), reports[0]).arg(records)))
        << qPrintable(next.err);
    EXPECT_EQ(Open(home.reports() + reports[0]).loaded.records, records);
    EXPECT_TRUE(home.journalFiles().isEmpty());
}

TEST(RecordEndToEnd, FailuresEndWithTheirStatusAndOneClearLine) {
    SKIP_WITHOUT_PROGRAMS();
    Home home(0);
    QFile plain(home.path() + "/plain");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    struct Case {
        const char* name;
        QStringList args;
        int status;
        QString says;
    };
    const Case cases[] = {
        {"missing port",
         {"--port", home.path() + "/no-meter"},
         3,
         "quillon-record: no meter found on " + home.path() + "/no-meter within 10 s: 0 records"},
        {"report under a file",
         {"--port", home.path() + "/no-meter", "--out", home.path() + "/plain/x.csv"},
         4,
         "quillon-record: cannot write the report " + home.path() +
             "/plain/x.csv: Not a directory"},
        {"unknown option", {"--fast"}, 2, "quillon-record: unknown option 'fast' (see --help)"},
        {"unreadable duration", {"--duration", "1 hour"}, 2, "quillon-record: --duration takes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder run(home, "", c.args);
        ASSERT_TRUE(run.ends(30000));
        EXPECT_EQ(run.process.exitCode(), c.status);
        EXPECT_TRUE(run.err.startsWith(c.says)) << qPrintable(run.err);
        EXPECT_EQ(run.err.count('\n'), 1) << qPrintable(run.err);
        EXPECT_TRUE(run.out.isEmpty());
    }
}

// The byte stream of a capture (its reads joined), as the simulator reads it.
std::vector<std::uint8_t> CapturedBytes(const QString& path) {
    std::ifstream in(path.toStdString());
    metersim::CaptureReader reader(in);
    std::vector<std::uint8_t> bytes;
    metersim::CapturedRead read;
    while (reader.next(&read)) bytes.insert(bytes.end(), read.bytes.begin(), read.bytes.end());
    EXPECT_EQ(reader.error(), "") << qPrintable(path);
    return bytes;
}

bool StartsWith(const std::vector<std::uint8_t>& all, const std::vector<std::uint8_t>& part) {
    return part.size() <= all.size() && std::equal(part.begin(), part.end(), all.begin());
}

// The count ends a run. A record at every poll (interval 0): a played-back capture gives
// each poll the bytes the captured run read at that poll, so every record is the same, in
// quillon-record and in the window.
TEST(RecordEndToEnd, ACapturePlayedBackIsRecordedAsTheLiveRunWasByBothPrograms) {
    SKIP_WITHOUT_PROGRAMS();
    Home home(1);
    home.set("IntTime", "0");
    const QString capture = home.path() + "/line.txt";
    const QStringList common = {"--interval", "0", "--count", "8"};
    Report live;
    {
        SimProcess meter({"-e", kRamp});
        ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
        Recorder run(
            home, meter.linkPath(),
            common + QStringList{"--out", home.reports() + "live.csv", "--capture", capture});
        ASSERT_TRUE(run.ends(30000)) << qPrintable(run.err);
        ASSERT_EQ(run.process.exitCode(), 0) << qPrintable(run.err);
        live = ExpectPrintedRecordsInTheReport(run, home, home.reports() + "live.csv", 8);
        ASSERT_EQ(live.loaded.records, 8);
        EXPECT_FALSE(run.err.isEmpty()) << "only --quiet is quiet";
    }
    const std::vector<std::uint8_t> captured = CapturedBytes(capture);
    ASSERT_GE(captured.size(), 80u);

    {
        SCOPED_TRACE("quillon-record");
        SimProcess replay({"--replay", capture});
        ASSERT_TRUE(replay.start()) << qPrintable(replay.error());
        Recorder run(home, replay.linkPath(),
                     common + QStringList{"--out", home.reports() + "replay.csv", "--capture",
                                          home.path() + "/again.txt"});
        ASSERT_TRUE(run.ends(30000)) << qPrintable(run.err);
        EXPECT_EQ(run.process.exitCode(), 0) << qPrintable(run.err);
        EXPECT_EQ(Open(home.reports() + "replay.csv").values(), live.values());
        EXPECT_TRUE(StartsWith(captured, CapturedBytes(home.path() + "/again.txt")))
            << "the line carried the captured bytes";
    }
    {
        SCOPED_TRACE("the window");
        SimProcess replay({"--replay", capture});
        ASSERT_TRUE(replay.start()) << qPrintable(replay.error());
        qputenv("QUILLON_PORTS", replay.linkPath().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", home.config().toLocal8Bit());
        const QString windowCapture = home.path() + "/window.txt";
        int exitCode = -1;
        const auto options = ParseOptions({"quillon", "--capture", windowCapture}, &exitCode);
        ASSERT_TRUE(options);
        Program program(home.path(), std::make_unique<ScriptedMessageBoxes>(),
                        std::make_unique<ScriptedFileDialogs>(), options->capturePath);
        Session& s = program.session();
        program.window().startUp();
        program.window().show();
        ASSERT_EQ(s.settings.recordIntervalMs, 0);
        ASSERT_TRUE(RunUntil([&] { return s.link.linkOn; }, 15000));
        program.window().findChild<QAction*>("startAction")->trigger();
        const QString name = s.rec.recordName;
        ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= 8; }, 15000));
        program.window().findChild<QAction*>("stopAction")->trigger();  // saves automatically
        EXPECT_EQ(Open(home.reports() + name + ".csv").values(), live.values());
        program.window().findChild<QAction*>("exitAction")->trigger();
        const std::vector<std::uint8_t> windowBytes = CapturedBytes(windowCapture);
        EXPECT_TRUE(!windowBytes.empty() && StartsWith(captured, windowBytes));
    }
}

}  // namespace
}  // namespace quillon
