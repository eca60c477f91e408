// Speed of the trend graph at the design size: a full page redraw (what a page change
// or a rescale costs) and plotting one new point (what every record costs).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTime>
#include <cmath>

#include "clock.h"
#include "number_format.h"
#include "session.h"
#include "trend_graph.h"

namespace {

using namespace quillon;

void EnsureApplication() {
    static int argc = 1;
    static char name[] = "graph_bench";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

// A session holding `records` records of a sine in volts, as the record step leaves it.
struct Recording {
    explicit Recording(int records, QSize size = TrendGraph::DesignSize()) : graph(s, clock) {
        s.settings.dateTimeFormats = {QStringLiteral("yyyy/mm/dd"), QStringLiteral("HH:nn:ss")};
        s.settings.showGraphTitle = 1;
        s.settings.graphTitle = QStringLiteral("Bench");
        s.rec.shownUnit = QStringLiteral("V");
        s.rec.recordedFunction = 2;
        s.rec.recordedRange = 1;
        s.rec.finestDec = QStringLiteral("1");
        s.graph.pageBox = QStringLiteral("1");
        for (int n = 1; n <= records; ++n) {
            s.table.setCell(n, RecordTable::ColNo, FormatNumber(n, QStringLiteral("0000")));
            s.table.setCell(n, RecordTable::ColTime,
                            QTime(10, 0).addSecs(n).toString(QStringLiteral("HH:mm:ss")));
            s.table.setCell(n, RecordTable::ColValue,
                            FormatNumber(2.5 * std::sin(n / 8.0), QStringLiteral("###0.000")));
            s.table.setCell(n, RecordTable::ColUnit, QStringLiteral("V"));
            s.table.addRow();
        }
        s.rec.nextRecord = records;
        graph.Relayout(size);
    }
    Session s;
    FakeClock clock;
    TrendGraph graph;
};

void BM_FullPageRedraw(benchmark::State& state) {
    EnsureApplication();
    Recording r(100, QSize(int(767 * state.range(0) / 100), int(232 * state.range(0) / 100)));
    for (auto _ : state) {
        r.graph.statistics().ComputeGraphScale();
        r.graph.drawEmptyFrame();
        r.graph.redrawPage();
        benchmark::DoNotOptimize(r.graph.image().constBits());
    }
}
// Argument: picture size in percent of the design size.
BENCHMARK(BM_FullPageRedraw)->Arg(100)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_PlotNewPoint(benchmark::State& state) {
    EnsureApplication();
    Recording r(50);
    for (auto _ : state) {
        r.graph.PlotNewPoint();  // record 50, drawn again each time
        benchmark::DoNotOptimize(r.graph.image().constBits());
    }
}
BENCHMARK(BM_PlotNewPoint)->Unit(benchmark::kMicrosecond);

}  // namespace
