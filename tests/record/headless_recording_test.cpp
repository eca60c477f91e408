// Command-line recordings in the process: a scripted meter, a clock moved by hand.
#include "headless_recording.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "../app/private_home.h"
#include "../meter/meter_frames.h"
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

struct ScriptedRun {
    explicit ScriptedRun(qint32 intervalMs, RecordOptions options = {}) {
        options.intervalMs = intervalMs;
        options.port = "/dev/scripted";
        options.out = reports() + "run.csv";
        SettingsStore store(dir.filePath("regtest.ini"));
        store.WriteSetting("Sav_Drv", reports());
        serial.setOpenResult(1, SIO_OK);
        serial.logDataCalls = false;
        recording = std::make_unique<HeadlessRecording>(options, serial, ports, clock, records,
                                                        status, dir.filePath("journals"));
        EXPECT_FALSE(recording->prepare(store));
    }
    ~ScriptedRun() {
        std::fclose(records);
        std::fclose(status);
    }
    // One poll: the meter has sent `bytes` meanwhile and `ms` have passed.
    void poll(const QByteArray& bytes, qint64 ms = 500) {
        serial.appendInput(1, bytes);
        clock.advance(ms);
        recording->tick();
    }
    // Polls with one frame each until `n` records are printed.
    void recordUntil(int n) {
        for (int i = 0; i < 4 * n + 4 && recordLines().size() < n; ++i) poll(Volts(1234));
        ASSERT_EQ(recordLines().size(), n) << qPrintable(ReadAll(status));
    }
    QStringList recordLines() { return ReadAll(records).split('\n', Qt::SkipEmptyParts); }
    QString reports() const { return dir.filePath("reports") + "/"; }
    // The report as the window's reader loads it; -1 records when it cannot be read.
    int reportRecords(const QString& name, Session* into = nullptr) {
        Session own;
        const LoadResult loaded = testing::OpenReport(reports() + name, into ? *into : own);
        return loaded.ok ? loaded.records : -1;
    }

    QTemporaryDir dir;
    FakeClock clock;
    ScriptedSerialLibrary serial{&clock};
    PortTable ports{QStringList{"/dev/scripted"}};
    FILE* records = std::tmpfile();
    FILE* status = std::tmpfile();
    std::unique_ptr<HeadlessRecording> recording;
};

// A late poll catches up two intervals but never passes the count; a silent meter's last
// reading stays live one more poll.
TEST(HeadlessRecording, HowARunEndsItsStatusLinesAndTheNextFile) {
    RecordOptions count, twoSeconds;
    count.count = 3;
    twoSeconds.durationMs = 2000;
    const auto untilEnd = [](const QByteArray& bytes) {
        return [bytes](ScriptedRun& r) {
            for (int i = 0; i < 40 && !r.recording->finished(); ++i) r.poll(bytes);
        };
    };
    const auto blockReport = [](ScriptedRun& r) {
        QDir(r.reports()).removeRecursively();
        QFile(r.reports().chopped(1)).open(QIODevice::WriteOnly);  // a file where it was
        r.recording->requestEnd();
    };
    const struct {
        const char* told;  // on standard error
        RecordOptions options;
        int before;  // records before `then`
        std::function<void(ScriptedRun&)> then;
        int status, records;  // in the report; -1 none, the journal stays
    } cases[] = {
        {"done: 3 records", count, 2, [](ScriptedRun& r) { r.poll(Volts(2345), 1400); }, kExitDone,
         3},
        {"the duration is over: 4 records", twoSeconds, 0, untilEnd(Volts(1234)), kExitDone, 4},
        {"the meter sent nothing for 15 s: 3 records", {}, 2, untilEnd({}), kExitMeterTimedOut, 3},
        {"its 3 records stay in the journal", {}, 3, blockReport, kExitReportNotWritten, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.told);
        ScriptedRun run(500, c.options);
        run.recordUntil(c.before);
        c.then(run);
        ASSERT_TRUE(run.recording->finished());
        EXPECT_EQ(run.recording->exitStatus(), c.status);
        EXPECT_TRUE(run.recordLines().value(0).startsWith("0001,2024/01/31,14:25:"));
        EXPECT_EQ(run.reportRecords("run.csv"), c.records);
        EXPECT_TRUE(ReadAll(run.status).contains(c.told)) << qPrintable(ReadAll(run.status));
        EXPECT_EQ(QDir(run.dir.filePath("journals")).entryList({"*.journal"}).size(),
                  c.records < 0 ? 1 : 0);
    }
    // A log gets status lines at the start, at most every 10 s, and at the end. A new
    // function and the record limit each end a report; the run goes on into run_2.csv.
    ScriptedRun run(500);
    run.recordUntil(1);
    for (int i = 0; i < 50; ++i) run.poll(Volts(1234));  // 25 s
    const int dc = run.recordLines().size();
    for (int i = 0; i < 6; ++i) run.poll(Volts(1234, 1));  // AC volts
    run.recording->requestEnd();
    EXPECT_EQ(run.recording->exitStatus(), kExitDone);
    const QStringList status = ReadAll(run.status).split('\n').filter(", last ");
    ASSERT_EQ(status.size(), 4) << qPrintable(status.join('\n'));
    EXPECT_TRUE(status[0].endsWith(": 0 records, last none yet")) << qPrintable(status[0]);
    EXPECT_TRUE(
        status[3].endsWith(QString(": %1 records, last 1.234 V").arg(run.recordLines().size())))
        << qPrintable(status[3]);
    Session first, second;
    EXPECT_EQ(run.reportRecords("run.csv", &first), dc);
    EXPECT_EQ(run.reportRecords("run_2.csv", &second), run.recordLines().size() - dc);
    EXPECT_EQ(first.rec.recordedFunction * 10 + second.rec.recordedFunction, 21);
    EXPECT_EQ(second.table.cell(1, RecordTable::ColNo), "0001");
    ScriptedRun full(0);
    for (int i = 0; i < Recorder::kMaxRecords + 3; ++i) full.poll(Volts(1000 + i % 1000));
    full.recording->requestEnd();
    EXPECT_EQ(full.reportRecords("run.csv"), Recorder::kMaxRecords);
    EXPECT_GE(full.reportRecords("run_2.csv"), 1);
    EXPECT_EQ(full.recording->reportsWritten(),
              QStringList({full.reports() + "run.csv", full.reports() + "run_2.csv"}));
}

}  // namespace
}  // namespace quillon
