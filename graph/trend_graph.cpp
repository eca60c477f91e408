// The curve, the time labels, paging and the page box.
#include "trend_graph.h"

#include <algorithm>
#include <cmath>

#include "meter_tables.h"
#include "number_format.h"
#include "paging.h"
#include "unit_prefix.h"

namespace quillon {

namespace {
const QColor kCurve(255, 0, 0);
constexpr int kBackspace = 8;
}  // namespace

TrendGraph::TrendGraph(Session& session, Clock& clock)
    : s_(session), clock_(clock), stats_(session), canvas_(GraphCanvas::DesignSize()) {
    canvas_.setScale(s_.graph.scaleX, s_.graph.scaleY);
}

// ------------------------------------------------------------------ picture ----

void TrendGraph::setCanvasSize(QSize pixels) {
    ChangeScope scope(*this);
    pendingCurve_.clear();
    pendingPoints_.clear();
    canvas_.setSize(pixels);
}

void TrendGraph::setScale(double scaleX, double scaleY) {
    ChangeScope scope(*this);
    canvas_.setScale(scaleX, scaleY);
    s_.graph.scaleX = canvas_.scaleX();
    s_.graph.scaleY = canvas_.scaleY();
}

void TrendGraph::Relayout(QSize pixels, double scaleX, double scaleY) {
    ChangeScope scope(*this);
    setCanvasSize(pixels);
    setScale(scaleX, scaleY);
    drawEmptyFrame();
    redrawPage();
}

void TrendGraph::Relayout(QSize pixels) {
    const QSize design = GraphCanvas::DesignSize();
    Relayout(pixels, double(pixels.width()) / design.width(),
             double(pixels.height()) / design.height());
}

// ------------------------------------------------------------------ drawing ----

double TrendGraph::XOf(qint64 record, qint64 page) const {
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    return double(record - (page - 1) * perPage) * 100.0 / perPage * s_.graph.gridUnitX;
}

double TrendGraph::YOf(double value) const {
    return (value - double(s_.settings.graphBottom)) / s_.graph.valuePerGridUnit *
           s_.graph.gridUnitY;
}

bool TrendGraph::CanPlot() const {
    return s_.graph.valuePerGridUnit > 0 && std::isfinite(s_.graph.valuePerGridUnit);
}

void TrendGraph::FlushCurve() {
    if (!pendingPoints_.isEmpty()) {
        canvas_.points(pendingPoints_, kCurve);
        pendingPoints_.clear();
    }
    if (!pendingCurve_.isEmpty()) {
        canvas_.lines(pendingCurve_, kCurve, 2);
        pendingCurve_.clear();
    }
}

// Each segment starts one record to the left at the height of the last value drawn, so
// after records without a number the line resumes from the old height and the gap
// itself stays empty; the first point of a page gets a short level stub.
void TrendGraph::DrawPoint(qint64 record, qint64 page, double value) {
    GraphState& g = s_.graph;
    const double x = XOf(record, page);
    const double step = XOf(record, page) - XOf(record - 1, page);
    const bool plot = CanPlot();
    QPointF from;
    if (!g.noPreviousPoint) {
        from = QPointF(x - step, plot ? YOf(g.lastPlottedValue) : 0);
        if (plot) pendingPoints_.append(from);
    }
    g.lastPlottedValue = float(value);
    if (g.noPreviousPoint) {
        from = QPointF(x - step, plot ? YOf(value) : 0);
        if (plot) pendingPoints_.append(from);
        g.noPreviousPoint = false;
    }
    if (plot) pendingCurve_.append(QLineF(from, QPointF(x, YOf(value))));
}

// A row's value for the page drawing, in the unit of the recording's latest range.
// Nothing for a text that is no number, or a unit that cannot be converted.
std::optional<double> TrendGraph::PlotValue(int row) const {
    const QString cell = s_.table.cell(row, RecordTable::ColValue);
    if (!IsNumeric(cell)) return std::nullopt;
    const int func = s_.rec.recordedFunction;
    return ConvertUnit(func, NumberOr(cell, 0), s_.table.cell(row, RecordTable::ColUnit),
                       UnitTable(func, s_.rec.recordedRange));
}

void TrendGraph::StartCurveAt(qint64 first) {
    GraphState& g = s_.graph;
    if (const auto v = PlotValue(int(first))) {
        g.lastPlottedValue = float(*v);
        g.noPreviousPoint = false;
    } else {
        g.lastPlottedValue = 0;
        g.noPreviousPoint = true;
    }
}

void TrendGraph::DrawStripsAndTimeLabels(qint64 page) {
    const GraphState& g = s_.graph;
    const double sx = g.scaleX, sy = g.scaleY;
    const int perPage = RecordsPerPage(g.pageScale);
    const qint64 first = FirstRecordOfPage(page, perPage);
    const qint64 records = s_.table.recordCount();
    Strips shown;
    shown.scaleX = sx;
    shown.scaleY = sy;
    for (int k = 0; k <= 5; ++k) {
        const qint64 record = k == 0 ? first : (page - 1) * perPage + qint64(k) * perPage / 5;
        if (record < 1 || record > records) break;
        double x = k == 0  ? -70 * sx
                   : k < 5 ? 20 * k * g.gridUnitX - 200 * sx
                           : 100 * g.gridUnitX - 520 * sx;
        const QString text = s_.table.cell(int(record), RecordTable::ColTime);
        // A long time format would run off the right edge: keep the label inside.
        x = std::min(x, GraphCanvas::kRight * sx - canvas_.textWidth(text));
        shown.labels.append({x, text});
    }
    shown.caption = GraphCaption();

    const auto pixels = [this](double x1, double y1, double x2, double y2) {
        return QRectF(canvas_.toPixels(x1, y1), canvas_.toPixels(x2, y2))
            .normalized()
            .toAlignedRect()
            .adjusted(-2, -2, 2, 2);
    };
    // The strips' rows across the whole picture (texts may run past the boxes cleared).
    const double left = GraphCanvas::kLeft * sx, right = GraphCanvas::kRight * sx;
    const QRegion strips = QRegion(pixels(left, 2730 * sy, right, 3340 * sy)) |
                           pixels(left, -280 * sy, right, -15 * sy);
    // The same strips on untouched pixels would be drawn to the same pixels.
    if (stripsDrawn_ == shown && !canvas_.takeDrawnArea().intersects(strips)) return;

    canvas_.fillBox(0, 2730 * sy, 10300 * sx, 3340 * sy, Qt::white);
    DrawCaption(shown.caption);
    canvas_.fillBox(-100 * sx, -280 * sy, 10400 * sx, -15 * sy, Qt::white);
    for (const auto& [x, text] : shown.labels) canvas_.text(x, -15 * sy, text);
    stripsDrawn_ = std::move(shown);
    canvas_.takeDrawnArea();
}

void TrendGraph::redrawPage() {
    ChangeScope scope(*this);
    const RecordTable& t = s_.table;
    if (t.cell(1, RecordTable::ColValue).isEmpty() || t.recordCount() == 0) return;
    const qint64 page = PageNumber(s_.graph.pageBox);
    if (page < 1) return;
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    const qint64 first = FirstRecordOfPage(page, perPage);
    if (first > t.recordCount()) return;

    StartCurveAt(first);
    const qint64 last = std::min<qint64>(page * perPage, t.recordCount());
    for (qint64 r = first; r <= last; ++r)
        if (const auto v = PlotValue(int(r))) DrawPoint(r, page, *v);
    FlushCurve();
    DrawStripsAndTimeLabels(page);
}

bool TrendGraph::FollowsNewestRecord() const {
    const qint64 n = s_.rec.nextRecord;
    if (n <= 1 || n > s_.table.recordCount()) return true;
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    const qint64 shown = PageNumber(s_.graph.pageBox);
    return shown < 1 || shown == PageOfRecord(n, perPage) || shown == PageOfRecord(n - 1, perPage);
}

void TrendGraph::PlotNewPoint() {
    ChangeScope scope(*this);
    RecordTable& t = s_.table;
    if (t.cell(1, RecordTable::ColValue).isEmpty()) return;
    // The graph follows the newest record only while its page (or the page before a new
    // one begins) is shown: a user who paged back keeps looking at that page.
    const bool follow = FollowsNewestRecord();
    if (s_.rec.rangeChanged) {
        // The page shown is redrawn in the new unit; when following, that is the page of
        // the new record, also when it is the first of a new page. The page box is set
        // without its own redraw, which the lines below do once.
        const qint64 newest = s_.rec.nextRecord;
        if (follow && newest >= 1 && newest <= t.recordCount())
            s_.graph.pageBox =
                QString::number(PageOfRecord(newest, RecordsPerPage(s_.graph.pageScale)));
        stats_.ComputeGraphScale();
        drawEmptyFrame();
        redrawPage();
        s_.rec.rangeChanged = false;
        return;
    }
    const qint64 n = s_.rec.nextRecord;
    if (n < 1 || n > t.recordCount() || !follow) return;
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    const qint64 page = PageOfRecord(n, perPage);
    setPageBox(QString::number(page));

    GraphState& g = s_.graph;
    const qint64 first = FirstRecordOfPage(page, perPage);
    if (n > first) {
        const QString previous = t.cell(int(n - 1), RecordTable::ColValue);
        if (IsNumeric(previous)) g.lastPlottedValue = float(NumberOr(previous, 0));
    } else {
        StartCurveAt(first);
        if (page == 1) {
            stats_.ComputeGraphScale();
            ClearLeftMargin();
            DrawYAxisLabels();
            DrawGraphCaption();
        }
    }

    const QString cell = t.cell(int(n), RecordTable::ColValue);
    if (IsNumeric(cell)) {
        const double v = NumberOr(cell, 0);
        // The scale limits are single precision: compare in single precision, or a value
        // lying exactly on a limit (1.28 against 1.2799999f) would count as outside.
        const float vs = float(v);
        if (vs > s_.settings.graphTop || vs < s_.settings.graphBottom) {
            stats_.ComputeGraphScale();
            drawEmptyFrame();
            redrawPage();
        } else {
            DrawPoint(n, page, v);
        }
    }
    FlushCurve();
    DrawStripsAndTimeLabels(page);
}

// ---------------------------------------------------------------- page box ----

void TrendGraph::setPageBox(const QString& text) {
    if (text == s_.graph.pageBox) return;
    ChangeScope scope(*this);
    s_.graph.pageBox = text;
    pageBoxEdited();
}

void TrendGraph::ShowPage(const QString& page) {
    ChangeScope scope(*this);
    s_.graph.pageBox = page;
    if (s_.table.rows() < 3) {
        drawEmptyFrame();  // no records: the empty frame with the file's captions
        return;
    }
    pageBoxEdited();
}

void TrendGraph::pageBoxEdited() {
    ChangeScope scope(*this);
    const RecordTable& t = s_.table;
    if (t.rows() < 3) return;
    QString& box = s_.graph.pageBox;
    // Setting the box to "1" for a text that is no number runs this handler again; the
    // result is the same as going on with "1" here.
    if (!IsNumeric(box)) box = QStringLiteral("1");
    const double page = Fix(NumberOr(box, 1));
    box = PlainDouble(page);
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    if (page > double(t.recordCount() / perPage))
        box = QString::number(LastPage(t.recordCount(), perPage));
    stats_.ComputeGraphScale();
    drawEmptyFrame();
    redrawPage();
}

bool TrendGraph::acceptsPageBoxKey(int key) {
    return key == kBackspace || (key >= '0' && key <= '9');
}

void TrendGraph::showPreviousPage() {
    const qint64 page = PageNumber(s_.graph.pageBox);
    if (page <= 1) return;
    setPageBox(QString::number(page - 1));
}

void TrendGraph::showNextPage() {
    const qint64 page = PageNumber(s_.graph.pageBox);
    if (page > s_.table.recordCount() / RecordsPerPage(s_.graph.pageScale)) return;
    setPageBox(QString::number(page + 1));
}

}  // namespace quillon
