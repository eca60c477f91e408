// The page MAX/MIN and the vertical scale of the graph page.
#include <algorithm>
#include <cmath>

#include "meter_tables.h"
#include "number_format.h"
#include "paging.h"
#include "statistics_calc.h"
#include "unit_prefix.h"

namespace quillon {

namespace {
// Rounding formats of the scale by decimal index 0..4.
const char* const kScaleFormats[] = {"#0.0000", "#0.000", "##0.00", "###0.0", "####0"};

}  // namespace

int StatisticsCalc::CurrentPage() const { return int(PageNumber(s_.graph.pageBox)); }

void StatisticsCalc::ComputePageMaxMin() {
    const RecordTable& t = s_.table;
    const int perPage = RecordsPerPage(s_.graph.pageScale);
    const qint64 first = FirstRecordOfPage(CurrentPage(), perPage);
    if (first < 1 || first > t.recordCount()) return;
    const QString firstText = t.cell(int(first), RecordTable::ColValue);
    if (firstText.isEmpty()) return;
    const int last = int(std::min<qint64>(first + perPage - 1, t.recordCount()));

    const int func = s_.rec.recordedFunction;
    const QString unit = UnitTable(func, s_.rec.recordedRange);
    // Only the numbers of the page count, in the reference unit: an overload is drawn
    // nowhere, and a value whose unit has no factor cannot be compared with the others.
    // So the scale fits what the curve shows, whatever was drawn before.
    Statistics& st = s_.stats;
    st.workingMax.clear();
    st.workingMin.clear();
    double hi = 0, lo = 0;
    for (int row = int(first); row <= last; ++row) {
        const QString cell = t.cell(row, RecordTable::ColValue);
        if (cell.isEmpty()) break;
        if (!IsNumeric(cell)) continue;
        const QString rowUnit = t.cell(row, RecordTable::ColUnit).trimmed();
        QString text = cell;
        if (rowUnit != unit) {
            const std::optional<double> v = ConvertUnit(func, NumberOr(cell, 0), rowUnit, unit);
            if (!v) continue;
            text = ExactNumberText(*v);
        }
        const double v = NumberOr(text, 0);
        if (st.workingMax.isEmpty() || v > hi) {
            hi = v;
            st.workingMax = text;
        }
        if (st.workingMin.isEmpty() || v < lo) {
            lo = v;
            st.workingMin = text;
        }
    }
    // A page without numbers keeps its first text ("OL" stands for the top of the range).
    if (st.workingMax.isEmpty()) st.workingMax = st.workingMin = firstText;
    st.pageMax = st.workingMax;
    st.pageMin = st.workingMin;
}

void StatisticsCalc::ComputeGraphScale() {
    if (s_.table.cell(1, RecordTable::ColValue).isEmpty() || CurrentPage() == 0) return;
    Settings& set = s_.settings;
    GraphState& g = s_.graph;
    switch (set.graphRangeMode) {
        case 2:  // "Range": the user's own limits
            g.valuePerGridUnit = std::fabs(double(set.graphTop) - double(set.graphBottom)) / 80;
            return;
        case 1:  // "Meter Range": the overload limits of the current range
            set.graphTop = s_.reading.rangeHigh;
            set.graphBottom = s_.reading.rangeLow;
            g.valuePerGridUnit = (double(s_.reading.rangeHigh) - double(s_.reading.rangeLow)) / 80;
            return;
        case 0:  // "Auto Range"
            break;
        default:
            return;
    }

    ComputePageMaxMin();
    const qint64 first = FirstRecordOfPage(CurrentPage(), RecordsPerPage(g.pageScale));
    if (first < 1 || s_.table.cell(int(first), RecordTable::ColValue).isEmpty()) return;
    auto single = [&](const QString& text) -> float {
        if (IsNumeric(text)) return float(NumberOr(text, 0));
        return text == QLatin1String("OL") ? s_.reading.rangeHigh : s_.reading.rangeLow;
    };
    const double hi = single(s_.stats.pageMax);
    const double lo = single(s_.stats.pageMin);
    // The decimal index comes from the recording's own tables; anything else would index
    // outside them, so the scale is left as it was.
    const std::optional<int> d = DecimalIndexOf(s_.rec.finestDec);
    if (!d || !std::isfinite(hi) || !std::isfinite(lo)) return;
    // The resolution as the decimal number it stands for (0.001, not 0.0010000000475).
    const double res = NumberOr(PlainSingle(ResolutionTable(*d)), 1);
    const QString f = QLatin1String(kScaleFormats[*d]);
    auto rounded = [&](double v) { return NumberOr(FormatNumber(v, f), v); };
    const double s = (hi - lo) / 70;

    double step;
    double down;
    if (std::fabs(hi) < 15 && std::fabs(lo) < 15) {
        step = rounded(std::max(s, res));
        if (s < 6 * res) {  // a nearly flat page sits 30 units above the bottom
            down = rounded(lo - 30 * step);
            if (lo + 50 * step < hi) step += res;
            // One resolution more is not always enough (a spread of 150 to 420
            // resolutions would run over the top): take the smallest step that fits.
            const double need = (hi - down) / 80;
            if (step < need) step = res * std::ceil(need / res - 1e-9);
        } else {
            down = rounded(lo - 10 * step);
            if (down + 80 * step < hi) step += res;
        }
        set.graphBottom = float(down);
        set.graphTop = float(rounded(double(set.graphBottom) + 80 * step));
    } else {
        step = Fix(s + 0.5);
        if (step < 1) step = 1;
        down = Fix(lo - (s < 0.6 ? 30 : 10) * step);
        if (down + 80 * step < hi) step += 1;
        set.graphBottom = float(down);
        set.graphTop = float(Fix(down + 80 * step));
    }
    g.valuePerGridUnit = step;
}

}  // namespace quillon
