#include "settings_dialog.h"

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

SettingsDialog::SettingsDialog(Session& session, SettingsStore& store, Clock& clock,
                               MessageBoxes& messages, GraphCalls calls, PortChoice ports,
                               QWidget* parent)
    : QDialog(parent),
      session_(session),
      store_(store),
      clock_(clock),
      messages_(messages),
      calls_(std::move(calls)),
      ports_(std::move(ports)) {
    setObjectName("settingsDialog");
    setWindowTitle(Caption());
    setModal(false);
    BuildControls();
    formatLists_[0]->addItems(DateFormats());
    formatLists_[1]->addItems(TimeFormats());
    FillDrives();
}

void SettingsDialog::BuildControls() {
    auto* port = new QGroupBox("COM PORT");
    auto* portLayout = new QVBoxLayout(port);
    portModeButtons_[0] = Named(new QRadioButton("Auto scan  com port"), "autoScanButton");
    portModeButtons_[1] = Named(new QRadioButton("Select com port"), "selectPortButton");
    portBox_ = Named(new QComboBox, "portBox");
    // 256 ports: a scrolled list of some rows, not a pop-up as tall as the screen.
    portBox_->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    portBox_->setMaxVisibleItems(16);
    portNote_ = Named(new QLabel, "portNote");
    portNote_->setWordWrap(true);
    portNote_->hide();
    // What a lost link does to a recording belongs with the port.
    keepRecording_ = Named(new QCheckBox("Keep recording when the meter returns"), "keepRecording");
    keepRecording_->setToolTip(
        "When the meter stops sending for 15 s, the recording waits for it instead of "
        "ending, and goes on in the same table when its readings return.");
    for (auto* w : std::initializer_list<QWidget*>{portModeButtons_[0], portModeButtons_[1],
                                                   portBox_, portNote_, keepRecording_})
        portLayout->addWidget(w);

    auto* formats = new QGroupBox("Date/Time Display format");
    auto* formatLayout = new QGridLayout(formats);
    for (int i = 0; i < 2; ++i) {
        formatLists_[i] = Named(new QListWidget, i == 0 ? "dateFormatList" : "timeFormatList");
        formatLists_[i]->setMinimumHeight(formatLists_[i]->fontMetrics().height() * 8);
        formatPreviews_[i] = Named(new QLabel, i == 0 ? "datePreview" : "timePreview");
        formatLayout->addWidget(formatLists_[i], 0, i);
        formatLayout->addWidget(formatPreviews_[i], 1, i);
        connect(formatLists_[i], &QListWidget::currentRowChanged, this,
                [this, i] { ShowPreview(i); });
    }

    auto* save = new QGroupBox("Save data");
    auto* saveLayout = new QVBoxLayout(save);
    autoSaveBox_ = Named(new QCheckBox("Auto save recording  data."), "autoSaveBox");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(Named(new QLabel("Folder path"), "folderCaption"));
    folderLabel_ = Named(new PathLabel, "folderLabel");
    folderRow->addWidget(folderLabel_, 1);
    driveBox_ = Named(new QComboBox, "driveBox");
    folderTree_ = Named(new QTreeView, "folderTree");
    dirModel_ = new QFileSystemModel(this);
    dirModel_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    folderTree_->setModel(dirModel_);
    for (int c = 1; c < dirModel_->columnCount(); ++c) folderTree_->hideColumn(c);
    folderTree_->header()->hide();
    folderTree_->setMinimumHeight(folderTree_->fontMetrics().height() * 10);
    // Deep folders scroll sideways instead of being cut short.
    folderTree_->header()->setStretchLastSection(false);
    folderTree_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    saveLayout->addWidget(autoSaveBox_);
    saveLayout->addLayout(folderRow);
    saveLayout->addWidget(driveBox_);
    saveLayout->addWidget(folderTree_);
    connect(driveBox_, &QComboBox::currentIndexChanged, this, [this] {
        if (!placingFolder_) driveChosen();
    });
    connect(folderTree_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!placingFolder_) folderChosen();
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
        if (keepFolderInView_ && folderTree_->currentIndex().isValid())
            folderTree_->scrollTo(folderTree_->currentIndex());
    };
    connect(dirModel_, &QAbstractItemModel::layoutChanged, this, keepInView);
    connect(dirModel_, &QAbstractItemModel::rowsInserted, this, keepInView);
    const auto userMovesTree = [this] {
        if (!placingFolder_) keepFolderInView_ = false;
    };
    connect(folderTree_, &QTreeView::expanded, this, userMovesTree);
    connect(folderTree_, &QTreeView::collapsed, this, userMovesTree);
    connect(folderTree_->verticalScrollBar(), &QScrollBar::actionTriggered, this, userMovesTree);

    auto* alarm = new QGroupBox("Limit / Alarm");
    auto* alarmLayout = new QGridLayout(alarm);
    alarmBox_ = Named(new QCheckBox("Alarm (Beep sound)"), "alarmBox");
    alarmLayout->addWidget(alarmBox_, 0, 0, 1, 2);
    const char* limitNames[2] = {"Hi", "Low"};
    for (int i = 0; i < 2; ++i) {
        limitBoxes_[i] =
            Named(new QCheckBox(limitNames[i]), i == 0 ? "highLimitBox" : "lowLimitBox");
        limitEdits_[i] = Named(new QLineEdit, i == 0 ? "highLimitEdit" : "lowLimitEdit");
        alarmLayout->addWidget(limitBoxes_[i], i + 1, 0);
        alarmLayout->addWidget(limitEdits_[i], i + 1, 1);
    }
    connect(alarmBox_, &QCheckBox::toggled, this, &SettingsDialog::EnableLimits);

    auto* graph = new QGroupBox("Graph Setting");
    auto* graphLayout = new QVBoxLayout(graph);
    auto* titleBox = new QGroupBox("Title");
    auto* titleLayout = new QHBoxLayout(titleBox);
    titleBox_ = Named(new QCheckBox("Graph  Main Title :"), "titleBox");
    titleEdit_ = Named(new QLineEdit, "titleEdit");
    titleLayout->addWidget(titleBox_);
    titleLayout->addWidget(titleEdit_, 1);

    auto* intervalBox = new QGroupBox("Record Interval");
    auto* intervalLayout = new QGridLayout(intervalBox);
    intervalLayout->addWidget(Named(new QLabel("Interval"), "intervalCaption"), 0, 0);
    const char* unitNames[2] = {"Minute", "Second"};
    const QString units[2] = {"minutes", "seconds"};
    for (int i = 0; i < 2; ++i) {
        intervalEdits_[i] = Named(new QLineEdit, units[i] + "Edit");
        intervalEdits_[i]->setMaxLength(2);
        intervalEdits_[i]->setAlignment(Qt::AlignCenter);
        intervalEdits_[i]->setFixedWidth(
            intervalEdits_[i]->fontMetrics().horizontalAdvance("0000") + 12);
        auto* up = Named(new QToolButton, units[i] + "UpButton");
        auto* down = Named(new QToolButton, units[i] + "DownButton");
        up->setArrowType(Qt::UpArrow);
        down->setArrowType(Qt::DownArrow);
        // The two arrows stacked beside the box, together as tall as the box.
        const int arrowHeight = qMax(10, intervalEdits_[i]->sizeHint().height() / 2);
        for (QToolButton* b : {up, down}) b->setFixedSize(arrowHeight + 6, arrowHeight);
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        arrows->addWidget(up);
        arrows->addWidget(down);
        auto* spin = new QHBoxLayout;
        spin->setSpacing(1);
        spin->addWidget(intervalEdits_[i]);
        spin->addLayout(arrows);
        const int column = 1 + i * 3;
        intervalLayout->addLayout(spin, 0, column);
        intervalLayout->addWidget(Named(new QLabel(unitNames[i]), units[i] + "Caption"), 0,
                                  column + 1);
        connect(up, &QToolButton::clicked, this, [this, i] { stepIntervalUp(i); });
        connect(down, &QToolButton::clicked, this, [this, i] { stepIntervalDown(i); });
        connect(intervalEdits_[i], &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);
    }
    intervalLayout->addWidget(Named(new QLabel(":"), "intervalColon"), 0, 3);
    intervalLayout->setColumnStretch(6, 1);
    overloadStopBox_ =
        Named(new QCheckBox("Do not record if reading is out of range (OL)"), "overloadStopBox");
    intervalLayout->addWidget(overloadStopBox_, 1, 0, 1, 7);

    auto* yBox = new QGroupBox("Y axis");
    auto* yLayout = new QGridLayout(yBox);
    const char* modeNames[3] = {"Auto Range", "Meter Range", "Range"};
    const char* modeObjectNames[3] = {"autoRangeButton", "meterRangeButton", "fixedRangeButton"};
    for (int i = 0; i < 3; ++i) {
        rangeModeButtons_[i] = Named(new QRadioButton(modeNames[i]), modeObjectNames[i]);
        yLayout->addWidget(rangeModeButtons_[i], i, 0);
        connect(rangeModeButtons_[i], &QRadioButton::toggled, this, &SettingsDialog::MarkChanged);
    }
    // The limits apply to "Range" only, so they stand beside and below it.
    const char* limitCaptions[2] = {"Hi Limit ", "Low Limit "};
    for (int i = 0; i < 2; ++i) {
        graphLimitEdits_[i] = Named(new QLineEdit, i == 0 ? "graphTopEdit" : "graphBottomEdit");
        yLayout->addWidget(
            Named(new QLabel(limitCaptions[i]), i == 0 ? "graphTopCaption" : "graphBottomCaption"),
            2 + i, 1);
        yLayout->addWidget(graphLimitEdits_[i], 2 + i, 2);
        connect(graphLimitEdits_[i], &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);
    }
    yLayout->setColumnStretch(2, 1);
    graphLayout->addWidget(titleBox);
    graphLayout->addWidget(intervalBox);
    graphLayout->addWidget(yBox);
    connect(titleBox_, &QCheckBox::toggled, this, &SettingsDialog::MarkChanged);
    connect(titleEdit_, &QLineEdit::textChanged, this, &SettingsDialog::MarkChanged);
    // The title is one line of a report file: pasted line breaks become blanks.
    connect(titleEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString oneLine = OnOneLine(text);
        if (oneLine == text) return;
        const int cursor = titleEdit_->cursorPosition();
        titleEdit_->setText(oneLine);
        titleEdit_->setCursorPosition(qMin(cursor, int(oneLine.size())));
    });
    connect(overloadStopBox_, &QCheckBox::toggled, this, &SettingsDialog::MarkChanged);

    auto* stats = new QGroupBox("Function option");
    auto* statsLayout = new QHBoxLayout(stats);
    const char* statNames[3] = {"Max", "Min", "Avg"};
    const char* statObjectNames[3] = {"showMaxBox", "showMinBox", "showAvgBox"};
    for (int i = 0; i < 3; ++i) {
        statisticsBoxes_[i] = Named(new QCheckBox(statNames[i]), statObjectNames[i]);
        statsLayout->addWidget(statisticsBoxes_[i]);
    }

    auto* buttons = new QHBoxLayout;
    const char* buttonNames[3] = {"OK", "Cancel", "Default"};
    const char* buttonObjectNames[3] = {"okButton", "cancelButton", "defaultButton"};
    QPushButton* button[3];
    for (int i = 0; i < 3; ++i) {
        button[i] = Named(new QPushButton(buttonNames[i]), buttonObjectNames[i]);
        button[i]->setAutoDefault(false);
        buttons->addWidget(button[i]);
    }
    connect(button[0], &QPushButton::clicked, this, &SettingsDialog::acceptSettings);
    connect(button[1], &QPushButton::clicked, this, &SettingsDialog::cancel);
    connect(button[2], &QPushButton::clicked, this, &SettingsDialog::restoreDefaults);

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

