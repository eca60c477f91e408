#include "fmsetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "date_time_format.h"
#include "number_format.h"
#include "one_line_text.h"

namespace quillon {

namespace {

template <typename W>
W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QString WithSlash(const QString& path) { return path.endsWith('/') ? path : path + '/'; }

// The folder label: a long path would widen the dialog past the screen, so it is drawn
// shortened in the middle (both ends of a path matter) and shown whole in its tooltip.
class PathLabel : public QLabel {
  public:
    QSize minimumSizeHint() const override {
        return {fontMetrics().averageCharWidth() * 12, QLabel::minimumSizeHint().height()};
    }
    QSize sizeHint() const override {
        const QSize full = QLabel::sizeHint();
        return {qMin(full.width(), fontMetrics().averageCharWidth() * 40), full.height()};
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QRect area = contentsRect();
        const QString shown = fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width());
        style()->drawItemText(&p, area, int(alignment()), palette(), isEnabled(), shown,
                              foregroundRole());
    }
    bool event(QEvent* e) override {
        if (e->type() == QEvent::ToolTip) {
            const bool cut = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
            if (cut)
                QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), text(), this);
            else
                QToolTip::hideText();
            return true;
        }
        return QLabel::event(e);
    }
};

// The next value of an interval box, kept within 0..59.
QString StepInterval(const QString& text, int step) {
    const int n = int(Fix(LeadingNumber(text)));
    int next = n + step;
    if (step > 0 && n >= 59) next = 0;
    if (step < 0 && (n <= 0 || n > 59)) next = 59;
    return FormatNumber(next, "00");
}

}  // namespace

Fmsetup::Fmsetup(Session& session, SettingsStore& store, Clock& clock, MessageBoxes& messages,
                 MainWindowCalls calls, PortChoice ports, QWidget* parent)
    : QDialog(parent),
      session_(session),
      store_(store),
      clock_(clock),
      messages_(messages),
      calls_(std::move(calls)),
      ports_(std::move(ports)) {
    setObjectName("Fmsetup");
    setWindowTitle(Caption());
    setModal(false);
    BuildControls();
    list1_[0]->addItems(DateFormats());
    list1_[1]->addItems(TimeFormats());
    FillDrives();
}

