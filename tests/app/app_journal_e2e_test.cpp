// Recordings that survive: a real QUILLON process recording from the simulator is
// killed or told to end, and the next start recovers what its journal kept; the meter
// going silent leaves a gap instead of stale records, and with "keep recording" the
// same recording goes on when it returns.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QTimer>
#include <csignal>

#include "private_home.h"
#include "program.h"
#include "report_opener.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::Home;
using testing::RunUntil;

// The values the simulated meter sends in turn (DC volts, 6 V range).
const char kMeterScript[] = "func dcv; range 1; value 1.234; hold 1.5; value 2.345; hold 1.5; loop";

// QUILLON as its own process, offscreen, recording from `ports` from the first second
// on (the headless --snapshot run) for `seconds`.
class QuillonProcess {
  public:
    QuillonProcess(const Home& home, const QString& ports, int seconds) {
        QProcessEnvironment env = home.environment(ports);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(program(), {"--snapshot", home.path() + "/window.png", "--record-seconds",
                                  QString::number(seconds)});
    }
    ~QuillonProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    static QString program() { return QCoreApplication::applicationDirPath() + "/quillon"; }
    bool finished(int ms) { return process.waitForFinished(ms); }
    QString errors() { return QString::fromUtf8(process.readAllStandardError()); }
    void kill(int signal) { ::kill(pid_t(process.processId()), signal); }

    QProcess process;
};

#define SKIP_WITHOUT_PROGRAMS()                                    \
    if (!QFileInfo(QuillonProcess::program()).isExecutable() ||    \
        !QFileInfo(testing::SimProcess::program()).isExecutable()) \
    GTEST_SKIP() << "quillon or the meter simulator is not built"

// Starts QUILLON on the simulator and waits for `records` records in its journal.
void RecordUntil(const Home& home, QuillonProcess& quillon, int records) {
    ASSERT_TRUE(quillon.process.waitForStarted(5000));
    RunUntil(
        [&] {
            return home.journalRecords() >= records ||
                   quillon.process.state() == QProcess::NotRunning;
        },
        30000);
    ASSERT_GE(home.journalRecords(), records) << qPrintable(quillon.errors());
}

// The next start without a meter: recovers, tells on standard error, ends by itself.
// Returns the recovered report's path.
QString StartAgainAndRecover(const Home& home, int records) {
    QuillonProcess again(home, "", 0);
    EXPECT_TRUE(again.finished(30000));
    EXPECT_EQ(again.process.exitCode(), 0);
    const QString errors = again.errors();
    const QStringList reports = QDir(home.reports()).entryList({"*_recovered.csv"}, QDir::Files);
    EXPECT_EQ(reports.size(), 1) << qPrintable(errors);
    const QString report = home.reports() + reports.value(0);
    EXPECT_TRUE(errors.contains("Recovered recordings")) << qPrintable(errors);
    EXPECT_TRUE(errors.contains(report + QString(" (%1 records)").arg(records)));
    EXPECT_TRUE(home.journalFiles().isEmpty()) << "the journal went with its report";
    return reports.size() == 1 ? report : QString();
}

// The report opens as a saved one, with every record and its statistics (at least
// `records` and no other test when `atLeast`).
void ExpectOpensAsAReport(const QString& path, int records, bool atLeast = false) {
    Session s;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    const LoadResult loaded = ReportOpener(s, boxes, dialogs).LoadReport(path);
    ASSERT_TRUE(loaded.ok) << qPrintable(loaded.errorText);
    if (atLeast) {
        EXPECT_GE(loaded.records, records);
        return;
    }
    EXPECT_EQ(loaded.records, records);
    EXPECT_EQ(s.rec.fileTitle, "Night run");
    EXPECT_EQ(s.rec.recordedFunction, 2);
    for (int row = 1; row <= records; ++row) {
        EXPECT_EQ(s.table.cell(row, 0), QString("%1").arg(row, 4, 10, QChar('0')));
        EXPECT_TRUE(s.table.cell(row, 3) == "1.234" || s.table.cell(row, 3) == "2.345");
    }
    EXPECT_EQ(s.stats.maxRow[0], "2.345");
    EXPECT_EQ(s.stats.minRow[0], "1.234");
    EXPECT_FALSE(s.stats.avgRow[0].isEmpty());
}

