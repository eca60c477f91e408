#include "fmoder.h"

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

FmOder::FmOder(Schedule& schedule, QWidget* parent) : QDialog(parent), schedule_(schedule) {
    setObjectName("FmOder");
    setWindowTitle(Schedule::Caption());
    setModal(false);
    BuildControls();
}

void FmOder::BuildControls() {
    auto* choice = new QGroupBox;
    auto* choiceLayout = new QHBoxLayout(choice);
    option1_[1] = new QRadioButton("START ");
    option1_[0] = new QRadioButton("STOP");
    for (int i : {1, 0}) {
        option1_[i]->setObjectName(QString("Option1_%1").arg(i));
        choiceLayout->addWidget(option1_[i]);
    }
    choiceLayout->addStretch();
    connect(option1_[1], &QRadioButton::toggled, this, [this](bool on) {
        if (!showing_) schedule_.setStartSelected(on);
    });

    auto* grid = new QGridLayout;
    // Field column f sits at grid column: 1, 2, then 4, 5 (the "~" between).
    const int column[4] = {1, 2, 4, 5};
    const int headingIndex[4] = {0, 2, 4, 3};
    const char* headings[4] = {"Date", "Time", "Date", "Time"};
    const int hintIndex[4] = {0, 2, 1, 3};
    const char* designHints[4] = {"( MM/DD/YYYY)", "(AM/PM hh:mm:ss)", "( MM/DD/YYYY)",
                                  "(AM/PM hh:mm:ss)"};
    for (int f = 0; f < 4; ++f) {
        auto* heading = new QLabel(headings[f]);
        heading->setObjectName(QString("Label2_%1").arg(headingIndex[f]));
        grid->addWidget(heading, 0, column[f]);
        auto* hint = new QLabel(designHints[f]);
        hint->setObjectName(QString("Label3_%1").arg(hintIndex[f]));
        label3_[hintIndex[f]] = hint;
        grid->addWidget(hint, 1, column[f]);
    }
    for (int row = 0; row < 5; ++row) {
        check1_[row] = new QCheckBox(QString("%1.").arg(row + 1));
        check1_[row]->setObjectName(QString("Check1_%1").arg(row));
        grid->addWidget(check1_[row], row + 2, 0);
        connect(check1_[row], &QCheckBox::clicked, this, [this, row](bool on) {
            schedule_.Check1_Click(row, on);
            ShowModel();
        });
        auto* tilde = new QLabel("~");
        tilde->setAlignment(Qt::AlignCenter);
        tilde->setObjectName(QString("Label1_%1").arg(row));
        grid->addWidget(tilde, row + 2, 3);
        for (int f = 0; f < 4; ++f) {
            auto* edit = new QLineEdit;
            edit->setObjectName(QString("Text%1_%2").arg(row + 1).arg(f));
            text_[row][f] = edit;
            grid->addWidget(edit, row + 2, column[f]);
            connect(edit, &QLineEdit::textChanged, this,
                    [this, row, f](const QString& text) { FieldEdited(row, f, text); });
            connect(edit, &QLineEdit::returnPressed, this, [this, row, f] { FieldEnter(row, f); });
        }
    }

    auto* buttons = new QHBoxLayout;
    const char* names[3] = {"Save", "Close", "Clear"};
    QPushButton* button[3];
    for (int i = 0; i < 3; ++i) {
        button[i] = new QPushButton(names[i]);
        button[i]->setObjectName(QString("Command%1").arg(i + 1));
        // Enter belongs to the fields (it moves to the next one), never to a button.
        button[i]->setAutoDefault(false);
        buttons->addWidget(button[i]);
    }
    connect(button[0], &QPushButton::clicked, this, &FmOder::Command1_Click);
    connect(button[1], &QPushButton::clicked, this, &FmOder::Command2_Click);
    connect(button[2], &QPushButton::clicked, this, &FmOder::Command3_Click);

    auto* top = new QVBoxLayout(this);
    top->addWidget(choice);
    top->addLayout(grid);
    top->addSpacing(6);
    top->addLayout(buttons);
}

void FmOder::ShowModel() {
    const ScheduleForm& form = schedule_.form();
    showing_ = true;
    option1_[form.start ? 1 : 0]->setChecked(true);
    for (int i = 0; i < 4; ++i) label3_[i]->setText(form.hints[i]);
    for (int row = 0; row < 5; ++row) {
        check1_[row]->setChecked(form.ticked[row]);
        for (int f = 0; f < 4; ++f)
            if (text_[row][f]->text() != form.fields[row][f])
                text_[row][f]->setText(form.fields[row][f]);
    }
    showing_ = false;
    if (const auto focus = schedule_.takeFocusRequest()) {
        QLineEdit* edit = text_[focus->row][focus->field];
        edit->setFocus();
        edit->selectAll();
    }
}

void FmOder::FieldEdited(int row, int field, const QString& text) {
    if (showing_) return;
    schedule_.Text_Change(row, field, text);
    ShowModel();
}

void FmOder::FieldEnter(int row, int field) {
    if (field < 3) text_[row][field + 1]->setFocus();
}

void FmOder::Form_Load() {
    schedule_.Form_Load();
    ShowModel();
}

void FmOder::Command1_Click() {
    schedule_.Command1_Click();
    ShowModel();
}

void FmOder::Command2_Click() { close(); }

void FmOder::Command3_Click() {
    schedule_.Command3_Click();
    ShowModel();
}

}  // namespace quillon
