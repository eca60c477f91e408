// Whole command-line recordings in the process: a scripted meter on COM1, a clock moved
// by hand, the user's settings in a private store. How a run ends and when it goes on
// into the next file.
#include "headless_recording.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "../meter/meter_frames.h"
#include "report_opener.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

// DC volts in range 1, shown as "1.234" for a count of 1234.
QByteArray Volts(int count, int function = 2) {
    return test::EncodeFrame({function, 0x31, count, false, false});
}

QString ReadAll(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QFile file;
    file.open(f, QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

class ScriptedRun {
  public:
    explicit ScriptedRun(qint32 intervalMs, RecordOptions options = {}) {
        options.intervalMs = intervalMs;
        options.port = "/dev/scripted";
        options.out = dir_.filePath("reports/run.csv");
        SettingsStore store(dir_.filePath("regtest.ini"));
        for (const QString& kv :
             QString("IntTime=500;Fdt_0=yyyy/mm/dd;Fdt_1=HH:nn:ss;Graph_txt=Bench;Mav=111")
                 .split(';'))
            store.WriteSetting(kv.section('=', 0, 0), kv.section('=', 1));
        store.WriteSetting("Sav_Drv", reports());
        serial_.setOpenResult(1, SIO_OK);
        serial_.logDataCalls = false;
        recording_ = std::make_unique<HeadlessRecording>(options, serial_, ports_, clock_, records_,
                                                         status_, dir_.filePath("journals"));
        EXPECT_FALSE(recording_->prepare(store));
    }
    ~ScriptedRun() {
        std::fclose(records_);
        std::fclose(status_);
    }
    // One poll: the meter has sent `bytes` meanwhile and `ms` have passed.
    void poll(const QByteArray& bytes, qint64 ms = 500) {
        serial_.appendInput(1, bytes);
        clock_.advance(ms);
        recording_->tick();
    }
    // Polls with one frame each until `records` records are printed.
    void recordUntil(int records) {
        for (int i = 0; i < 4 * records + 4 && recordLines().size() < records; ++i)
            poll(Volts(1234));
        ASSERT_EQ(recordLines().size(), records) << qPrintable(statusText());
    }
    HeadlessRecording& recording() { return *recording_; }
    QStringList recordLines() { return ReadAll(records_).split('\n', Qt::SkipEmptyParts); }
    QString statusText() { return ReadAll(status_); }
    QString reports() const { return dir_.filePath("reports") + "/"; }
    int journals() const {
        return int(QDir(dir_.filePath("journals")).entryList({"*.journal"}, QDir::Files).size());
    }
    // The report as the window's reader loads it; -1 records when it cannot be read.
    int reportRecords(const QString& name, Session* into = nullptr) {
        Session own;
        ScriptedMessageBoxes boxes;
        ScriptedFileDialogs dialogs;
        const LoadResult loaded =
            ReportOpener(into ? *into : own, boxes, dialogs).LoadReport(reports() + name);
        return loaded.ok ? loaded.records : -1;
    }

  private:
    QTemporaryDir dir_;
    FakeClock clock_;
    ScriptedSerialLibrary serial_{&clock_};
    PortTable ports_{QStringList{"/dev/scripted"}};
    FILE* records_ = std::tmpfile();
    FILE* status_ = std::tmpfile();
    std::unique_ptr<HeadlessRecording> recording_;
};

TEST(HeadlessRecording, HowARunEnds) {
    struct Case {
        const char* name;
        RecordOptions options;
        std::function<void(ScriptedRun&)> run;
        int status;
        int records;       // in the report; -1 no report
        const char* told;  // on standard error
        int journals;
    };
    RecordOptions count, twoSeconds;
    count.count = 3;
    twoSeconds.durationMs = 2000;
    const Case cases[] = {
        {"the count is reached", count,
         [](ScriptedRun& r) {
             r.recordUntil(2);
             // A poll held up for 1.4 s catches up two intervals at once: only the count is taken.
             r.poll(Volts(2345), 1400);
             const QStringList lines = r.recordLines();
             ASSERT_EQ(lines.size(), 3);
             EXPECT_TRUE(lines[0].startsWith("0001,2024/01/31,14:25:")) << qPrintable(lines[0]);
             EXPECT_TRUE(lines[2].endsWith(",2.345,V")) << qPrintable(lines[2]);
             Session report;
             r.reportRecords("run.csv", &report);
             EXPECT_EQ(report.stats.maxRow[0], "2.345");
         },
         kExitDone, 3, "done: 3 records", 0},
        {"the duration is over", twoSeconds,
         [](ScriptedRun& r) {
             for (int i = 0; i < 10 && !r.recording().finished(); ++i) r.poll(Volts(1234));
         },
         kExitDone, 4, "the duration is over: 4 records", 0},
        // Records go on from the last reading while it is live (its frame may be up to a poll
        // older than decoded: one more record at the next poll).
        {"the meter stops sending",
         {},
         [](ScriptedRun& r) {
             r.recordUntil(2);
             for (int i = 0; i < 40 && !r.recording().finished(); ++i) r.poll({});
         },
         kExitMeterTimedOut,
         3,
         "the meter sent nothing for 15 s: 3 records",
         0},
        {"the report's folder is gone at the end",
         {},
         [](ScriptedRun& r) {
             r.recordUntil(3);
             QDir(r.reports()).removeRecursively();
             QFile blocker(r.reports().chopped(1));
             blocker.open(QIODevice::WriteOnly);  // a file where the folder was
             r.recording().requestEnd();
         },
         kExitReportNotWritten,
         -1,
         "its 3 records stay in the journal",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRun run(500, c.options);
        c.run(run);
        ASSERT_TRUE(run.recording().finished());
        EXPECT_EQ(run.recording().exitStatus(), c.status);
        EXPECT_EQ(run.reportRecords("run.csv"), c.records);
        EXPECT_TRUE(run.statusText().contains(c.told)) << qPrintable(run.statusText());
        EXPECT_EQ(run.journals(), c.journals);
    }
}

// Standard error that is no terminal (a log) gets the status as a line of its own: at
// the start, at most every 10 s, and the last one at the end.
TEST(HeadlessRecording, StatusLinesInALogAreThrottled) {
    ScriptedRun run(500);
    run.recordUntil(1);
    for (int i = 0; i < 50; ++i) run.poll(Volts(1234));  // 25 s
    run.recording().requestEnd();
    const int records = run.recordLines().size();
    const QStringList status = run.statusText().split('\n').filter(", last ");
    ASSERT_EQ(status.size(), 4) << qPrintable(status.join('\n'));
    EXPECT_TRUE(status[0].endsWith(": 0 records, last none yet")) << qPrintable(status[0]);
    EXPECT_TRUE(status[3].endsWith(QString(": %1 records, last 1.234 V").arg(records)))
        << qPrintable(status[3]);
}

// A new function on the meter and the record limit each end a report; the run goes on
// into run_2.csv, numbered from 1.
TEST(HeadlessRecording, GoesOnIntoTheNextFile) {
    ScriptedRun run(500);
    run.recordUntil(3);
    for (int i = 0; i < 6; ++i) run.poll(Volts(1234, 1));  // AC volts
    run.recording().requestEnd();
    EXPECT_EQ(run.recording().exitStatus(), kExitDone);
    Session first, second;
    EXPECT_EQ(run.reportRecords("run.csv", &first), 3);
    EXPECT_GE(run.reportRecords("run_2.csv", &second), 3);
    EXPECT_EQ(first.rec.recordedFunction * 10 + second.rec.recordedFunction, 21);
    EXPECT_EQ(second.table.cell(1, RecordTable::ColNo), "0001");

    ScriptedRun full(0);
    for (int i = 0; i < Recorder::kMaxRecords + 3; ++i) full.poll(Volts(1000 + i % 1000));
    full.recording().requestEnd();
    EXPECT_EQ(full.recording().exitStatus(), kExitDone);
    EXPECT_EQ(full.reportRecords("run.csv"), Recorder::kMaxRecords);
    EXPECT_GE(full.reportRecords("run_2.csv"), 1);
    EXPECT_EQ(full.recording().reportsWritten(),
              QStringList({full.reports() + "run.csv", full.reports() + "run_2.csv"}));
}

}  // namespace
}  // namespace quillon
