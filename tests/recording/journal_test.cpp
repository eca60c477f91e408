// The recording journal and its recovery: the recovered report is the report a save
// would have written, damaged journals, when a journal goes and when it stays.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <mutex>
#include <thread>

#include "journal_format.h"
#include "journal_recovery.h"
#include "journal_syncer.h"
#include "meter_tables.h"
#include "recorder.h"
#include "recording_journal.h"
#include "report_writer.h"
#include "statistics_calc.h"

namespace quillon {
namespace {

// The statistics and report format the program connects to recovery.
RecoveryCalls ProgramRecoveryCalls() {
    RecoveryCalls calls;
    calls.updateStatistics = [](Session& s) {
        StatisticsCalc statistics(s);
        statistics.UpdateMaxMin();
        statistics.UpdateAverage();
    };
    calls.writeReport = [](const Session& s, const QString& path) {
        const WriteResult r = WriteReport(s, path);
        return r.ok ? QString() : r.errorText;
    };
    return calls;
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList Journals(const QString& folder) {
    return QDir(folder).entryList({"*.journal"}, QDir::Files, QDir::Name);
}

// A recording through the real record step, statistics and report format, journalled.
class JournalTest : public ::testing::Test {
  protected:
    JournalTest() {
        session.settings.recordIntervalMs = 1000;
        session.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        session.settings.graphTitle = "Bench, test\twith a tab";
        session.stats.statFlags = {true, true, true, false};
        RecorderCalls& c = recorder.calls();
        c.UnitTable = [](int f, int r) { return UnitTable(f, r); };
        c.FunctionTable = [](int f) { return FunctionTable(f); };
        c.linkUp = [this] { session.link.linkOn = true; };
        c.UpdateMaxMin = [this] { StatisticsCalc(session).UpdateMaxMin(); };
        c.UpdateAverage = [this] { StatisticsCalc(session).UpdateAverage(); };
        c.PromptUnsavedRecord = [this] {
            if (atStop == StopOutcome::Saved) journal->reportSaved();
            if (atStop == StopOutcome::Declined) journal->saveDeclined();
        };
        recorder.InstallHooks();
        recorder.SetIdleState();
        recorder.InitGrid();
        recorder.setJournal(journal.get());
    }

    // One record a second from what the meter shows.
    void record(const QString& value, int func = 4, int range = 3) {
        clock.advance(1000);
        session.reading.valueText = value;
        session.reading.function = func;
        session.reading.range = range;
        session.reading.decimalIndex = DecimalTable(func, range).toFloat();
        session.readout.value = value;
        session.readout.unit = UnitTable(func, range);
        session.link.lastFrameTick = clock.tickMs();
        recorder.recordStep();
    }

    RecoveryOutcome recover(const QStringList& folders = {}) {
        return RecoverJournals(state.path(),
                               folders.isEmpty() ? QStringList{reports.path()} : folders,
                               ProgramRecoveryCalls());
    }

    // Resistance across a change of unit, an overload, and the statistics switched.
    void recordSample() {
        recorder.startRecording();
        record("100.00");
        record("200.50");
        record("0.1500", 4, 4);  // MΩ
        record("OL", 4, 4);
        record("120.00");
        // MIN switched off in the settings (while paused, say), which empties its row.
        session.stats.statFlags[1] = false;
        session.stats.minRow.fill(QString());
        record("95.25");
    }

    QTemporaryDir state, reports;
    Session session;
    FakeClock clock{QDateTime(QDate(2024, 1, 31), QTime(10, 0, 0))};
    ScriptedMessageBoxes messages;
    std::unique_ptr<RecordingJournal> journal = std::make_unique<RecordingJournal>(state.path());
    Recorder recorder{session, clock, messages};
    // What becomes of the records when a recording stops.
    enum class StopOutcome { Saved, NotSaved, Declined } atStop = StopOutcome::Saved;
};

TEST_F(JournalTest, RecoveredReportIsTheReportASaveWouldWrite) {
    recordSample();
    ASSERT_EQ(session.table.recordCount(), 6);
    const QByteArray saved = ReportBytes(session);
    const QString journalPath = journal->path();
    ASSERT_TRUE(QFile::exists(journalPath)) << qPrintable(journal->errorText());
    const QByteArray journalBytes = ReadFile(journalPath);
    journal.reset();  // the program killed: the journal stays

    const RecoveryOutcome first = recover();
    ASSERT_EQ(first.recovered.size(), 1);
    EXPECT_TRUE(first.failed.isEmpty());
    EXPECT_EQ(first.recovered[0].records, 6);
    EXPECT_EQ(first.recovered[0].report, reports.filePath("20240131_100000_recovered.csv"));
    EXPECT_EQ(ReadFile(first.recovered[0].report), saved);
    EXPECT_TRUE(Journals(state.path()).isEmpty());
    EXPECT_TRUE(RecoveryMessage(first).contains(first.recovered[0].report + " (6 records)"));

    // The same journal again: a new name, the first report untouched.
    WriteFile(journalPath, journalBytes);
    const RecoveryOutcome second = recover();
    ASSERT_EQ(second.recovered.size(), 1);
    EXPECT_EQ(second.recovered[0].report, reports.filePath("20240131_100000_recovered_2.csv"));
    EXPECT_EQ(ReadFile(first.recovered[0].report), saved);
}

TEST_F(JournalTest, DamagedJournals) {
    recordSample();
    const QByteArray good = ReadFile(journal->path());
    journal.reset();
    const qsizetype thirdLine = good.indexOf('\n', good.indexOf('\n') + 1) + 1;

    struct Case {
        const char* name;
        QByteArray bytes;
        int records;         // recovered; -1: not recovered, kept
        const char* reason;  // part of the reason when kept
    };
    const Case cases[] = {
        {"torn last line", good.left(good.size() - 7), 5, ""},
        {"torn first line only", QByteArray("QUILLON jour"), 0, ""},
        {"damaged line in the middle", good.left(thirdLine) + "record\tx\n" + good.mid(thirdLine),
         -1, "line 3 cannot be read"},
        {"not a journal", QByteArray("hello\nworld\n"), -1, "not a recording journal"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(state.path()).removeRecursively();
        QDir(reports.path()).removeRecursively();
        QDir().mkpath(state.path());
        const QString path = state.filePath("x.journal");
        WriteFile(path, c.bytes);
        const RecoveryOutcome o = recover();
        if (c.records > 0) {
            ASSERT_EQ(o.recovered.size(), 1);
            EXPECT_EQ(o.recovered[0].records, c.records);
            EXPECT_FALSE(QFile::exists(path));
        } else if (c.records == 0) {
            EXPECT_TRUE(o.recovered.isEmpty());
            EXPECT_TRUE(o.failed.isEmpty());
            EXPECT_FALSE(QFile::exists(path)) << "nothing to recover: removed";
            EXPECT_EQ(RecoveryMessage(o), "");
        } else {
            EXPECT_TRUE(o.recovered.isEmpty());
            ASSERT_EQ(o.failed.size(), 1);
            EXPECT_TRUE(o.failed[0].reason.contains(c.reason)) << qPrintable(o.failed[0].reason);
            EXPECT_TRUE(QFile::exists(path)) << "a journal that cannot be read stays";
            EXPECT_TRUE(RecoveryMessage(o).contains(path));
        }
    }
}

TEST_F(JournalTest, TheJournalGoesOnlyWhenTheUserLetTheRecordsGo) {
    struct Case {
        const char* name;
        StopOutcome atStop;
        std::function<void()> then;  // after two records
        bool stays;
    };
    const auto stopThenExit = [&] {
        recorder.stopRecording();
        journal->programEnding();
    };
    const auto stopThenStart = [&] {
        recorder.stopRecording();
        recorder.startRecording();
    };
    const auto clear = [&] { recorder.clearRecording(); };
    const auto functionChange = [&] { record("1.000", 2, 1); };
    const Case cases[] = {
        {"program killed", StopOutcome::Saved, [] {}, true},
        {"report saved at Stop", StopOutcome::Saved, [&] { recorder.stopRecording(); }, false},
        {"save failed, then Exit", StopOutcome::NotSaved, stopThenExit, true},
        {"save declined, then Exit", StopOutcome::Declined, stopThenExit, false},
        {"Clear, save declined", StopOutcome::Declined, clear, false},
        {"Clear, save failed", StopOutcome::NotSaved, clear, true},
        {"a new recording after a declined save", StopOutcome::Declined, stopThenStart, false},
        {"a new recording after a failed save", StopOutcome::NotSaved, stopThenStart, true},
        {"function change, save failed", StopOutcome::NotSaved, functionChange, true},
        {"function change, saved", StopOutcome::Saved, functionChange, false},
        {"a record after Exit declined the save", StopOutcome::Declined,
         [&] {
             journal->saveDeclined();
             journal->programEnding();
             record("100.75");
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(state.path()).removeRecursively();
        atStop = c.atStop;
        journal = std::make_unique<RecordingJournal>(state.path());
        recorder.setJournal(journal.get());
        recorder.SetIdleState();
        recorder.startRecording();
        record("100.00");
        record("100.50");
        c.then();
        EXPECT_EQ(!Journals(state.path()).isEmpty(), c.stays);
        recorder.stopRecording();
        journal.reset();
    }
}

TEST_F(JournalTest, ARecordingSavedWhilePausedAndResumedIsJournalledWhole) {
    recorder.startRecording();
    record("100.00");
    recorder.pauseRecording();
    journal->reportSaved();  // "Save Report" while paused
    EXPECT_TRUE(Journals(state.path()).isEmpty());
    recorder.startRecording();
    record("100.50");
    record("101.00");
    const QByteArray saved = ReportBytes(session);
    journal.reset();
    const RecoveryOutcome o = recover();
    ASSERT_EQ(o.recovered.size(), 1);
    EXPECT_EQ(o.recovered[0].records, 3);
    EXPECT_EQ(ReadFile(o.recovered[0].report), saved);
}

TEST_F(JournalTest, AnUnusableJournalFolderIsShownAndRecordingGoesOn) {
    WriteFile(state.filePath("file"), "x");
    journal = std::make_unique<RecordingJournal>(state.filePath("file/quillon"));
    recorder.setJournal(journal.get());
    recorder.startRecording();
    record("100.00");
    record("100.50");
    EXPECT_EQ(session.table.recordCount(), 2);
    EXPECT_TRUE(session.rec.journalProblem.contains(state.filePath("file/quillon")))
        << qPrintable(session.rec.journalProblem);
}

TEST_F(JournalTest, RecoveryLeavesLiveJournalsAndFallsBackToTheNextFolder) {
    recordSample();
    // This program still records: its journal is no lost recording.
    RecoveryOutcome o = recover();
    EXPECT_TRUE(o.recovered.isEmpty() && o.failed.isEmpty());
    journal.reset();

    const QString notAFolder = reports.filePath("file");
    WriteFile(notAFolder, "x");
    o = recover({notAFolder + "/", notAFolder + "/deeper/"});
    ASSERT_EQ(o.failed.size(), 1);
    EXPECT_EQ(Journals(state.path()).size(), 1) << "no report written: the journal stays";

    o = recover({notAFolder + "/", reports.filePath("second/")});
    ASSERT_EQ(o.recovered.size(), 1);
    EXPECT_TRUE(o.recovered[0].report.startsWith(reports.filePath("second/")));
    EXPECT_TRUE(Journals(state.path()).isEmpty());
}

// A journal is locked before it has its name, so recovery never sees a running
// recording's journal unlocked; a half-made one is passed over until it is a day old.
TEST_F(JournalTest, HalfMadeJournalsArePassedOverUntilTheyAreOld) {
    recorder.startRecording();
    record("100.00");
    const QDir folder(state.path());
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), Journals(state.path()));
    const QString fresh = state.filePath(QString(journal::kPartPrefix) + "fresh");
    const QString old = state.filePath(QString(journal::kPartPrefix) + "old");
    WriteFile(fresh, journal::kFirstLine);
    WriteFile(old, journal::kFirstLine);
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::ReadWrite));
    ASSERT_TRUE(oldFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime));
    oldFile.close();
    const RecoveryOutcome o = recover();
    EXPECT_TRUE(o.recovered.isEmpty() && o.failed.isEmpty());
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_FALSE(QFile::exists(old));
    EXPECT_EQ(Journals(state.path()).size(), 1);
}

// The journal's data sync runs off the caller's thread: at once for the first write,
// then at most once a second, and what is left when the file is closed for recovery.
TEST(JournalSyncer, AtOnceThenAtMostOnceASecondAndTheRestAtTheEnd) {
    using Clock = std::chrono::steady_clock;
    std::mutex m;
    std::vector<Clock::time_point> syncs;
    const auto count = [&] {
        std::lock_guard<std::mutex> lock(m);
        return syncs.size();
    };
    const auto waitFor = [&](size_t n) {
        const auto until = Clock::now() + std::chrono::seconds(5);
        while (count() < n && Clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return count() == n;
    };
    JournalSyncer syncer([&] {
        std::lock_guard<std::mutex> lock(m);
        syncs.push_back(Clock::now());
    });
    syncer.written();
    ASSERT_TRUE(waitFor(1));
    for (int i = 0; i < 20; ++i) syncer.written();
    ASSERT_TRUE(waitFor(2));
    EXPECT_GE(syncs[1] - syncs[0], std::chrono::milliseconds(950));
    syncer.written();
    syncer.finish(true);
    EXPECT_EQ(count(), 3u);
}

}  // namespace
}  // namespace quillon
