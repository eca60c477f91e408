#include "program.h"

#include <QCoreApplication>

#include "fmoder.h"
#include "fmsetup.h"
#include "meter_tables.h"
#include "port_choice.h"
#include "settings_form.h"
#include "settings_record.h"

namespace quillon {

namespace {

template <typename T>
T& OwnedOr(std::unique_ptr<T>& given, std::unique_ptr<T> fallback) {
    if (!given) given = std::move(fallback);
    return *given;
}

}  // namespace

Program::Program(const QString& programDir, std::unique_ptr<MessageBoxes> messages,
                 std::unique_ptr<FileDialogs> fileDialogs)
    : programDir_(programDir),
      messagesOwned_(std::move(messages)),
      fileDialogsOwned_(std::move(fileDialogs)),
      messages_(OwnedOr<MessageBoxes>(messagesOwned_, std::make_unique<QtMessageBoxes>())),
      fileDialogs_(OwnedOr<FileDialogs>(fileDialogsOwned_, std::make_unique<QtFileDialogs>())),
      serial_(PortTable::fromEnvironment()),
      decoder_(session_, serial_, clock_),
      link_(session_, serial_, clock_, messages_),
      alarm_(QCoreApplication::applicationDirPath() + QStringLiteral("/quillon-alarm-sound.so")),
      poll_(session_, serial_, decoder_, link_, messages_, alarm_, programDir),
      schedule_(session_, store_, clock_, messages_),
      graph_(session_, clock_),
      saver_(session_, messages_, fileDialogs_),
      recorder_(session_, clock_, messages_) {
    ReportOpenerCallbacks openerCalls;
    openerCalls.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    openerCalls.computeGraphScale = [this] { graph_.statistics().ComputeGraphScale(); };
    openerCalls.redrawGraphPage = [this] { graph_.RedrawGraphPage(); };
    opener_ = std::make_unique<ReportOpener>(session_, messages_, fileDialogs_, openerCalls);
    const auto graphImage = [this] { return graph_.image(); };
    images_ = std::make_unique<ImageExporter>(session_, messages_, fileDialogs_, graphImage,
                                              windowCapture());
    printer_ = std::make_unique<ReportPrinter>(session_, messages_, printDialog_, graphImage,
                                               windowCapture());
    wireRecorder();

    window_ = std::make_unique<MainFm>(session_, recorder_, messages_, programDir_, windowCalls());
    if (auto* boxes = dynamic_cast<QtMessageBoxes*>(&messages_)) boxes->setOwner(window_.get());
    if (auto* dialogs = dynamic_cast<QtFileDialogs*>(&fileDialogs_))
        dialogs->setOwner(window_.get());
    graph_.onChanged = [this] {
        if (QWidget* picture = window_->findChild<QWidget*>("Picture1")) picture->update();
    };
    session_.hooks.ScheduleCheck = [this] { schedule_.ScheduleCheck(); };
    session_.hooks.Refresh = [this] { window_->sync(); };
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
    c.mnlinkon_Click = [this] { link_.linkUpAndWait(); };
    c.AbortRead = [this] {
        const int port = session_.link.portSettings.port;
        if (port > 0) session_.link.PortResult = serial_.sio_AbortRead(port);
    };
    c.UpdateMaxMin = [this] { graph_.statistics().UpdateMaxMin(); };
    c.UpdateAverage = [this] { graph_.statistics().UpdateAverage(); };
    c.PlotNewPoint = [this] { graph_.PlotNewPoint(); };
    c.RE_display = [this] { graph_.RE_display(); };
    c.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    c.op_set = [this] { op_set(session_); };
    c.PromptUnsavedRecord = [this] { saver_.PromptUnsavedRecord(); };
    c.or_stp = [this] { schedule_.or_stp(); };
    recorder_.InstallHooks();
}

MainFmCalls Program::windowCalls() {
    MainFmCalls c;
    c.GetOSVersion = [] { return GetOSVersion(); };
    c.LoadSettings = [this] {
        // A first start stores every default: in one write, not one per key.
        SettingsStore::Batch oneWrite(store_);
        LoadSettingsAtStartup(session_, store_);
        schedule_.Form_Load();
    };
    // The window's timer drives the poll loop's tick (the loop's own timer stays off).
    c.Timer1_Timer = [this] { poll_.Timer1_Timer(); };
    c.mnlinkon_Click = [this] { link_.mnlinkon_Click(); };
    c.mnlinkoff_Click = [this] { link_.mnlinkoff_Click(); };
    c.mnopen_Click = [this] { opener_->mnopen_Click(); };
    c.mnsaveData_Click = [this] { saver_.mnsaveData_Click(); };
    c.mnsaveBmp_Click = [this] { images_->mnsaveBmp_Click(); };
    c.mnsaveScreen_Click = [this] { images_->mnsaveScreen_Click(); };
    c.mnprintdata_Click = [this] { printer_->mnprintdata_Click(); };
    c.mnprintBmp_Click = [this] { printer_->mnprintBmp_Click(); };
    c.mnprintscreen_Click = [this] { printer_->mnprintscreen_Click(); };
    c.mnsetup_Click = [this] { showSettingsDialog(); };
    c.mnoder_Click = [this] { showScheduleDialog(); };
    c.Command2_Click = [this] { graph_.statistics().Command2_Click(); };
    c.Command1_Click = [this](int index) { graph_.Command1_Click(index); };
    c.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    c.graphImage = [this] { return graph_.image(); };
    c.setCanvasSize = [this](QSize pixels) {
        const QSize design = TrendGraph::DesignSize();
        graph_.setCanvasSize(pixels);
        graph_.setScale(double(pixels.width()) / design.width(),
                        double(pixels.height()) / design.height());
    };
    c.RE_display = [this] { graph_.RE_display(); };
    c.RedrawGraphPage = [this] { graph_.RedrawGraphPage(); };
    c.SavePortOnExit = [this](int port) { SavePortOnExit(store_, port); };
    return c;
}

void Program::showSettingsDialog() {
    Fmsetup::MainWindowCalls calls;
    calls.RE_display = [this] { graph_.RE_display(); };
    calls.setPageBox = [this](const QString& t) { graph_.setPageBox(t); };
    auto* dialog = new Fmsetup(session_, store_, clock_, messages_, calls, PortChoice::FromSystem(),
                               window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, window_.get(), [this] { window_->sync(); });
    dialog->Form_Load();
    dialog->show();
}

void Program::showScheduleDialog() {
    auto* dialog = new FmOder(schedule_, window_.get());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QDialog::finished, window_.get(), [this] { window_->sync(); });
    dialog->Form_Load();
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
