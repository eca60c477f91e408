#pragma once
// The state the subsystems share for the whole run, in one place.
//
// The meter link, the decoder, the record step, the statistics, the graph, the report
// reader and writer, the settings and the schedule all read and write these fields;
// the windows only show them and forward the user's commands. Each struct says which
// subsystem writes it. Comments give the name of the on-screen control a field is
// shown in (the windows use those names as object names).

#include <QDateTime>
#include <QHash>
#include <QString>
#include <array>
#include <functional>

#include "record_table.h"

namespace quillon {

// ---------------------------------------------------------------- program state ----

// RunState values.
enum RunStateValue : int {
    kRunRecording = 0,    // a recording is open (running or paused)
    kRunViewingFile = 2,  // a report file is being viewed
    kRunCommand = 3,      // a file, print, option, schedule, help or about command ran
    kRunIdle = 5,
};

// ------------------------------------------------------------------- settings ----

// Every persisted option, named after its key in the settings store. Written by the
// settings store and dialog; the graph scaling overwrites Tick_Dn/Tick_UP at run time.
struct Settings {
    int autoScan = 0;                  // 0 scan every COM number, 1 use `comp`
    int comp = 0;                      // configured COM number 1..256, 0 none
    int sav_Auto = 0;                  // 1 save every recording automatically into Sav_Drv
    QString Sav_Drv;                   // auto-save folder, ends with "/"
    int T1_beep = 0;                   // 1 limit alarm on
    int limit_selet = 0;               // bit 0 high limit tested, bit 1 low limit tested
    std::array<QString, 2> limit_txt;  // high and low limit as typed
    int Graph_Title = 0;               // 1 show Graph_txt on the graph and printouts
    QString Graph_txt;                 // graph title
    int Graph_range = 0;               // 0 Auto Range, 1 Meter Range, 2 Range
    float Tick_Dn = 0;                 // value at the bottom of the graph
    float Tick_UP = 0;                 // value at the top of the graph
    int OL_stop = 0;                   // 1 stop recording on an overload
    qint32 IntTime = 0;                // record interval in ms
    std::array<QString, 2> Fdt;        // date format, time format
    int keepRecording = 0;             // 1 a lost meter does not end a recording: it goes on
                                       // when the meter returns
};

// ------------------------------------------------------------------ meter link ----

// Fixed line settings handed to every serial call (codes of the serial library).
struct PortSettings {
    qint32 port = 0;
    qint16 baud = 12;     // 9600 baud
    qint16 parity = 0;    // none
    qint16 dataBits = 3;  // 8 bits
    qint16 stopBits = 0;  // 1 stop bit
    qint16 hwFlow = 0;
    qint16 swFlow = 0;
    qint16 dtr = 1;
    qint16 rts = 1;
};

// Written by the meter link and the poll loop.
struct LinkState {
    PortSettings portSettings;
    int FoundPort = 0;      // COM number the meter was last found on, 0 none
    qint32 PortResult = 0;  // result of the last library call, kept for reference
    bool LinkOn = false;
    int MissCount = 0;          // poll ticks since the decoder last ran
    bool AlarmOn = false;       // the last checked reading is outside a limit
    int OSMajor = 0;            // first digit of the system version, picks the alarm sound
    bool timerEnabled = false;  // Timer1
    int timerInterval = 500;    // Timer1 interval in ms
    qint64 lastFrameTick = -1;  // tick count when the decoder last accepted a frame, -1 none
};

// A reading is live for this long after its frame: records and the readout's "RS232" need
// one no older than that.
constexpr qint64 kLiveReadingMs = 1500;

// Whether the reading is live at `now` (tick counts in ms), for records and the readout
// alike. The decoder reads at the poll ticks (every tickMs), so the frame it decoded at
// lastFrameTick may have come up to one tick earlier.
inline bool ReadingIsLive(qint64 lastFrameTick, qint64 now, int tickMs) {
    return lastFrameTick >= 0 && now - lastFrameTick + qMax(0, tickMs) < kLiveReadingMs;
}

// The decoder's reading, read by everything that records or scales values.
struct Reading {
    int FuncCode = 0;   // 0..33
    int RangeIdx = 0;   // 0..7
    float DecIdx = 0;   // 0 four decimals .. 4 none
    QString ValueText;  // "1.2345", "-2.352", "-0.0000", "OL", "-OL" or ""
    QString OLText;     // overload pattern last shown (". OL ", " O.L ", ...)
    float OLHigh = 0;   // limits of the current function and range
    float OLLow = 0;
};

// Indicator labels Label13_1 .. Label13_7 of the live readout.
enum Indicator {
    kIndRS232 = 1,
    kIndLimit = 2,
    kIndRel = 3,
    kIndWait = 4,
    kIndMax = 5,
    kIndMin = 6,
    kIndAvg = 7
};

// The live readout panel and the captions beside it.
struct Readout {
    QString value;                    // Label1_0, the big value (or overload pattern)
    QString unit;                     // Label1_1
    QString coupling;                 // Label2, "AC", "DC", "AC+DC", "ns" or ""
    bool buzzerShown = false;         // Image4
    bool diodeShown = false;          // Image5
    int barImage = 63;                // Image1: picture 1..63 of the bar-graph list
    int signImage = 1;                // Image2: 1 positive, 2 negative
    std::array<bool, 8> indicator{};  // Label13_1..7 visible, index by Indicator
    // Alarm-limit and interval captions Label12_0 (Hi), Label12_1 (Low), Label12_2.
    std::array<QString, 3> limitCaption;
    std::array<bool, 2> limitRed{};  // Label12_0 / Label12_1 back colour red (else window colour)
    bool stale = false;              // no frame for kLiveReadingMs: the value shown is not live
};

// ------------------------------------------------------------------ recording ----

// Written by the record step and the recording commands (and the report reader).
struct RecordingState {
    int RunState = kRunIdle;
    bool Running = false;
    qint32 RecNo = 0;    // next record's number = its table row; 0 no recording
    qint64 RecTick = 0;  // tick count that is the baseline of the record schedule
    bool TimeFromClock = false;
    int RecFunc = 0;   // function code of record 1
    int RecRange = 0;  // range index at the latest record
    bool RangeChanged = false;
    int PrevRange = 0;
    QString finestRange;   // Label22_0: range index of the finest range, as text
    QString finestDec;     // Label22_1: its decimal index, as text
    QString functionName;  // Label21
    QString recordName;    // Label7 ("File "), e.g. 20240131_142500
    QString modeLabel;     // Label11 ("Mode")
    QString unitLabel;     // Label8 ("Unit ")
    QString fileTitle;     // Label15_0: title of a viewed report file
    QString fileDate;      // Label15_1: date of a viewed report file
    // Why records cannot be journalled, "" while they can.
    QString journalProblem;
    // The report file the records shown are kept in: where they were last saved (by hand
    // or automatically) or the file they were opened from, as a full path; "" while they
    // are in no file. reportRecords: how many records that file holds.
    QString reportFile;
    int reportRecords = 0;
};

// ----------------------------------------------------------------- statistics ----

// Written by the statistics (and filled from a file by the report reader).
struct Statistics {
    QString MaxText, MinText;       // working copies while computing
    QString maxValue;               // Label18: running MAX in the current range's unit
    QString minValue;               // Label19
    QString maxRecord;              // Label10_0: row of the MAX record
    QString minRecord;              // Label10_1
    QString avgCount;               // Text3
    QString avgSum;                 // Text8
    std::array<QString, 3> maxRow;  // Label5_0..2: value, unit, time shown in the MAX row
    std::array<QString, 3> minRow;  // Label6_0..2
    std::array<QString, 2> avgRow;  // Label4_0..1: average, unit
    QString pageMax;                // Label3_2
    QString pageMin;                // Label3_3
    QString relValue;               // Label3_0: REL reference value
    QString relUnit;                // Label3_1
    QString relTime;                // Label6_3
    // Show MAX, MIN, AVG (from the setting "Mav"); item 3: a REL reference is held.
    std::array<bool, 4> StatFlags{};
    bool relHighlighted = false;  // Command2 ("REL") drawn light cyan
};

// ---------------------------------------------------------------------- graph ----

// Written by the graph frame, scaling and plot.
struct GraphState {
    double YStep = 0;     // value of one vertical grid unit
    float PageScale = 1;  // a page holds 100 * PageScale records
    QString pageBox;      // Text1: number of the page shown
    float LastPlotValue = 0;
    bool NoPrevPoint = true;
    double UnitX = 102;  // width of one horizontal grid unit in drawing units
    double UnitY = 34;   // height of one vertical grid unit
    double ScaleX = 1;   // layout factors, 1 at the design size
    double ScaleY = 1;
};

// ------------------------------------------------------------------- schedule ----

struct ScheduleState {
    int order = 0;  // 1 armed
    // Per entry: start date, start time, stop date, stop time.
    std::array<std::array<QString, 4>, 5> SchedFields;
    std::array<int, 5> SchedEnabled{};
    int SchedEntry = 1;  // entry running now or next, 1..5
    QDateTime SchedStart, SchedStop;
    bool SchedRunning = false;
    bool bannerShown = false;  // Picture5
    QString bannerText;        // Label14
};

// ------------------------------------------------------------ menus, toolbar ----

// Enabled and checked state of menu items (by name: "mnfile", "mnstart", "pop_SaveData",
// ...) and toolbar buttons (by key with the prefix "tb": "tbOpen", "tbStart", ...).
// A name never set is enabled and unchecked.
struct ControlStates {
    QHash<QString, bool> enabled;
    QHash<QString, bool> checked;

