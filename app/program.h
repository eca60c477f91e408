#pragma once
// Every object of the running program, built once and connected: the shared session,
// the clock, the serial library and meter link, the decoder and poll loop, the settings
// store and dialogs, the schedule, statistics and graph, the report saver, opener,
// image export and printing, the recorder with its journal, and the main window.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <memory>

#include "alarm_sound.h"
#include "capture_serial_library.h"
#include "clock.h"
#include "folder_remembering_dialogs.h"
#include "frame_decoder.h"
#include "image_export.h"
#include "main_window.h"
#include "meter_link.h"
#include "poll_loop.h"
#include "posix_serial_library.h"
#include "printing.h"
#include "qt_file_dialogs.h"
#include "qt_message_boxes.h"
#include "recorder.h"
#include "recording_journal.h"
#include "report_opener.h"
#include "report_saver.h"
#include "schedule.h"
#include "session.h"
#include "settings_store.h"
#include "switchable_message_boxes.h"
#include "trend_graph.h"

namespace quillon {

class SettingsDialog;
class ScheduleDialog;

class Program {
  public:
    // programDir: the folder of sub.log, Mark.ico, help.html and ding.wav. Message boxes
    // and file dialogs are the Qt ones unless others are given (tests, snapshots). With a
    // capture path every byte received is also written there (see captureProblem()).
    explicit Program(const QString& programDir, std::unique_ptr<MessageBoxes> messages = nullptr,
                     std::unique_ptr<FileDialogs> fileDialogs = nullptr,
                     const QString& capturePath = QString());
    ~Program();

    MainWindow& window() { return *window_; }
    Session& session() { return session_; }
    RecordingJournal& journal() { return journal_; }
    // Why the capture file asked for cannot be written ("" when it can, or none was asked).
    QString captureProblem() const { return capture_ ? capture_->errorText() : QString(); }

    // Turns the journals of recordings an earlier run left behind into reports in the
    // save folder (saveFolder, else ~/Data/) and tells the user in one message.
    void RecoverJournals();
    // Ends the program on a signal or at the end of the desktop session, asking nothing:
    // a recording ends as Stop ends it (saved when saving is automatic, otherwise its
    // journal stays for the next start), the port is stored as Exit stores it, and the
    // event loop ends with status 0.
    void EndUnattended();
    // Opens a report as "Open file" does, without the dialog (a file named on the
    // command line). A file that cannot be read is reported in a message.
    void OpenReport(const QString& path);

  private:
    void wireRecorder();
    // Stop's save step: saves or asks as the settings say, and tells the journal.
    void offerSaveOnStop();
    void finishEnding();
    MainWindowCalls windowCalls();
    void showSettingsDialog();
    void showScheduleDialog();
    WindowCapture windowCapture();

    QString programDir_;
    Session session_;
    SystemClock clock_;
    std::unique_ptr<MessageBoxes> messagesOwned_;
    std::unique_ptr<FileDialogs> fileDialogsOwned_;
    SwitchableMessageBoxes messages_;
    FileDialogs& fileDialogs_;
    FolderRememberingDialogs folderDialogs_;  // what the commands use
    PosixSerialLibrary serial_;
    std::unique_ptr<CaptureSerialLibrary> capture_;
    SerialLibrary& line_;  // the serial library everything reads through: serial_, or capture_
    FrameDecoder decoder_;
    MeterLink link_;
    AlarmSoundModule alarm_;
    PollLoop poll_;
    SettingsStore store_;
    Schedule schedule_;
    TrendGraph graph_;
    ReportSaver saver_;
    std::unique_ptr<ReportOpener> opener_;
    std::unique_ptr<ImageExporter> images_;
    std::unique_ptr<PrintingModule> printing_;
    RecordingJournal journal_;
    Recorder recorder_;
    std::unique_ptr<MainWindow> window_;
    bool ending_ = false;
    QElapsedTimer endingFor_;
    // The open settings and schedule windows: one of each at a time.
    QPointer<SettingsDialog> settingsDialog_;
    QPointer<ScheduleDialog> scheduleDialog_;
};

}  // namespace quillon
