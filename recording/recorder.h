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

class Recorder {
  public:
    static constexpr int kMaxRecords = 10000;

    Recorder(Session& session, Clock& clock, MessageBoxes& messages, RecorderCalls calls = {});

    RecorderCalls& calls() { return calls_; }

    // Points the session's hooks (start, stop, reset, record step) at this recorder.
    void InstallHooks();

    // Idle state of a freshly opened window: no link, nothing running, "Stop" checked.
    void SetIdleState();
    // Header row, two rows, current cell row 1 column 0.
    void InitGrid();

    // Writes every record that is due. Called by the poll loop on each tick while a
    // recording runs (RunState 0 and Running).
    void RecordStep();

    void mnstart_Click();
    void mnpause_Click();
    void mnstop_Click();
    void mnclear_Click();
    // Clears the window for a new recording (readout, table, statistics, graph).
    void ResetDisplay();

  private:
    void writeRecord();
    void trackRange();
    QTime nextTimeStamp();
    void setRecordingMenus();
    void enableIdleMenus();
    void hideRecordingIndicators();
    void abortRead();

    Session& s_;
    Clock& clock_;
    MessageBoxes& messages_;
    RecorderCalls calls_;
    // Records written since the last time stamp taken from the clock; the computed
    // time stamps advance by whole intervals from that one.
    qint64 stampsSinceClock_ = 0;
};

}  // namespace quillon
