// The main window's controls, menus and toolbar at their design positions (twips).
#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "artwork.h"
#include "banded_tool_bar.h"
#include "glyph_cached_label.h"
#include "main_window.h"
#include "picture_boxes.h"
#include "record_cell_delegate.h"
#include "record_table_view.h"
#include "status_field.h"

namespace quillon {

namespace {

const QColor kReadoutBack(3, 127, 127);
const QColor kReadoutInk(255, 255, 255);
const QColor kIndicatorInk(255, 240, 120);
const QString kArial = QStringLiteral("Arial");
const QString kSans = QStringLiteral("MS Sans Serif");
constexpr qreal kSmallPt = 8.25;

void Colour(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(role, c);
    w->setPalette(pal);
}

}  // namespace

void MainWindow::place(QWidget* w, QRect twips, qreal fontPt) {
    placed_.push_back({w, twips, fontPt});
}

QLabel* MainWindow::label(QWidget* parent, const QString& name, const QString& text, QRect twips,
                          const QString& family, qreal pt, bool bold, QLabel* made) {
    QLabel* l = made ? made : new QLabel(parent);
    l->setText(text);
    l->setObjectName(name);
    QFont f(family);
    f.setBold(bold);
    f.setPointSizeF(pt);
    l->setFont(f);
    place(l, twips, pt);
    return l;
}

// A sunken field of the statistics and file panels.
QLabel* MainWindow::field(QWidget* parent, const QString& name, QRect twips) {
    QLabel* l = label(parent, name, QString(), twips, kSans, kSmallPt);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    Colour(l, QPalette::Window, palette().color(QPalette::Base));
    return l;
}

QAction* MainWindow::action(QMenu* menu, Control control, const QString& name, const QString& text,
                            void (MainWindow::*slot)()) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    controlActions_[size_t(control)] = a;
    if (slot) connect(a, &QAction::triggered, this, slot);
    return a;
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](QMenu* parentMenu, Control control, const QString& name, const QString& text) {
        QMenu* m = parentMenu ? parentMenu->addMenu(text) : bar->addMenu(text);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        controlActions_[size_t(control)] = m->menuAction();
        return m;
    };
    auto forward = [this](QAction* a, const MainWindowCalls::Action MainWindowCalls::*call) {
        connect(a, &QAction::triggered, this, [this, call] { run(calls_.*call); });
    };
    auto recorder = [this](QAction* a, void (Recorder::*command)()) {
        connect(a, &QAction::triggered, this, [this, command] { runRecorder(command); });
    };

    QMenu* file = menu(nullptr, Control::FileMenu, "fileMenu", "File(&F)");
    forward(action(file, Control::Open, "openAction", "Open file"), &MainWindowCalls::openReport);
    file->addSeparator();
    QMenu* save = menu(file, Control::SaveMenu, "saveMenu", "Save file");
    QAction* saveReport = action(save, Control::SaveReport, "saveReportAction", "Save Report");
    QAction* saveGraph = action(save, Control::SaveGraph, "saveGraphAction", "Save Graph");
    QAction* saveScreen = action(save, Control::SaveScreen, "saveScreenAction", "Save Screen");
    forward(saveReport, &MainWindowCalls::saveReport);
    forward(saveGraph, &MainWindowCalls::saveGraphPicture);
    forward(saveScreen, &MainWindowCalls::saveWindowPicture);
    file->addSeparator();
    QMenu* print = menu(file, Control::PrintMenu, "printMenu", "Print");
    QAction* printReport = action(print, Control::PrintReport, "printReportAction", "Print Report");
    QAction* printGraph = action(print, Control::PrintGraph, "printGraphAction", "Print Graph");
    QAction* printScreen = action(print, Control::PrintScreen, "printScreenAction", "Print Screen");
    forward(printReport, &MainWindowCalls::printReport);
    forward(printGraph, &MainWindowCalls::printGraph);
    forward(printScreen, &MainWindowCalls::printWindow);
    file->addSeparator();
    action(file, Control::Exit, "exitAction", "Exit", &MainWindow::exitProgram);

    QMenu* edit = menu(nullptr, Control::EditMenu, "editMenu", "Edit(&E)");
    recorder(action(edit, Control::Clear, "clearAction", "Clear"), &Recorder::clearRecording);

    QMenu* record = menu(nullptr, Control::RecordMenu, "recordMenu", "Record(&R)");
    forward(action(record, Control::LinkUp, "linkUpAction", "Link Up"), &MainWindowCalls::linkUp);
    QAction* linkOff = action(record, Control::LinkOff, "linkOffAction", "Link Off");
    forward(linkOff, &MainWindowCalls::linkOff);
    linkOff->setVisible(false);
    linkOff->setCheckable(true);
    record->addSeparator();
    const struct {
        Control control;
        const char* name;
        const char* text;
        QKeySequence key;
        void (Recorder::*command)();
    } rec[] = {
        {Control::Start, "startAction", "Start", QKeySequence("Ctrl+S"), &Recorder::startRecording},
        {Control::Pause, "pauseAction", "Pause", QKeySequence("Ctrl+P"), &Recorder::pauseRecording},
        {Control::Stop, "stopAction", "Stop", QKeySequence("Ctrl+T"), &Recorder::stopRecording}};
    for (const auto& r : rec) {
        QAction* a = action(record, r.control, r.name, r.text);
        a->setShortcut(r.key);
        a->setCheckable(true);
        recorder(a, r.command);
    }

    auto barAction = [&](Control control, const char* name, const char* text,
                         void (MainWindow::*slot)()) {
        QAction* a = bar->addAction(text);
        a->setObjectName(name);
        controlActions_[size_t(control)] = a;
        connect(a, &QAction::triggered, this, slot);
    };
    barAction(Control::Options, "optionAction", "Option(&O)", &MainWindow::showSettingsDialog);
    barAction(Control::Schedule, "scheduleAction", "Schedule recording(&D)",
              &MainWindow::showScheduleDialog);

    QMenu* help = menu(nullptr, Control::HelpMenu, "helpMenu", "Help(&H)");
    action(help, Control::Help, "helpAction", "Help", &MainWindow::showHelp)
        ->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    action(help, Control::About, "aboutAction", "About", &MainWindow::showAbout);

    // Pop-up menus, never on the menu bar; each item forwards to its menu item.
    auto popup = [&](const QString& name) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        return m;
    };
    auto popupItem = [](QMenu* m, const QString& name, const QString& text, QAction* target) {
        QAction* a = m->addAction(text);
        a->setObjectName(name);
        if (target) connect(a, &QAction::triggered, target, &QAction::trigger);
        return a;
    };
    savePopup_ = popup("savePopup");
    controlActions_[size_t(Control::PopupSaveReport)] =
        popupItem(savePopup_, "popupSaveReport", "Save Report", saveReport);
    popupItem(savePopup_, "popupSaveGraph", "Save Graph", saveGraph);
    popupItem(savePopup_, "popupSaveScreen", "Save Screen", saveScreen);
    printPopup_ = popup("printPopup");
    popupItem(printPopup_, "popupPrintReport", "Print Report", printReport);
    popupItem(printPopup_, "popupPrintGraph", "Print Graph", printGraph);
    popupItem(printPopup_, "popupPrintScreen", "Print Screen", printScreen);
    pageBoxPopup_ = popup("pageBoxPopup");
    popupItem(pageBoxPopup_, "popupSkip", "Skip", nullptr);
}