void SettingsDialog::FillPortList() {
    if (ports_.refresh) ports_.refresh();
    portBox_->clear();
    QStringList denied;
    for (int com = 1; com <= 256; ++com) {
        const QString device = ports_.device ? ports_.device(com) : QString();
        const bool permitted = device.isEmpty() || !ports_.canOpen || ports_.canOpen(device);
        if (!permitted) denied << device;
        portBox_->addItem(PortItemText(com, device, permitted));
    }
    portBox_->setCurrentIndex(-1);
    portNote_->setText(PortPermissionNote(denied));
    portNote_->setVisible(!denied.isEmpty());
}

void SettingsDialog::FillDrives() {
    QList<QStorageInfo> volumes;
    for (const QStorageInfo& v : QStorageInfo::mountedVolumes())
        if (v.isValid() && v.isReady()) volumes << v;
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo& a, const QStorageInfo& b) {
        return a.rootPath() < b.rootPath();
    });
    placingFolder_ = true;
    for (const QStorageInfo& v : volumes) {
        const QString name = v.displayName();
        driveBox_->addItem(name == v.rootPath() ? name : v.rootPath() + "  (" + name + ")",
                           v.rootPath());
    }
    placingFolder_ = false;
}

void SettingsDialog::driveChosen() {
    folderToShow_.clear();
    keepFolderInView_ = false;
    const QString root = driveBox_->currentData().toString();
    if (root.isEmpty()) return;
    folderTree_->setRootIndex(dirModel_->setRootPath(root));
    folderLabel_->setText(WithSlash(root));
}

