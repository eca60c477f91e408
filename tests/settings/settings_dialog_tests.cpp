#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileSystemModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "schedule_dialog.h"
#include "settings_dialog.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

// The settings dialog over a fresh store that a first load has filled with the defaults;
// `shown` opens it once more, as the user sees it.
struct SetupRig {
    explicit SetupRig(bool shown = true, PortChoice ports = {})
        : dialog(session, fresh.store(), clock, boxes, Calls(), std::move(ports)) {
        dialog.load();
        if (shown) reopen();
    }
    SettingsDialog::GraphCalls Calls() {
        return {[this] { ++redraws; }, [this](const QString& t) { pageBoxes << t; }};
    }
    template <typename W>
    W* get(const char* name) {
        W* w = dialog.findChild<W*>(name);
        EXPECT_TRUE(w) << name;
        return w;
    }
    QLineEdit* edit(const char* name) { return get<QLineEdit>(name); }
    void click(const char* name) { get<QAbstractButton>(name)->click(); }
    void reopen() {
        dialog.show();
        dialog.load();
    }
    QString stored(const char* key) { return fresh.reopen()->ReadSetting(key, "absent"); }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    int redraws = 0;
    QStringList pageBoxes;
    SettingsDialog dialog;
};

TEST(SettingsDialog, FirstLoadStoresDefaultsAndShowsThemNextTime) {
    SetupRig rig(false);
    EXPECT_EQ(rig.stored("Fdt_0"), "yyyy/mm/dd");
    rig.reopen();
    EXPECT_EQ(rig.get<QComboBox>("portBox")->count(), 256);
    EXPECT_EQ(rig.get<QComboBox>("portBox")->currentIndex(), -1);
    EXPECT_EQ(rig.get<QListWidget>("dateFormatList")->currentItem()->text(), "yyyy/mm/dd");
    EXPECT_EQ(rig.get<QLabel>("timePreview")->text(), "14:25:00");  // preview of the clock's time
    EXPECT_EQ(rig.get<QLabel>("folderLabel")->text(), QDir::homePath() + "/Data/");
    EXPECT_EQ(rig.edit("graphBottomEdit")->text(), "-4");
}

// The step buttons wrap within their box; a typed interval is stored and captioned as typed.
TEST(SettingsDialog, Interval) {
    SetupRig rig;
    rig.edit("minutesEdit")->setText("59");
    rig.click("minutesUpButton");
    EXPECT_EQ(rig.edit("minutesEdit")->text(), "00");
    rig.edit("secondsEdit")->setText("00");
    rig.click("secondsDownButton");
    EXPECT_EQ(rig.edit("secondsEdit")->text(), "59");
    EXPECT_EQ(rig.edit("minutesEdit")->text(), "00");  // seconds never carry into minutes

    rig.edit("minutesEdit")->setText("5");
    rig.edit("secondsEdit")->setText("7");
    rig.click("okButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.session.settings.recordIntervalMs, 307000);
    EXPECT_EQ(rig.stored("IntTime"), "307000");
    EXPECT_EQ(rig.session.readout.limitCaption[2], "5:7");
    rig.reopen();
    EXPECT_EQ(rig.edit("minutesEdit")->text(), "05");
    EXPECT_EQ(rig.edit("secondsEdit")->text(), "07");
}

TEST(SettingsDialog, RangeLimits) {
    SetupRig rig;
    rig.get<QRadioButton>("fixedRangeButton")->setChecked(true);
    rig.edit("graphTopEdit")->setText("10");
    rig.edit("graphBottomEdit")->setText("ten below");
    rig.click("okButton");
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, RangeLimitsMessage());
    EXPECT_TRUE(rig.dialog.isVisible());
    EXPECT_EQ(rig.stored("Graph_range"), "0");

    rig.edit("graphBottomEdit")->setText("-2.5");
    rig.click("okButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.stored("Tick_UP"), "10");
    EXPECT_EQ(rig.stored("Tick_Dn"), "-2.5");
    rig.reopen();
    EXPECT_TRUE(rig.get<QRadioButton>("fixedRangeButton")->isChecked());
    EXPECT_EQ(rig.edit("graphTopEdit")->text(), "10");
    EXPECT_EQ(rig.edit("graphBottomEdit")->text(), "-2.5");

    // Meter Range stores the limits in memory, not the typed ones.
    rig.session.settings.graphTop = 3.25f;  // as the graph scaling left them
    rig.session.settings.graphBottom = -1;
    rig.get<QRadioButton>("meterRangeButton")->setChecked(true);
    rig.edit("graphTopEdit")->setText("99");
    rig.click("okButton");
    EXPECT_EQ(rig.stored("Graph_range"), "1");
    EXPECT_EQ(rig.stored("Tick_UP"), "3.25");
    EXPECT_EQ(rig.stored("Tick_Dn"), "-1");
}

TEST(SettingsDialog, OnlyGraphChangesRedrawTheGraphAndItsLastPage) {
    SetupRig rig(false);
    rig.redraws = 0;
    rig.pageBoxes.clear();
    rig.session.table.setRows(252);  // 250 records: pages of 100
    rig.reopen();
    rig.get<QCheckBox>("showMaxBox")->setChecked(false);  // not a graph setting
    rig.click("okButton");
    EXPECT_EQ(rig.redraws, 0);
    EXPECT_EQ(rig.stored("Mav"), "011");

    rig.reopen();
    rig.edit("titleEdit")->setText("Bench 3");
    rig.click("okButton");
    EXPECT_EQ(rig.redraws, 1);
    EXPECT_EQ(rig.pageBoxes, QStringList({"0", "3"}));
    EXPECT_EQ(rig.stored("Graph_txt"), "Bench 3");
}

TEST(SettingsDialog, DefaultThenCancelKeepsDefaultFormatsInMemoryOnly) {
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Fdt_0", "dd/mm/yy");
    rig.fresh.store().WriteSetting("Fdt_1", "AM/PM h:nn:ss");
    rig.fresh.store().WriteSetting("Graph_txt", "kept");
    rig.reopen();
    EXPECT_EQ(rig.get<QListWidget>("dateFormatList")->currentItem()->text(), "dd/mm/yy");
    rig.click("defaultButton");
    EXPECT_EQ(rig.edit("titleEdit")->text(), "");
    rig.click("cancelButton");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.session.settings.dateTimeFormats[0], "yyyy/mm/dd");
    EXPECT_EQ(rig.session.settings.dateTimeFormats[1], "HH:nn:ss");
    EXPECT_EQ(rig.session.settings.graphTitle, "kept");
    EXPECT_EQ(rig.stored("Fdt_0"), "dd/mm/yy");
}

