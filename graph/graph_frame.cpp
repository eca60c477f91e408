// The empty frame under the curve: plot area, grid and ticks, axis numbers, captions.
#include <cmath>

#include "axis_labels.h"
#include "date_time_format.h"
#include "meter_tables.h"
#include "number_format.h"
#include "trend_graph.h"

namespace quillon {

namespace {
const QColor kPlotArea(224, 224, 224);
const QColor kMajorGrid(128, 128, 0);
const QColor kTick(128, 128, 128);
}  // namespace

void TrendGraph::drawEmptyFrame() {
    ChangeScope scope(*this);
    pendingCurve_.clear();
    pendingPoints_.clear();
    canvas_.clear(Qt::white);
    DrawPlotArea();
    DrawGrid();
    DrawYAxisLabels();
    DrawGraphCaption();
}

void TrendGraph::DrawPlotArea() {
    ChangeScope scope(*this);
    const GraphState& g = s_.graph;
    canvas_.fillBox(0, 0, 10200 * g.scaleX, 2720 * g.scaleY, kPlotArea);
}

void TrendGraph::DrawGrid() {
    ChangeScope scope(*this);
    GraphState& g = s_.graph;
    g.gridUnitY = 2720 * g.scaleY / 80;
    g.gridUnitX = 10200 * g.scaleX / 100;
    const double right = 10200 * g.scaleX, top = 2720 * g.scaleY;

    // The left and bottom ends (-150, -50) are not scaled: the major lines stick out a
    // little into the margins.
    QVector<QLineF> major, ticks;
    for (int i = 0; i <= 80; i += 10)
        major.append(QLineF(-150, i * g.gridUnitY, right, i * g.gridUnitY));
    for (int j = 0; j <= 100; j += 10)
        major.append(QLineF(j * g.gridUnitX, -50, j * g.gridUnitX, top));
    for (int i = 0; i <= 80; ++i)
        if (i % 10 != 0) ticks.append(QLineF(0, i * g.gridUnitY, 80 * g.scaleX, i * g.gridUnitY));
    const double pageScale = g.pageScale > 0 ? g.pageScale : 1;
    const int n = qRound(100 * pageScale);
    const int m = std::max(1, qRound(100 * pageScale / 10));
    for (int j = 0; j <= n; ++j) {
        const double x = j * g.gridUnitX / pageScale;
        if (j % m != 0) ticks.append(QLineF(x, 0, x, 80 * g.scaleY));
    }
    canvas_.lines(major, kMajorGrid, 1);
    canvas_.lines(ticks, kTick, 1);
}

void TrendGraph::DrawYAxisLabels() {
    ChangeScope scope(*this);
    if (s_.table.cell(1, RecordTable::ColValue).isEmpty()) return;
    const GraphState& g = s_.graph;
    const double x = AxisNumberLeft(s_.settings.graphBottom) * g.scaleX;
    const std::optional<int> decIdx = StatisticsCalc::DecimalIndexOf(s_.rec.finestDec);
    for (int i = 0; i <= 8; ++i) {
        const QString text = AxisNumberText(s_.settings.graphBottom, g.valuePerGridUnit, i, decIdx);
        if (!text.isNull()) canvas_.text(x, (110 + 340 * i) * g.scaleY, text);
    }
}

TrendGraph::Caption TrendGraph::GraphCaption() const {
    Caption c;
    if (!ShowsOpenedReport(s_)) {
        if (s_.settings.showGraphTitle == 1) c.title = s_.settings.graphTitle;
        c.date = FormatDate(clock_.now().date(), s_.settings.dateTimeFormats[0]);
    } else {
        c.title = s_.rec.fileTitle;
        c.date = s_.rec.fileDate;
    }
    if (!s_.rec.shownUnit.isEmpty())
        c.unit = QLatin1Char('(') + UnitTable(s_.rec.recordedFunction, s_.rec.recordedRange) +
                 QLatin1Char(')');
    return c;
}

void TrendGraph::DrawGraphCaption() {
    ChangeScope scope(*this);
    DrawCaption(GraphCaption());
}

void TrendGraph::DrawCaption(const Caption& c) {
    const GraphState& g = s_.graph;
    const double x = 4200 * g.scaleX, titleY = 3120 * g.scaleY, dateY = 2920 * g.scaleY;
    canvas_.text(x, titleY, c.title);
    canvas_.text(x, dateY, c.date);
    // Left of the strips, which do not clear it: drawn on its own white box.
    canvas_.textOnWhite(-550 * g.scaleX, 3100 * g.scaleY, c.unit);
}

void TrendGraph::ClearLeftMargin() {
    ChangeScope scope(*this);
    const GraphState& g = s_.graph;
    canvas_.fillBox(-900 * g.scaleX, -55 * g.scaleY, -150 * g.scaleX, 3480 * g.scaleY, Qt::white);
}

}  // namespace quillon
