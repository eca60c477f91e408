#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTreeView>

#include "schedule_dialog.h"
#include "settings_dialog.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

// The dialog over a store a first load filled with defaults; `shown` opens it once more.
struct SetupRig {
    explicit SetupRig(bool shown = true, PortChoice ports = {})
        : dialog(session, fresh.store(), clock, boxes,
                 {[this] { ++redraws; }, [this](const QString& t) { pageBoxes << t; }},
                 std::move(ports)) {
        dialog.load();
        if (shown) reopen();
    }
    template <typename W = QLineEdit>
    W* get(const char* name) {
        W* w = dialog.findChild<W*>(name);
        EXPECT_TRUE(w) << name;
        return w;
    }
    QString text(const char* name) { return get(name)->text(); }
    QString label(const char* name) { return get<QLabel>(name)->text(); }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void reopen() {
        dialog.show();
        dialog.load();
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    int redraws = 0;
    QStringList pageBoxes;
    SettingsDialog dialog;
};

// A format loaded before showing is scrolled into view; Default then Cancel is memory only.
TEST(SettingsDialog, FirstLoadStoresDefaultsAndShowsThemNextTime) {
    SetupRig rig(false);
    EXPECT_EQ(rig.fresh.stored("Fdt_0"), "yyyy/mm/dd");
    rig.fresh.store().WriteSetting("Fdt_0", "yy mm dd");
    rig.fresh.store().WriteSetting("Graph_txt", "kept");
    rig.dialog.load();
    rig.dialog.show();
    EXPECT_EQ(rig.get<QComboBox>("portBox")->count(), 256);  // filled afresh by each load
    EXPECT_EQ(rig.get<QComboBox>("portBox")->currentIndex(), -1);
    EXPECT_EQ(rig.label("timePreview"), "14:25:00");  // preview of the clock's time
    EXPECT_EQ(rig.label("folderLabel"), QDir::homePath() + "/Data/");
    EXPECT_EQ(rig.text("graphBottomEdit"), "-4");
    auto* list = rig.get<QListWidget>("dateFormatList");
    EXPECT_EQ(list->currentItem()->text(), "yy mm dd");
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), list->currentRow());
    rig.click("defaultButton");
    EXPECT_EQ(rig.text("titleEdit"), "");
    rig.click("cancelButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    const Settings& s = rig.session.settings;
    EXPECT_EQ(s.dateTimeFormats[0] + s.dateTimeFormats[1] + s.graphTitle, "yyyy/mm/ddHH:nn:sskept");
    EXPECT_EQ(rig.fresh.stored("Fdt_0"), "yy mm dd");
}

// The step buttons wrap within their box; a typed interval is stored and captioned as typed.
TEST(SettingsDialog, IntervalAlarmCaptionsAndRangeLimits) {
    SetupRig rig;
    rig.get<QCheckBox>("alarmBox")->setChecked(true);
    rig.get<QCheckBox>("highLimitBox")->setChecked(true);  // only "Hi": both captions show
    rig.get("highLimitEdit")->setText("5");
    rig.get("lowLimitEdit")->setText("1");
    rig.get("minutesEdit")->setText("59");
    rig.click("minutesUpButton");
    EXPECT_EQ(rig.text("minutesEdit"), "00");
    rig.get("secondsEdit")->setText("00");
    rig.click("secondsDownButton");
    EXPECT_EQ(rig.text("minutesEdit") + ":" + rig.text("secondsEdit"), "00:59");  // no carry
    rig.get("minutesEdit")->setText("5");
    rig.get("secondsEdit")->setText("7");
    rig.click("okButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.session.settings.recordIntervalMs, 307000);
    EXPECT_EQ(rig.fresh.stored("IntTime"), "307000");
    EXPECT_EQ(rig.session.readout.limitCaption, (std::array<QString, 3>{"5", "1", "5:7"}));
    rig.reopen();
    EXPECT_EQ(rig.text("minutesEdit") + ":" + rig.text("secondsEdit"), "05:07");
    rig.get<QRadioButton>("fixedRangeButton")->setChecked(true);
    rig.get("graphTopEdit")->setText("10");
    rig.get("graphBottomEdit")->setText("ten below");
    rig.click("okButton");
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, RangeLimitsMessage());
    EXPECT_TRUE(rig.dialog.isVisible());
    EXPECT_EQ(rig.fresh.stored("Graph_range"), "0");
    rig.get("graphBottomEdit")->setText("-2.5");
    rig.click("okButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.fresh.stored("Graph_range Tick_UP Tick_Dn"), "2 10 -2.5");
    rig.reopen();
    EXPECT_TRUE(rig.get<QRadioButton>("fixedRangeButton")->isChecked());
    EXPECT_EQ(rig.text("graphTopEdit") + " " + rig.text("graphBottomEdit"), "10 -2.5");
    // Meter Range stores the limits in memory (as the graph scaling left them), not the typed.
    rig.session.settings.graphTop = 3.25f;
    rig.session.settings.graphBottom = -1;
    rig.get<QRadioButton>("meterRangeButton")->setChecked(true);
    rig.get("graphTopEdit")->setText("99");
    rig.click("okButton");
    EXPECT_EQ(rig.fresh.stored("Graph_range Tick_UP Tick_Dn"), "1 3.25 -1");
}

TEST(SettingsDialog, OnlyGraphChangesRedrawTheGraphAndItsLastPage) {
    SetupRig rig(false);
    rig.redraws = 0;
    rig.pageBoxes.clear();
    rig.session.table.setRows(252);  // 250 records: pages of 100
    rig.session.stats.maxRow = {"1.0", "V", "10:00:00"};
    rig.reopen();
    rig.get<QCheckBox>("showMaxBox")->setChecked(false);  // not a graph setting
    rig.click("okButton");
    EXPECT_EQ(rig.redraws, 0);
    EXPECT_EQ(rig.session.stats.maxRow, (std::array<QString, 3>{}));
    rig.reopen();
    rig.get("titleEdit")->setText("Bench 3");
    rig.click("okButton");
    EXPECT_EQ(rig.redraws, 1);
    EXPECT_EQ(rig.pageBoxes, QStringList({"0", "3"}));
    EXPECT_EQ(rig.fresh.stored("Mav Graph_txt"), "011 Bench 3");
}

// OK stores greyed alarm limits, a pasted title, a tree folder and keep-recording.
TEST(SettingsDialog, OkStoresWhatWasSet) {
    SetupRig rig;
    rig.get<QCheckBox>("alarmBox")->setChecked(true);
    rig.get<QCheckBox>("highLimitBox")->setChecked(true);
    rig.get("highLimitEdit")->setText("5");
    rig.get("lowLimitEdit")->setText("1");
    rig.get<QCheckBox>("alarmBox")->setChecked(false);
    EXPECT_FALSE(rig.get<QCheckBox>("highLimitBox")->isEnabled());
    EXPECT_FALSE(rig.get("lowLimitEdit")->isEnabled());
    QLineEdit* title = rig.get("titleEdit");
    title->clear();
    title->insert("line1\nline2");  // what a paste does
    title->insert("\r\nend");
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir(tmp.path()).mkpath("Logs"));
    auto* tree = rig.get<QTreeView>("folderTree");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    tree->setCurrentIndex(model->index(tmp.path() + "/Logs"));
    EXPECT_EQ(rig.label("folderLabel"), tmp.path() + "/Logs/");
    tree->setCurrentIndex(model->index("/"));
    auto* keep = rig.get<QCheckBox>("keepRecording");
    EXPECT_EQ(keep->text(), "Keep recording when the meter returns");
    EXPECT_FALSE(keep->isChecked());
    keep->setChecked(true);
    rig.click("okButton");
    EXPECT_EQ(rig.fresh.stored("T1_beep limit_selet limit_txt_0 limit_txt_1 Sav_Drv keepRecording"),
              "0 1 5 1 / 1");
    EXPECT_EQ(rig.fresh.stored("Graph_txt"), "line1 line2 end");
    EXPECT_EQ(rig.session.readout.limitCaption[0], "");  // captions only with the alarm on
    EXPECT_EQ(rig.session.settings.keepRecording, 1);
    rig.reopen();
    EXPECT_TRUE(keep->isChecked());
    rig.click("defaultButton");
    EXPECT_FALSE(keep->isChecked());
}

