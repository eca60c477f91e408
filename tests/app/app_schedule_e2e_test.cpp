// A schedule entry kept in the settings store starts and stops a recording by itself:
// the whole program against the meter simulator, with the report saved automatically
// into a folder that does not exist yet.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "program.h"
#include "settings_store.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::RunUntil;

// The values the simulated meter sends in turn (DC volts, 4 V range).
const QSet<QString> kMeterValues = {"3.141", "2.718"};

// What a first start writes, with automatic saving into `folder` and schedule entry 1
// from `start` to `stop` armed.
void PrepareStore(const QString& folder, const QDateTime& start, const QDateTime& stop) {
    SettingsStore store;
    const QList<QPair<QString, QString>> keys = {
        {"autoScan", "0"},    {"comp", "0"},           {"sav_Auto", "1"},     {"Sav_Drv", folder},
        {"T1_beep", "0"},     {"limit_selet", "0"},    {"limit_txt_0", "0"},  {"limit_txt_1", "0"},
        {"Graph_Title", "0"}, {"Graph_txt", ""},       {"Graph_range", "0"},  {"OL_stop", "0"},
        {"IntTime", "1000"},  {"Fdt_0", "yyyy/mm/dd"}, {"Fdt_1", "HH:nn:ss"}, {"Mav", "111"},
        {"ck", "10000"},      {"order", "1"},
    };
    for (const auto& [key, value] : keys) store.WriteSetting(key, value);
    const auto entry = [](const QDateTime& from, const QDateTime& to) {
        return QStringList{from.toString("MM/dd/yyyy"), from.toString("HH:mm:ss"),
                           to.toString("MM/dd/yyyy"), to.toString("HH:mm:ss"), ""}
            .join(',');
    };
    store.WriteSetting("O1", entry(start, stop));
    for (const char* key : {"O2", "O3", "O4", "O5"}) store.WriteSetting(key, ",,,,");
    ASSERT_TRUE(store.writable()) << qPrintable(store.path());
}

// The time stamp of record `row` as the table shows it ("yyyy/mm/dd", "HH:nn:ss").
QDateTime RecordTime(const RecordTable& table, int row) {
    return QDateTime(QDate::fromString(table.cell(row, RecordTable::ColDate), "yyyy/MM/dd"),
                     QTime::fromString(table.cell(row, RecordTable::ColTime), "HH:mm:ss"));
}

TEST(AppScheduleEndToEnd, ScheduledEntryRecordsAndSavesByItself) {
    const QString sim = testing::SimProcess::program();
    if (!QFileInfo(sim).isExecutable())
        GTEST_SKIP() << "the meter simulator is not built: " << qPrintable(sim);
    testing::SimProcess meter({"-e",
                               "func dcv; range 1; value 3.141; hold 1.5; value 2.718; "
                               "hold 1.5; loop"});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    qputenv("QUILLON_PORTS", meter.linkPath().toLocal8Bit());

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString saveFolder = folder.path() + "/reports/scheduled/";
    // Whole seconds, as the schedule keeps them; room for the link to come up first.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime start = now.addSecs(8).addMSecs(-now.time().msec());
    const QDateTime stop = start.addSecs(5);
    ASSERT_NO_FATAL_FAILURE(PrepareStore(saveFolder, start, stop));
    ASSERT_FALSE(QFileInfo::exists(folder.path() + "/reports"));

    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    ScriptedMessageBoxes& messages = *boxes;
    Program program(folder.path(), std::move(boxes), std::make_unique<ScriptedFileDialogs>());
    Session& s = program.session();
    MainFm& window = program.window();
    window.Form_Load();
    window.show();
    ASSERT_EQ(s.sched.order, 1) << "the stored schedule was not armed";
    EXPECT_EQ(s.sched.SchedStart, start);
    EXPECT_EQ(s.sched.SchedStop, stop);
    auto* banner = window.findChild<QWidget*>("Picture5");
    auto* bannerLabel = window.findChild<QLabel*>("Label14");
    ASSERT_TRUE(banner && bannerLabel);
    EXPECT_FALSE(banner->isVisible());
    QAction* startAction = window.findChild<QAction*>("mnstart");
    ASSERT_TRUE(startAction);

    // Nothing records before the start time, then the entry starts a recording.
    QDateTime startedAt;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (s.rec.RunState != kRunRecording) return false;
            startedAt = QDateTime::currentDateTime();
            return true;
        },
        60000))
        << "the schedule did not start a recording";
    EXPECT_GE(startedAt, start);
    EXPECT_TRUE(s.sched.SchedRunning);
    EXPECT_TRUE(startAction->isChecked());
    EXPECT_TRUE(banner->isVisible());
    EXPECT_TRUE(bannerLabel->text().startsWith(" ~ ")) << qPrintable(bannerLabel->text());
    EXPECT_TRUE(bannerLabel->text().endsWith(" " + stop.toString("HH:mm:ss")))
        << qPrintable(bannerLabel->text());
    const QString name = s.rec.recordName;
    EXPECT_FALSE(name.isEmpty());

    // The entry's stop time ends the recording, its report saved without a question.
    ASSERT_TRUE(RunUntil([&] { return s.rec.RunState != kRunRecording; }, 60000))
        << "the schedule did not stop the recording";
    EXPECT_GE(QDateTime::currentDateTime(), stop);
    EXPECT_FALSE(startAction->isChecked());
    EXPECT_EQ(s.sched.order, 0) << "the only entry is over: the schedule is disarmed";
    EXPECT_FALSE(s.sched.SchedRunning);
    EXPECT_TRUE(RunUntil([&] { return !banner->isVisible(); }, 5000));
    EXPECT_EQ(s.rec.RunState, kRunIdle) << "no second recording";

    const RecordTable& table = s.table;
    const int records = table.recordCount();
    EXPECT_GE(records, 3) << "five seconds at one record a second";
    for (int row = 1; row <= records; ++row) {
        SCOPED_TRACE(row);
        EXPECT_TRUE(kMeterValues.contains(table.cell(row, RecordTable::ColValue)))
            << qPrintable(table.cell(row, RecordTable::ColValue));
        EXPECT_EQ(table.cell(row, RecordTable::ColUnit), "V");
        const QDateTime at = RecordTime(table, row);
        EXPECT_TRUE(at >= start && at <= stop.addSecs(1)) << qPrintable(at.toString(Qt::ISODate));
    }

    const QString reportPath = saveFolder + name + ".csv";
    QFile report(reportPath);
    ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << "no report at " << qPrintable(reportPath);
    const QList<QByteArray> lines = report.readAll().split('\n');
    const int header = lines.indexOf("No, Date, Time, Value, Unit\r");
    ASSERT_GE(header, 0);
    int written = 0;
    for (int i = header + 1; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty()) continue;
        SCOPED_TRACE(qPrintable(line));
        const QStringList fields = line.split(", ");
        ASSERT_EQ(fields.size(), 5);
        ++written;
        EXPECT_EQ(fields[0].toInt(), written);
        EXPECT_TRUE(kMeterValues.contains(fields[3]));
        EXPECT_EQ(fields[4], "V");
    }
    EXPECT_EQ(written, records);

    for (const auto& m : messages.shown)
        ADD_FAILURE() << "unexpected message: " << qPrintable(m.text);
    window.findChild<QAction*>("mnexit")->trigger();
    EXPECT_TRUE(meter.stop());
}

}  // namespace
}  // namespace quillon
