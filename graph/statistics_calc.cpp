#include "statistics_calc.h"

#include "meter_tables.h"
#include "number_format.h"
#include "unit_prefix.h"

namespace quillon {

namespace {
constexpr int kMaxRowMin = 3;  // rows of a table holding exactly one record

// Average formats by decimal index 0..4.
const char* const kAverageFormats[] = {"###0.0000", "###0.000", "###0.00", "###0.0", "#####0"};
}  // namespace

std::optional<int> StatisticsCalc::DecimalIndexOf(const QString& text) {
    if (!IsNumeric(text)) return std::nullopt;
    const double d = RoundHalfEven(NumberOr(text, -1));
    if (d < 0 || d > 4) return std::nullopt;
    return int(d);
}

std::optional<StatisticsCalc::UnitChange> StatisticsCalc::PendingUnitChange() const {
    if (!s_.rec.rangeChanged) return std::nullopt;
    const int func = s_.reading.function;
    UnitChange change{UnitTable(func, s_.rec.previousRange), UnitTable(func, s_.reading.range)};
    if (change.from == change.to) return std::nullopt;
    return change;
}

void StatisticsCalc::ConvertHeld(QString& text, const UnitChange& change) const {
    if (!IsNumeric(text)) return;
    const std::optional<double> v =
        ConvertUnit(s_.reading.function, NumberOr(text, 0), change.from, change.to);
    if (v) text = ExactNumberText(*v);
}

void StatisticsCalc::FillShownRow(std::array<QString, 3>& row, const QString& recordText) const {
    const int m = recordText.toInt();
    row[0] = s_.table.cell(m, RecordTable::ColValue);
    row[1] = s_.table.cell(m, RecordTable::ColUnit);
    row[2] = s_.table.cell(m, RecordTable::ColTime);
}

void StatisticsCalc::UpdateMaxMin() {
    Statistics& st = s_.stats;
    if (s_.table.rows() == kMaxRowMin) {
        st.workingMax.clear();
        st.workingMin.clear();
        st.maxValue.clear();
        st.minValue.clear();
        st.maxRecord.clear();
        st.minRecord.clear();
    }
    // The range change is seen only on the record that brings it. Convert the held
    // extremes on that record even when it is an overload, or the next number (already
    // in the new unit) would be compared with values in the old one.
    if (const auto change = PendingUnitChange()) {
        ConvertHeld(st.maxValue, *change);
        ConvertHeld(st.minValue, *change);
    }
    const QString v = s_.reading.valueText;
    if (!IsNumeric(v)) return;

    const QString r = QString::number(s_.table.rows() - 2);
    st.workingMax = st.maxValue;
    st.workingMin = st.minValue;
    if (st.workingMax.isEmpty() || st.workingMin.isEmpty()) {
        st.workingMax = st.workingMin = v;
        st.maxRecord = st.minRecord = r;
    } else {
        const double x = NumberOr(v, 0);
        if (x > NumberOr(st.workingMax, x)) {
            st.workingMax = v;
            st.maxRecord = r;
        }
        if (x < NumberOr(st.workingMin, x)) {
            st.workingMin = v;
            st.minRecord = r;
        }
    }
    st.maxValue = st.workingMax;
    st.minValue = st.workingMin;
    if (st.statFlags[0]) FillShownRow(st.maxRow, st.maxRecord);
    if (st.statFlags[1]) FillShownRow(st.minRow, st.minRecord);
}

void StatisticsCalc::UpdateAverage() {
    Statistics& st = s_.stats;
    if (!st.statFlags[2]) return;
    // As for MAX/MIN: an overload on the record of the range change still moves the sum
    // into the new unit.
    if (const auto change = PendingUnitChange()) ConvertHeld(st.avgSum, *change);
    const QString v = s_.reading.valueText;
    if (!IsNumeric(v)) return;

    const double count = LeadingNumber(st.avgCount) + 1;
    const double sum = LeadingNumber(st.avgSum) + NumberOr(v, 0);
    st.avgCount = ExactNumberText(count);
    st.avgSum = ExactNumberText(sum);
    if (const auto d = DecimalIndexOf(s_.rec.finestDec))
        st.avgRow[0] = FormatNumber(sum / count, QLatin1String(kAverageFormats[*d]));
    st.avgRow[1] = s_.readout.unit;
}

void StatisticsCalc::toggleRelReference() {
    Statistics& st = s_.stats;
    if (!(s_.link.linkOn && s_.rec.running) || st.statFlags[3]) {
        ClearRelReference(s_);
        return;
    }
    const int n = s_.rec.nextRecord - 1;
    const QString value = s_.table.cell(n, RecordTable::ColValue);
    if (!IsNumeric(value)) return;
    st.relValue = value;
    st.relUnit = s_.table.cell(n, RecordTable::ColUnit);
    st.relTime = s_.table.cell(n, RecordTable::ColTime);
    s_.readout.indicator[kIndRel] = true;
    st.statFlags[3] = true;
    st.relHighlighted = true;
}

}  // namespace quillon
