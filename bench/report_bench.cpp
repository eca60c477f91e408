// Target: writing and opening a report of 10000 records each take well under 100 ms.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <QTime>

#include "report_opener.h"
#include "report_writer.h"

namespace quillon {
namespace {

void FillRecording(Session& s, int n) {
    s.settings.graphTitle = "Bench";
    s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
    s.rec.recordedFunction = 2;
    s.rec.recordedRange = 1;
    s.stats.maxRow = {"9.999", "V", "10:00:01"};
    s.stats.minRow = {"0.000", "V", "10:00:00"};
    s.stats.avgRow = {"5.000", "V"};
    s.table.setRows(n + 2);
    const QTime start(10, 0, 0);
    for (int i = 1; i <= n; ++i) {
        s.table.setCell(i, 0, QString::number(i).rightJustified(4, '0'));
        s.table.setCell(i, 1, QStringLiteral("2024/05/01"));
        s.table.setCell(i, 2, start.addSecs(i).toString(QStringLiteral("HH:mm:ss")));
        s.table.setCell(i, 3, QString::number((i % 1000) / 100.0, 'f', 3));
        s.table.setCell(i, 4, QStringLiteral("V"));
    }
}

void BM_WriteReport10000(benchmark::State& state) {
    QTemporaryDir dir;
    Session s;
    FillRecording(s, 10000);
    const QString path = dir.filePath("r.csv");
    for (auto _ : state) {
        if (!WriteReport(s, path).ok) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteReport10000)->Unit(benchmark::kMillisecond);

void BM_OpenReport10000(benchmark::State& state) {
    QTemporaryDir dir;
    Session source;
    FillRecording(source, 10000);
    const QString path = dir.filePath("r.csv");
    WriteReport(source, path);
    Session s;
    s.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    int redraws = 0;
    ReportOpenerCallbacks cb;
    cb.showPage = [&redraws](const QString&) { ++redraws; };
    ReportOpener opener(s, messages, dialogs, cb);
    for (auto _ : state) {
        if (opener.LoadReport(path).records != 10000) state.SkipWithError("load failed");
    }
    benchmark::DoNotOptimize(redraws);
}
BENCHMARK(BM_OpenReport10000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon
