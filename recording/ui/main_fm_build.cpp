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
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>

#include "artwork.h"
#include "glyph_cached_label.h"
#include "main_fm.h"
#include "picture_boxes.h"
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

// Column 0 of the record table is a fixed column, drawn in the fixed-cell colour.
class FixedColumnDelegate final : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() == 0) p->fillRect(option.rect, option.palette.color(QPalette::Button));
        QStyledItemDelegate::paint(p, option, index);
    }
};

void Colour(QWidget* w, QPalette::ColorRole role, const QColor& c) {
    QPalette pal = w->palette();
    pal.setColor(role, c);
    w->setPalette(pal);
}

}  // namespace

void MainFm::place(QWidget* w, QRect twips, qreal fontPt) { placed_.push_back({w, twips, fontPt}); }

QLabel* MainFm::label(QWidget* parent, const QString& name, const QString& text, QRect twips,
                      const QString& family, qreal pt, bool bold, QLabel* made) {
    QLabel* l = made ? made : new QLabel(parent);
    l->setText(text);
    l->setObjectName(name);
    QFont f(family);
    f.setBold(bold);
    f.setPointSizeF(pt);
    l->setFont(f);
    place(l, twips, pt);
    labels_.insert(name, l);
    return l;
}

// A sunken field of the statistics and file panels.
QLabel* MainFm::field(QWidget* parent, const QString& name, QRect twips) {
    QLabel* l = label(parent, name, QString(), twips, kSans, kSmallPt);
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    Colour(l, QPalette::Window, palette().color(QPalette::Base));
    return l;
}

QAction* MainFm::action(QMenu* menu, const QString& name, const QString& text,
                        void (MainFm::*slot)()) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    actions_.insert(name, a);
    if (slot) connect(a, &QAction::triggered, this, slot);
    return a;
}

void MainFm::buildMenus() {
    QMenuBar* bar = menuBar();
    auto menu = [&](QMenu* parentMenu, const QString& name, const QString& text) {
        QMenu* m = parentMenu ? parentMenu->addMenu(text) : bar->addMenu(text);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        actions_.insert(name, m->menuAction());
        return m;
    };
    auto forward = [this](QAction* a, const MainFmCalls::Action MainFmCalls::*call) {
        connect(a, &QAction::triggered, this, [this, call] { run(calls_.*call); });
    };
    auto recorder = [this](QAction* a, void (Recorder::*command)()) {
        connect(a, &QAction::triggered, this, [this, command] { runRecorder(command); });
    };

    QMenu* file = menu(nullptr, "mnfile", "File(&F)");
    forward(action(file, "mnopen", "Open file"), &MainFmCalls::mnopen_Click);
    file->addSeparator();
    QMenu* save = menu(file, "mnsave", "Save file");
    forward(action(save, "mnsaveData", "Save Report"), &MainFmCalls::mnsaveData_Click);
    forward(action(save, "mnsaveBmp", "Save Graph"), &MainFmCalls::mnsaveBmp_Click);
    forward(action(save, "mnsaveScreen", "Save Screen"), &MainFmCalls::mnsaveScreen_Click);
    file->addSeparator();
    QMenu* print = menu(file, "mnprint", "Print");
    forward(action(print, "mnprintdata", "Print Report"), &MainFmCalls::mnprintdata_Click);
    forward(action(print, "mnprintBmp", "Print Graph"), &MainFmCalls::mnprintBmp_Click);
    forward(action(print, "mnprintscreen", "Print Screen"), &MainFmCalls::mnprintscreen_Click);
    file->addSeparator();
    action(file, "mnexit", "Exit", &MainFm::mnexit_Click);

    QMenu* edit = menu(nullptr, "mnedit", "Edit(&E)");
    recorder(action(edit, "mnclear", "Clear"), &Recorder::mnclear_Click);

    QMenu* record = menu(nullptr, "mnrecord", "Record(&R)");
    forward(action(record, "mnlinkon", "Link Up"), &MainFmCalls::mnlinkon_Click);
    QAction* linkOff = action(record, "mnlinkoff", "Link Off");
    forward(linkOff, &MainFmCalls::mnlinkoff_Click);
    linkOff->setVisible(false);
    linkOff->setCheckable(true);
    record->addSeparator();
    const struct {
        const char* name;
        const char* text;
        QKeySequence key;
        void (Recorder::*command)();
    } rec[] = {{"mnstart", "Start", QKeySequence("Ctrl+S"), &Recorder::mnstart_Click},
               {"mnpause", "Pause", QKeySequence("Ctrl+P"), &Recorder::mnpause_Click},
               {"mnstop", "Stop", QKeySequence("Ctrl+T"), &Recorder::mnstop_Click}};
    for (const auto& r : rec) {
        QAction* a = action(record, r.name, r.text);
        a->setShortcut(r.key);
        a->setCheckable(true);
        recorder(a, r.command);
    }

    QAction* setup = bar->addAction("Option(&O)");
    setup->setObjectName("mnsetup");
    actions_.insert("mnsetup", setup);
    connect(setup, &QAction::triggered, this, &MainFm::mnsetup_Click);
    QAction* oder = bar->addAction("Schedule recording(&D)");
    oder->setObjectName("mnoder");
    actions_.insert("mnoder", oder);
    connect(oder, &QAction::triggered, this, &MainFm::mnoder_Click);

    QMenu* help = menu(nullptr, "mnhelp", "Help(&H)");
    action(help, "mnhe", "Help", &MainFm::mnhe_Click)->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    action(help, "mnabout", "About", &MainFm::mnabout_Click);

    // Pop-up menus, never on the menu bar; each item forwards to its menu item.
    auto popup = [&](const QString& name, const QStringList& items) {
        auto* m = new QMenu(this);
        m->setObjectName(name);
        popups_.insert(name, m);
        for (const QString& item : items) {
            const QStringList parts = item.split('|');
            QAction* a = m->addAction(parts[1]);
            a->setObjectName(parts[0]);
            if (parts.size() > 2) {
                QAction* target = actions_.value(parts[2]);
                connect(a, &QAction::triggered, target, &QAction::trigger);
            }
        }
        return m;
    };
    popup("pop", {"pop_SaveData|Save Report|mnsaveData", "pop_SaveBmp|Save Graph|mnsaveBmp",
                  "pop_SaveScreen|Save Screen|mnsaveScreen"});
    actions_.insert("pop_SaveData", popups_["pop"]->actions().first());
    popup("pop_print",
          {"pop_PrintData|Print Report|mnprintdata", "pop_PrintBmp|Print Graph|mnprintBmp",
           "pop_PrintScreen|Print Screen|mnprintscreen"});
    popup("Mblank", {"pop_Skip|Skip"});
}