void Fmsetup::BuildControls() {
    auto* port = new QGroupBox("COM PORT");
    auto* portLayout = new QVBoxLayout(port);
    option1_[0] = Named(new QRadioButton("Auto scan  com port"), "Option1_0");
    option1_[1] = Named(new QRadioButton("Select com port"), "Option1_1");
    combo4_ = Named(new QComboBox, "Combo4");
    // 256 ports: a scrolled list of some rows, not a pop-up as tall as the screen.
    combo4_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    combo4_->setMaxVisibleItems(16);
    portNote_ = Named(new QLabel, "PortNote");
    portNote_->setWordWrap(true);
    portNote_->hide();
    // What a lost link does to a recording belongs with the port.
    keepRecording_ = Named(new QCheckBox("Keep recording when the meter returns"), "keepRecording");
    keepRecording_->setToolTip(
        "When the meter stops sending for 15 s, the recording waits for it instead of "
        "ending, and goes on in the same table when its readings return.");
    for (auto* w : std::initializer_list<QWidget*>{option1_[0], option1_[1], combo4_, portNote_,
                                                   keepRecording_})
        portLayout->addWidget(w);

    auto* formats = new QGroupBox("Date/Time Display format");
    auto* formatLayout = new QGridLayout(formats);
    for (int i = 0; i < 2; ++i) {
        list1_[i] = Named(new QListWidget, QString("List1_%1").arg(i));
        list1_[i]->setMinimumHeight(list1_[i]->fontMetrics().height() * 8);
        label1_[i] = Named(new QLabel, QString("Label1_%1").arg(i));
        formatLayout->addWidget(list1_[i], 0, i);
        formatLayout->addWidget(label1_[i], 1, i);
        connect(list1_[i], &QListWidget::currentRowChanged, this, [this, i] { ShowPreview(i); });
    }

    auto* save = new QGroupBox("Save data");
    auto* saveLayout = new QVBoxLayout(save);
    check5_ = Named(new QCheckBox("Auto save recording  data."), "Check5_0");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Named(new QLabel("Folder path"), "Label3"));
    label4_ = Named(new PathLabel, "Label4");
    folderRow->addWidget(label4_, 1);
    drive1_ = Named(new QComboBox, "Drive1");
    dir1_ = Named(new QTreeView, "Dir1");
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    dir1_->setModel(dirModel_);
    for (int c = 1; c < dirModel_->columnCount(); ++c) dir1_->hideColumn(c);
    dir1_->header()->hide();
    dir1_->setMinimumHeight(dir1_->fontMetrics().height() * 10);
    // Deep folders scroll sideways instead of being cut short.
    dir1_->header()->setStretchLastSection(false);
    dir1_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    saveLayout->addWidget(check5_);
    saveLayout->addLayout(folderRow);
    saveLayout->addWidget(drive1_);
    saveLayout->addWidget(dir1_);
    connect(drive1_, &QComboBox::currentIndexChanged, this, [this] {
        if (!placingFolder_) Drive1_Change();
    });
    connect(dir1_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!placingFolder_) Dir1_Change();
    });
    // The tree reads folders in the background: the saved folder can only be opened and
    // selected once the folders on its way have been read.
    connect(dirModel_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (folderToShow_.isEmpty()) return;
        if (folderToShow_ != loaded && !folderToShow_.startsWith(WithSlash(loaded))) return;
        OpenFolderInTree();
        if (folderToShow_ == loaded) folderToShow_.clear();
    });
    // Folders read later are sorted in above it: the selected folder stays in view until
    // the user moves the tree.
    const auto keepInView = [this] {
        if (keepFolderInView_ && dir1_->currentIndex().isValid())
            dir1_->scrollTo(dir1_->currentIndex());
    };
    connect(dirModel_, &QAbstractItemModel::layoutChanged, this, keepInView);
    connect(dirModel_, &QAbstractItemModel::rowsInserted, this, keepInView);
    const auto userMovesTree = [this] {
        if (!placingFolder_) keepFolderInView_ = false;
    };
    connect(dir1_, &QTreeView::expanded, this, userMovesTree);
    connect(dir1_, &QTreeView::collapsed, this, userMovesTree);
    connect(dir1_->verticalScrollBar(), &QScrollBar::actionTriggered, this, userMovesTree);

    auto* alarm = new QGroupBox("Limit / Alarm");
    auto* alarmLayout = new QGridLayout(alarm);
    check2_ = Named(new QCheckBox("Alarm (Beep sound)"), "Check2");
    alarmLayout->addWidget(check2_, 0, 0, 1, 2);
    const char* limitNames[2] = {"Hi", "Low"};
    for (int i = 0; i < 2; ++i) {
        check1_[i] = Named(new QCheckBox(limitNames[i]), QString("Check1_%1").arg(i));
        text3_[i] = Named(new QLineEdit, QString("Text3_%1").arg(i));
        alarmLayout->addWidget(check1_[i], i + 1, 0);
        alarmLayout->addWidget(text3_[i], i + 1, 1);
    }
    connect(check2_, &QCheckBox::toggled, this, &Fmsetup::EnableLimits);

    auto* graph = new QGroupBox("Graph Setting");
    auto* graphLayout = new QVBoxLayout(graph);
    auto* titleBox = new QGroupBox("Title");
    auto* titleLayout = new QHBoxLayout(titleBox);
    check6_ = Named(new QCheckBox("Graph  Main Title :"), "Check6");
    text1_ = Named(new QLineEdit, "Text1");
    titleLayout->addWidget(check6_);
    titleLayout->addWidget(text1_, 1);

    auto* intervalBox = new QGroupBox("Record Interval");
    auto* intervalLayout = new QGridLayout(intervalBox);
    intervalLayout->addWidget(Named(new QLabel("Interval"), "Label9_0"), 0, 0);
    const char* unitNames[2] = {"Minute", "Second"};
    for (int i = 0; i < 2; ++i) {
        text4_[i] = Named(new QLineEdit, QString("Text4_%1").arg(i));
        text4_[i]->setMaxLength(2);
        text4_[i]->setAlignment(Qt::AlignCenter);
        text4_[i]->setFixedWidth(text4_[i]->fontMetrics().horizontalAdvance("0000") + 12);
        auto* up = Named(new QToolButton, QString("Command4_%1").arg(i));
        auto* down = Named(new QToolButton, QString("Command5_%1").arg(i));
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        // The two arrows stacked beside the box, together as tall as the box.
        const int arrowHeight = qMax(10, text4_[i]->sizeHint().height() / 2);
        for (QToolButton* b : {up, down}) b->setFixedSize(arrowHeight + 6, arrowHeight);
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        arrows->addWidget(up);
        arrows->addWidget(down);
        auto* spin = new QHBoxLayout;
        spin->setSpacing(1);
        spin->addWidget(text4_[i]);
        spin->addLayout(arrows);
        const int column = 1 + i * 3;
        intervalLayout->addLayout(spin, 0, column);
        intervalLayout->addWidget(Named(new QLabel(unitNames[i]), QString("Label9_%1").arg(9 + i)),
                                  0, column + 1);
        connect(up, &QToolButton::clicked, this, [this, i] { Command4_Click(i); });
        connect(down, &QToolButton::clicked, this, [this, i] { Command5_Click(i); });
        connect(text4_[i], &QLineEdit::textChanged, this, &Fmsetup::MarkChanged);
    }
    intervalLayout->addWidget(Named(new QLabel(":"), "Label9_11"), 0, 3);
    intervalLayout->setColumnStretch(6, 1);
    check3_ = Named(new QCheckBox("Do not record if reading is out of range (OL)"), "Check3");
    intervalLayout->addWidget(check3_, 1, 0, 1, 7);

    auto* yBox = new QGroupBox("Y axis");
    auto* yLayout = new QGridLayout(yBox);
    const char* modeNames[3] = {"Auto Range", "Meter Range", "Range"};
    for (int i = 0; i < 3; ++i) {
        option3_[i] = Named(new QRadioButton(modeNames[i]), QString("Option3_%1").arg(i));
        yLayout->addWidget(option3_[i], i, 0);
        connect(option3_[i], &QRadioButton::toggled, this, &Fmsetup::MarkChanged);
    }
    // The limits apply to "Range" only, so they stand beside and below it.
    const char* limitCaptions[2] = {"Hi Limit ", "Low Limit "};
    for (int i = 0; i < 2; ++i) {
        text2_[i] = Named(new QLineEdit, QString("Text2_%1").arg(i));
        yLayout->addWidget(Named(new QLabel(limitCaptions[i]), QString("Label2_%1").arg(i)), 2 + i,
                           1);
        yLayout->addWidget(text2_[i], 2 + i, 2);
        connect(text2_[i], &QLineEdit::textChanged, this, &Fmsetup::MarkChanged);
    }
    yLayout->setColumnStretch(2, 1);
    graphLayout->addWidget(titleBox);
    graphLayout->addWidget(intervalBox);
    graphLayout->addWidget(yBox);
    connect(check6_, &QCheckBox::toggled, this, &Fmsetup::MarkChanged);
    connect(text1_, &QLineEdit::textChanged, this, &Fmsetup::MarkChanged);
    // The title is one line of a report file: pasted line breaks become blanks.
    connect(text1_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString oneLine = OnOneLine(text);
        if (oneLine == text) return;
        const int cursor = text1_->cursorPosition();
        text1_->setText(oneLine);
        text1_->setCursorPosition(qMin(cursor, int(oneLine.size())));
    });
    connect(check3_, &QCheckBox::toggled, this, &Fmsetup::MarkChanged);

    auto* stats = new QGroupBox("Function option");
    auto* statsLayout = new QHBoxLayout(stats);
    const char* statNames[3] = {"Max", "Min", "Avg"};
    for (int i = 0; i < 3; ++i) {
        check4_[i] = Named(new QCheckBox(statNames[i]), QString("Check4_%1").arg(i));
        statsLayout->addWidget(check4_[i]);
    }

    auto* buttons = new QHBoxLayout;
    const char* buttonNames[3] = {"OK", "Cancel", "Default"};
    QPushButton* button[3];
    for (int i = 0; i < 3; ++i) {
        button[i] = Named(new QPushButton(buttonNames[i]), QString("Command%1").arg(i + 1));
        button[i]->setAutoDefault(false);
        buttons->addWidget(button[i]);
    }
    connect(button[0], &QPushButton::clicked, this, &Fmsetup::Command1_Click);
    connect(button[1], &QPushButton::clicked, this, &Fmsetup::Command2_Click);
    connect(button[2], &QPushButton::clicked, this, &Fmsetup::Command3_Click);

    auto* left = new QVBoxLayout;
    left->addWidget(port);
    left->addWidget(formats);
    left->addWidget(save);
    auto* right = new QVBoxLayout;
    right->addWidget(alarm);
    right->addWidget(graph);
    right->addWidget(stats);
    right->addStretch();
    right->addLayout(buttons);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right);
}

