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
    s_.hooks.startRecording = [this] { startRecording(); };
    s_.hooks.stopRecording = [this] { stopRecording(); };
    s_.hooks.resetDisplay = [this] { resetDisplay(); };
    s_.hooks.recordStep = [this] { recordStep(); };
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
    if (!ReadingIsLive(frame, now, s_.link.pollIntervalMs)) {
        readingLapsed_ = true;
        return false;
    }
    if (readingLapsed_ || unwatched) {
        readingLapsed_ = false;
        liveSince_ = frame;
    }
    return true;
}

void Recorder::recordStep() {
    RecordingState& r = s_.rec;
    if (s_.readout.value.isEmpty() || r.nextRecord == 0 || s_.reading.valueText.isEmpty()) return;
    // No record from a reading that is not live, and none made up later for that time.
    if (!liveReading(clock_.tickMs())) return;

    const qint64 interval = s_.settings.recordIntervalMs;
    for (;;) {
        const qint64 now = clock_.tickMs();
        if (now - r.scheduleTick < interval && r.nextRecord != 1) return;

        if (r.nextRecord == 1) {
            r.scheduleTick = now;
        } else {
            r.scheduleTick += interval;  // the schedule advances by exactly one interval
            if (interval > 0 && r.scheduleTick < liveSince_) {
                ++slotsSinceClock_;  // this interval fell due before the readings were back
                continue;
            }
            if (r.recordedFunction != s_.reading.function) {
                Call(s_.hooks.refresh);  // a save question shows over the new function
                stopRecording();
                resetDisplay();
                return;
            }
        }

        writeRecord();
        if (journal_) {
            journal_->append(s_, r.nextRecord);
            r.journalProblem = journal_->errorText();
        }
        AfterRecordWritten(s_, calls_);

        if (r.nextRecord >= kMaxRecords) {
            Call(s_.hooks.refresh);  // a save question shows over the last record
            // The next recording starts at once: its name comes from the clock, long after
            // this one's.
            stopRecording();
            startRecording();
            return;
        }
        ++r.nextRecord;

        // An interval of 0 (or less) would never let the catch-up end: one record a tick.
        if (interval <= 0) return;
        // The record's consumers may have paused the recording (enough records taken).
        if (!r.running) return;
        if (clock_.tickMs() - r.scheduleTick < interval) return;
    }
}

QTime Recorder::nextTimeStamp() {
    RecordingState& r = s_.rec;
    const qint64 interval = s_.settings.recordIntervalMs;
    // With no interval the records follow the ticks, not a schedule: each takes the
    // clock's time (adding nothing to the previous row would freeze the column).
    if (interval > 0 && r.nextRecord != 1 && !r.stampFromClock) {
        const QString previous = s_.table.cell(r.nextRecord - 1, RecordTable::ColTime);
        if (const auto t = ParseAnyTime(previous, s_.settings.dateTimeFormats[1])) {
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
    r.stampFromClock = false;
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
    if (t.rows() < r.nextRecord + 1) t.setRows(r.nextRecord + 1);
    t.setCell(r.nextRecord, RecordTable::ColNo, FormatNumber(r.nextRecord, "0000"));
    t.setCell(r.nextRecord, RecordTable::ColDate,
              FormatDate(clock_.now().date(), s_.settings.dateTimeFormats[0]));
    t.setCell(r.nextRecord, RecordTable::ColTime,
              FormatTime(stamp, s_.settings.dateTimeFormats[1]));
    t.setCell(r.nextRecord, RecordTable::ColValue, in.valueText);
    t.setCell(r.nextRecord, RecordTable::ColUnit, Lookup(calls_.UnitTable, in.function, in.range));
    r.functionName = calls_.FunctionTable ? calls_.FunctionTable(in.function) : QString();
    t.setRows(r.nextRecord + 2);
}

void TrackRecordRange(Session& s) {
    RecordingState& r = s.rec;
    const Reading& in = s.reading;
    const QString range = QString::number(in.range);
    const QString dec = QString::number(int(in.decimalIndex));
    if (r.nextRecord == 1) {
        r.recordedFunction = in.function;
        r.recordedRange = in.range;
        r.rangeChanged = false;
        r.finestRange = range;
        r.finestDec = dec;
    }
    if (in.range == r.recordedRange) return;

    r.previousRange = r.recordedRange;
    r.recordedRange = in.range;
    r.rangeChanged = true;
    // Resistance, capacitance and frequency change prefix with the range: the axis
    // numbers follow the finest range seen.
    if (in.function < 4 || in.function > 6) return;
    if (r.finestRange.isEmpty()) {
        r.finestRange = range;
        r.finestDec = dec;
    }
    const double finest = LeadingNumber(r.finestRange);
    if (finest > in.range) {
        r.finestRange = range;
        r.finestDec = dec;
    } else if (finest == in.range && LeadingNumber(r.finestDec) > in.decimalIndex) {
        r.finestDec = dec;
    }
}

void AfterRecordWritten(Session& s, const RecorderCalls& calls) {
    TrackRecordRange(s);
    // The statistics and the plot read the new record as the table's current row.
    s.table.currentRow = s.rec.nextRecord;
    Call(calls.UpdateMaxMin);
    Call(calls.UpdateAverage);
    Call(calls.PlotNewPoint);
    s.table.currentRow = s.rec.nextRecord + 1;
    s.table.currentCol = 0;
}

}  // namespace quillon