void MainFm::buildToolbar() {
    toolbar_ = addToolBar("Toolbar1");
    toolbar_->setObjectName("Toolbar1");
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(24, 24));
    toolbar_->setFixedHeight(kToolbarHeight);
    toolbar_->setContextMenuPolicy(Qt::PreventContextMenu);
    const struct {
        const char* key;
        const char* tip;
    } buttons[] = {{"Open", "Open file"}, {"Save", "Save"},    {"Print", "Print"},
                   {"Clear", "Clear"},    {"Link", "Link up"}, {"Start", "Start"},
                   {"Pause", "Pause"},    {"Stop", "Stop"},    {"Help", "Help"}};
    for (const auto& b : buttons) {
        const QString key = b.key;
        QAction* a = toolbar_->addAction(ToolbarIcon(key), key);
        a->setToolTip(b.tip);
        a->setObjectName("tb" + key);
        a->setProperty("key", key);
        actions_.insert("tb" + key, a);
        connect(a, &QAction::triggered, this, [this, key] { toolbarClick(key); });
        if (QWidget* w = toolbar_->widgetForAction(a)) w->setObjectName("tb" + key);
    }
}

void MainFm::buildReadout(QWidget* central) {
    frame_ = new QWidget(central);
    frame_->setObjectName("Frame1_0");
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
        const char* text;
        int width;
    } indicators[] = {{"RS232", 900}, {"LIMIT", 780}, {"REL", 640}, {"WAIT", 780},
                      {"MAX", 680},   {"MIN", 600},   {"AVG", 680}};
    int x = 100;
    for (int i = 0; i < 7; ++i) {
        QLabel* l = readoutLabel(QString("Label13_%1").arg(i + 1), indicators[i].text,
                                 {x, 80, indicators[i].width, 320}, 15.75);
        Colour(l, QPalette::WindowText, kIndicatorInk);
        l->setAlignment(Qt::AlignCenter);
        x += indicators[i].width + 100;
    }
    QLabel* coupling = readoutLabel("Label2", "DC", {100, 480, 1200, 340}, 15.75);
    Colour(coupling, QPalette::WindowText, kIndicatorInk);

    buzzer_ = new ArtBox(frame_, [](int, QSize s) { return BuzzerSymbol(s); });
    buzzer_->setObjectName("Image4");
    place(buzzer_, {1400, 480, 340, 340});
    diode_ = new ArtBox(frame_, [](int, QSize s) { return DiodeSymbol(s); });
    diode_->setObjectName("Image5");
    place(diode_, {1840, 480, 340, 340});

    // Shown while a recording runs without live readings (no frame, or no link).
    meterNote_ =
        readoutLabel("meterNote", "Recording waits for the meter", {2300, 480, 3800, 340}, 11.25);
    Colour(meterNote_, QPalette::WindowText, QColor(255, 190, 70));
    meterNote_->hide();

    // The value changes with every reading, in glyphs too large for Qt's glyph cache.
    QLabel* value = readoutLabel("Label1_0", QString(), {100, 840, 5000, 1500}, 80.25,
                                 new GlyphCachedLabel(frame_));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLabel* unit = readoutLabel("Label1_1", QString(), {5140, 1700, 1000, 560}, 26.25);
    unit->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    signImage_ = new ArtBox(
        frame_, [](int n, QSize s) { return SignImage(n, s); }, 1);
    signImage_->setObjectName("Image2");
    place(signImage_, {100, 2500, 360, 360});
    barImage_ = new ArtBox(
        frame_, [](int n, QSize s) { return BarGraphImage(n, s); }, kBarIdle);
    barImage_->setObjectName("Image1");
    place(barImage_, {540, 2500, 5560, 360});

    // Alarm limits and the record interval, one line under the readout.
    const int y = 3140, h = 280;
    label(central, "Caption_AlarmLimit", "Alarm Limit : ", {60, y, 1200, h}, kSans, kSmallPt, true);
    label(central, "Caption_Hi", "Hi", {1280, y, 260, h}, kSans, kSmallPt);
    field(central, "Label12_0", {1560, y, 1000, h});
    label(central, "Caption_Low", "Low", {2640, y, 380, h}, kSans, kSmallPt);
    field(central, "Label12_1", {3040, y, 1000, h});
    label(central, "Caption_Interval", "Record Interval :", {4200, y, 1400, h}, kSans, kSmallPt,
          true);
    field(central, "Label12_2", {5620, y, 640, h})->setText("00:00");
    // These show settings and take no typing: drawn as read-only boxes, and they say
    // where the settings are changed.
    const char* tips[3] = {
        "High alarm limit. Change it in the Option Setting dialog (menu Option), Limit / Alarm.",
        "Low alarm limit. Change it in the Option Setting dialog (menu Option), Limit / Alarm.",
        "Time between two records (minutes:seconds). Change it in the Option Setting dialog "
        "(menu Option), Record Interval."};
    for (int i = 0; i < 3; ++i) {
        QLabel* box = labels_[QString("Label12_%1").arg(i)];
        Colour(box, QPalette::Window, palette().color(QPalette::Window));
        box->setToolTip(tips[i]);
    }
}

