#pragma once
// Recording: the record table's layout, the record step that the poll loop runs on
// every tick of a recording, and the Start, Pause, Stop and Clear commands with the
// enabled and checked state of the menus and toolbar buttons they govern.
//
// All state lives in the Session; the recorder only decides. The window shows the
// session after each command and tick.

#include <QTime>

#include "clock.h"
#include "messages.h"
#include "recorder_calls.h"
#include "session.h"

namespace quillon {

class RecordingJournal;

// Range tracking for the record just written into row nextRecord: function and range of
// record 1, range changes, and the finest range of resistance, capacitance and frequency.
void TrackRecordRange(Session& session);
// What follows every record written into row nextRecord: range tracking, then the statistics
// and the plot with that row as the table's current row; then the current cell moves on
// to the next row. The record step and journal recovery both run it.
void AfterRecordWritten(Session& session, const RecorderCalls& calls);

class Recorder {
  public:
    static constexpr int kMaxRecords = 10000;

    Recorder(Session& session, Clock& clock, MessageBoxes& messages, RecorderCalls calls = {});

    RecorderCalls& calls() { return calls_; }
    // Every record written from now on also goes into this journal (none: no journal).
    void setJournal(RecordingJournal* journal) { journal_ = journal; }

    // Points the session's hooks (start, stop, reset, record step) at this recorder.
    void InstallHooks();

    // Idle state of a freshly opened window: no link, nothing running, "Stop" checked.
    void SetIdleState();
    // Header row, two rows, current cell row 1 column 0.
    void InitGrid();

    // Writes the records that are due, each from a live reading (ReadingIsLive: its frame
    // younger than kLiveReadingMs). Intervals that fall due while no live reading comes, or while
    // the step is not run (no link, a held-up loop), stay empty: numbering goes on and the time
    // column shows the gap. Called by the poll loop on each tick while a recording runs (state 0
    // and Running).
    void recordStep();

    void startRecording();
    void pauseRecording();
    void stopRecording();
    void clearRecording();
    // Clears the window for a new recording (readout, table, statistics, graph).
    void resetDisplay();

  private:
    bool liveReading(qint64 now);
    void writeRecord();
    QTime nextTimeStamp();
    void setRecordingMenus();
    void enableIdleMenus();
    void hideRecordingIndicators();
    void abortRead();

    Session& s_;
    Clock& clock_;
    MessageBoxes& messages_;
    RecorderCalls calls_;
    RecordingJournal* journal_ = nullptr;
    // Intervals since the last time stamp taken from the clock, and the interval of the
    // last record written: computed time stamps advance by whole intervals, skipped
    // ones included.
    qint64 slotsSinceClock_ = 0;
    qint64 slotOfLastRecord_ = 0;
    // When the step last ran, whether it last found no live reading, and since when the
    // readings have been live again: intervals due before that stay empty.
    qint64 lastStepTick_ = 0;
    bool stepEverRan_ = false;
    bool readingLapsed_ = false;
    qint64 liveSince_ = 0;
};

}  // namespace quillon
