#include "headless_recording.h"

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>
#include <memory>

#include "capture_serial_library.h"
#include "flag_scope.h"
#include "journal_recovery.h"
#include "meter_tables.h"
#include "posix_serial_library.h"
#include "report_saver.h"
#include "report_writer.h"
#include "settings_form.h"
#include "settings_record.h"
#include "termination_signals.h"

namespace quillon {

namespace {

// "1 record", "5 records".
QString Records(int n) {
    return n == 1 ? QStringLiteral("1 record") : QStringLiteral("%1 records").arg(n);
}

// Why files cannot be made in `folder` ("" when they can): a file is made and removed.
QString FolderRefusal(const QString& folder) {
    QByteArray probe = QFile::encodeName(QDir(folder).filePath(".quillon-record-XXXXXX"));
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return QString::fromLocal8Bit(strerror(errno));
    ::close(fd);
    ::unlink(probe.constData());
    return {};
}

}  // namespace

MsgResult HeadlessRecording::PrintedMessages::show(const QString& text, const QString&,
                                                   MsgButtons buttons, MsgIcon) {
    // Nobody is there to answer: the answer closing the box would give.
    status_.alert(text);
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgResult::Ok;
        case MsgButtons::YesNo:
            return MsgResult::No;
        case MsgButtons::OkCancel:
        case MsgButtons::YesNoCancel:
            break;
    }
    return MsgResult::Cancel;
}

HeadlessRecording::HeadlessRecording(const RecordOptions& options, SerialLibrary& serial,
                                     const PortTable& ports, Clock& clock, FILE* records,
                                     FILE* status, const QString& journalFolder)
    : options_(options),
      serial_(serial),
      ports_(ports),
      clock_(clock),
      records_(records),
      status_(status, options.quiet, [&clock] { return clock.tickMs(); }),
      messages_(status_),
      decoder_(s_, serial, clock),
      link_(s_, serial, clock, messages_, ports_),
      poll_(s_, serial, decoder_, link_, messages_, alarm_, QString()),
      journal_(journalFolder),
      recorder_(s_, clock, messages_),
      statistics_(s_) {
    // The start-up of the main window, as far as recording needs it.
    s_.readout.indicator[kIndRS232] = false;
    s_.readout.indicator[kIndWait] = true;
    recorder_.SetIdleState();
    s_.link.pollIntervalMs = 500;
    s_.graph.pageScale = 1;
    wireRecorder();
    recorder_.InitGrid();
}

HeadlessRecording::~HeadlessRecording() { s_.hooks = Hooks{}; }

void HeadlessRecording::wireRecorder() {
    RecorderCalls& c = recorder_.calls();
    c.UnitTable = [](int func, int range) { return UnitTable(func, range); };
    c.FunctionTable = [](int func) { return FunctionTable(func); };
    c.linkUp = [this] { link_.linkUp(); };
    c.AbortRead = [this] {
        const int port = s_.link.portSettings.port;
        if (port > 0) s_.link.lastResult = serial_.sio_AbortRead(port);
    };
    c.UpdateMaxMin = [this] { statistics_.UpdateMaxMin(); };
    c.UpdateAverage = [this] { statistics_.UpdateAverage(); };
    // The last step after every record (where the window plots it): print it.
    c.PlotNewPoint = [this] { recordTaken(); };
    c.applySettingsToWindow = [this] { applySettingsToWindow(s_); };
    c.PromptUnsavedRecord = [this] { saveReport(); };
    recorder_.InstallHooks();
    recorder_.setJournal(&journal_);
}

std::optional<int> HeadlessRecording::prepare(SettingsStore& store) {
    // The settings dialog's load, without storing the defaults of a first run.
    SettingsForm form;
    const bool firstRun = IsFirstRun(store);
    const QString mav = LoadSettings(s_, store);
    if (firstRun) {
        PressDefault(form, s_.settings);
        TakeForm(form, s_);
    } else {
        ShowRecord(form, s_, mav);
    }
    applyOptions();
    applySettingsToWindow(s_);

    reportBase_ = options_.out;
    const QString shown = reportBase_.isEmpty() ? s_.settings.saveFolder : reportBase_;
    const QString folder =
        reportBase_.isEmpty() ? s_.settings.saveFolder : QFileInfo(reportBase_).absolutePath();
    QString refusal;
    if (!reportBase_.isEmpty() && QFileInfo(reportBase_).isDir()) {
        refusal = QStringLiteral("it is a folder");
    } else {
        MakeFolderPath(folder);
        refusal = FolderRefusal(folder);
    }
    if (refusal.isEmpty()) return std::nullopt;
    status_.alert(QStringLiteral("cannot write the report %1: %2").arg(shown, refusal));
    return kExitReportNotWritten;
}

