// The recording journal, when it goes and when it stays, and its recovery.
#include <QDir>
#include <QTemporaryDir>

#include "journal_format.h"
#include "journal_recovery.h"
#include "meter_tables.h"
#include "recorder_fixture.h"
#include "recording_journal.h"
#include "report_writer.h"
#include "statistics_calc.h"

namespace quillon {
namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A recording through the real record step, statistics and report format, journalled.
class JournalTest : public RecorderTest {
  protected:
    JournalTest() {
        session.settings.graphTitle = "Bench, test\twith a tab";
        session.stats.statFlags = {true, true, true, false};
        RecorderCalls& c = recorder.calls();
        c.UnitTable = UnitTable;
        c.FunctionTable = FunctionTable;
        c.UpdateMaxMin = [this] { StatisticsCalc(session).UpdateMaxMin(); };
        c.UpdateAverage = [this] { StatisticsCalc(session).UpdateAverage(); };
        c.PromptUnsavedRecord = [this] {
            if (atStop == StopOutcome::Saved) journal->reportSaved();
            if (atStop == StopOutcome::Declined) journal->saveDeclined();
        };
        recorder.setJournal(journal.get());
    }

    // One record a second from what the meter shows.
    void record(const QString& value, int func = 4, int range = 3) {
        feed(value, func, range, DecimalTable(func, range).toFloat());
        session.readout.unit = UnitTable(func, range);
        tick(1000);
    }

    // Recovery with the statistics and report format the program connects to it.
    RecoveryOutcome recover(const QStringList& folders = {}) {
        RecoveryCalls calls;
        calls.updateStatistics = [](Session& s) {
            StatisticsCalc(s).UpdateMaxMin();
            StatisticsCalc(s).UpdateAverage();
        };
        calls.writeReport = [](const Session& s, const QString& path) {
            return WriteReport(s, path).errorText;
        };
        return RecoverJournals(state.path(),
                               folders.isEmpty() ? QStringList{reports.path()} : folders, calls);
    }

    QStringList journals() const {
        return QDir(state.path()).entryList({"*.journal"}, QDir::Files);
    }

