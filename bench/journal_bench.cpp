// Target: journalling one record (its line, one write() to the kernel, and waking the
// worker that runs the fdatasync at most once a second) takes under 50 µs, median, on
// the caller's thread.
//
// The journal goes into a folder beside the working directory, so the figure is that of
// a real file system rather than a memory one.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "recording_journal.h"
#include "session.h"

namespace quillon {
namespace {

constexpr int kRecords = 10000;  // one recording's capacity

void FillTable(Session& s) {
    s.settings.graphTitle = "Bench";
    s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
    s.stats.statFlags = {true, true, true, false};
    s.rec.recordName = "20240501_100000";
    s.reading.function = 2;
    s.reading.range = 1;
    s.reading.decimalIndex = 1;
    s.readout.unit = "V";
    s.table.setRows(kRecords + 2);
    for (int i = 1; i <= kRecords; ++i) {
        s.table.setCell(i, 0, QString::number(i).rightJustified(4, '0'));
        s.table.setCell(i, 1, QStringLiteral("2024/05/01"));
        s.table.setCell(i, 2,
                        QStringLiteral("10:%1:%2")
                            .arg((i / 60) % 60, 2, 10, QChar('0'))
                            .arg(i % 60, 2, 10, QChar('0')));
        s.table.setCell(i, 3, QString::number((i % 1000) / 100.0, 'f', 3));
        s.table.setCell(i, 4, QStringLiteral("V"));
    }
}

void BM_JournalOneRecord(benchmark::State& state) {
    QTemporaryDir dir(QDir::currentPath() + "/journal-bench-XXXXXX");
    Session s;
    FillTable(s);
    RecordingJournal journal(dir.path());
    int row = 0;
    for (auto _ : state) {
        if (row == kRecords) {
            // A full recording: the next one starts a new file.
            state.PauseTiming();
            journal.saveDeclined();
            journal.tableCleared();
            row = 0;
            state.ResumeTiming();
        }
        journal.append(s, ++row);
    }
    if (!journal.errorText().isEmpty()) state.SkipWithError(qPrintable(journal.errorText()));
    journal.saveDeclined();
    journal.tableCleared();
}
BENCHMARK(BM_JournalOneRecord)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace quillon

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