void MainWindow::buildToolbar() {
    toolbar_ = new BandedToolBar("Toolbar", this);
    addToolBar(toolbar_);
    toolbar_->setObjectName("toolbar");
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setFixedHeight(kToolbarHeight);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    const struct {
        Control control;
        const char* key;  // text and picture
        const char* name;
        const char* tip;
        std::function<void()> click;
    } buttons[] = {
        {Control::OpenButton, "Open", "openToolButton", "Open file",
         [this] { run(calls_.openReport); }},
        {Control::SaveButton, "Save", "saveToolButton", "Save",
         [this] { popUpUnder(savePopup_, Control::SaveButton); }},
        {Control::PrintButton, "Print", "printToolButton", "Print",
         [this] { popUpUnder(printPopup_, Control::PrintButton); }},
        {Control::ClearButton, "Clear", "clearToolButton", "Clear",
         [this] { runRecorder(&Recorder::clearRecording); }},
        {Control::LinkButton, "Link", "linkToolButton", "Link up", [this] { run(calls_.linkUp); }},
        {Control::StartButton, "Start", "startToolButton", "Start",
         [this] { runRecorder(&Recorder::startRecording); }},
        {Control::PauseButton, "Pause", "pauseToolButton", "Pause",
         [this] { runRecorder(&Recorder::pauseRecording); }},
        {Control::StopButton, "Stop", "stopToolButton", "Stop",
         [this] { runRecorder(&Recorder::stopRecording); }},
        {Control::HelpButton, "Help", "helpToolButton", "Help", [this] { showHelp(); }},
    };
    for (const auto& b : buttons) {
        QAction* a = toolbar_->addAction(ToolbarIcon(b.key), b.key);
        a->setToolTip(b.tip);
        a->setObjectName(b.name);
        controlActions_[size_t(b.control)] = a;
        connect(a, &QAction::triggered, this, b.click);
        if (QWidget* w = toolbar_->widgetForAction(a)) w->setObjectName(b.name);
    }
}

