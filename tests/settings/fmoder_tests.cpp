#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

#include "fmoder.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

struct OderRig {
    OderRig()
        : clock(QDateTime(QDate(2024, 6, 1), QTime(8, 0, 0))),
          schedule(session, fresh.store(), clock, boxes),
          dialog(schedule) {
        dialog.Form_Load();
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
    }
    QLineEdit* edit(int row, int field) {
        return dialog.findChild<QLineEdit*>(QString("Text%1_%2").arg(row + 1).arg(field));
    }
    QCheckBox* tick(int row) { return dialog.findChild<QCheckBox*>(QString("Check1_%1").arg(row)); }
    void fill(int row, const QStringList& texts) {
        for (int f = 0; f < 4; ++f) edit(row, f)->setText(texts[f]);
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    Schedule schedule;
    FmOder dialog;
};

TEST(FmOder, EnterMovesAlongTheRowOnly) {
    OderRig rig;
    rig.edit(1, 0)->setFocus();
    for (int field = 0; field < 3; ++field) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(rig.edit(1, field), &enter);
        EXPECT_TRUE(rig.edit(1, field + 1)->hasFocus()) << field;
    }
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(rig.edit(1, 3), &enter);
    EXPECT_TRUE(rig.edit(1, 3)->hasFocus());
    EXPECT_TRUE(rig.boxes.shown.isEmpty());  // Enter never saves
}

TEST(FmOder, RefusedSaveUnticksAndSelectsTheRowsFirstField) {
    OderRig rig;
    rig.fill(0, {"06/01/2024", "AM 09:00:00", "06/01/2024", "AM 10:00:00"});
    rig.tick(0)->click();
    rig.fill(1, {"06/01/2024", "AM 09:30:00", "06/01/2024", "AM 11:00:00"});
    rig.tick(1)->click();
    EXPECT_TRUE(rig.tick(1)->isChecked());
    rig.dialog.findChild<QRadioButton*>("Option1_1")->setChecked(true);
    rig.dialog.findChild<QAbstractButton*>("Command1")->click();
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, Schedule::InputErrorMessage());
    EXPECT_FALSE(rig.tick(1)->isChecked());
    EXPECT_TRUE(rig.tick(0)->isChecked());
    EXPECT_TRUE(rig.edit(1, 0)->hasFocus());
    EXPECT_EQ(rig.edit(1, 0)->selectedText(), "06/01/2024");

    rig.edit(0, 1)->setText("AM 09:00:01");  // typing unticks its row
    EXPECT_FALSE(rig.tick(0)->isChecked());
}

}  // namespace
}  // namespace quillon
