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
    if (!s_.rec.RangeChanged) return std::nullopt;
    const int func = s_.reading.FuncCode;
    UnitChange change{UnitTable(func, s_.rec.PrevRange), UnitTable(func, s_.reading.RangeIdx)};
    if (change.from == change.to) return std::nullopt;
    return change;
}

void StatisticsCalc::ConvertHeld(QString& text, const UnitChange& change) const {
    if (!IsNumeric(text)) return;
    const std::optional<double> v =
        ConvertUnit(s_.reading.FuncCode, NumberOr(text, 0), change.from, change.to);
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
        st.MaxText.clear();
        st.MinText.clear();
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
    const QString v = s_.reading.ValueText;
    if (!IsNumeric(v)) return;

    const QString r = QString::number(s_.table.rows() - 2);
    st.MaxText = st.maxValue;
    st.MinText = st.minValue;
    if (st.MaxText.isEmpty() || st.MinText.isEmpty()) {
        st.MaxText = st.MinText = v;
        st.maxRecord = st.minRecord = r;
    } else {
        const double x = NumberOr(v, 0);
        if (x > NumberOr(st.MaxText, x)) {
            st.MaxText = v;
            st.maxRecord = r;
        }
        if (x < NumberOr(st.MinText, x)) {
            st.MinText = v;
            st.minRecord = r;
        }
    }
    st.maxValue = st.MaxText;
    st.minValue = st.MinText;
    if (st.StatFlags[0]) FillShownRow(st.maxRow, st.maxRecord);
    if (st.StatFlags[1]) FillShownRow(st.minRow, st.minRecord);
}

void StatisticsCalc::UpdateAverage() {
    Statistics& st = s_.stats;
    if (!st.StatFlags[2]) return;
    // As for MAX/MIN: an overload on the record of the range change still moves the sum
    // into the new unit.
    if (const auto change = PendingUnitChange()) ConvertHeld(st.avgSum, *change);
    const QString v = s_.reading.ValueText;
    if (!IsNumeric(v)) return;

    const double count = LeadingNumber(st.avgCount) + 1;
    const double sum = LeadingNumber(st.avgSum) + NumberOr(v, 0);
    st.avgCount = ExactNumberText(count);
    st.avgSum = ExactNumberText(sum);
    if (const auto d = DecimalIndexOf(s_.rec.finestDec))
        st.avgRow[0] = FormatNumber(sum / count, QLatin1String(kAverageFormats[*d]));
    st.avgRow[1] = s_.readout.unit;
}

void StatisticsCalc::Command2_Click() {
    Statistics& st = s_.stats;
    if (!(s_.link.LinkOn && s_.rec.Running) || st.StatFlags[3]) {
        ClearRelReference(s_);
        return;
    }
    const int n = s_.rec.RecNo - 1;
    const QString value = s_.table.cell(n, RecordTable::ColValue);
    if (!IsNumeric(value)) return;
    st.relValue = value;
    st.relUnit = s_.table.cell(n, RecordTable::ColUnit);
    st.relTime = s_.table.cell(n, RecordTable::ColTime);
    s_.readout.indicator[kIndRel] = true;
    st.StatFlags[3] = true;
    st.relHighlighted = true;
}

}  // namespace quillon