// What is set in the dialog is stored on OK: the alarm limits even with the alarm off (greyed),
// a pasted title with blanks for its line breaks, a folder from the tree with one slash, and
// keep-recording, which Default turns off again.
TEST(SettingsDialog, OkStoresWhatWasSet) {
    SetupRig rig;
    rig.get<QCheckBox>("alarmBox")->setChecked(true);
    rig.get<QCheckBox>("highLimitBox")->setChecked(true);
    rig.edit("highLimitEdit")->setText("5");
    rig.edit("lowLimitEdit")->setText("1");
    rig.get<QCheckBox>("alarmBox")->setChecked(false);
    EXPECT_FALSE(rig.get<QCheckBox>("highLimitBox")->isEnabled());
    EXPECT_FALSE(rig.edit("lowLimitEdit")->isEnabled());
    QLineEdit* title = rig.edit("titleEdit");
    title->clear();
    title->insert("line1\nline2");  // what a paste does
    EXPECT_EQ(title->text(), "line1 line2");
    title->insert("\r\nend");
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir(tmp.path()).mkpath("Logs"));
    auto* tree = rig.get<QTreeView>("folderTree");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_TRUE(model);
    tree->setCurrentIndex(model->index(tmp.path() + "/Logs"));
    EXPECT_EQ(rig.get<QLabel>("folderLabel")->text(), tmp.path() + "/Logs/");
    tree->setCurrentIndex(model->index("/"));
    EXPECT_EQ(rig.get<QLabel>("folderLabel")->text(), "/");
    auto* keep = rig.get<QCheckBox>("keepRecording");
    EXPECT_EQ(keep->text(), "Keep recording when the meter returns");
    EXPECT_FALSE(keep->isChecked());
    keep->setChecked(true);
    rig.click("okButton");
    const std::pair<const char*, const char*> stored[] = {
        {"T1_beep", "0"},      {"limit_selet", "1"}, {"limit_txt_0", "5"},
        {"limit_txt_1", "1"},  {"Sav_Drv", "/"},     {"Graph_txt", "line1 line2 end"},
        {"keepRecording", "1"}};
    for (const auto& [key, value] : stored) EXPECT_EQ(rig.stored(key), value) << key;
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
    EXPECT_EQ(combo->itemText(0), "COM1");
    EXPECT_EQ(combo->itemText(1), "COM2  /dev/ttyUSB0 (no permission)");
    const QString note = rig.get<QLabel>("portNote")->text();
    EXPECT_TRUE(note.contains("dialout"));
    EXPECT_TRUE(note.contains("/dev/ttyUSB0"));
}

