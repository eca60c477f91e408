#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "about_box.h"
#include "artwork.h"
#include "picture_boxes.h"
#include "record_table_view.h"
#include "window_state.h"

namespace quillon {

namespace {

// Room a window manager's title bar and borders take around a window.
const QSize kFrameAllowance(16, 48);
// How often a close that came during a command looks whether the command has ended.
constexpr int kCloseRetryMs = 20;

// Sizes and places a window of the program wholly on the screen of `over`: no larger
// than the screen, centred on `over`, moved in from any edge it would cross.
void PlaceOnScreen(QWidget* window, QSize wanted, const QWidget* over) {
    QScreen* screen = over->screen();
    if (!screen) {
        window->resize(wanted);
        return;
    }
    const QRect avail = screen->availableGeometry();
    const QSize size = wanted.boundedTo(avail.size() - kFrameAllowance);
    QRect frame(QPoint(), size + kFrameAllowance);
    frame.moveCenter(over->frameGeometry().center());
    frame.moveLeft(qBound(avail.left(), frame.left(), avail.right() + 1 - frame.width()));
    frame.moveTop(qBound(avail.top(), frame.top(), avail.bottom() + 1 - frame.height()));
    window->resize(size);
    window->move(frame.topLeft());
}

}  // namespace

MainWindow::MainWindow(Session& session, Recorder& recorder, MessageBoxes& messages,
                       QString programDir, MainWindowCalls calls, QWidget* parent)
    : QMainWindow(parent),
      s_(session),
      recorder_(recorder),
      messages_(messages),
      programDir_(std::move(programDir)),
      calls_(std::move(calls)) {
    setObjectName("mainWindow");
    setWindowTitle(kDefaultTitle);
    buildMenus();
    buildToolbar();
    central_ = new QWidget(this);
    central_->setObjectName("client");
    setCentralWidget(central_);
    buildReadout(central_);
    buildInfoAndStatistics(central_);
    buildGraphAndTable(central_);
    buildBanner(central_);
    banner_->raise();
    buildStatusBar();
    central_->installEventFilter(this);

    timer_ = new QTimer(this);
    timer_->setObjectName("pollTimer");
    connect(timer_, &QTimer::timeout, this, &MainWindow::onTick);

    // Until the first layout, every control stands at its design place.
    previousClient_ = QSize();
    for (const Placed& p : placed_) {
        const QRect& d = p.design;
        p.widget->setGeometry(d.x() / kTwipsPerPixel, d.y() / kTwipsPerPixel,
                              d.width() / kTwipsPerPixel, d.height() / kTwipsPerPixel);
    }
    resize(designClientSize().width(), menuBar()->sizeHint().height() + kToolbarHeight +
                                           designClientSize().height() +
                                           statusBar()->sizeHint().height());
}

MainWindow::~MainWindow() { grid_->setModel(nullptr); }

QSize MainWindow::designClientSize() const {
    return QSize(kDesignWidth / kTwipsPerPixel, kDesignHeight / kTwipsPerPixel);
}

QImage MainWindow::graphImage() const { return graph_->image(); }

void MainWindow::repaintGraph(const QRegion& pictureArea) { graph_->showChanged(pictureArea); }

void MainWindow::startUp() {
    move(5, 5);
    if (calls_.GetOSVersion)
        s_.link.systemMajorVersion = calls_.GetOSVersion().trimmed().left(1).toInt();

    const QString iconPath = programDir_ + "/Mark.ico";
    QIcon icon = QFileInfo::exists(iconPath) ? WindowIconFromFile(iconPath) : QIcon();
    if (icon.isNull() || icon.availableSizes().isEmpty()) icon = ProgramIcon();
    setWindowIcon(icon);
    LoadTitle();

    s_.graph.scaleX = 1;
    s_.graph.scaleY = 1;
    s_.readout.indicator[kIndRS232] = false;
    s_.readout.indicator[kIndWait] = true;
    recorder_.SetIdleState();
    s_.link.pollIntervalMs = 500;
    s_.graph.pageScale = 1;
    Call(calls_.LoadSettings);

    recorder_.InitGrid();
    s_.readout.barImage = 63;
    s_.readout.signImage = 1;
    s_.readout.coupling.clear();
    relUnitField_->hide();
    relTimeField_->hide();
    s_.link.pollTimerOn = true;
    if (s_.graph.pageBox.isEmpty()) s_.graph.pageBox = "0";  // the page box's design text
    // The layout at the current size also sizes the graph picture and draws its frame.
    previousClient_ = designClientSize();
    laidOut_ = false;
    if (layout()) layout()->activate();
    LayoutControls();

    // A screen smaller than the design size gets a window that fits, shrunk alike in
    // both directions so that the fonts (which follow the height) still fit the widths.
    QScreen* screen = this->screen();
    if (screen && QGuiApplication::platformName() != "offscreen") {
        const QSize avail = screen->availableGeometry().size() - kFrameAllowance;
        const double f =
            qMin(1.0, qMin(double(avail.width()) / width(), double(avail.height()) / height()));
        if (f < 1.0 && f > 0.2) resize(qRound(width() * f), qRound(height() * f));
    }
    sync();
}

void MainWindow::LoadTitle() {
    QString caption = kDefaultTitle;
    QFile file(programDir_ + "/sub.log");
    if (file.open(QIODevice::ReadOnly)) {
        QString line = QString::fromUtf8(file.readLine());
        while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
        if (!line.trimmed().isEmpty()) caption = line;
    }
    setWindowTitle(caption);
}

void MainWindow::run(const MainWindowCalls::Action& command) {
    ++commandsRunning_;
    Call(command);
    --commandsRunning_;
    sync();
}

void MainWindow::runRecorder(void (Recorder::*command)()) {
    ++commandsRunning_;
    (recorder_.*command)();
    --commandsRunning_;
    sync();
}

bool MainWindow::tickMayRun() const {
    return !inTick_ && commandsRunning_ == 0 && !QApplication::activeModalWidget();
}

void MainWindow::onTick() {
    // A tick never runs inside another one (a message box or a wait inside a tick), nor
    // inside a command that lets events run (a file being loaded, a port being listened
    // to) or while a modal box or dialog waits for an answer: a tick must not stop,
    // start or clear a recording under a command (a scheduled start would empty the
    // table the user is being asked to save, or the one a file is being read into). The
    // bytes wait in the port; the next tick reads them and catches up the records due.
    if (!tickMayRun()) return;
    const int syncsBefore = syncs_;
    inTick_ = true;
    Call(calls_.pollTick);
    inTick_ = false;
    // The poll loop shows the outcome of its tick itself (its refresh ends the tick);
    // showing it a second time would only repeat the work.
    if (syncs_ == syncsBefore) sync();
}

void MainWindow::popUpUnder(QMenu* menu, Control button) {
    QWidget* w = toolbar_->widgetForAction(controlActions_[size_t(button)]);
    menu->popup(w ? w->mapToGlobal(QPoint(0, w->height())) : QCursor::pos());
}

void MainWindow::showSettingsDialog() {
    s_.rec.state = kRunCommand;
    run(calls_.showSettingsDialog);
}

void MainWindow::showScheduleDialog() {
    s_.rec.state = kRunCommand;
    run(calls_.showScheduleDialog);
}

void MainWindow::noteDialogCommand() {
    // A recording goes on while the help or the About box is open: the record step
    // runs only while state is 0.
    if (s_.rec.state != kRunRecording) s_.rec.state = kRunCommand;
}

bool MainWindow::busy() const {
    return inTick_ || commandsRunning_ > 0 || QApplication::activeModalWidget() != nullptr;
}

void MainWindow::showHelp() {
    noteDialogCommand();
    if (!help_) {
        help_ = new QTextBrowser(this);
        help_->setWindowFlag(Qt::Window);
        help_->setObjectName("HelpWindow");
        help_->setAttribute(Qt::WA_DeleteOnClose);
        help_->setOpenExternalLinks(true);
        help_->document()->setDocumentMargin(14);  // text away from the window's edges
        PlaceOnScreen(help_, QSize(720, 560), this);
    }
    help_->setWindowTitle(windowTitle() + " Help");
    const QString path = programDir_ + "/help.html";
    if (QFileInfo::exists(path)) {
        help_->setSource(QUrl::fromLocalFile(path));
    } else {
        help_->setPlainText("The help file was not found: " + path);
    }
    help_->show();
    help_->raise();
    sync();
}

void MainWindow::showAbout() {
    noteDialogCommand();
    if (!about_) about_ = new AboutBox(this, windowTitle(), kVersion, windowIcon());
    about_->show();
    about_->raise();
    sync();
}

void MainWindow::exitProgram() {
    exitRequested_ = true;
    close();
    exitRequested_ = false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    // The close box while a command or tick runs (Start waiting for the meter lets
    // events run): the window closes once it has ended, never under it.
    if (!exitRequested_ && (inTick_ || commandsRunning_ > 0)) {
        event->ignore();
        if (!closePending_) {
            closePending_ = true;
            retryClose();
        }
        return;
    }
    // Only the close box asks, and only when records would be lost.
    bool dataDeclined = false;
    if (!exitRequested_ && ClosingLosesRecords(s_)) {
        const MsgResult answer =
            messages_.show("All data will be lost if you exit. Are you sure you want to exit?",
                           "Warning!", MsgButtons::YesNo, MsgIcon::Exclamation);
        if (answer != MsgResult::Yes) {
            event->ignore();
            return;
        }
        dataDeclined = true;
    }
    shutDown(dataDeclined);
    event->accept();
}

void MainWindow::retryClose() {
    QTimer::singleShot(kCloseRetryMs, this, [this] {
        if (inTick_ || commandsRunning_ > 0) return retryClose();
        closePending_ = false;
        close();
    });
}

void MainWindow::shutDown(bool dataDeclined) {
    unloaded_ = true;
    Call(calls_.linkOff);
    s_.rec.state = kRunIdle;
    timer_->stop();
    s_.link.pollTimerOn = false;
    if (calls_.SavePortOnExit) calls_.SavePortOnExit(s_.link.foundPort);
    if (calls_.Unloaded) calls_.Unloaded(dataDeclined);
    if (about_) about_->close();
    if (help_) help_->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && w->parentWidget() == this) w->close();
}

void MainWindow::changeEvent(QEvent* event) {
    // A size change while minimized was not laid out; restoring catches up.
    if (event->type() == QEvent::WindowStateChange && !isMinimized() &&
        static_cast<QWindowStateChangeEvent*>(event)->oldState() & Qt::WindowMinimized)
        LayoutControls();
    QMainWindow::changeEvent(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize) {
        if (!isMinimized()) LayoutControls();
    } else if (watched == pageBox_ && event->type() == QEvent::KeyPress) {
        // The page box takes digits and Backspace; other typed characters are dropped.
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (!text.isEmpty() && text[0].isPrint() && !(text[0] >= '0' && text[0] <= '9'))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace quillon
