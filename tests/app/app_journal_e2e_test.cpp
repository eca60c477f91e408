// Recordings that survive a signal, a kill or a meter that goes away for a while.
#include <gtest/gtest.h>

#include <QAction>

#include "private_home.h"
#include "program.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::Child;
using testing::Home;
using testing::RunUntil;

// A report of the simulator's two values with at least `records` records, numbered in turn.
void ExpectReport(const QString& path, int records) {
    Session s;
    const LoadResult loaded = testing::OpenReport(path, s);
    EXPECT_GE(loaded.records, records) << qPrintable(loaded.errorText);
    EXPECT_EQ(s.rec.fileTitle + QString::number(s.rec.recordedFunction), "Night run2");
    for (int row = 1; row <= loaded.records; ++row) {
        EXPECT_EQ(s.table.cell(row, 0), QString("%1").arg(row, 4, 10, QChar('0')));
        EXPECT_TRUE(s.table.cell(row, 3) == "1.234" || s.table.cell(row, 3) == "2.345");
    }
    EXPECT_EQ(s.stats.maxRow[0] + " " + s.stats.minRow[0], "2.345 1.234");
}

// SIGTERM and SIGHUP end a recording as Stop and Exit do; the next start recovers a journal
// kept or torn mid-record by SIGKILL.
TEST(AppJournalEndToEnd, SignalledRecordingIsSavedOrRecoveredAtTheNextStart) {
    testing::SimProcess meter(
        {"-e", "func dcv; range 1; value 1.234; hold 1.5; value 2.345; hold 1.5; loop"});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    for (const auto& [signal, autoSave] : {std::pair{SIGTERM, 1}, {SIGHUP, 0}, {SIGKILL, 0}}) {
        SCOPED_TRACE(signal);
        Home home(autoSave);
        Child quillon(home, meter.linkPath(), "quillon",
                      {"--snapshot", home.path() + "/w.png", "--record-seconds", "600"});
        ASSERT_TRUE(RunUntil([&] { return home.journalRecords() >= 3; }, 30000))
            << qPrintable(quillon.process.readAllStandardError());
        const QString journal = home.journalFiles().first();
        const int records = home.journalRecords();
        quillon.kill(signal);
        ASSERT_TRUE(quillon.process.waitForFinished(10000));
        const int kept = home.journalRecords();
        if (signal == SIGKILL) {
            QFile torn(home.journals() + journal);
            ASSERT_TRUE(torn.open(QIODevice::Append));
            torn.write("record\t2\t1\t1\tV\t00");
        } else {
            EXPECT_TRUE(quillon.ends(0) && quillon.process.exitCode() == 0)
                << qPrintable(quillon.err);
            EXPECT_EQ(SettingsStore(home.config() + "/regtest.ini").ReadSetting("comp", ""), "1")
                << "the port is stored as Exit stores it";
        }
        if (autoSave == 1) {
            ExpectReport(home.reports() + journal.chopped(8) + ".csv", records);
            EXPECT_TRUE(home.journalFiles().isEmpty());
            continue;
        }
        EXPECT_TRUE(QDir(home.reports()).entryList(QDir::Files).isEmpty());
        Child again(home, "", "quillon",
                    {"--snapshot", home.path() + "/w.png", "--record-seconds", "0"});
        EXPECT_TRUE(again.ends(30000) && again.process.exitCode() == 0) << qPrintable(again.err);
        ASSERT_EQ(home.recovered().size(), 1) << qPrintable(again.err);
        const QString report = home.reports() + home.recovered().first();
        EXPECT_TRUE(again.err.contains("Recovered recordings")) << qPrintable(again.err);
        EXPECT_TRUE(again.err.contains(report + QString(" (%1 records)").arg(kept)));
        EXPECT_TRUE(home.journalFiles().isEmpty()) << "the journal went with its report";
        ExpectReport(report, kept);
    }
}

// The time of record `row` as the table shows it ("yyyy/mm/dd", "HH:nn:ss").
QDateTime RecordTime(const RecordTable& table, int row) {
    return QDateTime(QDate::fromString(table.cell(row, RecordTable::ColDate), "yyyy/MM/dd"),
                     QTime::fromString(table.cell(row, RecordTable::ColTime), "HH:mm:ss"));
}

// The meter hangs up and comes back: one recording with a gap, no record stamped later than
// the last frame plus 1.5 s, an interval and a second of rounding.
TEST(AppJournalEndToEnd, LostMeterLeavesAGapAndTheRecordingWaitsForIt) {
    testing::SimProcess meter(
        {"-e", "func dcv; range 1; value 1.234; hold 8; hangup 20; value 2.345; hold 600"});
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
    s.settings.autoSave = s.settings.keepRecording = 1;
    s.settings.saveFolder = folder.path() + "/reports/";
    ASSERT_TRUE(RunUntil([&] { return s.link.linkOn; }, 15000));
    window.findChild<QAction*>("startAction")->trigger();
    const QString name = s.rec.recordName;
    ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= 2; }, 15000));
    EXPECT_EQ(s.table.cell(2, 3) + " " + s.table.cell(2, 4) + " " + s.readout.value + " " +
                  s.rec.shownFunction + " " + s.stats.maxRow[0],
              "1.234 V 1.234 DCV 1.234");
    QString simOutput;  // the simulator prints "hangup" when it closes the line
    ASSERT_TRUE(RunUntil(
        [&] {
            simOutput += QString::fromUtf8(meter.process().readAllStandardOutput());
            return simOutput.contains("hangup");
        },
        30000));
    const QDateTime lastFrame = QDateTime::currentDateTime();
    EXPECT_TRUE(RunUntil([&] { return s.readout.indicator[kIndWait]; }, 10000));
    RunUntil([] { return false; }, 4000);
    for (int row = 1; row <= s.table.recordCount(); ++row)
        EXPECT_LE(RecordTime(s.table, row), lastFrame.addMSecs(3500)) << "record " << row;
    const int beforeGap = s.table.recordCount();
    ASSERT_TRUE(RunUntil([&] { return s.table.recordCount() >= beforeGap + 3; }, 40000))
        << "the recording did not go on after the meter came back";
    EXPECT_EQ(s.rec.recordName, name) << "one recording";
    EXPECT_TRUE(window.findChild<QAction*>("startAction")->isChecked());
    EXPECT_GE(RecordTime(s.table, beforeGap).secsTo(RecordTime(s.table, beforeGap + 1)), 15);
    EXPECT_EQ(s.table.cell(beforeGap + 1, RecordTable::ColValue), "2.345");
    EXPECT_TRUE(messages.isEmpty());
    window.findChild<QAction*>("stopAction")->trigger();
    EXPECT_TRUE(QFileInfo::exists(folder.path() + "/reports/" + name + ".csv"));
    window.findChild<QAction*>("exitAction")->trigger();
}

}  // namespace
}  // namespace quillon