TEST(SettingsDialog, FormatsLoadedBeforeShowingAreAtTheTopOrTheDefaults) {
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Fdt_0", "yy mm dd");
    rig.dialog.load();  // as the main window does: load, then show
    rig.dialog.show();
    auto* list = rig.get<QListWidget>("dateFormatList");
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), list->currentRow());
    EXPECT_GT(list->currentRow(), 0);
    rig.fresh.store().WriteSetting("Fdt_0", "dd.mm.yyyy");  // unlisted
    rig.fresh.store().WriteSetting("Fdt_1", "");
    rig.reopen();
    EXPECT_EQ(list->currentItem()->text(), "yyyy/mm/dd");
    EXPECT_EQ(rig.get<QListWidget>("timeFormatList")->currentItem()->text(), "HH:nn:ss");
}

TEST(SettingsDialog, LongFolderPathDoesNotWidenTheDialog) {
    SetupRig rig;
    const int usual = rig.dialog.minimumSizeHint().width();
    rig.fresh.store().WriteSetting("Sav_Drv", "/srv/" + QString("measurements/").repeated(30));
    rig.dialog.load();
    QCoreApplication::processEvents();  // the layouts take the new label size
    EXPECT_EQ(rig.dialog.minimumSizeHint().width(), usual);
    EXPECT_EQ(rig.get<QLabel>("folderLabel")->text(),
              "/srv/" + QString("measurements/").repeated(30));
}

// The folder tree reads folders in the background; it still opens at the saved folder.
TEST(SettingsDialog, FolderTreeOpensAtTheSavedFolder) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/runs/2026/oven";
    ASSERT_TRUE(QDir().mkpath(folder));
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Sav_Drv", folder + "/");
    rig.reopen();
    auto* tree = rig.get<QTreeView>("folderTree");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_TRUE(model);
    const auto opened = [&] {
        const QModelIndex current = tree->currentIndex();
        if (!current.isValid() || model->filePath(current) != folder) return false;
        for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
            if (!tree->isExpanded(up)) return false;
        // In view, not only selected somewhere below.
        return tree->isExpanded(current) &&
               tree->viewport()->rect().contains(tree->visualRect(current).center());
    };
    EXPECT_TRUE(QTest::qWaitFor(opened, 5000));
    QTest::qWait(300);  // folders still being read do not move it away
    EXPECT_TRUE(opened());
    EXPECT_EQ(rig.get<QLabel>("folderLabel")->text(), folder + "/");
}

struct ScheduleRig {
    ScheduleRig()
        : clock(QDateTime(QDate(2024, 6, 1), QTime(8, 0, 0))),
          schedule(session, fresh.store(), clock, boxes),
          dialog(schedule) {
        dialog.load();
        dialog.show();
        dialog.activateWindow();
        QApplication::processEvents();
    }
    QLineEdit* edit(int row, int field) {
        return dialog.findChild<QLineEdit*>(
            QString("entry%1%2")
                .arg(row + 1)
                .arg(std::array<const char*, 4>{"StartDate", "StartTime", "StopDate",
                                                "StopTime"}[field]));
    }
    QCheckBox* tick(int row) {
        return dialog.findChild<QCheckBox*>(QString("entry%1Box").arg(row + 1));
    }
    void fill(int row, const QStringList& texts) {
        for (int f = 0; f < 4; ++f) edit(row, f)->setText(texts[f]);
    }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    Schedule schedule;
    ScheduleDialog dialog;
};

TEST(ScheduleDialog, EnterMovesAlongTheRowOnly) {
    ScheduleRig rig;
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

TEST(ScheduleDialog, RefusedSaveUnticksAndSelectsTheRowsFirstField) {
    ScheduleRig rig;
    rig.fill(0, {"06/01/2024", "AM 09:00:00", "06/01/2024", "AM 10:00:00"});
    rig.tick(0)->click();
    rig.fill(1, {"06/01/2024", "AM 09:30:00", "06/01/2024", "AM 11:00:00"});
    rig.tick(1)->click();
    EXPECT_TRUE(rig.tick(1)->isChecked());
    rig.dialog.findChild<QRadioButton*>("startAtButton")->setChecked(true);
    rig.dialog.findChild<QAbstractButton*>("saveButton")->click();
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