void MainFm::buildInfoAndStatistics(QWidget* central) {
    const int x0 = 6360, h = 260;
    const struct {
        const char* caption;
        const char* name;
        const char* field;
        int y;
    } info[] = {{"File ", "Caption_File", "Label7", 480},
                {"Mode", "Caption_Mode", "Label11", 800},
                {"Unit ", "Caption_Unit", "Label8", 1120}};
    for (const auto& i : info) {
        label(central, i.name, i.caption, {x0, i.y, 600, h}, kSans, kSmallPt, true);
        field(central, i.field, {x0 + 620, i.y, 1920, h});
    }

    // Statistics: column heads and the MAX, MIN, AVG and REL rows.
    const int cx[4] = {x0, x0 + 540, x0 + 1320, x0 + 1800};  // caption, value, unit, time
    const int cw[4] = {520, 760, 460, 740};
    const int y0 = 1520;
    auto head = [&](int index, const char* text, int col, int row) {
        QLabel* l = label(central, QString("Label9_%1").arg(index), text,
                          {cx[col], y0 + row * 320, cw[col], h}, kSans, kSmallPt, true);
        l->setAlignment(Qt::AlignCenter);
    };
    head(0, "Value", 1, 0);
    head(1, "Unit", 2, 0);
    head(2, "MAX", 0, 1);
    head(3, "MIN", 0, 2);
    head(4, "AVG", 0, 3);
    head(5, "Time", 3, 0);
    for (int c = 0; c < 3; ++c) {
        field(central, QString("Label5_%1").arg(c), {cx[c + 1], y0 + 320, cw[c + 1], h});
        field(central, QString("Label6_%1").arg(c), {cx[c + 1], y0 + 640, cw[c + 1], h});
    }
    for (int c = 0; c < 2; ++c)
        field(central, QString("Label4_%1").arg(c), {cx[c + 1], y0 + 960, cw[c + 1], h});
    const int yRel = y0 + 1280;
    rel_ = new QPushButton("REL", central);
    rel_->setObjectName("Command2");
    rel_->setFont(QFont(kSans, 9));
    place(rel_, {cx[0], yRel, cw[0], 300}, 9);
    connect(rel_, &QPushButton::clicked, this, [this] { run(calls_.Command2_Click); });
    field(central, "Label3_0", {cx[1], yRel, cw[1], h});
    field(central, "Label3_1", {cx[2], yRel, cw[2], h});
    field(central, "Label6_3", {cx[3], yRel, cw[3], h});
}