void SettingsDialog::folderChosen() {
    folderToShow_.clear();  // the user's own choice stands
    keepFolderInView_ = false;
    const QModelIndex index = folderTree_->currentIndex();
    if (!index.isValid()) return;
    folderLabel_->setText(WithSlash(dirModel_->filePath(index)));
}

void SettingsDialog::ShowFolder(const QString& path) {
    folderLabel_->setText(path);
    // Point the drive list and the tree at the folder, without touching the label.
    placingFolder_ = true;
    int best = -1;
    int bestLength = -1;
    const QString clean = QDir::cleanPath(path);
    for (int i = 0; i < driveBox_->count(); ++i) {
        const QString root = driveBox_->itemData(i).toString();
        const bool within = clean == QDir::cleanPath(root) || clean.startsWith(WithSlash(root));
        if (within && root.size() > bestLength) {
            best = i;
            bestLength = int(root.size());
        }
    }
    if (best >= 0) {
        driveBox_->setCurrentIndex(best);
        folderTree_->setRootIndex(dirModel_->setRootPath(driveBox_->itemData(best).toString()));
    }
    placingFolder_ = false;
    folderToShow_ = best >= 0 && QDir(clean).exists() ? clean : QString();
    OpenFolderInTree();
}

void SettingsDialog::OpenFolderInTree() {
    if (folderToShow_.isEmpty()) return;
    const QModelIndex index = dirModel_->index(folderToShow_);
    if (!index.isValid()) return;
    placingFolder_ = true;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) folderTree_->expand(up);
    folderTree_->expand(index);
    folderTree_->setCurrentIndex(index);
    folderTree_->scrollTo(index);
    keepFolderInView_ = true;
    placingFolder_ = false;
}

