#pragma once
// The main window: menus, toolbar, live readout, statistics, trend graph, record table
// and schedule banner. It shows the session (sync) after every command and timer tick
// and forwards commands to the recorder and, through MainWindowCalls, to the other
// subsystems. Every control has an objectName that says what it is ("waitIndicator",
// "startAction"); the window itself reaches its controls through typed members.
//
// Controls are placed at a design size and re-laid out in proportion when the window
// is resized: left and width follow the width ratio, top, height and font size the
// height ratio.

#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QVector>
#include <array>

#include "main_window_calls.h"
#include "messages.h"
#include "recorder.h"
#include "session.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextBrowser;
class QTimer;
class QToolBar;

namespace quillon {

class ArtBox;
class GraphBox;
class RecordTableView;
class StatusField;
class AboutBox;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // Control positions are given in twips; at the design size 10 twips make a pixel.
    static constexpr int kTwipsPerPixel = 10;
    // The area below the toolbar at the design size, in twips.
    static constexpr int kDesignWidth = 11880;
    static constexpr int kDesignHeight = 7540;
    static constexpr int kToolbarHeight = 36;  // pixels
    static inline const QString kDefaultTitle = QStringLiteral("VEK 4412 QUILLON");
    static inline const QString kVersion = QStringLiteral("1.0.06");