void HeadlessRecording::applyOptions() {
    Settings& st = s_.settings;
    if (options_.intervalMs) st.recordIntervalMs = *options_.intervalMs;
    if (options_.title) st.graphTitle = *options_.title;
    if (options_.dateFormat) st.dateTimeFormats[0] = *options_.dateFormat;
    if (options_.timeFormat) st.dateTimeFormats[1] = *options_.timeFormat;
    if (!options_.port.isEmpty()) {
        st.autoScan = 1;
        st.configuredPort = 1;  // the one device of the table
    } else if (options_.com > 0) {
        st.autoScan = 1;
        st.configuredPort = options_.com;
    }
    // A run from the command line ends as its options say: an overload is recorded like
    // any value, and a meter that stops sending ends it (exit status 5).
    st.stopOnOverload = 0;
    st.keepRecording = 0;
    // A folder from another system ("D:\Data\") or none: the default save folder.
    if (!QDir::isAbsolutePath(st.saveFolder)) st.saveFolder = DefaultSaveFolder();
}

void HeadlessRecording::recoverJournals() {
    RecoveryCalls calls;
    calls.updateStatistics = [](Session& s) {
        StatisticsCalc statistics(s);
        statistics.UpdateMaxMin();
        statistics.UpdateAverage();
    };
    calls.writeReport = [](const Session& s, const QString& path) {
        const WriteResult result = WriteReport(s, path);
        return result.ok ? QString() : result.errorText;
    };
    const RecoveryOutcome outcome =
        RecoverJournals(journal_.folder(), {s_.settings.saveFolder, DefaultSaveFolder()}, calls);
    const QString text = RecoveryMessage(outcome);
    if (!text.isEmpty()) status_.alert(text);
}

QString HeadlessRecording::reportPath(int file) const {
    if (file <= 1) return reportBase_;
    // report.csv, report_2.csv, report_3.csv, ...
    const int slash = reportBase_.lastIndexOf('/');
    const int dot = reportBase_.lastIndexOf('.');
    const QString number = QStringLiteral("_%1").arg(file);
    if (dot <= slash + 1) return reportBase_ + number;
    return reportBase_.left(dot) + number + reportBase_.mid(dot);
}

QString HeadlessRecording::portText() const {
    if (!options_.port.isEmpty()) return options_.port;
    const Settings& st = s_.settings;
    const int com =
        s_.link.foundPort > 0 ? s_.link.foundPort : (st.autoScan != 0 ? st.configuredPort : 0);
    if (com > 0) {
        const QString device = ports_.device(com);
        return QStringLiteral("COM%1 (%2)")
            .arg(com)
            .arg(device.isEmpty() ? "no such port" : device);
    }
    if (ports_.count() == 0) return QStringLiteral("any port (there are none)");
    return ports_.paths().join(QStringLiteral(", "));
}

void HeadlessRecording::tick() {
    if (finished_ || inTick_) return;
    FlagScope scope(inTick_);
    const qint64 now = clock_.tickMs();
    if (searchSince_ < 0) searchSince_ = now;
    if (durationFrom_ >= 0 && options_.durationMs > 0 &&
        now - durationFrom_ >= options_.durationMs) {
        finish(kExitDone, QStringLiteral("the duration is over"));
        return;
    }
    // A meter found between ticks starts the recording before this tick decodes, so the
    // first record is the first reading decoded after the meter was heard.
    if (recordingSince_ < 0 && s_.link.linkOn && !endRequested_) startRecording();
    poll_.pollTick();
    afterTick();
}

void HeadlessRecording::afterTick() {
    if (finished_) return;
    if (endRequested_) {
        finish(recordingSince_ < 0 ? kExitNoMeter : kExitDone, QStringLiteral("asked to end"));
        return;
    }
    if (recordingSince_ < 0) {
        if (s_.link.linkOn) {
            startRecording();
        } else if (clock_.tickMs() - searchSince_ >= kMeterSearchMs) {
            finish(kExitNoMeter, QStringLiteral("no meter found on %1 within %2 s")
                                     .arg(portText(), QString::number(kMeterSearchMs / 1000)));
        }
        return;
    }
    if (options_.count > 0 && recordsTaken_ >= options_.count) {
        finish(kExitDone, QStringLiteral("done"));
    } else if (!s_.link.linkOn) {
        // The poll loop's time-out has ended the link and, through Stop, saved the report.
        finish(kExitMeterTimedOut, QStringLiteral("the meter sent nothing for 15 s"));
    } else if (!s_.rec.running) {
        // A new function on the meter ends a recording (its report is written); here the
        // run goes on, into the next file.
        status_.note(QStringLiteral("the meter's function changed: a new report begins"));
        startRecording();
    }
}

void HeadlessRecording::startRecording() {
    recorder_.startRecording();
    if (!s_.rec.running) return;
    if (recordingSince_ < 0) {
        recordingSince_ = durationFrom_ = clock_.tickMs();
        if (reportBase_.isEmpty())
            reportBase_ = QDir(s_.settings.saveFolder).filePath(s_.rec.recordName + ".csv");
        status_.note(QStringLiteral("recording from %1 into %2").arg(portText(), reportBase_));
    }
    showStatus();
}

