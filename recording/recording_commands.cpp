// Start, Pause, Stop, Clear and the display reset.
#include "date_time_format.h"
#include "recorder.h"
#include "recording_journal.h"

namespace quillon {

namespace {

// Menus and items that every idle or paused state enables.
const Control kIdleMenus[] = {Control::FileMenu,   Control::EditMenu,       Control::RecordMenu,
                              Control::Options,    Control::Schedule,       Control::HelpMenu,
                              Control::Open,       Control::SaveMenu,       Control::PrintMenu,
                              Control::SaveReport, Control::PopupSaveReport};

}  // namespace

void Recorder::abortRead() { Call(calls_.AbortRead); }

void Recorder::SetIdleState() {
    s_.rec.running = false;
    s_.link.linkOn = false;
    s_.rec.state = kRunIdle;
    ControlStates& c = s_.controls;
    c.setChecked(Control::Start, false);
    c.setChecked(Control::Pause, false);
    c.setChecked(Control::Stop, true);
}

void Recorder::setRecordingMenus() {
    ControlStates& c = s_.controls;
    c.setEnabled(Control::FileMenu, false);
    c.setEnabled(Control::EditMenu, false);
    c.setEnabled(Control::RecordMenu, true);
    c.setEnabled(Control::Options, false);
    c.setEnabled(Control::Schedule, false);
    c.setEnabled(Control::HelpMenu, true);
    for (Control key : {Control::OpenButton, Control::SaveButton, Control::PrintButton,
                        Control::ClearButton, Control::StartButton})
        c.setEnabled(key, false);
    c.setEnabled(Control::PauseButton, true);
    c.setEnabled(Control::StopButton, true);
}

void Recorder::enableIdleMenus() {
    for (Control name : kIdleMenus) s_.controls.setEnabled(name, true);
}

void Recorder::hideRecordingIndicators() {
    for (int i : {kIndLimit, kIndRel, kIndMax, kIndMin, kIndAvg}) s_.readout.indicator[i] = false;
}

void Recorder::startRecording() {
    ControlStates& c = s_.controls;
    if (c.isChecked(Control::Start)) return;
    if (!s_.link.linkOn) {
        stopRecording();
        Call(calls_.linkUp);
    }
    s_.rec.stampFromClock = true;
    if (!s_.link.linkOn) {
        messages_.show("Link Error! Please check your connector.", QString(), MsgButtons::Ok,
                       MsgIcon::None);
        return;
    }
    setRecordingMenus();

    const bool resume = c.isChecked(Control::Pause);
    c.setChecked(Control::Start, true);
    c.setChecked(Control::Pause, false);
    c.setChecked(Control::Stop, false);
    if (!resume) {
        s_.rec.state = kRunIdle;
        resetDisplay();
        s_.readout.indicator[kIndLimit] = s_.settings.alarmEnabled == 1;
        s_.readout.indicator[kIndMax] = s_.stats.statFlags[0];
        s_.readout.indicator[kIndMin] = s_.stats.statFlags[1];
        s_.readout.indicator[kIndAvg] = s_.stats.statFlags[2];
        s_.stats.avgSum = "0";
        const QDateTime now = clock_.now();
        s_.rec.recordName =
            FormatDate(now.date(), "yyyymmdd") + "_" + FormatTime(now.time(), "hhnnss");
        s_.rec.nextRecord = 1;
    }
    // A resume keeps the table and the numbering; its first record falls due one
    // interval from now and takes its time from the clock.
    abortRead();
    s_.rec.scheduleTick = clock_.tickMs();
    s_.rec.running = true;
    s_.link.ticksWithoutData = 0;
    s_.rec.state = kRunRecording;
    s_.link.pollTimerOn = true;
}

void Recorder::pauseRecording() {
    s_.link.alarmOn = false;
    if (!s_.rec.running) return;
    s_.rec.running = false;
    abortRead();

    ControlStates& c = s_.controls;
    enableIdleMenus();
    c.setChecked(Control::Start, false);
    c.setChecked(Control::Stop, false);
    c.setChecked(Control::Pause, true);
    for (Control key :
         {Control::OpenButton, Control::SaveButton, Control::PrintButton, Control::StartButton,
          Control::StopButton, Control::ClearButton, Control::HelpButton})
        c.setEnabled(key, true);
    c.setEnabled(Control::PauseButton, false);
}

void Recorder::stopRecording() {
    ControlStates& c = s_.controls;
    s_.rec.running = false;
    abortRead();
    c.setChecked(Control::Start, false);
    c.setChecked(Control::Pause, false);
    c.setChecked(Control::Stop, true);
    s_.link.ticksWithoutData = 0;
    // A recording is still open (nextRecord > 0) when Help, About or a file command left
    // state at 3 meanwhile; its records are offered for saving (or auto-saved) all
    // the same, so an unattended recording never ends without its report.
    if (s_.rec.state == kRunRecording || s_.rec.nextRecord > 0) Call(calls_.PromptUnsavedRecord);
    s_.rec.nextRecord = 0;

    enableIdleMenus();
    for (Control key :
         {Control::OpenButton, Control::SaveButton, Control::PrintButton, Control::StartButton,
          Control::PauseButton, Control::StopButton, Control::ClearButton, Control::HelpButton})
        c.setEnabled(key, true);
    hideRecordingIndicators();

    if (s_.stats.statFlags[3]) ClearRelReference(s_);
    s_.rec.state = kRunIdle;
    if (s_.sched.armed == 1 && s_.sched.scheduledRecordingRunning)
        Call(calls_.endScheduledRecording);
}

void Recorder::clearRecording() {
    if (s_.controls.isChecked(Control::Start)) {
        const MsgResult answer = messages_.show("Recording! Do you want to clear?", "Clear record!",
                                                MsgButtons::YesNo, MsgIcon::Question);
        if (answer != MsgResult::Yes) return;
    }
    stopRecording();
    resetDisplay();
}

void Recorder::resetDisplay() {
    // The table is about to go; its journal goes only with records saved or given up.
    if (journal_) journal_->tableCleared();
    RecordingState& r = s_.rec;
    Readout& ro = s_.readout;
    const bool viewingFile = r.state == kRunViewingFile;
    if (!viewingFile) {
        ro.value.clear();
        ro.unit.clear();
        ro.coupling.clear();
        hideRecordingIndicators();
        ro.indicator[kIndRS232] = s_.link.linkOn;
        ro.indicator[kIndWait] = !s_.link.linkOn;
        ro.barImage = 63;
        ro.signImage = 1;
    }

    // A paused recording whose table is cleared away (a report file opened while
    // paused) cannot be resumed into that table: the next Start begins a new one.
    ControlStates& c = s_.controls;
    if (c.isChecked(Control::Pause)) {
        c.setChecked(Control::Pause, false);
        c.setChecked(Control::Stop, true);
        r.running = false;
        r.nextRecord = 0;
    }

    RecordTable& t = s_.table;
    t.setRows(1);
    t.setRows(2);
    t.currentRow = 1;
    t.currentCol = 0;

    r.functionName.clear();
    r.recordName.clear();
    r.journalProblem.clear();
    r.reportFile.clear();
    r.reportRecords = 0;
    r.shownFunction.clear();
    r.shownUnit.clear();
    Statistics& st = s_.stats;
    for (QString* f : {&st.relValue, &st.relUnit, &st.pageMax, &st.pageMin, &st.relTime})
        f->clear();
    for (QString& f : st.avgRow) f.clear();
    for (QString& f : st.maxRow) f.clear();
    for (QString& f : st.minRow) f.clear();
    for (QString& f : ro.limitCaption) f.clear();
    ro.limitRed = {false, false};
    s_.link.alarmOn = false;

    if (!viewingFile) Call(calls_.applySettingsToWindow);

    st.avgCount.clear();
    st.avgSum.clear();
    if (calls_.setPageBox) {
        calls_.setPageBox("0");
    } else {
        s_.graph.pageBox = "0";
    }
    Call(calls_.drawEmptyFrame);
    c.setEnabled(Control::SaveReport, true);
    c.setEnabled(Control::PopupSaveReport, true);
    r.state = kRunIdle;
}

}  // namespace quillon