void SettingsDialog::SelectFormat(QListWidget* list, const QString& format) {
    const auto found = list->findItems(format, Qt::MatchExactly);
    if (format.isEmpty() || found.isEmpty()) {
        list->setCurrentRow(-1);
        list->clearSelection();
        return;
    }
    list->setCurrentItem(found.first());
    list->scrollToItem(found.first(), QAbstractItemView::PositionAtTop);
}

void SettingsDialog::ShowPreview(int index) {
    const QListWidgetItem* item = formatLists_[index]->currentItem();
    if (!item) return;
    const QDateTime now = clock_.now();
    formatPreviews_[index]->setText(index == 0 ? FormatDate(now.date(), item->text())
                                               : FormatTime(now.time(), item->text()));
}

void SettingsDialog::EnableLimits(bool on) {
    for (int i = 0; i < 2; ++i) {
        limitBoxes_[i]->setEnabled(on);
        limitEdits_[i]->setEnabled(on);
    }
}

SettingsForm SettingsDialog::ReadForm() const {
    SettingsForm f;
    f.portOption = portModeButtons_[1]->isChecked() ? 1 : 0;
    f.comIndex = portBox_->currentIndex();
    const QListWidgetItem* date = formatLists_[0]->currentItem();
    const QListWidgetItem* time = formatLists_[1]->currentItem();
    f.dateFormat = date ? date->text() : QString();
    f.timeFormat = time ? time->text() : QString();
    f.savAuto = autoSaveBox_->isChecked();
    f.folder = folderLabel_->text();
    f.alarm = alarmBox_->isChecked();
    for (int i = 0; i < 2; ++i) {
        f.limitTicked[i] = limitBoxes_[i]->isChecked();
        f.limitText[i] = limitEdits_[i]->text();
        f.rangeText[i] = graphLimitEdits_[i]->text();
    }
    f.titleShown = titleBox_->isChecked();
    f.title = titleEdit_->text();
    f.minutes = intervalEdits_[0]->text();
    f.seconds = intervalEdits_[1]->text();
    f.olStop = overloadStopBox_->isChecked();
    f.keepRecording = keepRecording_->isChecked();
    f.rangeMode = 0;
    for (int i = 0; i < 3; ++i) {
        if (rangeModeButtons_[i]->isChecked()) f.rangeMode = i;
        f.stats[i] = statisticsBoxes_[i]->isChecked();
    }
    return f;
}