void Fmsetup::FillPortList() {
    if (ports_.refresh) ports_.refresh();
    combo4_->clear();
    QStringList denied;
    for (int com = 1; com <= 256; ++com) {
        const QString device = ports_.device ? ports_.device(com) : QString();
        const bool permitted = device.isEmpty() || !ports_.canOpen || ports_.canOpen(device);
        if (!permitted) denied << device;
        combo4_->addItem(PortItemText(com, device, permitted));
    }
    combo4_->setCurrentIndex(-1);
    portNote_->setText(PortPermissionNote(denied));
    portNote_->setVisible(!denied.isEmpty());
}

void Fmsetup::FillDrives() {
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady()) volumes << v;
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    placingFolder_ = true;
    for (const QStorageInfo& v : volumes) {
        const QString name = v.displayName();
        drive1_->addItem(name == v.rootPath() ? name : v.rootPath() + "  (" + name + ")",
                         v.rootPath());
    }
    placingFolder_ = false;
}

void Fmsetup::Drive1_Change() {
    folderToShow_.clear();
    keepFolderInView_ = false;
    const QString root = drive1_->currentData().toString();
    if (root.isEmpty()) return;
    dir1_->setRootIndex(dirModel_->setRootPath(root));
    label4_->setText(WithSlash(root));
}

