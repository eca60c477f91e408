#include "program.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QTimer>

#include "journal_recovery.h"
#include "meter_tables.h"
#include "port_choice.h"
#include "report_writer.h"
#include "schedule_dialog.h"
#include "settings_dialog.h"
#include "settings_form.h"
#include "settings_record.h"

namespace quillon {

namespace {

// How long an unattended end waits for a command or box under way to finish.
constexpr qint64 kEndingWaitMs = 5000;

template <typename T>
T& OwnedOr(std::unique_ptr<T>& given, std::unique_ptr<T> fallback) {
    if (!given) given = std::move(fallback);
    return *given;
}

}  // namespace

Program::Program(const QString& programDir, std::unique_ptr<MessageBoxes> messages,
                 std::unique_ptr<FileDialogs> fileDialogs, const QString& capturePath)
    : programDir_(programDir),
      messagesOwned_(std::move(messages)),
      fileDialogsOwned_(std::move(fileDialogs)),
      messages_(OwnedOr<MessageBoxes>(messagesOwned_, std::make_unique<QtMessageBoxes>())),
      fileDialogs_(OwnedOr<FileDialogs>(fileDialogsOwned_, std::make_unique<QtFileDialogs>())),
      folderDialogs_(fileDialogs_, [this] { return session_.settings.saveFolder; }),
      serial_(PortTable::fromEnvironment()),
      capture_(capturePath.isEmpty()
                   ? nullptr
                   : std::make_unique<CaptureSerialLibrary>(serial_, capturePath)),
      line_(capture_ ? static_cast<SerialLibrary&>(*capture_) : serial_),
      decoder_(session_, line_, clock_),
      link_(session_, line_, clock_, messages_),
      alarm_(QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-alarm-sound.so")),
      poll_(session_, line_, decoder_, link_, messages_, alarm_, programDir),
      schedule_(session_, store_, clock_, messages_),
      graph_(session_, clock_),
      saver_(session_, messages_, folderDialogs_),
      recorder_(session_, clock_, messages_) {
    ReportOpenerCallbacks openerCalls;
    openerCalls.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    openerCalls.showPage = [this](const QString& page) { graph_.ShowPage(page); };
    opener_ = std::make_unique<ReportOpener>(session_, messages_, folderDialogs_, openerCalls);
    const auto graphImage = [this] { return graph_.image(); };
    images_ = std::make_unique<ImageExporter>(session_, messages_, folderDialogs_, graphImage,
                                              windowCapture());
    PrintingContext printing;
    printing.session = &session_;
    printing.messages = &messages_;
    printing.fileDialogs = &folderDialogs_;  // no printer: the pages go into a PDF file
    printing.graphImage = graphImage;
    printing.capture = windowCapture();
    printing_ = std::make_unique<PrintingModule>(
        QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-printing.so"),
        std::move(printing));
    wireRecorder();

    window_ =
        std::make_unique<MainWindow>(session_, recorder_, messages_, programDir_, windowCalls());
    if (auto* boxes = dynamic_cast<QtMessageBoxes*>(messagesOwned_.get()))
        boxes->setOwner(window_.get());
    if (auto* dialogs = dynamic_cast<QtFileDialogs*>(&fileDialogs_))
        dialogs->setOwner(window_.get());
    graph_.onChanged = [this] { window_->repaintGraph(graph_.takeChangedArea()); };
    session_.hooks.scheduleCheck = [this] { schedule_.scheduleCheck(); };
    session_.hooks.refresh = [this] { window_->sync(); };
    // The opening attempt goes on between ticks only when a tick could run.
    poll_.setMayRun([this] { return window_->tickMayRun(); });
}

Program::~Program() {
    graph_.onChanged = nullptr;
    session_.hooks = Hooks{};
}

void Program::wireRecorder() {
    RecorderCalls& c = recorder_.calls();
    c.UnitTable = [](int func, int range) { return UnitTable(func, range); };
    c.FunctionTable = [](int func) { return FunctionTable(func); };
    // Start needs to know at once whether the meter is there.
    c.linkUp = [this] { link_.linkUpAndWait(); };
    c.AbortRead = [this] {
        const int port = session_.link.portSettings.port;
        if (port > 0) session_.link.lastResult = line_.sio_AbortRead(port);
    };
    c.UpdateMaxMin = [this] { graph_.statistics().UpdateMaxMin(); };
    c.UpdateAverage = [this] { graph_.statistics().UpdateAverage(); };
    c.PlotNewPoint = [this] { graph_.PlotNewPoint(); };
    c.drawEmptyFrame = [this] { graph_.drawEmptyFrame(); };
    c.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    c.applySettingsToWindow = [this] { applySettingsToWindow(session_); };
    c.PromptUnsavedRecord = [this] { offerSaveOnStop(); };
    c.endScheduledRecording = [this] { schedule_.endScheduledRecording(); };
    recorder_.InstallHooks();
    recorder_.setJournal(&journal_);
}

void Program::offerSaveOnStop() {
    // Ending unattended nobody is asked: without automatic saving the journal keeps the
    // records for the next start.
    if (ending_ && !saver_.SavesAutomatically()) return;
    switch (saver_.PromptUnsavedRecord()) {
        case StopSaveOutcome::Saved:
            journal_.reportSaved();
            break;
        case StopSaveOutcome::Declined:
            if (!ending_) journal_.saveDeclined();
            break;
        case StopSaveOutcome::NotSaved:
        case StopSaveOutcome::NothingToSave:
            break;
    }
}

void Program::RecoverJournals() {
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
    // The save folder, unless it is empty or no full path (a folder from another system
    // such as "D:\Data\"); ~/Data/ when it is, or when it cannot take the report.
    QStringList folders;
    if (QDir::isAbsolutePath(session_.settings.saveFolder)) folders << session_.settings.saveFolder;
    folders << DefaultSaveFolder();
    const RecoveryOutcome outcome = quillon::RecoverJournals(journal_.folder(), folders, calls);
    const QString text = RecoveryMessage(outcome);
    if (text.isEmpty()) return;
    // Not modal: after a power cut nobody may be there to press OK, and the link, the
    // schedule and the recording must not wait for it.
    messages_.notify(text, QStringLiteral("Recovered recordings"),
                     outcome.failed.isEmpty() ? MsgIcon::Information : MsgIcon::Exclamation);
}

void Program::OpenReport(const QString& path) {
    window_->runCommand([this, path] { opener_->OpenReport(path); });
}

void Program::EndUnattended() {
    if (ending_) return;
    ending_ = true;
    endingFor_.start();
    messages_.setUnattended(true);
    // A box or dialog waiting for an answer gets none; the command that opened it runs
    // on to its end before the program ends.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (dialog && dialog->isVisible() && dialog->isModal()) dialog->reject();
    }
    finishEnding();
}

void Program::finishEnding() {
    if (window_->busy() && endingFor_.elapsed() < kEndingWaitMs) {
        QTimer::singleShot(20, window_.get(), [this] { finishEnding(); });
        return;
    }
    window_->exitProgram();
    QCoreApplication::exit(0);
}

MainWindowCalls Program::windowCalls() {
    MainWindowCalls c;
    c.GetOSVersion = [] { return GetOSVersion(); };
    c.LoadSettings = [this] {
        // A first start stores every default: in one write, not one per key.
        SettingsStore::Batch oneWrite(store_);
        LoadSettingsAtStartup(session_, store_);
        schedule_.load();
        // A settings file that cannot be read or written is told once, at start, in a
        // box that holds nothing up.
        if (const auto problem = store_.TakeProblemMessage("The settings"))
            messages_.notify(*problem, QString(), MsgIcon::Exclamation);
    };
    // The window's timer drives the poll loop's tick (the loop's own timer stays off).
    c.pollTick = [this] { poll_.pollTick(); };
    c.linkUp = [this] { link_.linkUp(); };
    c.linkOff = [this] { link_.linkOff(); };
    c.openReport = [this] { opener_->openReport(); };
    c.saveReport = [this] {
        if (saver_.saveReport()) journal_.reportSaved();
    };
    c.saveGraphPicture = [this] { images_->saveGraphPicture(); };
    c.saveWindowPicture = [this] { images_->saveWindowPicture(); };
    c.printReport = [this] { printing_->printReport(); };
    c.printGraph = [this] { printing_->printGraph(); };
    c.printWindow = [this] { printing_->printWindow(); };
    c.showSettingsDialog = [this] { showSettingsDialog(); };
    c.showScheduleDialog = [this] { showScheduleDialog(); };
    c.toggleRelReference = [this] { graph_.statistics().toggleRelReference(); };
    c.showPreviousPage = [this] { graph_.showPreviousPage(); };
    c.showNextPage = [this] { graph_.showNextPage(); };
    c.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    c.graphImage = [this] { return graph_.image(); };
    c.setCanvasSize = [this](QSize pixels) {
        const QSize design = TrendGraph::DesignSize();
        graph_.setCanvasSize(pixels);
        graph_.setScale(double(pixels.width()) / design.width(),
                        double(pixels.height()) / design.height());
    };
    c.drawEmptyFrame = [this] { graph_.drawEmptyFrame(); };
    c.redrawPage = [this] { graph_.redrawPage(); };
    c.meterDevice = [this] { return serial_.ports().device(session_.link.portSettings.port); };
    c.SavePortOnExit = [this](int port) { SavePortOnExit(store_, port); };
    c.Unloaded = [this](bool dataDeclined) {
        if (dataDeclined && !ending_) journal_.saveDeclined();
        journal_.programEnding();
    };
    return c;
}

namespace {

void RaiseAndFocus(QWidget* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

// A second window on the same form state would undo what the first one does (a Clear in
// one and a Save in the other): the open one is brought forward instead.
void Program::showSettingsDialog() {
    if (settingsDialog_) {
        RaiseAndFocus(settingsDialog_);
        return;
    }
    SettingsDialog::GraphCalls calls;
    calls.drawEmptyFrame = [this] { graph_.drawEmptyFrame(); };
    calls.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    auto* dialog = new SettingsDialog(session_, store_, clock_, messages_, calls,
                                      PortChoice::FromSystem(), window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, window_.get(), [this] { window_->sync(); });
    settingsDialog_ = dialog;
    dialog->load();
    dialog->show();
}

void Program::showScheduleDialog() {
    if (scheduleDialog_) {
        RaiseAndFocus(scheduleDialog_);
        return;
    }
    auto* dialog = new ScheduleDialog(schedule_, window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, window_.get(), [this] { window_->sync(); });
    scheduleDialog_ = dialog;
    dialog->load();
    dialog->show();
}

WindowCapture Program::windowCapture() {
    WindowCapture c;
    c.grab = [this] { return window_ ? window_->grab().toImage() : QImage(); };
    c.leaveMaximized = [this] {
        if (!window_ || !window_->isMaximized()) return false;
        window_->showNormal();
        return true;
    };
    c.restoreMaximized = [this] {
        if (window_) window_->showMaximized();
    };
    return c;
}

}  // namespace quillon