void MainWindow::buildReadout(QWidget* central) {
    frame_ = new QWidget(central);
    frame_->setObjectName("readoutPanel");
    frame_->setAutoFillBackground(true);
    Colour(frame_, QPalette::Window, kReadoutBack);
    place(frame_, {60, 60, 6200, 3000});

    auto readoutLabel = [&](const QString& name, const QString& text, QRect twips, qreal pt,
                            QLabel* made = nullptr) {
        QLabel* l = label(frame_, name, text, twips, kArial, pt, true, made);
        l->setAutoFillBackground(true);
        Colour(l, QPalette::Window, kReadoutBack);
        Colour(l, QPalette::WindowText, kReadoutInk);
        return l;
    };
    // Indicators in one row along the top of the panel.
    const struct {
        Indicator indicator;
        const char* name;
        const char* text;
        int width;
    } indicators[] = {
        {kIndRS232, "rs232Indicator", "RS232", 900}, {kIndLimit, "limitIndicator", "LIMIT", 780},
        {kIndRel, "relIndicator", "REL", 640},       {kIndWait, "waitIndicator", "WAIT", 780},
        {kIndMax, "maxIndicator", "MAX", 680},       {kIndMin, "minIndicator", "MIN", 600},
        {kIndAvg, "avgIndicator", "AVG", 680}};
    int x = 100;
    for (const auto& ind : indicators) {
        QLabel* l = readoutLabel(ind.name, ind.text, {x, 80, ind.width, 320}, 15.75);
        Colour(l, QPalette::WindowText, kIndicatorInk);
        l->setAlignment(Qt::AlignCenter);
        indicators_[ind.indicator] = l;
        indicatorCaptions_[ind.indicator] = ind.text;
        x += ind.width + 100;
    }
    couplingLabel_ = readoutLabel("couplingLabel", "DC", {100, 480, 1200, 340}, 15.75);
    Colour(couplingLabel_, QPalette::WindowText, kIndicatorInk);

    buzzer_ = new ArtBox(frame_, [](int, QSize s) { return BuzzerSymbol(s); });
    buzzer_->setObjectName("buzzerSymbol");
    place(buzzer_, {1400, 480, 340, 340});
    diode_ = new ArtBox(frame_, [](int, QSize s) { return DiodeSymbol(s); });
    diode_->setObjectName("diodeSymbol");
    place(diode_, {1840, 480, 340, 340});

    // Shown while a recording runs without live readings (no frame, or no link).
    meterNote_ =
        readoutLabel("meterNote", "Recording waits for the meter", {2300, 480, 3800, 340}, 11.25);
    Colour(meterNote_, QPalette::WindowText, QColor(255, 190, 70));
    meterNote_->hide();

    // The value changes with every reading, in glyphs too large for Qt's glyph cache.
    valueLabel_ = readoutLabel("valueLabel", QString(), {100, 840, 5000, 1500}, 80.25,
                               new GlyphCachedLabel(frame_));
    valueLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    unitLabel_ = readoutLabel("unitLabel", QString(), {5140, 1700, 1000, 560}, 26.25);
    unitLabel_->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    signImage_ = new ArtBox(
        frame_, [](int n, QSize s) { return SignImage(n, s); }, 1);
    signImage_->setObjectName("signSymbol");
    place(signImage_, {100, 2500, 360, 360});
    barImage_ = new ArtBox(
        frame_, [](int n, QSize s) { return BarGraphImage(n, s); }, kBarIdle);
    barImage_->setObjectName("barGraph");
    place(barImage_, {540, 2500, 5560, 360});

    // Alarm limits and the record interval, one line under the readout.
    const int y = 3140, h = 280;
    label(central, "alarmLimitCaption", "Alarm Limit : ", {60, y, 1200, h}, kSans, kSmallPt, true);
    label(central, "highCaption", "Hi", {1280, y, 260, h}, kSans, kSmallPt);
    limitFields_[0] = field(central, "highLimitField", {1560, y, 1000, h});
    label(central, "lowCaption", "Low", {2640, y, 380, h}, kSans, kSmallPt);
    limitFields_[1] = field(central, "lowLimitField", {3040, y, 1000, h});
    label(central, "intervalCaption", "Record Interval :", {4200, y, 1400, h}, kSans, kSmallPt,
          true);
    limitFields_[2] = field(central, "intervalField", {5620, y, 640, h});
    limitFields_[2]->setText("00:00");
    // These show settings and take no typing: drawn as read-only boxes, and they say
    // where the settings are changed.
    const char* tips[3] = {
        "High alarm limit. Change it in the Option Setting dialog (menu Option), Limit / Alarm.",
        "Low alarm limit. Change it in the Option Setting dialog (menu Option), Limit / Alarm.",
        "Time between two records (minutes:seconds). Change it in the Option Setting dialog "
        "(menu Option), Record Interval."};
    for (int i = 0; i < 3; ++i) {
        QLabel* box = limitFields_[i];
        Colour(box, QPalette::Window, palette().color(QPalette::Window));
        box->setToolTip(tips[i]);
    }
}