void SettingsDialog::ShowForm(const SettingsForm& f) {
    portModeButtons_[f.portOption == 0 ? 0 : 1]->setChecked(true);
    portBox_->setCurrentIndex(f.comIndex >= 0 && f.comIndex < portBox_->count() ? f.comIndex : -1);
    SelectFormat(formatLists_[0], f.dateFormat);
    SelectFormat(formatLists_[1], f.timeFormat);
    autoSaveBox_->setChecked(f.savAuto);
    ShowFolder(f.folder);
    alarmBox_->setChecked(f.alarm);
    EnableLimits(f.alarm);
    for (int i = 0; i < 2; ++i) {
        limitBoxes_[i]->setChecked(f.limitTicked[i]);
        limitEdits_[i]->setText(f.limitText[i]);
        graphLimitEdits_[i]->setText(f.rangeText[i]);
    }
    titleBox_->setChecked(f.titleShown);
    titleEdit_->setText(f.title);
    titleEdit_->setCursorPosition(0);  // a long title shows from its start
    intervalEdits_[0]->setText(f.minutes);
    intervalEdits_[1]->setText(f.seconds);
    overloadStopBox_->setChecked(f.olStop);
    keepRecording_->setChecked(f.keepRecording);
    rangeModeButtons_[qBound(0, f.rangeMode, 2)]->setChecked(true);
    for (int i = 0; i < 3; ++i) statisticsBoxes_[i]->setChecked(f.stats[i]);
}

void SettingsDialog::load() {
    ShowForm(SettingsForm{});  // the controls' design values
    settingsChanged_ = false;
    FillPortList();
    SettingsForm form = ReadForm();
    // A first run stores the defaults at once, as Default followed by OK would.
    const bool firstRun = LoadSettingsForm(form, session_, store_);
    ShowForm(form);
    if (firstRun) FinishOk();
    if (session_.rec.state != kRunViewingFile) applySettingsToWindow();
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The load usually runs before the dialog is shown, when the lists cannot scroll yet.
    for (QListWidget* list : formatLists_)
        if (QListWidgetItem* item = list->currentItem())
            list->scrollToItem(item, QAbstractItemView::PositionAtTop);
    if (folderTree_->currentIndex().isValid()) folderTree_->scrollTo(folderTree_->currentIndex());
}

IntervalTexts SettingsDialog::intervalTexts() const {
    return {intervalEdits_[0]->text(), intervalEdits_[1]->text()};
}

void SettingsDialog::applySettingsToWindow() {
    quillon::applySettingsToWindow(session_, intervalTexts());
}

void SettingsDialog::acceptSettings() {
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

void SettingsDialog::FinishOk() {
    if (session_.rec.state != kRunViewingFile) applySettingsToWindow();
    if (settingsChanged_) {
        Call(calls_.drawEmptyFrame);
        if (calls_.setPageBox) {
            calls_.setPageBox("0");
            calls_.setPageBox(QString::number(LastPage(session_)));
        }
        settingsChanged_ = false;
    }
    close();
}

void SettingsDialog::cancel() { close(); }

void SettingsDialog::restoreDefaults() {
    SettingsForm form = ReadForm();
    PressDefault(form, session_.settings);
    ShowForm(form);
}

void SettingsDialog::stepIntervalUp(int index) {
    if (index < 0 || index > 1) return;
    intervalEdits_[index]->setText(StepInterval(intervalEdits_[index]->text(), +1));
}

void SettingsDialog::stepIntervalDown(int index) {
    if (index < 0 || index > 1) return;
    intervalEdits_[index]->setText(StepInterval(intervalEdits_[index]->text(), -1));
}

}  // namespace quillon