TEST(AppJournalEndToEnd, KilledRecordingIsRecoveredAtTheNextStart) {
    SKIP_WITHOUT_PROGRAMS();
    testing::SimProcess meter({"-e", kMeterScript});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    Home home(0);
    int records = 0;
    {
        QuillonProcess quillon(home, meter.linkPath(), 600);
        ASSERT_NO_FATAL_FAILURE(RecordUntil(home, quillon, 5));
        quillon.kill(SIGKILL);
        ASSERT_TRUE(quillon.finished(5000));
        records = home.journalRecords();
    }
    // A kill in the middle of writing a record leaves part of a line.
    QFile journal(home.journals() + "/" + home.journalFiles().first());
    ASSERT_TRUE(journal.open(QIODevice::Append));
    journal.write("record\t2\t1\t1\tV\t00");
    journal.close();

    const QString report = StartAgainAndRecover(home, records);
    ASSERT_FALSE(report.isEmpty());
    ExpectOpensAsAReport(report, records);
}

TEST(AppJournalEndToEnd, EndSignalEndsTheRecordingAsStopDoes) {
    SKIP_WITHOUT_PROGRAMS();
    testing::SimProcess meter({"-e", kMeterScript});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    struct Case {
        const char* name;
        int autoSave;
        int signal;
    };
    for (const Case& c : {Case{"automatic saving, SIGTERM", 1, SIGTERM},
                          Case{"no automatic saving, SIGHUP", 0, SIGHUP}}) {
        SCOPED_TRACE(c.name);
        Home home(c.autoSave);
        QuillonProcess quillon(home, meter.linkPath(), 600);
        ASSERT_NO_FATAL_FAILURE(RecordUntil(home, quillon, 3));
        const QString journal = home.journalFiles().first();
        const int records = home.journalRecords();
        quillon.kill(c.signal);
        ASSERT_TRUE(quillon.finished(10000));
        EXPECT_EQ(quillon.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(quillon.process.exitCode(), 0) << qPrintable(quillon.errors());
        EXPECT_EQ(SettingsStore(home.config() + "/regtest.ini").ReadSetting("comp", ""), "1")
            << "the port is stored as Exit stores it";

        if (c.autoSave == 1) {
            ExpectOpensAsAReport(home.reports() + journal.chopped(8) + ".csv", records, true);
            EXPECT_TRUE(home.journalFiles().isEmpty());
        } else {
            EXPECT_TRUE(QDir(home.reports()).entryList(QDir::Files).isEmpty());
            ASSERT_EQ(home.journalFiles().size(), 1) << "the journal stays for the next start";
            const int kept = home.journalRecords();
            EXPECT_GE(kept, records);
            const QString report = StartAgainAndRecover(home, kept);
            if (!report.isEmpty()) ExpectOpensAsAReport(report, kept);
        }
    }
}

// The time of record `row` as the table shows it ("yyyy/mm/dd", "HH:nn:ss").
QDateTime RecordTime(const RecordTable& table, int row) {
    return QDateTime(QDate::fromString(table.cell(row, RecordTable::ColDate), "yyyy/MM/dd"),
                     QTime::fromString(table.cell(row, RecordTable::ColTime), "HH:mm:ss"));
}

// QUILLON records what the simulated meter sends (the window, the poll loop, the serial
// backend, the decoder, the recorder, statistics and the automatic report save). The
// meter goes away twice: the simulator hangs up and comes back 20 s later (the same
// recording goes on after a gap, without any box), then it is killed. Each time "WAIT"
// shows within 2 s (later only by as much as the window's ticks came late on a loaded
// machine) and no record is stamped after its last frame plus 1.5 s plus one interval
// (plus a second for the whole seconds of the time column).
TEST(AppJournalEndToEnd, LostMeterLeavesAGapAndTheRecordingWaitsForIt) {
    SKIP_WITHOUT_PROGRAMS();
    testing::SimProcess meter({"-e",
                               "func dcv; range 1; value 1.234; hold 8; hangup 20; "
                               "value 2.345; hold 600"});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    qputenv("QUILLON_PORTS", meter.linkPath().toLocal8Bit());
    QTemporaryDir folder;
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    const auto& messages = boxes->shown;
    Program program(folder.path(), std::move(boxes), std::make_unique<ScriptedFileDialogs>());
    Session& s = program.session();
    MainWindow& window = program.window();
    window.startUp();
    window.show();
    s.settings.autoSave = 1;
    s.settings.saveFolder = folder.path() + "/reports/";
    s.settings.keepRecording = 1;
    ASSERT_TRUE(RunUntil([&] { return s.link.linkOn; }, 15000));
    window.findChild<QAction*>("startAction")->trigger();
    const QString name = s.rec.recordName;
    ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= 2; }, 15000));
    for (int row = 1; row <= 2; ++row)
        EXPECT_EQ(s.table.cell(row, 3) + " " + s.table.cell(row, 4), "1.234 V");
    EXPECT_EQ(s.readout.value + " " + s.rec.shownFunction + " " + s.stats.maxRow[0],
              "1.234 DCV 1.234");

    // How late the window's ticks came at most, since `lateTicks` was last reset.
    QElapsedTimer clock;
    clock.start();
    qint64 lastTick = -1, lateTicks = 0;
    QObject::connect(window.timer(), &QTimer::timeout, &window, [&] {
        const qint64 now = clock.elapsed();
        if (lastTick >= 0) lateTicks = qMax(lateTicks, now - lastTick - s.link.pollIntervalMs);
        lastTick = now;
    });
    // Waits until the meter is gone (`gone` says so), then checks the indicator and the
    // records of the next seconds.
    const auto expectNoStaleRecords = [&](const std::function<bool()>& gone, int watchMs) {
        ASSERT_TRUE(RunUntil(gone, 30000));
        const QDateTime lastFrame = QDateTime::currentDateTime();
        QElapsedTimer since;
        since.start();
        lateTicks = 0;
        EXPECT_TRUE(RunUntil([&] { return s.readout.indicator[kIndWait]; }, 10000));
        // A late tick delays both the last frame's decoding and the tick that shows WAIT.
        EXPECT_LE(since.elapsed(), 2000 + 2 * lateTicks)
            << "WAIT shows within 2 s; the ticks came up to " << lateTicks << " ms late";
        EXPECT_FALSE(s.readout.indicator[kIndRS232]);
        EXPECT_TRUE(s.readout.stale);
        RunUntil([] { return false; }, watchMs);
        const QDateTime latest = lastFrame.addMSecs(1500 + 1000 + 1000);
        for (int row = 1; row <= s.table.recordCount(); ++row)
            EXPECT_LE(RecordTime(s.table, row), latest) << "record " << row;
    };
    // The simulator prints "hangup" when it closes the line.
    QString simOutput;
    const auto simSaid = [&](const char* word) {
        simOutput += QString::fromUtf8(meter.process().readAllStandardOutput());
        return simOutput.contains(word);
    };
    expectNoStaleRecords([&] { return simSaid("hangup"); }, 4000);
    const int beforeGap = s.table.recordCount();

    ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= beforeGap + 3; }, 40000))
        << "the recording did not go on after the meter came back";
    EXPECT_EQ(s.rec.recordName, name) << "one recording";
    EXPECT_TRUE(window.findChild<QAction*>("startAction")->isChecked());
    EXPECT_GE(RecordTime(s.table, beforeGap).secsTo(RecordTime(s.table, beforeGap + 1)), 15)
        << "a gap in the times";
    EXPECT_EQ(s.table.cell(beforeGap + 1, RecordTable::ColValue), "2.345");
    for (int row = 1; row <= s.table.recordCount(); ++row)
        EXPECT_EQ(s.table.cell(row, 0), QString("%1").arg(row, 4, 10, QChar('0')));
    for (const auto& m : messages) ADD_FAILURE() << "unexpected: " << qPrintable(m.text);

    ::kill(pid_t(meter.process().processId()), SIGKILL);
    expectNoStaleRecords([] { return true; }, 4000);

    window.findChild<QAction*>("stopAction")->trigger();
    EXPECT_TRUE(QFileInfo::exists(folder.path() + "/reports/" + name + ".csv"));
    window.findChild<QAction*>("exitAction")->trigger();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace quillon
