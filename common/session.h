#pragma once
// The state the subsystems share for the whole run, in one place.
//
// The meter link, the decoder, the record step, the statistics, the graph, the report
// reader and writer, the settings and the schedule all read and write these fields;
// the windows only show them and forward the user's commands. Each struct says which
// subsystem writes it.

#include <QDateTime>
#include <QString>
#include <array>
#include <functional>

#include "record_table.h"

namespace quillon {

// ---------------------------------------------------------------- program state ----

// Values of RecordingState::state.
enum RunStateValue : int {
    kRunRecording = 0,    // a recording is open (running or paused)
    kRunViewingFile = 2,  // a report file is being viewed
    kRunCommand = 3,      // a file, print, option, schedule, help or about command ran
    kRunIdle = 5,
};

// ------------------------------------------------------------------- settings ----

// Every persisted option; each comment starts with its key in the settings store. Written
// by the settings store and dialog; the graph scaling overwrites graphBottom/graphTop at
// run time.
struct Settings {
    int autoScan = 0;        // "autoScan": 0 scan every COM number, 1 use configuredPort
    int configuredPort = 0;  // "comp": configured COM number 1..256, 0 none
    int autoSave = 0;        // "sav_Auto": 1 save every recording automatically into saveFolder
    QString saveFolder;      // "Sav_Drv": auto-save folder, ends with "/"
    int alarmEnabled = 0;    // "T1_beep": 1 limit alarm on
    int limitsTested = 0;    // "limit_selet": bit 0 high limit tested, bit 1 low limit tested
    std::array<QString, 2> limitTexts;  // "limit_txt_0/1": high and low limit as typed
    int showGraphTitle = 0;       // "Graph_Title": 1 show graphTitle on the graph and printouts
    QString graphTitle;           // "Graph_txt"
    int graphRangeMode = 0;       // "Graph_range": 0 Auto Range, 1 Meter Range, 2 Range
    float graphBottom = 0;        // "Tick_Dn": value at the bottom of the graph
    float graphTop = 0;           // "Tick_UP": value at the top of the graph
    int stopOnOverload = 0;       // "OL_stop": 1 stop recording on an overload
    qint32 recordIntervalMs = 0;  // "IntTime": record interval in ms
    std::array<QString, 2> dateTimeFormats;  // "Fdt_0", "Fdt_1": date format, time format
    // "keepRecording": 1 a lost meter does not end a recording: it goes on when the meter
    // returns.
    int keepRecording = 0;
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
    int foundPort = 0;      // COM number the meter was last found on, 0 none
    qint32 lastResult = 0;  // result of the last library call, kept for reference
    bool linkOn = false;
    int ticksWithoutData = 0;    // poll ticks since the decoder last ran
    bool alarmOn = false;        // the last checked reading is outside a limit
    int systemMajorVersion = 0;  // first digit of the system version, picks the alarm sound
    bool pollTimerOn = false;    // the window's poll timer runs
    int pollIntervalMs = 500;
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
    int function = 0;         // 0..33
    int range = 0;            // 0..7
    float decimalIndex = 0;   // 0 four decimals .. 4 none
    QString valueText;        // "1.2345", "-2.352", "-0.0000", "OL", "-OL" or ""
    QString overloadPattern;  // overload pattern last shown (". OL ", " O.L ", ...)
    float rangeHigh = 0;      // limits of the current function and range
    float rangeLow = 0;
};

// The indicators along the top of the live readout.
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
    QString value;  // the big value (or overload pattern)
    QString unit;
    QString coupling;                 // "AC", "DC", "AC+DC", "ns" or ""
    bool buzzerShown = false;         // continuity buzzer symbol
    bool diodeShown = false;          // diode symbol
    int barImage = 63;                // picture 1..63 of the bar graph
    int signImage = 1;                // sign: 1 positive, 2 negative
    std::array<bool, 8> indicator{};  // visible, by Indicator
    // Texts of the high limit, low limit and record interval fields under the readout.
    std::array<QString, 3> limitCaption;
    std::array<bool, 2> limitRed{};  // high / low limit field drawn red (else window colour)
    bool stale = false;              // no frame for kLiveReadingMs: the value shown is not live
};

// ------------------------------------------------------------------ recording ----