void Fmsetup::Dir1_Change() {
    folderToShow_.clear();  // the user's own choice stands
    keepFolderInView_ = false;
    const QModelIndex index = dir1_->currentIndex();
    if (!index.isValid()) return;
    label4_->setText(WithSlash(dirModel_->filePath(index)));
}

void Fmsetup::ShowFolder(const QString& path) {
    label4_->setText(path);
    // Point the drive list and the tree at the folder, without touching the label.
    placingFolder_ = true;
    int best = -1;
    int bestLength = -1;
    const QString clean = QDir::cleanPath(path);
    for (int i = 0; i < drive1_->count(); ++i) {
        const QString root = drive1_->itemData(i).toString();
        const bool within = clean == QDir::cleanPath(root) || clean.startsWith(WithSlash(root));
        if (within && root.size() > bestLength) {
            best = i;
            bestLength = int(root.size());
        }
    }
    if (best >= 0) {
        drive1_->setCurrentIndex(best);
        dir1_->setRootIndex(dirModel_->setRootPath(drive1_->itemData(best).toString()));
    }
    placingFolder_ = false;
    folderToShow_ = best >= 0 && QDir(clean).exists() ? clean : QString();
    OpenFolderInTree();
}

void Fmsetup::OpenFolderInTree() {
    if (folderToShow_.isEmpty()) return;
    const QModelIndex index = dirModel_->index(folderToShow_);
    if (!index.isValid()) return;
    placingFolder_ = true;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) dir1_->expand(up);
    dir1_->expand(index);
    dir1_->setCurrentIndex(index);
    dir1_->scrollTo(index);
    keepFolderInView_ = true;
    placingFolder_ = false;
}

void Fmsetup::SelectFormat(QListWidget* list, const QString& format) {
    const auto found = list->findItems(format, Qt::MatchExactly);
    if (format.isEmpty() || found.isEmpty()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return;
    }
    list->setCurrentItem(found.first());
    list->scrollToItem(found.first(), QAbstractItemView::PositionAtTop);
}

void Fmsetup::ShowPreview(int index) {
    const QListWidgetItem* item = list1_[index]->currentItem();
    if (!item) return;
    const QDateTime now = clock_.now();
    label1_[index]->setText(index == 0 ? FormatDate(now.date(), item->text())
                                       : FormatTime(now.time(), item->text()));
}

void Fmsetup::EnableLimits(bool on) {
    for (int i = 0; i < 2; ++i) {
        check1_[i]->setEnabled(on);
        text3_[i]->setEnabled(on);
    }
}

