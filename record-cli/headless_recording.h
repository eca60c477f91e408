#pragma once
// A recording without a window: the objects QUILLON records with (meter link, decoder,
// poll loop, recorder with its journal, statistics, report writer), wired for the command
// line. It finds the meter, records until the count or the duration is reached, a signal
// asks it to end or the meter stops sending, prints each record as it is taken, and
// writes the report QUILLON would write.

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

#include "alarm_sound.h"
#include "clock.h"
#include "frame_decoder.h"
#include "messages.h"
#include "meter_link.h"
#include "poll_loop.h"
#include "port_table.h"
#include "record_options.h"
#include "recorder.h"
#include "recording_journal.h"
#include "serial_library.h"
#include "session.h"
#include "settings_store.h"
#include "statistics_calc.h"
#include "status_line.h"

namespace quillon {

// Exit statuses of quillon-record.
enum RecordExit : int {
    kExitDone = 0,
    kExitUsage = 2,
    kExitNoMeter = 3,
    kExitReportNotWritten = 4,
    kExitMeterTimedOut = 5,
};

// How long the ports are searched for the meter before quillon-record gives up.
constexpr qint64 kMeterSearchMs = 10000;

class HeadlessRecording {
  public:
    // serial: what the recording reads through; ports: the table its COM numbers index
    // (with --port, a table of that one device). records: where records are printed
    // (standard output); status: standard error.
    HeadlessRecording(const RecordOptions& options, SerialLibrary& serial, const PortTable& ports,
                      Clock& clock, FILE* records, FILE* status,
                      const QString& journalFolder = RecordingJournal::DefaultFolder());
    ~HeadlessRecording();
    HeadlessRecording(const HeadlessRecording&) = delete;
    HeadlessRecording& operator=(const HeadlessRecording&) = delete;

    // Reads the user's settings (never writes them), applies the options over them and
    // makes sure the report's folder takes files. An exit status when it cannot go on.
    std::optional<int> prepare(SettingsStore& store);
    // Turns the journals of recordings that were killed into reports, as QUILLON does
    // at its start, and tells where they went.
    void recoverJournals();

    // One tick of the poll loop (every timerIntervalMs()) and what follows from it.
    void tick();
    int timerIntervalMs() const { return s_.link.pollIntervalMs; }
    // A signal: the recording ends after the tick under way, its report written.
    void requestEnd();

    bool finished() const { return finished_; }
    int exitStatus() const { return exitStatus_; }
    const Session& session() const { return s_; }
    const QStringList& reportsWritten() const { return reports_; }

  private:
    class PrintedMessages final : public MessageBoxes {
      public:
        explicit PrintedMessages(StatusLine& status) : status_(status) {}
        MsgResult show(const QString& text, const QString&, MsgButtons buttons, MsgIcon) override;

      private:
        StatusLine& status_;
    };
    class SilentAlarm final : public AlarmSound {
      public:
        void tone(int, int) override {}
        void playFile(const QString&) override {}
    };

    void wireRecorder();
    void applyOptions();
    QString reportPath(int file) const;
    QString portText() const;
    void startRecording();
    void afterTick();
    void recordTaken();
    void saveReport();
    void finish(int status, const QString& why);
    void showStatus();

    RecordOptions options_;
    SerialLibrary& serial_;
    PortTable ports_;  // the table read at the start: the COM numbers the search tries
    Clock& clock_;
    FILE* records_;
    StatusLine status_;
    Session s_;
    PrintedMessages messages_;
    SilentAlarm alarm_;
    FrameDecoder decoder_;
    MeterLink link_;
    PollLoop poll_;
    RecordingJournal journal_;
    Recorder recorder_;
    StatisticsCalc statistics_;

    QString reportBase_;  // the first report; the next ones get _2, _3, ... before ".csv"
    int nextFile_ = 1;
    QStringList reports_;
    bool reportFailed_ = false;
    bool journalProblemTold_ = false;
    qint64 searchSince_ = -1;
    qint64 recordingSince_ = -1;
    qint64 durationFrom_ = -1;  // the start, then the first record
    int recordsTaken_ = 0;
    bool inTick_ = false;
    bool endRequested_ = false;
    bool finished_ = false;
    int exitStatus_ = kExitDone;
};

// quillon-record's main: runs the recording on the event loop of a QCoreApplication
// until it ends, with SIGINT and SIGTERM ending it cleanly. Returns the exit status.
int RunHeadlessRecording(const RecordOptions& options);

}  // namespace quillon