// Written by the record step and the recording commands (and the report reader).
struct RecordingState {
    int state = kRunIdle;
    bool running = false;
    qint32 nextRecord = 0;    // next record's number = its table row; 0 no recording
    qint64 scheduleTick = 0;  // tick count that is the baseline of the record schedule
    bool stampFromClock = false;
    int recordedFunction = 0;  // function code of record 1
    int recordedRange = 0;     // range index at the latest record
    bool rangeChanged = false;
    int previousRange = 0;
    QString finestRange;    // range index of the finest range, as text
    QString finestDec;      // its decimal index, as text
    QString functionName;   // name of the recorded function
    QString recordName;     // shown beside "File ", e.g. 20240131_142500
    QString shownFunction;  // shown beside "Mode"
    QString shownUnit;      // shown beside "Unit "
    QString fileTitle;      // title of a viewed report file
    QString fileDate;       // date of a viewed report file
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
    QString workingMax, workingMin;  // working copies while computing
    QString maxValue;                // running MAX in the current range's unit
    QString minValue;
    QString maxRecord;              // row of the MAX record
    QString minRecord;              // row of the MIN record
    QString avgCount;               // records averaged
    QString avgSum;                 // their sum
    std::array<QString, 3> maxRow;  // value, unit, time shown in the MAX row
    std::array<QString, 3> minRow;  // the MIN row
    std::array<QString, 2> avgRow;  // average, unit
    QString pageMax;                // MAX and MIN of the page shown
    QString pageMin;
    QString relValue;  // REL reference value
    QString relUnit;
    QString relTime;
    // Show MAX, MIN, AVG (from the setting "Mav"); item 3: a REL reference is held.
    std::array<bool, 4> statFlags{};
    bool relHighlighted = false;  // the "REL" button drawn light cyan
};

// ---------------------------------------------------------------------- graph ----

// Written by the graph frame, scaling and plot.
struct GraphState {
    double valuePerGridUnit = 0;  // value of one vertical grid unit
    float pageScale = 1;          // a page holds 100 * pageScale records
    QString pageBox;              // number of the page shown
    float lastPlottedValue = 0;
    bool noPreviousPoint = true;
    double gridUnitX = 102;  // width of one horizontal grid unit in drawing units
    double gridUnitY = 34;   // height of one vertical grid unit
    double scaleX = 1;       // layout factors, 1 at the design size
    double scaleY = 1;
};

// ------------------------------------------------------------------- schedule ----

struct ScheduleState {
    int armed = 0;  // "order": 1 the schedule is armed
    // Per entry: start date, start time, stop date, stop time.
    std::array<std::array<QString, 4>, 5> entryFields;
    std::array<int, 5> entryTicked{};  // "ck": 1 the entry takes part
    int currentEntry = 1;              // entry running now or next, 1..5
    QDateTime entryStart, entryStop;
    bool scheduledRecordingRunning = false;
    bool bannerShown = false;  // the schedule banner over the toolbar
    QString bannerText;
};

// ------------------------------------------------------------ menus, toolbar ----

// The menus, menu items and toolbar buttons whose enabled or checked state the commands
// set. The window maps each to its action once.
enum class Control : int {
    FileMenu,
    EditMenu,
    RecordMenu,
    HelpMenu,
    SaveMenu,
    PrintMenu,
    Open,
    SaveReport,
    SaveGraph,
    SaveScreen,
    PrintReport,
    PrintGraph,
    PrintScreen,
    Exit,
    Clear,
    LinkUp,
    LinkOff,
    Start,
    Pause,
    Stop,
    Options,
    Schedule,
    Help,
    About,
    PopupSaveReport,  // "Save Report" of the toolbar's save pop-up
    OpenButton,       // toolbar buttons
    SaveButton,
    PrintButton,
    ClearButton,
    LinkButton,
    StartButton,
    PauseButton,
    StopButton,
    HelpButton,
};
constexpr int kControlCount = int(Control::HelpButton) + 1;

// Enabled and checked state of each control; a control never set is enabled and unchecked.
struct ControlStates {
    ControlStates() { enabled.fill(true); }
    std::array<bool, kControlCount> enabled;
    std::array<bool, kControlCount> checked{};

    bool isEnabled(Control c) const { return enabled[size_t(c)]; }
    bool isChecked(Control c) const { return checked[size_t(c)]; }
    void setEnabled(Control c, bool on) { enabled[size_t(c)] = on; }
    void setChecked(Control c, bool on) { checked[size_t(c)] = on; }
};

// --------------------------------------------------------------------- hooks ----

// Commands of upper layers that lower layers call: the poll loop starts the record
// step and the schedule check, Link Off and the time-out stop a recording, the report
// reader resets the display. The program wires them to the real commands; a test
// wires only what it watches. An unset hook does nothing.
struct Hooks {
    std::function<void()> startRecording;
    std::function<void()> stopRecording;
    std::function<void()> resetDisplay;
    std::function<void()> recordStep;
    std::function<void()> scheduleCheck;
    // Lets the window show the state after a change made outside a command (for
    // example inside a wait that lets events run).
    std::function<void()> refresh;
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
    s.stats.statFlags[3] = false;
    s.stats.relHighlighted = false;
}

// An opened report stays on show after a file, print or dialog command has set state
// to 3; it is shown until the display is reset, and saving stays disabled until then.
inline bool ShowsOpenedReport(const Session& s) {
    return s.rec.state == kRunViewingFile ||
           (s.rec.state == kRunCommand && !s.controls.isEnabled(Control::SaveReport));
}

// A recording that stops is saved without asking: automatic saving is on, or a scheduled
// recording runs.
inline bool SavesRecordingsAutomatically(const Session& s) {
    return s.settings.autoSave == 1 || s.sched.scheduledRecordingRunning;
}

}  // namespace quillon