void HeadlessRecording::recordTaken() {
    const RecordTable& t = s_.table;
    const int row = s_.rec.nextRecord;
    QStringList cells;
    for (int c = 0; c < RecordTable::kColumns; ++c) cells << t.cell(row, c);
    status_.stepAside();
    std::fprintf(records_, "%s\n", cells.join(',').toUtf8().constData());
    std::fflush(records_);
    // The duration counts from the first record, on the record schedule's own clock: a
    // duration of n intervals takes n records.
    if (++recordsTaken_ == 1) durationFrom_ = s_.rec.scheduleTick;
    showStatus();
    if (!journal_.errorText().isEmpty() && !journalProblemTold_) {
        journalProblemTold_ = true;
        status_.alert(QStringLiteral("records cannot be kept in a journal (%1); the recording "
                                     "goes on, but a killed run loses them")
                          .arg(journal_.errorText()));
    }
    // No catch-up beyond the count: the record step ends once the recording is paused.
    if (options_.count > 0 && recordsTaken_ >= options_.count) recorder_.pauseRecording();
}

void HeadlessRecording::showStatus() {
    const RecordTable& t = s_.table;
    const int last = t.recordCount();
    const QString value =
        last > 0 ? t.cell(last, RecordTable::ColValue) + ' ' + t.cell(last, RecordTable::ColUnit)
                 : QStringLiteral("none yet");
    status_.show(QStringLiteral("%1: %2, last %3").arg(portText(), Records(recordsTaken_), value));
}

void HeadlessRecording::saveReport() {
    if (s_.table.cell(1, RecordTable::ColDate).isEmpty()) return;  // nothing recorded
    const QString path = reportPath(nextFile_++);
    MakeFolderPath(QFileInfo(path).absolutePath());
    const WriteResult result = WriteReport(s_, path);
    const int records = s_.table.recordCount();
    if (result.ok) {
        journal_.reportSaved();
        reports_ << path;
        status_.note(QStringLiteral("report %1 (%2)").arg(path, Records(records)));
        return;
    }
    reportFailed_ = true;
    status_.alert(QStringLiteral("cannot write the report %1; its %2 stay in the journal "
                                 "%3, which the next start of QUILLON or quillon-record "
                                 "turns into a report")
                      .arg(result.errorText, Records(records), journal_.path()));
}

void HeadlessRecording::requestEnd() {
    endRequested_ = true;
    if (!inTick_) afterTick();
}

void HeadlessRecording::finish(int status, const QString& why) {
    if (finished_) return;
    finished_ = true;
    // Stop writes the report of the open recording (also of a paused one).
    if (s_.rec.nextRecord > 0 || s_.rec.state == kRunRecording) recorder_.stopRecording();
    journal_.programEnding();
    if (s_.link.linkOn) link_.linkOff();
    status_.show(QString());
    exitStatus_ = reportFailed_ ? int(kExitReportNotWritten) : status;
    const QString summary = QStringLiteral("%1: %2").arg(why, Records(recordsTaken_));
    if (status == kExitNoMeter || status == kExitMeterTimedOut)
        status_.alert(summary);
    else
        status_.note(summary);
}

int RunHeadlessRecording(const RecordOptions& options) {
    // With --port the table is that one device; otherwise the table QUILLON scans.
    std::unique_ptr<PosixSerialLibrary> posix =
        options.port.isEmpty() ? std::make_unique<PosixSerialLibrary>(PortTable::fromEnvironment())
                               : std::make_unique<PosixSerialLibrary>(PortTable({options.port}),
                                                                      std::function<PortTable()>());
    std::unique_ptr<CaptureSerialLibrary> capture;
    if (!options.capture.isEmpty()) {
        capture = std::make_unique<CaptureSerialLibrary>(*posix, options.capture);
        if (!capture->isCapturing()) {
            std::fprintf(stderr, "quillon-record: cannot write the capture file %s\n",
                         qPrintable(capture->errorText()));
            return kExitReportNotWritten;
        }
    }
    SerialLibrary& line = capture ? static_cast<SerialLibrary&>(*capture) : *posix;

    SystemClock clock;
    HeadlessRecording recording(options, line, posix->ports(), clock, stdout, stderr);
    SettingsStore store;
    if (const std::optional<int> status = recording.prepare(store)) return *status;
    recording.recoverJournals();

    const auto endIfFinished = [&recording] {
        if (recording.finished()) QCoreApplication::exit(recording.exitStatus());
    };
    TerminationSignals endSignals([&](int) {
        recording.requestEnd();
        endIfFinished();
    });
    QTimer ticks;
    ticks.setInterval(recording.timerIntervalMs());
    QObject::connect(&ticks, &QTimer::timeout, [&] {
        recording.tick();
        endIfFinished();
    });
    ticks.start();
    QTimer::singleShot(0, [&] {
        recording.tick();
        endIfFinished();
    });
    return QCoreApplication::exec();
}

}  // namespace quillon
