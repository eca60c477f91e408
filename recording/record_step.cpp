// The record table's layout and the record step.
#include <QThread>

#include "date_time_format.h"
#include "number_format.h"
#include "recorder.h"

namespace quillon {

namespace {

QString Lookup(const std::function<QString(int, int)>& f, int a, int b) {
    return f ? f(a, b) : QString();
}

}  // namespace

Recorder::Recorder(Session& session, Clock& clock, MessageBoxes& messages, RecorderCalls calls)
    : s_(session), clock_(clock), messages_(messages), calls_(std::move(calls)) {}

void Recorder::InstallHooks() {
    s_.hooks.mnstart_Click = [this] { mnstart_Click(); };
    s_.hooks.mnstop_Click = [this] { mnstop_Click(); };
    s_.hooks.ResetDisplay = [this] { ResetDisplay(); };
    s_.hooks.RecordStep = [this] { RecordStep(); };
}

void Recorder::InitGrid() {
    RecordTable& t = s_.table;
    t.setRows(1);
    t.setRows(2);
    static const char* const kHeaders[] = {"NO", "Date", "Time", "Value", "Unit"};
    for (int c = 0; c < RecordTable::kColumns; ++c) t.setCell(0, c, kHeaders[c]);
    t.currentRow = 1;
    t.currentCol = 0;
}

void Recorder::RecordStep() {
    RecordingState& r = s_.rec;
    if (s_.readout.value.isEmpty() || r.RecNo == 0 || s_.reading.ValueText.isEmpty()) return;

    const qint64 interval = s_.settings.IntTime;
    for (;;) {
        const qint64 now = clock_.tickMs();
        if (now - r.RecTick < interval && r.RecNo != 1) return;

        if (r.RecNo == 1) {
            r.RecTick = now;
        } else {
            if (s_.link.MissCount > 10) return;  // stale reading: the schedule stands still
            r.RecTick += interval;
            if (r.RecFunc != s_.reading.FuncCode) {
                mnstop_Click();
                ResetDisplay();
                return;
            }
        }

        writeRecord();
        trackRange();

        // The statistics and the plot read the new record as the table's current row.
        s_.table.currentRow = r.RecNo;
        Call(calls_.UpdateMaxMin);
        Call(calls_.UpdateAverage);
        Call(calls_.PlotNewPoint);
        s_.table.currentRow = r.RecNo + 1;
        s_.table.currentCol = 0;

        if (r.RecNo >= kMaxRecords) {
            mnstop_Click();
            if (calls_.SleepMs) {
                calls_.SleepMs(200);
            } else {
                QThread::msleep(200);
            }
            mnstart_Click();
            return;
        }
        ++r.RecNo;

        // An interval of 0 (or less) would never let the catch-up end: one record a tick.
        if (interval <= 0) return;
        if (clock_.tickMs() - r.RecTick < interval) return;
    }
}

QTime Recorder::nextTimeStamp() {
    RecordingState& r = s_.rec;
    const qint64 interval = s_.settings.IntTime;
    // With no interval the records follow the ticks, not a schedule: each takes the
    // clock's time (adding nothing to the previous row would freeze the column).
    if (interval > 0 && r.RecNo != 1 && !r.TimeFromClock) {
        const QString previous = s_.table.cell(r.RecNo - 1, RecordTable::ColTime);
        if (const auto t = ParseAnyTime(previous, s_.settings.Fdt[1])) {
            // Whole seconds elapsed since the clock stamp, so that intervals with a
            // fraction of a second keep the column in step with the clock.
            ++stampsSinceClock_;
            const auto secondsAt = [interval](qint64 n) {
                return qint64(RoundHalfEven(double(n) * double(interval) / 1000.0));
            };
            return t->addSecs(int(secondsAt(stampsSinceClock_) - secondsAt(stampsSinceClock_ - 1)));
        }
    }
    r.TimeFromClock = false;
    stampsSinceClock_ = 0;
    const QTime now = clock_.now().time();
    return QTime(now.hour(), now.minute(), now.second());
}

void Recorder::writeRecord() {
    RecordingState& r = s_.rec;
    RecordTable& t = s_.table;
    const Reading& in = s_.reading;
    const QTime stamp = nextTimeStamp();

    // The row of the next record always exists; make sure of it should anything have
    // shortened the table meanwhile.
    if (t.rows() < r.RecNo + 1) t.setRows(r.RecNo + 1);
    t.setCell(r.RecNo, RecordTable::ColNo, FormatNumber(r.RecNo, "0000"));
    t.setCell(r.RecNo, RecordTable::ColDate, FormatDate(clock_.now().date(), s_.settings.Fdt[0]));
    t.setCell(r.RecNo, RecordTable::ColTime, FormatTime(stamp, s_.settings.Fdt[1]));
    t.setCell(r.RecNo, RecordTable::ColValue, in.ValueText);
    t.setCell(r.RecNo, RecordTable::ColUnit, Lookup(calls_.UnitTable, in.FuncCode, in.RangeIdx));
    r.functionName = calls_.FunctionTable ? calls_.FunctionTable(in.FuncCode) : QString();
    t.setRows(r.RecNo + 2);
}

void Recorder::trackRange() {
    RecordingState& r = s_.rec;
    const Reading& in = s_.reading;
    const QString range = QString::number(in.RangeIdx);
    const QString dec = QString::number(int(in.DecIdx));
    if (r.RecNo == 1) {
        r.RecFunc = in.FuncCode;
        r.RecRange = in.RangeIdx;
        r.RangeChanged = false;
        r.finestRange = range;
        r.finestDec = dec;
    }
    if (in.RangeIdx == r.RecRange) return;

    r.PrevRange = r.RecRange;
    r.RecRange = in.RangeIdx;
    r.RangeChanged = true;
    // Resistance, capacitance and frequency change prefix with the range: the axis
    // numbers follow the finest range seen.
    if (in.FuncCode < 4 || in.FuncCode > 6) return;
    if (r.finestRange.isEmpty()) {
        r.finestRange = range;
        r.finestDec = dec;
    }
    const double finest = LeadingNumber(r.finestRange);
    if (finest > in.RangeIdx) {
        r.finestRange = range;
        r.finestDec = dec;
    } else if (finest == in.RangeIdx && LeadingNumber(r.finestDec) > in.DecIdx) {
        r.finestDec = dec;
    }
}

}  // namespace quillon