TEST(SettingsDialog, PortListNamesDevicesAndExplainsMissingPermission) {
    PortChoice ports;
    ports.device = [](int com) { return com == 2 ? QString("/dev/ttyUSB0") : QString(); };
    ports.canOpen = [](const QString&) { return false; };
    SetupRig rig(false, ports);
    auto* combo = rig.get<QComboBox>("portBox");
    EXPECT_EQ(combo->itemText(0) + "," + combo->itemText(1),
              "COM1,COM2  /dev/ttyUSB0 (no permission)");
    const QString note = rig.label("portNote");
    EXPECT_TRUE(note.contains("dialout") && note.contains("/dev/ttyUSB0")) << note.toStdString();
}

struct ScheduleRig {
    ScheduleRig()
        : clock(QDateTime(QDate(2024, 6, 1), QTime(8, 0))),
          schedule(session, fresh.store(), clock, boxes) {
        dialog.load();
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
    }
    QLineEdit* edit(int row, int field) {
        const char* names[] = {"StartDate", "StartTime", "StopDate", "StopTime"};
        return dialog.findChild<QLineEdit*>(QString("entry%1%2").arg(row + 1).arg(names[field]));
    }
    QCheckBox* tick(int row) {
        return dialog.findChild<QCheckBox*>(QString("entry%1Box").arg(row + 1));
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    Schedule schedule;
    ScheduleDialog dialog{schedule};
};

// Enter moves along the row only and never saves; a refused Save unticks the row and selects
// its first field; typing unticks a row.
TEST(ScheduleDialog, EnterAndRefusedSave) {
    ScheduleRig rig;
    rig.edit(1, 0)->setFocus();
    for (int field = 0; field < 4; ++field) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(rig.edit(1, field), &enter);
        EXPECT_TRUE(rig.edit(1, std::min(field + 1, 3))->hasFocus()) << field;
    }
    EXPECT_TRUE(rig.boxes.shown.isEmpty());
    const char* starts[] = {"AM 09:00:00", "AM 09:30:00"};
    for (int row = 0; row < 2; ++row) {
        for (int f = 0; f < 4; ++f) rig.edit(row, f)->setText(f % 2 ? starts[row] : "06/01/2024");
        rig.edit(row, 3)->setText("AM 11:00:00");
        rig.tick(row)->click();
        EXPECT_TRUE(rig.tick(row)->isChecked());
    }
    rig.dialog.findChild<QRadioButton*>("startAtButton")->setChecked(true);
    rig.dialog.findChild<QAbstractButton*>("saveButton")->click();
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, Schedule::InputErrorMessage());
    EXPECT_FALSE(rig.tick(1)->isChecked());
    EXPECT_TRUE(rig.tick(0)->isChecked());
    EXPECT_TRUE(rig.edit(1, 0)->hasFocus());
    EXPECT_EQ(rig.edit(1, 0)->selectedText(), "06/01/2024");
    rig.edit(0, 1)->setText("AM 09:00:01");
    EXPECT_FALSE(rig.tick(0)->isChecked());
}

}  // namespace
}  // namespace quillon