void MainFm::buildGraphAndTable(QWidget* central) {
    grid_ = new RecordTableView(central);
    grid_->setObjectName("MSFlexGrid1");
    grid_->setModel(&s_.table);
    grid_->setItemDelegate(new FixedColumnDelegate(grid_));
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setFont(QFont("Times New Roman", kSmallPt));
    grid_->horizontalHeader()->setFont(QFont("Times New Roman", 8));
    grid_->horizontalHeader()->setHighlightSections(false);
    grid_->verticalHeader()->setDefaultSectionSize(18);
    grid_->verticalHeader()->setMinimumSectionSize(8);
    place(grid_, {8960, 480, 2860, 3220}, kSmallPt);
    // Scrolling up stops the table from following new records; back at the bottom it
    // follows again.
    connect(grid_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        if (!scrollingTable_) tableFollows_ = value >= grid_->verticalScrollBar()->maximum();
    });

    back_ = new QPushButton("<< Back", central);
    back_->setObjectName("Command1_0");
    place(back_, {60, 3500, 1000, 300}, kSmallPt);
    pageBox_ = new QLineEdit("0", central);
    pageBox_->setObjectName("Text1");
    pageBox_->setAlignment(Qt::AlignCenter);
    pageBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    pageBox_->installEventFilter(this);
    place(pageBox_, {1100, 3500, 700, 300}, kSmallPt);
    auto* next = new QPushButton("Next >>", central);
    next->setObjectName("Command1_1");
    place(next, {1840, 3500, 1000, 300}, kSmallPt);
    for (QWidget* w : {static_cast<QWidget*>(back_), static_cast<QWidget*>(pageBox_),
                       static_cast<QWidget*>(next)})
        w->setFont(QFont(kSans, kSmallPt));
    connect(back_, &QPushButton::clicked, this, [this] {
        pageTurnedByUser_ = true;
        if (calls_.Command1_Click) calls_.Command1_Click(0);
        sync();
    });
    connect(next, &QPushButton::clicked, this, [this] {
        pageTurnedByUser_ = true;
        if (calls_.Command1_Click) calls_.Command1_Click(1);
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
        popups_["Mblank"]->popup(pageBox_->mapToGlobal(pos));
        pageBox_->setEnabled(true);
    });

    graph_ = new GraphBox(central);
    graph_->setObjectName("Picture1");
    graph_->setSource([this] { return calls_.graphImage ? calls_.graphImage() : QImage(); });
    place(graph_, {60, 3860, 11760, 3620});
}

void MainFm::buildBanner(QWidget* central) {
    // Fixed geometry whatever the window size.
    banner_ = new QWidget(central);
    banner_->setObjectName("Picture5");
    banner_->setAutoFillBackground(true);
    Colour(banner_, QPalette::Window, QColor(255, 255, 225));
    banner_->setGeometry(800, 4, 377, 39);
    bannerLabel_ = new QLabel(banner_);
    bannerLabel_->setObjectName("Label14");
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
    clock->setObjectName("Image3");
    clock->setGeometry(0, 3, 30, 30);
    banner_->hide();
}

void MainFm::buildStatusBar() {
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
