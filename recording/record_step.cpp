// The record table's layout and the record step.
#include "date_time_format.h"
#include "number_format.h"
#include "recorder.h"
#include "recording_journal.h"

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

bool Recorder::liveReading(qint64 now) {
    // A step that did not run for a while (no link, a held-up loop, a pause) watched no
    // readings in between.
    const bool unwatched = !stepEverRan_ || now - lastStepTick_ > kLiveReadingMs;
    stepEverRan_ = true;
    lastStepTick_ = now;
    const qint64 frame = s_.link.lastFrameTick;
    if (!ReadingIsLive(frame, now, s_.link.timerInterval)) {
        readingLapsed_ = true;
        return false;
    }
    if (readingLapsed_ || unwatched) {
        readingLapsed_ = false;
        liveSince_ = frame;
    }
    return true;
}

void Recorder::RecordStep() {
    RecordingState& r = s_.rec;
    if (s_.readout.value.isEmpty() || r.RecNo == 0 || s_.reading.ValueText.isEmpty()) return;
    // No record from a reading that is not live, and none made up later for that time.
    if (!liveReading(clock_.tickMs())) return;

    const qint64 interval = s_.settings.IntTime;
    for (;;) {
        const qint64 now = clock_.tickMs();
        if (now - r.RecTick < interval && r.RecNo != 1) return;

        if (r.RecNo == 1) {
            r.RecTick = now;
        } else {
            r.RecTick += interval;  // the schedule advances by exactly one interval
            if (interval > 0 && r.RecTick < liveSince_) {
                ++slotsSinceClock_;  // this interval fell due before the readings were back
                continue;
            }
            if (r.RecFunc != s_.reading.FuncCode) {
                Call(s_.hooks.Refresh);  // a save question shows over the new function
                mnstop_Click();
                ResetDisplay();
                return;
            }
        }

        writeRecord();
        if (journal_) {
            journal_->append(s_, r.RecNo);
            r.journalProblem = journal_->errorText();
        }
        AfterRecordWritten(s_, calls_);

        if (r.RecNo >= kMaxRecords) {
            Call(s_.hooks.Refresh);  // a save question shows over the last record
            // The next recording starts at once: its name comes from the clock, long after
            // this one's.
            mnstop_Click();
            mnstart_Click();
            return;
        }
        ++r.RecNo;

        // An interval of 0 (or less) would never let the catch-up end: one record a tick.
        if (interval <= 0) return;
        // The record's consumers may have paused the recording (enough records taken).
        if (!r.Running) return;
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
            const auto secondsAt = [interval](qint64 n) {
                return qint64(RoundHalfEven(double(n) * double(interval) / 1000.0));
            };
            ++slotsSinceClock_;
            const qint64 seconds = secondsAt(slotsSinceClock_) - secondsAt(slotOfLastRecord_);
            slotOfLastRecord_ = slotsSinceClock_;
            return t->addSecs(int(seconds));
        }
    }
    r.TimeFromClock = false;
    slotsSinceClock_ = 0;
    slotOfLastRecord_ = 0;
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

void TrackRecordRange(Session& s) {
    RecordingState& r = s.rec;
    const Reading& in = s.reading;
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

void AfterRecordWritten(Session& s, const RecorderCalls& calls) {
    TrackRecordRange(s);
    // The statistics and the plot read the new record as the table's current row.
    s.table.currentRow = s.rec.RecNo;
    Call(calls.UpdateMaxMin);
    Call(calls.UpdateAverage);
    Call(calls.PlotNewPoint);
    s.table.currentRow = s.rec.RecNo + 1;
    s.table.currentCol = 0;
}

}  // namespace quillon
