#include "schedule_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quillon {

namespace {

// The fields of an entry, in object names ("entry1StartDate", ...).
const char* const kFieldNames[4] = {"StartDate", "StartTime", "StopDate", "StopTime"};

}  // namespace

ScheduleDialog::ScheduleDialog(Schedule& schedule, QWidget* parent)
    : QDialog(parent), schedule_(schedule) {
    setObjectName("scheduleDialog");
    setWindowTitle(Schedule::Caption());
    setModal(false);
    BuildControls();
}

void ScheduleDialog::BuildControls() {
    auto* choice = new QGroupBox;
    auto* choiceLayout = new QHBoxLayout(choice);
    startStopButtons_[1] = new QRadioButton("START ");
    startStopButtons_[0] = new QRadioButton("STOP");
    for (int i : {1, 0}) {
        startStopButtons_[i]->setObjectName(i == 0 ? "stopAfterButton" : "startAtButton");
        choiceLayout->addWidget(startStopButtons_[i]);
    }
    choiceLayout->addStretch();
    connect(startStopButtons_[1], &QRadioButton::toggled, this, [this](bool on) {
        if (!showing_) schedule_.setStartSelected(on);
    });

    auto* grid = new QGridLayout;
    // Field column f sits at grid column: 1, 2, then 4, 5 (the "~" between).
    const int column[4] = {1, 2, 4, 5};
    const char* headings[4] = {"Date", "Time", "Date", "Time"};
    const int hintIndex[4] = {0, 2, 1, 3};
    const char* designHints[4] = {"( MM/DD/YYYY)", "(AM/PM hh:mm:ss)", "( MM/DD/YYYY)",
                                  "(AM/PM hh:mm:ss)"};
    for (int f = 0; f < 4; ++f) {
        auto* heading = new QLabel(headings[f]);
        heading->setObjectName(QString("heading%1").arg(kFieldNames[f]));
        grid->addWidget(heading, 0, column[f]);
        auto* hint = new QLabel(designHints[f]);
        hint->setObjectName(QString("hint%1").arg(kFieldNames[f]));
        hintLabels_[hintIndex[f]] = hint;
        grid->addWidget(hint, 1, column[f]);
    }
    for (int row = 0; row < 5; ++row) {
        entryBoxes_[row] = new QCheckBox(QString("%1.").arg(row + 1));
        entryBoxes_[row]->setObjectName(QString("entry%1Box").arg(row + 1));
        grid->addWidget(entryBoxes_[row], row + 2, 0);
        connect(entryBoxes_[row], &QCheckBox::clicked, this, [this, row](bool on) {
            schedule_.setEntryTicked(row, on);
            ShowModel();
        });
        auto* tilde = new QLabel("~");
        tilde->setAlignment(Qt::AlignCenter);
        tilde->setObjectName(QString("entry%1Tilde").arg(row + 1));
        grid->addWidget(tilde, row + 2, 3);
        for (int f = 0; f < 4; ++f) {
            auto* edit = new QLineEdit;
            edit->setObjectName(QString("entry%1%2").arg(row + 1).arg(kFieldNames[f]));
            entryEdits_[row][f] = edit;
            grid->addWidget(edit, row + 2, column[f]);
            connect(edit, &QLineEdit::textChanged, this,
                    [this, row, f](const QString& text) { FieldEdited(row, f, text); });
            connect(edit, &QLineEdit::returnPressed, this, [this, row, f] { FieldEnter(row, f); });
        }
    }

    auto* buttons = new QHBoxLayout;
    const char* names[3] = {"Save", "Close", "Clear"};
    const char* objectNames[3] = {"saveButton", "closeButton", "clearButton"};
    QPushButton* button[3];
    for (int i = 0; i < 3; ++i) {
        button[i] = new QPushButton(names[i]);
        button[i]->setObjectName(objectNames[i]);
        // Enter belongs to the fields (it moves to the next one), never to a button.
        button[i]->setAutoDefault(false);
        buttons->addWidget(button[i]);
    }
    connect(button[0], &QPushButton::clicked, this, &ScheduleDialog::saveSchedule);
    connect(button[1], &QPushButton::clicked, this, &ScheduleDialog::closeSchedule);
    connect(button[2], &QPushButton::clicked, this, &ScheduleDialog::clearSchedule);

    auto* top = new QVBoxLayout(this);
    top->addWidget(choice);
    top->addLayout(grid);
    top->addSpacing(6);
    top->addLayout(buttons);
}

void ScheduleDialog::ShowModel() {
    const ScheduleForm& form = schedule_.form();
    showing_ = true;
    startStopButtons_[form.start ? 1 : 0]->setChecked(true);
    for (int i = 0; i < 4; ++i) hintLabels_[i]->setText(form.hints[i]);
    for (int row = 0; row < 5; ++row) {
        entryBoxes_[row]->setChecked(form.ticked[row]);
        for (int f = 0; f < 4; ++f)
            if (entryEdits_[row][f]->text() != form.fields[row][f])
                entryEdits_[row][f]->setText(form.fields[row][f]);
    }
    showing_ = false;
    if (const auto focus = schedule_.takeFocusRequest()) {
        QLineEdit* edit = entryEdits_[focus->row][focus->field];
        edit->setFocus();
        edit->selectAll();
    }
}

void ScheduleDialog::FieldEdited(int row, int field, const QString& text) {
    if (showing_) return;
    schedule_.setEntryField(row, field, text);
    ShowModel();
}

void ScheduleDialog::FieldEnter(int row, int field) {
    if (field < 3) entryEdits_[row][field + 1]->setFocus();
}

void ScheduleDialog::load() {
    schedule_.load();
    ShowModel();
}

void ScheduleDialog::saveSchedule() {
    schedule_.save();
    ShowModel();
}

void ScheduleDialog::closeSchedule() { close(); }

void ScheduleDialog::clearSchedule() {
    schedule_.clear();
    ShowModel();
}

}  // namespace quillon