void MainWindow::buildInfoAndStatistics(QWidget* central) {
    const int x0 = 6360, h = 260;
    const struct {
        const char* caption;
        const char* name;
        const char* fieldName;
        QLabel** field;
        int y;
    } info[] = {{"File ", "fileCaption", "recordNameField", &recordNameField_, 480},
                {"Mode", "modeCaption", "modeField", &modeField_, 800},
                {"Unit ", "unitCaption", "unitField", &unitField_, 1120}};
    for (const auto& i : info) {
        label(central, i.name, i.caption, {x0, i.y, 600, h}, kSans, kSmallPt, true);
        *i.field = field(central, i.fieldName, {x0 + 620, i.y, 1920, h});
    }

    // Statistics: column heads and the MAX, MIN, AVG and REL rows.
    const int cx[4] = {x0, x0 + 540, x0 + 1320, x0 + 1800};  // caption, value, unit, time
    const int cw[4] = {520, 760, 460, 740};
    const int y0 = 1520;
    auto head = [&](const char* name, const char* text, int col, int row) {
        QLabel* l = label(central, name, text, {cx[col], y0 + row * 320, cw[col], h}, kSans,
                          kSmallPt, true);
        l->setAlignment(Qt::AlignCenter);
    };
    head("valueHead", "Value", 1, 0);
    head("unitHead", "Unit", 2, 0);
    head("maxHead", "MAX", 0, 1);
    head("minHead", "MIN", 0, 2);
    head("avgHead", "AVG", 0, 3);
    head("timeHead", "Time", 3, 0);
    const char* columns[3] = {"Value", "Unit", "Time"};
    for (int c = 0; c < 3; ++c) {
        maxFields_[c] = field(central, QString("max%1Field").arg(columns[c]),
                              {cx[c + 1], y0 + 320, cw[c + 1], h});
        minFields_[c] = field(central, QString("min%1Field").arg(columns[c]),
                              {cx[c + 1], y0 + 640, cw[c + 1], h});
    }
    for (int c = 0; c < 2; ++c)
        avgFields_[c] = field(central, QString("avg%1Field").arg(columns[c]),
                              {cx[c + 1], y0 + 960, cw[c + 1], h});
    const int yRel = y0 + 1280;
    rel_ = new QPushButton("REL", central);
    rel_->setObjectName("relButton");
    rel_->setFont(QFont(kSans, 9));
    place(rel_, {cx[0], yRel, cw[0], 300}, 9);
    connect(rel_, &QPushButton::clicked, this, [this] { run(calls_.toggleRelReference); });
    relValueField_ = field(central, "relValueField", {cx[1], yRel, cw[1], h});
    relUnitField_ = field(central, "relUnitField", {cx[2], yRel, cw[2], h});
    relTimeField_ = field(central, "relTimeField", {cx[3], yRel, cw[3], h});
}

