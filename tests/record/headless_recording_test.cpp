// Whole command-line recordings in the process: a scripted meter on COM1, a clock moved
// by hand, the user's settings in a private store. How a run ends (count, duration, a
// silent meter, a report that cannot be written at the end) and when it goes on into the
// next file.
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

using test::EncodeFrame;

// DC volts in range 1, shown as "1.234" for a count of 1234.
QByteArray Volts(int count, int function = 2) {
    return EncodeFrame({function, 0x31, count, false, false});
}

QString ReadAll(FILE* f) {
    std::fflush(f);
    std::rewind(f);
    QByteArray bytes;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, qsizetype(n));
    return QString::fromUtf8(bytes);
}

class ScriptedRun {
  public:
    explicit ScriptedRun(RecordOptions options) {
        options.port = "/dev/scripted";
        if (options.out.isEmpty()) options.out = dir_.filePath("reports/run.csv");
        SettingsStore store(dir_.filePath("regtest.ini"));
        for (const auto& [key, value] : QList<QPair<QString, QString>>{{"Sav_Drv", reports()},
                                                                       {"IntTime", "500"},
                                                                       {"Fdt_0", "yyyy/mm/dd"},
                                                                       {"Fdt_1", "HH:nn:ss"},
                                                                       {"Graph_txt", "Bench"},
                                                                       {"Mav", "111"}})
            store.WriteSetting(key, value);
        serial_.setOpenResult(1, SIO_OK);
        serial_.logDataCalls = false;
        recording_ = std::make_unique<HeadlessRecording>(options, serial_, ports_, clock_, records_,
                                                         status_, dir_.filePath("journals"));
        prepared_ = recording_->prepare(store);
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
    void recordUntil(int records, int count = 1234) {
        for (int i = 0; i < 4 * records + 4 && recordLines().size() < records; ++i)
            poll(Volts(count));
        ASSERT_EQ(recordLines().size(), records) << qPrintable(statusText());
    }

    HeadlessRecording& recording() { return *recording_; }
    std::optional<int> prepared() const { return prepared_; }
    QStringList recordLines() { return ReadAll(records_).split('\n', Qt::SkipEmptyParts); }
    QString statusText() { return ReadAll(status_); }
    QString reports() const { return dir_.filePath("reports") + "/"; }
    QStringList journals() const {
        return QDir(dir_.filePath("journals")).entryList({"*.journal"}, QDir::Files);
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
    std::optional<int> prepared_;
};

RecordOptions Every(qint32 intervalMs) {
    RecordOptions o;
    o.intervalMs = intervalMs;
    return o;
}

TEST(HeadlessRecording, TheCountIsNeverPassed) {
    RecordOptions o = Every(500);
    o.count = 3;
    ScriptedRun run(o);
    ASSERT_FALSE(run.prepared());
    run.recordUntil(2);
    // A poll held up for 1.4 s catches up two intervals at once: only the count is taken.
    run.poll(Volts(2345), 1400);
    ASSERT_TRUE(run.recording().finished());
    EXPECT_EQ(run.recording().exitStatus(), kExitDone);
    const QStringList lines = run.recordLines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith("0001,2024/01/31,14:25:")) << qPrintable(lines[0]);
    EXPECT_TRUE(lines[2].endsWith(",2.345,V")) << qPrintable(lines[2]);
    Session report;
    ASSERT_EQ(run.reportRecords("run.csv", &report), 3);
    EXPECT_EQ(report.stats.maxRow[0], "2.345");
    EXPECT_TRUE(run.journals().isEmpty()) << "the journal goes once the report is written";
}

TEST(HeadlessRecording, HowARunEnds) {
    struct Case {
        const char* name;
        RecordOptions options;
        std::function<void(ScriptedRun&)> run;
        int status;
        int records;       // in the report; -1 no report
        const char* told;  // on standard error
        bool journalStays;
    };
    RecordOptions twoSeconds = Every(500);
    twoSeconds.durationMs = 2000;
    const Case cases[] = {
        {"the duration is over", twoSeconds,
         [](ScriptedRun& r) {
             for (int i = 0; i < 10 && !r.recording().finished(); ++i) r.poll(Volts(1234));
         },
         kExitDone, 4, "the duration is over: 4 records", false},
        {"the meter stops sending", Every(500),
         [](ScriptedRun& r) {
             r.recordUntil(2);
             for (int i = 0; i < 40 && !r.recording().finished(); ++i) r.poll({});
         },
         // Records go on from the last reading while it is live (its frame may be up to a
         // poll older than decoded: one more record at the next poll).
         kExitMeterTimedOut, 3, "the meter sent nothing for 15 s: 3 records", false},
        {"the report's folder is gone at the end", Every(500),
         [](ScriptedRun& r) {
             r.recordUntil(3);
             QDir(r.reports()).removeRecursively();
             QFile blocker(r.reports().chopped(1));
             blocker.open(QIODevice::WriteOnly);  // a file where the folder was
             r.recording().requestEnd();
         },
         kExitReportNotWritten, -1, "its 3 records stay in the journal", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedRun run(c.options);
        ASSERT_FALSE(run.prepared());
        c.run(run);
        ASSERT_TRUE(run.recording().finished());
        EXPECT_EQ(run.recording().exitStatus(), c.status);
        EXPECT_EQ(run.reportRecords("run.csv"), c.records);
        const QString told = run.statusText();
        EXPECT_TRUE(told.contains(c.told)) << qPrintable(told);
        EXPECT_EQ(run.journals().size(), c.journalStays ? 1 : 0);
    }
}

// Standard error that is no terminal (a log) gets the status as a line of its own: at
// the start, at most every 10 s, and the last one at the end.
TEST(HeadlessRecording, StatusLinesInALogAreThrottled) {
    ScriptedRun run(Every(500));
    run.recordUntil(1);
    for (int i = 0; i < 50; ++i) run.poll(Volts(1234));  // 25 s
    run.recording().requestEnd();
    const int records = run.recordLines().size();
    QStringList status;
    for (const QString& line : run.statusText().split('\n'))
        if (line.contains(", last ")) status << line;
    ASSERT_EQ(status.size(), 4) << qPrintable(status.join('\n'));
    EXPECT_TRUE(status[0].endsWith(": 0 records, last none yet")) << qPrintable(status[0]);
    EXPECT_TRUE(status[3].endsWith(QString(": %1 records, last 1.234 V").arg(records)))
        << qPrintable(status[3]);
}

// A new function on the meter and the record limit each end a report; the run goes on
// into run_2.csv.
TEST(HeadlessRecording, GoesOnIntoTheNextFile) {
    {
        SCOPED_TRACE("the meter's function changes");
        ScriptedRun run(Every(500));
        run.recordUntil(3);
        for (int i = 0; i < 6; ++i) run.poll(Volts(1234, 1));  // AC volts
        run.recording().requestEnd();
        EXPECT_EQ(run.recording().exitStatus(), kExitDone);
        Session first, second;  // each report of one function, numbered from 1
        EXPECT_EQ(run.reportRecords("run.csv", &first), 3);
        EXPECT_GE(run.reportRecords("run_2.csv", &second), 3);
        EXPECT_EQ(first.rec.recordedFunction, 2);
        EXPECT_EQ(second.rec.recordedFunction, 1);
        EXPECT_EQ(second.table.cell(1, RecordTable::ColNo), "0001");
    }
    {
        SCOPED_TRACE("10000 records");
        ScriptedRun run(Every(0));
        for (int i = 0; i < Recorder::kMaxRecords + 3; ++i) run.poll(Volts(1000 + i % 1000));
        run.recording().requestEnd();
        EXPECT_EQ(run.recording().exitStatus(), kExitDone);
        EXPECT_EQ(run.reportRecords("run.csv"), Recorder::kMaxRecords);
        EXPECT_GE(run.reportRecords("run_2.csv"), 1);
        EXPECT_EQ(run.recording().reportsWritten(),
                  QStringList({run.reports() + "run.csv", run.reports() + "run_2.csv"}));
    }
}

}  // namespace
}  // namespace quillon
