// quillon-record as its own process with no display, against the simulated meter.
#include <gtest/gtest.h>

#include <QAction>

#include "../app/private_home.h"
#include "options.h"
#include "program.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::Child;
using testing::Home;
using testing::RunUntil;
using testing::SimProcess;

// DC volts rising by one step a frame (four frames a second): every poll reads a new value.
const char kRamp[] = "func dcv; range 1; ramp 0 5 100";

// A report as the window opens it: the given columns of each record, title and statistics.
QString Report(const QString& path, const QList<int>& columns = {0, 1, 2, 3, 4}) {
    Session s;
    const int records = testing::OpenReport(path, s).records;
    QString text;
    for (int row = 1; row <= records; ++row) {
        QStringList cells;
        for (int c : columns) cells << s.table.cell(row, c);
        text += cells.join(',') + "\n";
    }
    const Statistics& st = s.stats;
    return text + QStringList{s.rec.fileTitle, st.maxRow[0], st.maxRow[1], st.minRow[0],
                              st.minRow[1],    st.avgRow[0], st.avgRow[1]}
                      .join(' ');
}

// The next start recovers a killed run's journal; failures end with their status and a line.
TEST(RecordEndToEnd, AKilledRunIsRecoveredAndFailuresEndWithOneClearLine) {
    SimProcess meter({"-e", kRamp});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    Home home(0);
    Child killed(home, meter.linkPath(), "quillon-record",
                 {"--interval", "0.5", "--out", home.path() + "/x.csv"});
    ASSERT_TRUE(RunUntil([&] { return home.journalRecords() >= 3; }, 30000));
    killed.kill(SIGKILL);
    ASSERT_TRUE(killed.process.waitForFinished(5000));
    const int records = home.journalRecords();
    const QString noMeter = home.path() + "/no-meter";
    Child next(home, "", "quillon-record", {"--port", noMeter});
    ASSERT_TRUE(next.ends(30000));
    EXPECT_EQ(next.process.exitCode(), 3);
    ASSERT_EQ(home.recovered().size(), 1) << qPrintable(next.err);
    const QString report = home.reports() + home.recovered().first();
    EXPECT_TRUE(next.err.contains(QString("%1 (%2 records)").arg(report).arg(records)))
        << qPrintable(next.err);
    EXPECT_TRUE(next.err.endsWith("\nquillon-record: no meter found on " + noMeter +
                                  " within 10 s: 0 records\n"))
        << qPrintable(next.err);
    EXPECT_EQ(Report(report, {0}).count('\n'), records);
    EXPECT_TRUE(home.journalFiles().isEmpty());
    Child unwritable(home, "", "quillon-record", {"--port", noMeter, "--out", "/dev/null/x.csv"});
    ASSERT_TRUE(unwritable.ends(30000));
    EXPECT_EQ(unwritable.process.exitCode(), 4);
    EXPECT_EQ(unwritable.err + unwritable.out,  // nothing on stdout
              "quillon-record: cannot write the report /dev/null/x.csv: Not a directory\n");
}

// The bytes a capture holds in hexadecimal: its lines without times and notes.
QString CapturedBytes(const QString& path) {
    QFile file(path);
    QString bytes;
    if (file.open(QIODevice::ReadOnly))
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n'))
            if (!line.isEmpty() && !line.startsWith('#')) bytes += line.section(' ', 1) + ' ';
    return bytes;
}

// At interval 0 the window, fed the capture of a live run ended by SIGINT, records the same.
TEST(RecordEndToEnd, ACapturePlayedBackIsRecordedByTheWindowAsTheLiveRunWas) {
    Home home(1, 0);
    const QString capture = home.path() + "/line.txt";
    int records = 0;
    {
        SimProcess meter({"-e", kRamp});
        ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
        Child run(home, meter.linkPath(), "quillon-record",
                  {"--interval", "0", "--out", home.reports() + "live.csv", "--capture", capture,
                   "--quiet"});
        ASSERT_TRUE(RunUntil(
            [&] {
                run.out += QString::fromUtf8(run.process.readAllStandardOutput());
                return run.out.count('\n') >= 8;
            },
            30000));
        run.kill(SIGINT);
        ASSERT_TRUE(run.ends(30000) && run.process.exitCode() == 0) << qPrintable(run.err);
        EXPECT_TRUE(run.err.isEmpty()) << "--quiet";
        records = int(run.out.count('\n'));
        // The records printed as they were taken are the report's, with the title setting.
        EXPECT_TRUE(Report(home.reports() + "live.csv").startsWith(run.out + "Night run "));
        EXPECT_TRUE(home.journalFiles().isEmpty());
    }
    // All but date and time are the same in every run of these frames.
    const QString live = Report(home.reports() + "live.csv", {0, 3, 4});
    const QString captured = CapturedBytes(capture);
    ASSERT_GE(captured.size(), 3 * 80);
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
    ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= records; }, 15000));
    program.window().findChild<QAction*>("stopAction")->trigger();  // saves automatically
    EXPECT_EQ(Report(home.reports() + s.rec.recordName + ".csv", {0, 3, 4}), live);
    program.window().findChild<QAction*>("exitAction")->trigger();
    const QString bytes = CapturedBytes(windowCapture);  // the bytes the line carried
    EXPECT_TRUE(!bytes.isEmpty() && captured.startsWith(bytes)) << qPrintable(bytes);
}

}  // namespace
}  // namespace quillon