void MainWindow::buildGraphAndTable(QWidget* central) {
    grid_ = new RecordTableView(central);
    grid_->setObjectName("recordTable");
    // Fonts and headers first: the headers measure their sections in the font they have
    // whenever the model or a font changes, and each new font size costs a font load.
    grid_->verticalHeader()->hide();
    grid_->setFont(QFont("Times New Roman", kSmallPt));
    grid_->horizontalHeader()->setFont(QFont("Times New Roman", 8));
    grid_->verticalHeader()->setMinimumSectionSize(8);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->setModel(&s_.table);
    grid_->setItemDelegate(new RecordCellDelegate(grid_));
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    place(grid_, {8960, 480, 2860, 3220}, kSmallPt);
    // Scrolling up stops the table from following new records; back at the bottom it
    // follows again.
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!scrollingTable_) tableFollows_ = value >= grid_->verticalScrollBar()->maximum();
    });

    back_ = new QPushButton("<< Back", central);
    back_->setObjectName("backButton");
    place(back_, {60, 3500, 1000, 300}, kSmallPt);
    pageBox_ = new QLineEdit("0", central);
    pageBox_->setObjectName("pageBox");
    pageBox_->setAlignment(Qt::AlignCenter);
    pageBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    pageBox_->installEventFilter(this);
    place(pageBox_, {1100, 3500, 700, 300}, kSmallPt);
    auto* next = new QPushButton("Next >>", central);
    next->setObjectName("nextButton");
    place(next, {1840, 3500, 1000, 300}, kSmallPt);
    for (QWidget* w : {static_cast<QWidget*>(back_), static_cast<QWidget*>(pageBox_),
                       static_cast<QWidget*>(next)})
        w->setFont(QFont(kSans, kSmallPt));
    connect(back_, &QPushButton::clicked, this, [this] {
        pageTurnedByUser_ = true;
        Call(calls_.showPreviousPage);
        sync();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        pageTurnedByUser_ = true;
        Call(calls_.showNextPage);
        sync();
    });
    connect(pageBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        pageTurnedByUser_ = true;
        if (calls_.setPageBox) {
            calls_.setPageBox(text);
        } else {
            s_.graph.pageBox = text;
        }
        sync();
    });
    // The page box's own context menu is never shown; an empty one stands in for it.
    connect(pageBox_, &QLineEdit::customContextMenuRequested, this, [this](const QPoint& pos) {
        pageBox_->setEnabled(false);
        pageBoxPopup_->popup(pageBox_->mapToGlobal(pos));
        pageBox_->setEnabled(true);
    });

    graph_ = new GraphBox(central);
    graph_->setObjectName("graphPicture");
    graph_->setSource([this] { return calls_.graphImage ? calls_.graphImage() : QImage(); });
    place(graph_, {60, 3860, 11760, 3620});
}

void MainWindow::buildBanner(QWidget* central) {
    // Fixed geometry whatever the window size.
    banner_ = new QWidget(central);
    banner_->setObjectName("scheduleBanner");
    banner_->setAutoFillBackground(true);
    Colour(banner_, QPalette::Window, QColor(255, 255, 225));
    banner_->setGeometry(800, 4, 377, 39);
    bannerLabel_ = new QLabel(banner_);
    bannerLabel_->setObjectName("scheduleBannerText");
    QFont f("Times New Roman");
    f.setPointSizeF(11);
    bannerLabel_->setFont(f);
    bannerLabel_->setGeometry(36, 4, 336, 29);
    auto* clock = new ArtBox(banner_, [](int, QSize s) {
        QImage img(s, QImage::Format_ARGB32_Premultiplied);
        img.fill(QColor(255, 255, 225));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawEllipse(QRectF(2, 2, s.width() - 4, s.height() - 4));
        p.drawLine(QPointF(s.width() / 2.0, s.height() / 2.0), QPointF(s.width() / 2.0, 6));
        p.drawLine(QPointF(s.width() / 2.0, s.height() / 2.0),
                   QPointF(s.width() - 8, s.height() / 2.0));
        return img;
    });
    clock->setObjectName("scheduleClock");
    clock->setGeometry(0, 3, 30, 30);
    banner_->hide();
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("statusBar");
    bar->setSizeGripEnabled(true);
    auto part = [bar](const char* name, bool permanent, int stretch = 0) {
        auto* field = new StatusField(name, bar);
        if (permanent) {
            bar->addPermanentWidget(field);
        } else {
            bar->addWidget(field, stretch);
        }
        return field;
    };
    statusState_ = part("statusState", false);
    QFont bold = statusState_->label()->font();
    bold.setBold(true);
    statusState_->label()->setFont(bold);
    statusRecords_ = part("statusRecords", false);
    // The saved file takes the room left; a path too long for it is cut, and its whole
    // text is in the tool tip.
    statusSaved_ = part("statusSaved", false, 1);
    statusSaved_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusSchedule_ = part("statusSchedule", true);
    statusPort_ = part("statusPort", true);
}

}  // namespace quillon