    MainWindow(Session& session, Recorder& recorder, MessageBoxes& messages, QString programDir,
               MainWindowCalls calls = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainWindowCalls& calls() { return calls_; }

    // Start-up: placement, icon, title, idle state, settings, tables, graph frame,
    // record table, readout pictures, timer on.
    void startUp();
    // The caption from "sub.log" in the program folder (or the default title).
    void LoadTitle();
    // Shows the session's state on every control.
    void sync();
    // Proportional re-layout to the current size.
    void LayoutControls();

    void showSettingsDialog();
    void showScheduleDialog();
    void showHelp();
    void showAbout();
    void exitProgram();

    // Runs a command from outside the window as the window runs its own: no poll tick
    // inside it, and the window shows the outcome afterwards.
    void runCommand(const MainWindowCalls::Action& command) { run(command); }

    // True while a tick or a command runs or a modal box or dialog waits for an answer:
    // the program must not end under them.
    bool busy() const;

    QSize designClientSize() const;  // pixels
    QTimer* timer() const { return timer_; }
    // The menu item, menu or toolbar button of a control.
    QAction* controlAction(Control c) const { return controlActions_[size_t(c)]; }
    // Whether a poll tick may run now: no tick, no command and no modal box under way.
    bool tickMayRun() const;
    QImage graphImage() const;
    // Repaints the part of the graph picture box that shows this area of the picture.
    void repaintGraph(const QRegion& pictureArea);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Placed {
        QPointer<QWidget> widget;
        QRect design;      // twips, relative to the parent control
        qreal fontPt = 0;  // 0: the widget keeps its font
    };

    void buildMenus();
    void buildToolbar();
    void buildReadout(QWidget* central);
    void buildInfoAndStatistics(QWidget* central);
    void buildGraphAndTable(QWidget* central);
    void buildBanner(QWidget* central);
    void buildStatusBar();
    QLabel* label(QWidget* parent, const QString& name, const QString& text, QRect twips,
                  const QString& family, qreal pt, bool bold = false,
                  QLabel* made = nullptr);  // made: a label of another kind, or a new QLabel
    QLabel* field(QWidget* parent, const QString& name, QRect twips);
    void place(QWidget* w, QRect twips, qreal fontPt = 0);
    QAction* action(QMenu* menu, Control control, const QString& name, const QString& text,
                    void (MainWindow::*slot)() = nullptr);
    // Shows a toolbar button's pop-up menu under the button.
    void popUpUnder(QMenu* menu, Control button);
    void run(const MainWindowCalls::Action& command);
    void runRecorder(void (Recorder::*command)());
    void onTick();
    void shutDown(bool dataDeclined);
    // Closes the window once no command or tick runs any more.
    void retryClose();
    // Help and About leave a recording running; otherwise they count as a command.
    void noteDialogCommand();
    void syncControls();
    void syncReadout();
    void syncStatistics();
    void syncTable();
    void syncStatusBar();
    // Scrolls the record table without counting it as the user's own scrolling.
    void scrollTable(const QModelIndex& index, int hint);

    Session& s_;
    Recorder& recorder_;
    MessageBoxes& messages_;
    QString programDir_;
    MainWindowCalls calls_;

    QVector<Placed> placed_;
    // The action of each control whose state the session keeps.
    std::array<QAction*, kControlCount> controlActions_{};
    QMenu* savePopup_ = nullptr;     // the toolbar's Save button
    QMenu* printPopup_ = nullptr;    // the toolbar's Print button
    QMenu* pageBoxPopup_ = nullptr;  // stands in for the page box's own context menu
    // Readout, info and statistics texts.
    QLabel* valueLabel_ = nullptr;
    QLabel* unitLabel_ = nullptr;
    QLabel* couplingLabel_ = nullptr;
    // By Indicator. An indicator that is off shows no caption rather than being hidden:
    // showing and hiding a widget asks the display server where the pointer is, and the
    // RS232 indicator blinks on every tick while the meter is looked for.
    std::array<QLabel*, kIndAvg + 1> indicators_{};
    std::array<QString, kIndAvg + 1> indicatorCaptions_;
    std::array<QLabel*, 3> limitFields_{};  // high limit, low limit, record interval
    QLabel* recordNameField_ = nullptr;
    QLabel* modeField_ = nullptr;
    QLabel* unitField_ = nullptr;
    std::array<QLabel*, 3> maxFields_{};  // value, unit, time of the MAX row
    std::array<QLabel*, 3> minFields_{};  // of the MIN row
    std::array<QLabel*, 2> avgFields_{};  // value, unit of the AVG row
    QLabel* relValueField_ = nullptr;
    QLabel* relUnitField_ = nullptr;
    QLabel* relTimeField_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QTimer* timer_ = nullptr;
    QWidget* central_ = nullptr;
    QWidget* frame_ = nullptr;
    QWidget* banner_ = nullptr;
    QLabel* bannerLabel_ = nullptr;
    QLabel* meterNote_ = nullptr;
    // Status bar parts: state, records, saved file, schedule, port.
    StatusField* statusState_ = nullptr;
    StatusField* statusRecords_ = nullptr;
    StatusField* statusSaved_ = nullptr;
    StatusField* statusSchedule_ = nullptr;
    StatusField* statusPort_ = nullptr;
    ArtBox* barImage_ = nullptr;
    ArtBox* signImage_ = nullptr;
    ArtBox* buzzer_ = nullptr;
    ArtBox* diode_ = nullptr;
    GraphBox* graph_ = nullptr;
    QLineEdit* pageBox_ = nullptr;
    QPushButton* back_ = nullptr;
    QPushButton* rel_ = nullptr;
    RecordTableView* grid_ = nullptr;
    QPointer<AboutBox> about_;
    QPointer<QTextBrowser> help_;
    QSize previousClient_;
    bool laidOut_ = false;  // the controls stand as previousClient_ wants them
    bool exitRequested_ = false;
    bool closePending_ = false;  // a close came during a command or tick
    bool unloaded_ = false;
    bool inTick_ = false;
    int commandsRunning_ = 0;  // commands under way (nested ones count too)
    int syncs_ = 0;            // times the window showed the session
    int shownCurrentRow_ = -1;
    // The record table follows the newest record only while the user is at its bottom.
    bool tableFollows_ = true;
    bool scrollingTable_ = false;  // the window itself is scrolling the table
    QString shownPage_;            // the graph page the table was last brought to
    bool pageTurnedByUser_ = false;
};

}  // namespace quillon