SettingsForm Fmsetup::ReadForm() const {
    SettingsForm f;
    f.portOption = option1_[1]->isChecked() ? 1 : 0;
    f.comIndex = combo4_->currentIndex();
    const QListWidgetItem* date = list1_[0]->currentItem();
    const QListWidgetItem* time = list1_[1]->currentItem();
    f.dateFormat = date ? date->text() : QString();
    f.timeFormat = time ? time->text() : QString();
    f.savAuto = check5_->isChecked();
    f.folder = label4_->text();
    f.alarm = check2_->isChecked();
    for (int i = 0; i < 2; ++i) {
        f.limitTicked[i] = check1_[i]->isChecked();
        f.limitText[i] = text3_[i]->text();
        f.rangeText[i] = text2_[i]->text();
    }
    f.titleShown = check6_->isChecked();
    f.title = text1_->text();
    f.minutes = text4_[0]->text();
    f.seconds = text4_[1]->text();
    f.olStop = check3_->isChecked();
    f.keepRecording = keepRecording_->isChecked();
    f.rangeMode = 0;
    for (int i = 0; i < 3; ++i) {
        if (option3_[i]->isChecked()) f.rangeMode = i;
        f.stats[i] = check4_[i]->isChecked();
    }
    return f;
}

void Fmsetup::ShowForm(const SettingsForm& f) {
    option1_[f.portOption == 0 ? 0 : 1]->setChecked(true);
    combo4_->setCurrentIndex(f.comIndex >= 0 && f.comIndex < combo4_->count() ? f.comIndex : -1);
    SelectFormat(list1_[0], f.dateFormat);
    SelectFormat(list1_[1], f.timeFormat);
    check5_->setChecked(f.savAuto);
    ShowFolder(f.folder);
    check2_->setChecked(f.alarm);
    EnableLimits(f.alarm);
    for (int i = 0; i < 2; ++i) {
        check1_[i]->setChecked(f.limitTicked[i]);
        text3_[i]->setText(f.limitText[i]);
        text2_[i]->setText(f.rangeText[i]);
    }
    check6_->setChecked(f.titleShown);
    text1_->setText(f.title);
    text1_->setCursorPosition(0);  // a long title shows from its start
    text4_[0]->setText(f.minutes);
    text4_[1]->setText(f.seconds);
    check3_->setChecked(f.olStop);
    keepRecording_->setChecked(f.keepRecording);
    option3_[qBound(0, f.rangeMode, 2)]->setChecked(true);
    for (int i = 0; i < 3; ++i) check4_[i]->setChecked(f.stats[i]);
}

void Fmsetup::Form_Load() {
    ShowForm(SettingsForm{});  // the controls' design values
    settingsChanged_ = false;
    FillPortList();
    SettingsForm form = ReadForm();
    // A first run stores the defaults at once, as Default followed by OK would.
    const bool firstRun = LoadSettingsForm(form, session_, store_);
    ShowForm(form);
    if (firstRun) FinishOk();
    if (session_.rec.RunState != kRunViewingFile) op_set();
}

void Fmsetup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The load usually runs before the dialog is shown, when the lists cannot scroll yet.
    for (QListWidget* list : list1_)
        if (QListWidgetItem* item = list->currentItem())
            list->scrollToItem(item, QAbstractItemView::PositionAtTop);
    if (dir1_->currentIndex().isValid()) dir1_->scrollTo(dir1_->currentIndex());
}

IntervalTexts Fmsetup::intervalTexts() const { return {text4_[0]->text(), text4_[1]->text()}; }

void Fmsetup::op_set() { quillon::op_set(session_, intervalTexts()); }

void Fmsetup::Command1_Click() {
    const SettingsForm form = ReadForm();
    if (const auto problem = TakeForm(form, session_)) {
        messages_.show(*problem, Caption(), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    SaveSettings(session_, store_);
    if (const auto problem = store_.TakeProblemMessage("The settings"))
        messages_.show(*problem, Caption(), MsgButtons::Ok, MsgIcon::Exclamation);
    FinishOk();
}

void Fmsetup::FinishOk() {
    if (session_.rec.RunState != kRunViewingFile) op_set();
    if (settingsChanged_) {
        Call(calls_.RE_display);
        if (calls_.setPageBox) {
            calls_.setPageBox("0");
            calls_.setPageBox(QString::number(LastPage(session_)));
        }
        settingsChanged_ = false;
    }
    close();
}

void Fmsetup::Command2_Click() { close(); }

void Fmsetup::Command3_Click() {
    SettingsForm form = ReadForm();
    PressDefault(form, session_.settings);
    ShowForm(form);
}

void Fmsetup::Command4_Click(int index) {
    if (index < 0 || index > 1) return;
    text4_[index]->setText(StepInterval(text4_[index]->text(), +1));
}

void Fmsetup::Command5_Click(int index) {
    if (index < 0 || index > 1) return;
    text4_[index]->setText(StepInterval(text4_[index]->text(), -1));
}

}  // namespace quillon