    bool isEnabled(const QString& name) const { return enabled.value(name, true); }
    bool isChecked(const QString& name) const { return checked.value(name, false); }
    void setEnabled(const QString& name, bool on) { enabled[name] = on; }
    void setChecked(const QString& name, bool on) { checked[name] = on; }
};

// --------------------------------------------------------------------- hooks ----

// Commands of upper layers that lower layers call: the poll loop starts the record
// step and the schedule check, Link Off and the time-out stop a recording, the report
// reader resets the display. The program wires them to the real commands; a test
// wires only what it watches. An unset hook does nothing.
struct Hooks {
    std::function<void()> mnstart_Click;
    std::function<void()> mnstop_Click;
    std::function<void()> ResetDisplay;
    std::function<void()> RecordStep;
    std::function<void()> ScheduleCheck;
    // Lets the window show the state after a change made outside a command (for
    // example inside a wait that lets events run).
    std::function<void()> Refresh;
};

inline void Call(const std::function<void()>& hook) {
    if (hook) hook();
}

// ------------------------------------------------------------------- session ----

struct Session {
    Settings settings;
    LinkState link;
    Reading reading;
    Readout readout;
    RecordingState rec;
    Statistics stats;
    GraphState graph;
    ScheduleState sched;
    ControlStates controls;
    RecordTable table;
    Hooks hooks;
};

// Ends REL mode: the reference fields are emptied, the "REL" indicator hidden and the
// button drawn normally again (REL pressed a second time, or the recording stopped).
inline void ClearRelReference(Session& s) {
    s.stats.relValue.clear();
    s.stats.relUnit.clear();
    s.stats.relTime.clear();
    s.readout.indicator[kIndRel] = false;
    s.stats.StatFlags[3] = false;
    s.stats.relHighlighted = false;
}

// An opened report stays on show after a file, print or dialog command has set RunState
// to 3; it is shown until the display is reset, and saving stays disabled until then.
inline bool ShowsOpenedReport(const Session& s) {
    return s.rec.RunState == kRunViewingFile ||
           (s.rec.RunState == kRunCommand && !s.controls.isEnabled(QStringLiteral("mnsaveData")));
}

// A recording that stops is saved without asking: automatic saving is on, or a scheduled
// recording runs.
inline bool SavesRecordingsAutomatically(const Session& s) {
    return s.settings.sav_Auto == 1 || s.sched.SchedRunning;
}

}  // namespace quillon
