// Start, Pause, Stop, Clear and the display reset.
#include "date_time_format.h"
#include "recorder.h"
#include "recording_journal.h"

namespace quillon {

namespace {

// Menus and items that every idle or paused state enables.
const char* const kIdleMenus[] = {"mnfile",  "mnedit",     "mnrecord",    "mnsetup",
                                  "mnoder",  "mnhelp",     "mnopen",      "mnsave",
                                  "mnprint", "mnsaveData", "pop_SaveData"};

}  // namespace

void Recorder::abortRead() { Call(calls_.AbortRead); }

void Recorder::SetIdleState() {
    s_.rec.Running = false;
    s_.link.LinkOn = false;
    s_.rec.RunState = kRunIdle;
    ControlStates& c = s_.controls;
    c.setChecked("mnstart", false);
    c.setChecked("mnpause", false);
    c.setChecked("mnstop", true);
}

void Recorder::setRecordingMenus() {
    ControlStates& c = s_.controls;
    c.setEnabled("mnfile", false);
    c.setEnabled("mnedit", false);
    c.setEnabled("mnrecord", true);
    c.setEnabled("mnsetup", false);
    c.setEnabled("mnoder", false);
    c.setEnabled("mnhelp", true);
    for (const char* key : {"tbOpen", "tbSave", "tbPrint", "tbClear", "tbStart"})
        c.setEnabled(key, false);
    c.setEnabled("tbPause", true);
    c.setEnabled("tbStop", true);
}

void Recorder::enableIdleMenus() {
    for (const char* name : kIdleMenus) s_.controls.setEnabled(name, true);
}

void Recorder::hideRecordingIndicators() {
    for (int i : {kIndLimit, kIndRel, kIndMax, kIndMin, kIndAvg}) s_.readout.indicator[i] = false;
}

void Recorder::mnstart_Click() {
    ControlStates& c = s_.controls;
    if (c.isChecked("mnstart")) return;
    if (!s_.link.LinkOn) {
        mnstop_Click();
        Call(calls_.mnlinkon_Click);
    }
    s_.rec.TimeFromClock = true;
    if (!s_.link.LinkOn) {
        messages_.show("Link Error! Please check your connector.", QString(), MsgButtons::Ok,
                       MsgIcon::None);
        return;
    }
    setRecordingMenus();

    const bool resume = c.isChecked("mnpause");
    c.setChecked("mnstart", true);
    c.setChecked("mnpause", false);
    c.setChecked("mnstop", false);
    if (!resume) {
        s_.rec.RunState = kRunIdle;
        ResetDisplay();
        s_.readout.indicator[kIndLimit] = s_.settings.T1_beep == 1;
        s_.readout.indicator[kIndMax] = s_.stats.StatFlags[0];
        s_.readout.indicator[kIndMin] = s_.stats.StatFlags[1];
        s_.readout.indicator[kIndAvg] = s_.stats.StatFlags[2];
        s_.stats.avgSum = "0";
        const QDateTime now = clock_.now();
        s_.rec.recordName =
            FormatDate(now.date(), "yyyymmdd") + "_" + FormatTime(now.time(), "hhnnss");
        s_.rec.RecNo = 1;
    }
    // A resume keeps the table and the numbering; its first record falls due one
    // interval from now and takes its time from the clock.
    abortRead();
    s_.rec.RecTick = clock_.tickMs();
    s_.rec.Running = true;
    s_.link.MissCount = 0;
    s_.rec.RunState = kRunRecording;
    s_.link.timerEnabled = true;
}

void Recorder::mnpause_Click() {
    s_.link.AlarmOn = false;
    if (!s_.rec.Running) return;
    s_.rec.Running = false;
    abortRead();

    ControlStates& c = s_.controls;
    enableIdleMenus();
    c.setChecked("mnstart", false);
    c.setChecked("mnstop", false);
    c.setChecked("mnpause", true);
    for (const char* key :
         {"tbOpen", "tbSave", "tbPrint", "tbStart", "tbStop", "tbClear", "tbHelp"})
        c.setEnabled(key, true);
    c.setEnabled("tbPause", false);
}

void Recorder::mnstop_Click() {
    ControlStates& c = s_.controls;
    s_.rec.Running = false;
    abortRead();
    c.setChecked("mnstart", false);
    c.setChecked("mnpause", false);
    c.setChecked("mnstop", true);
    s_.link.MissCount = 0;
    // A recording is still open (RecNo > 0) when Help, About or a file command left
    // RunState at 3 meanwhile; its records are offered for saving (or auto-saved) all
    // the same, so an unattended recording never ends without its report.
    if (s_.rec.RunState == kRunRecording || s_.rec.RecNo > 0) Call(calls_.PromptUnsavedRecord);
    s_.rec.RecNo = 0;

    enableIdleMenus();
    for (const char* key :
         {"tbOpen", "tbSave", "tbPrint", "tbStart", "tbPause", "tbStop", "tbClear", "tbHelp"})
        c.setEnabled(key, true);
    hideRecordingIndicators();

    if (s_.stats.StatFlags[3]) ClearRelReference(s_);
    s_.rec.RunState = kRunIdle;
    if (s_.sched.order == 1 && s_.sched.SchedRunning) Call(calls_.or_stp);
}

void Recorder::mnclear_Click() {
    if (s_.controls.isChecked("mnstart")) {
        const MsgResult answer = messages_.show("Recording! Do you want to clear?", "Clear record!",
                                                MsgButtons::YesNo, MsgIcon::Question);
        if (answer != MsgResult::Yes) return;
    }
    mnstop_Click();
    ResetDisplay();
}

void Recorder::ResetDisplay() {
    // The table is about to go; its journal goes only with records saved or given up.
    if (journal_) journal_->tableCleared();
    RecordingState& r = s_.rec;
    Readout& ro = s_.readout;
    const bool viewingFile = r.RunState == kRunViewingFile;
    if (!viewingFile) {
        ro.value.clear();
        ro.unit.clear();
        ro.coupling.clear();
        hideRecordingIndicators();
        ro.indicator[kIndRS232] = s_.link.LinkOn;
        ro.indicator[kIndWait] = !s_.link.LinkOn;
        ro.barImage = 63;
        ro.signImage = 1;
    }

    // A paused recording whose table is cleared away (a report file opened while
    // paused) cannot be resumed into that table: the next Start begins a new one.
    ControlStates& c = s_.controls;
    if (c.isChecked("mnpause")) {
        c.setChecked("mnpause", false);
        c.setChecked("mnstop", true);
        r.Running = false;
        r.RecNo = 0;
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
    r.modeLabel.clear();
    r.unitLabel.clear();
    Statistics& st = s_.stats;
    for (QString* f : {&st.relValue, &st.relUnit, &st.pageMax, &st.pageMin, &st.relTime})
        f->clear();
    for (QString& f : st.avgRow) f.clear();
    for (QString& f : st.maxRow) f.clear();
    for (QString& f : st.minRow) f.clear();
    for (QString& f : ro.limitCaption) f.clear();
    ro.limitRed = {false, false};
    s_.link.AlarmOn = false;

    if (!viewingFile) Call(calls_.op_set);

    st.avgCount.clear();
    st.avgSum.clear();
    if (calls_.setPageBox) {
        calls_.setPageBox("0");
    } else {
        s_.graph.pageBox = "0";
    }
    Call(calls_.RE_display);
    c.setEnabled("mnsaveData", true);
    c.setEnabled("pop_SaveData", true);
    r.RunState = kRunIdle;
}

}  // namespace quillon