    QTemporaryDir state, reports;
    std::unique_ptr<RecordingJournal> journal = std::make_unique<RecordingJournal>(state.path());
    enum class StopOutcome { Saved, NotSaved, Declined } atStop = StopOutcome::Saved;
};

TEST_F(JournalTest, TheJournalGoesOnlyWhenTheUserLetTheRecordsGoAndTroubleIsTold) {
    const auto stopThenExit = [&] {
        recorder.stopRecording();
        journal->programEnding();
    };
    // What the user does after two records, and whether the journal stays.
    const std::tuple<const char*, StopOutcome, std::function<void()>, bool> cases[] = {
        {"save failed, then Exit", StopOutcome::NotSaved, stopThenExit, true},
        {"save declined, then Exit", StopOutcome::Declined, stopThenExit, false},
        {"Clear, save declined", StopOutcome::Declined, [&] { recorder.clearRecording(); }, false},
        {"function change, save failed", StopOutcome::NotSaved, [&] { record("1.0", 2, 1); }, true},
        {"a record after Exit declined the save", StopOutcome::Declined,
         [&] {
             journal->saveDeclined();
             journal->programEnding();
             record("100.75");
         },
         false},
    };
    for (const auto& [name, outcome, then, stays] : cases) {
        SCOPED_TRACE(name);
        QDir(state.path()).removeRecursively();
        atStop = outcome;
        journal = std::make_unique<RecordingJournal>(state.path());
        recorder.setJournal(journal.get());
        recorder.startRecording();
        record("100.00");
        record("100.50");
        then();
        EXPECT_EQ(!journals().isEmpty(), stays);
        recorder.stopRecording();
        journal.reset();
    }
    // A journal folder that cannot be made is told; the records still go into the table.
    WriteFile(state.filePath("file"), "x");
    journal = std::make_unique<RecordingJournal>(state.filePath("file/quillon"));
    recorder.setJournal(journal.get());
    recorder.startRecording();
    record("100.00");
    record("100.50");
    EXPECT_EQ(records(), 2);
    EXPECT_TRUE(session.rec.journalProblem.contains(state.filePath("file/quillon")))
        << qPrintable(session.rec.journalProblem);
}

TEST_F(JournalTest, RecoveryWritesTheReportASaveWouldWriteLeavesLiveJournalsAndKeepsDamagedOnes) {
    // A unit change, an overload, MIN off and a save while paused (the journal starts again).
    recorder.startRecording();
    record("100.00");
    recorder.pauseRecording();
    journal->reportSaved();
    EXPECT_TRUE(journals().isEmpty());
    recorder.startRecording();
    record("200.50");
    record("0.1500", 4, 4);  // MΩ
    record("OL", 4, 4);
    record("120.00");
    session.stats.statFlags[1] = false;
    session.stats.minRow.fill(QString());
    record("95.25");
    ASSERT_EQ(records(), 6);
    const QByteArray saved = ReportBytes(session);
    EXPECT_EQ(QDir(state.path()).entryList(QDir::Files | QDir::Hidden), journals());
    const QString fresh = state.filePath(QString(journal::kPartPrefix) + "fresh");
    const QString old = state.filePath(QString(journal::kPartPrefix) + "old");
    WriteFile(fresh, journal::kFirstLine);
    WriteFile(old, journal::kFirstLine);
    QFile oldFile(old);
    ASSERT_TRUE(oldFile.open(QIODevice::ReadWrite) &&
                oldFile.setFileTime(QDateTime::currentDateTime().addDays(-2),
                                    QFileDevice::FileModificationTime));
    RecoveryOutcome o = recover();
    EXPECT_TRUE(o.recovered.isEmpty() && o.failed.isEmpty());
    EXPECT_TRUE(QFile::exists(fresh));
    EXPECT_FALSE(QFile::exists(old));
    const QString journalPath = journal->path();
    const QByteArray lines = ReadFile(journalPath);
    journal.reset();  // the program killed: the journal stays
    const QString notAFolder = reports.filePath("file");
    WriteFile(notAFolder, "x");
    o = recover({notAFolder + "/", notAFolder + "/deeper/"});
    ASSERT_EQ(o.failed.size(), 1);
    EXPECT_EQ(journals(), QStringList(QFileInfo(journalPath).fileName()));
    o = recover({notAFolder + "/", reports.path()});
    ASSERT_EQ(o.recovered.size(), 1);
    EXPECT_TRUE(o.failed.isEmpty());
    const QString report = reports.filePath("20240131_100000_recovered.csv");
    EXPECT_EQ(o.recovered[0].report, report);
    EXPECT_EQ(ReadFile(report), saved);
    EXPECT_TRUE(RecoveryMessage(o).contains(report + " (6 records)"));
    EXPECT_TRUE(journals().isEmpty());
    // The same journal again: a new name, the first report untouched.
    WriteFile(journalPath, lines);
    o = recover();
    ASSERT_EQ(o.recovered.size(), 1);
    EXPECT_EQ(o.recovered[0].report, reports.filePath("20240131_100000_recovered_2.csv"));
    EXPECT_EQ(ReadFile(report), saved);
    // Damaged journals: a torn last line is dropped; one that cannot be read stays.
    const qsizetype thirdLine = lines.indexOf('\n', lines.indexOf('\n') + 1) + 1;
    // Records recovered (0: nothing to recover, -1: the journal kept) and why it was kept.
    const std::tuple<const char*, QByteArray, int, const char*> cases[] = {
        {"torn last line", lines.left(lines.size() - 7), 5, ""},
        {"torn first line only", QByteArray("QUILLON jour"), 0, ""},
        {"damaged line in the middle", lines.left(thirdLine) + "record\tx\n" + lines.mid(thirdLine),
         -1, "line 3 cannot be read"},
        {"not a journal", QByteArray("hello\nworld\n"), -1, "not a recording journal"},
    };
    const QString path = state.filePath("x.journal");
    for (const auto& [name, bytes, n, reason] : cases) {
        SCOPED_TRACE(name);
        WriteFile(path, bytes);
        o = recover();
        EXPECT_EQ(o.recovered.isEmpty() ? 0 : o.recovered[0].records, std::max(n, 0));
        EXPECT_EQ(QFile::exists(path), n < 0) << "only a journal that cannot be read stays";
        EXPECT_EQ(RecoveryMessage(o).isEmpty(), n == 0);
        if (n >= 0) continue;
        ASSERT_EQ(o.failed.size(), 1);
        EXPECT_TRUE(o.failed[0].reason.contains(reason)) << qPrintable(o.failed[0].reason);
        EXPECT_TRUE(RecoveryMessage(o).contains(path));
        QFile::remove(path);
    }
}

}  // namespace
}  // namespace quillon
