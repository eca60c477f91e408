// A stored schedule entry records by itself and saves into a folder not made yet.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include "program.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::RunUntil;

TEST(AppScheduleEndToEnd, ScheduledEntryRecordsAndSavesByItself) {
    testing::SimProcess meter(
        {"-e", "func dcv; range 1; value 3.141; hold 1.5; value 2.718; hold 1.5; loop"});
    ASSERT_TRUE(meter.start()) << qPrintable(meter.error());
    qputenv("QUILLON_PORTS", meter.linkPath().toLocal8Bit());
    QTemporaryDir folder;
    const QString saveFolder = folder.path() + "/reports/scheduled/";
    // Whole seconds, as the schedule keeps them; room for the link to come up first.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime start = now.addSecs(8).addMSecs(-now.time().msec()), stop = start.addSecs(5);
    const QString entry =
        start.toString("MM/dd/yyyy,HH:mm:ss,") + stop.toString("MM/dd/yyyy,HH:mm:ss,");
    SettingsStore store;  // what a first start writes, and schedule entry 1 armed
    for (const QString& kv : QString("autoScan=0;comp=0;sav_Auto=1;Sav_Drv=%1;IntTime=1000;"
                                     "Fdt_0=yyyy/mm/dd;Fdt_1=HH:nn:ss;Mav=111;ck=10000;order=1;"
                                     "O1=%2;O2=,,,,;O3=,,,,;O4=,,,,;O5=,,,,")
                                 .arg(saveFolder, entry)
                                 .split(';'))
        store.WriteSetting(kv.section('=', 0, 0), kv.section('=', 1));
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    ScriptedMessageBoxes& messages = *boxes;
    Program program(folder.path(), std::move(boxes), std::make_unique<ScriptedFileDialogs>());
    Session& s = program.session();
    MainWindow& window = program.window();
    window.startUp();
    window.show();
    ASSERT_EQ(s.sched.armed, 1) << "the stored schedule was not armed";
    EXPECT_EQ(std::pair(s.sched.entryStart, s.sched.entryStop), std::pair(start, stop));
    auto* banner = window.findChild<QWidget*>("scheduleBanner");
    QAction* startAction = window.findChild<QAction*>("startAction");
    EXPECT_FALSE(banner->isVisible());
    ASSERT_TRUE(RunUntil([&] { return s.rec.state == kRunRecording; }, 60000));
    EXPECT_GE(QDateTime::currentDateTime(), start);
    EXPECT_TRUE(s.sched.scheduledRecordingRunning);
    EXPECT_TRUE(startAction->isChecked());
    EXPECT_TRUE(banner->isVisible());
    const QString bannerText = window.findChild<QLabel*>("scheduleBannerText")->text();
    EXPECT_TRUE(bannerText.startsWith(" ~ ") && bannerText.endsWith(stop.toString(" HH:mm:ss")))
        << qPrintable(bannerText);
    const QString name = s.rec.recordName;
    ASSERT_TRUE(RunUntil([&] { return s.rec.state != kRunRecording; }, 60000));
    EXPECT_GE(QDateTime::currentDateTime(), stop);
    EXPECT_FALSE(startAction->isChecked());
    EXPECT_EQ(s.sched.armed, 0) << "the only entry is over: the schedule is disarmed";
    EXPECT_FALSE(s.sched.scheduledRecordingRunning);
    EXPECT_TRUE(RunUntil([&] { return !banner->isVisible(); }, 5000));
    EXPECT_EQ(s.rec.state, kRunIdle) << "no second recording";
    EXPECT_GE(s.table.recordCount(), 3) << "five seconds at one record a second";
    QString rows = "No, Date, Time, Value, Unit\r\n";
    for (int row = 1; row <= s.table.recordCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < RecordTable::kColumns; ++c) cells << s.table.cell(row, c);
        rows += " " + cells.join(", ") + "\r\n";
        EXPECT_TRUE(cells[3] + cells[4] == "3.141V" || cells[3] + cells[4] == "2.718V");
        const QDateTime at(QDate::fromString(cells[1], "yyyy/MM/dd"),
                           QTime::fromString(cells[2], "HH:mm:ss"));
        EXPECT_TRUE(at >= start && at <= stop.addSecs(1)) << qPrintable(at.toString(Qt::ISODate));
    }
    QFile report(saveFolder + name + ".csv");
    ASSERT_TRUE(report.open(QIODevice::ReadOnly)) << qPrintable(report.fileName());
    EXPECT_TRUE(QString::fromUtf8(report.readAll()).endsWith(rows)) << qPrintable(rows);
    EXPECT_TRUE(messages.shown.isEmpty());
    window.findChild<QAction*>("exitAction")->trigger();
}

}  // namespace
}  // namespace quillon
