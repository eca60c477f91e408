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

#include "fmoder.h"
#include "fmsetup.h"
#include "settings_test_support.h"

namespace quillon {
namespace {

// The settings dialog over a fresh store that a first load has filled with the defaults;
// `shown` opens it once more, as the user sees it.
struct SetupRig {
    explicit SetupRig(bool shown = true, PortChoice ports = {})
        : dialog(session, fresh.store(), clock, boxes, Calls(), std::move(ports)) {
        dialog.Form_Load();
        if (shown) reopen();
    }
    Fmsetup::MainWindowCalls Calls() {
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
        dialog.Form_Load();
    }
    QString stored(const char* key) { return fresh.reopen()->ReadSetting(key, "absent"); }

    test::FreshStore fresh;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes boxes;
    int redraws = 0;
    QStringList pageBoxes;
    Fmsetup dialog;
};

TEST(Fmsetup, FirstLoadStoresDefaultsAndShowsThemNextTime) {
    SetupRig rig(false);
    EXPECT_EQ(rig.stored("Fdt_0"), "yyyy/mm/dd");
    rig.reopen();
    EXPECT_EQ(rig.get<QComboBox>("Combo4")->count(), 256);
    EXPECT_EQ(rig.get<QComboBox>("Combo4")->currentIndex(), -1);
    EXPECT_EQ(rig.get<QListWidget>("List1_0")->currentItem()->text(), "yyyy/mm/dd");
    EXPECT_EQ(rig.get<QLabel>("Label1_1")->text(), "14:25:00");  // preview of the clock's time
    EXPECT_EQ(rig.get<QLabel>("Label4")->text(), QDir::homePath() + "/Data/");
    EXPECT_EQ(rig.edit("Text2_1")->text(), "-4");
}

// The step buttons wrap within their box; a typed interval is stored and captioned as typed.
TEST(Fmsetup, Interval) {
    SetupRig rig;
    rig.edit("Text4_0")->setText("59");
    rig.click("Command4_0");
    EXPECT_EQ(rig.edit("Text4_0")->text(), "00");
    rig.edit("Text4_1")->setText("00");
    rig.click("Command5_1");
    EXPECT_EQ(rig.edit("Text4_1")->text(), "59");
    EXPECT_EQ(rig.edit("Text4_0")->text(), "00");  // seconds never carry into minutes

    rig.edit("Text4_0")->setText("5");
    rig.edit("Text4_1")->setText("7");
    rig.click("Command1");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.session.settings.IntTime, 307000);
    EXPECT_EQ(rig.stored("IntTime"), "307000");
    EXPECT_EQ(rig.session.readout.limitCaption[2], "5:7");
    rig.reopen();
    EXPECT_EQ(rig.edit("Text4_0")->text(), "05");
    EXPECT_EQ(rig.edit("Text4_1")->text(), "07");
}

TEST(Fmsetup, RangeLimits) {
    SetupRig rig;
    rig.get<QRadioButton>("Option3_2")->setChecked(true);
    rig.edit("Text2_0")->setText("10");
    rig.edit("Text2_1")->setText("ten below");
    rig.click("Command1");
    ASSERT_EQ(rig.boxes.shown.size(), 1);
    EXPECT_EQ(rig.boxes.shown[0].text, RangeLimitsMessage());
    EXPECT_TRUE(rig.dialog.isVisible());
    EXPECT_EQ(rig.stored("Graph_range"), "0");

    rig.edit("Text2_1")->setText("-2.5");
    rig.click("Command1");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.stored("Tick_UP"), "10");
    EXPECT_EQ(rig.stored("Tick_Dn"), "-2.5");
    rig.reopen();
    EXPECT_TRUE(rig.get<QRadioButton>("Option3_2")->isChecked());
    EXPECT_EQ(rig.edit("Text2_0")->text(), "10");
    EXPECT_EQ(rig.edit("Text2_1")->text(), "-2.5");

    // Meter Range stores the limits in memory, not the typed ones.
    rig.session.settings.Tick_UP = 3.25f;  // as the graph scaling left them
    rig.session.settings.Tick_Dn = -1;
    rig.get<QRadioButton>("Option3_1")->setChecked(true);
    rig.edit("Text2_0")->setText("99");
    rig.click("Command1");
    EXPECT_EQ(rig.stored("Graph_range"), "1");
    EXPECT_EQ(rig.stored("Tick_UP"), "3.25");
    EXPECT_EQ(rig.stored("Tick_Dn"), "-1");
}

TEST(Fmsetup, OnlyGraphChangesRedrawTheGraphAndItsLastPage) {
    SetupRig rig(false);
    rig.redraws = 0;
    rig.pageBoxes.clear();
    rig.session.table.setRows(252);  // 250 records: pages of 100
    rig.reopen();
    rig.get<QCheckBox>("Check4_0")->setChecked(false);  // not a graph setting
    rig.click("Command1");
    EXPECT_EQ(rig.redraws, 0);
    EXPECT_EQ(rig.stored("Mav"), "011");

    rig.reopen();
    rig.edit("Text1")->setText("Bench 3");
    rig.click("Command1");
    EXPECT_EQ(rig.redraws, 1);
    EXPECT_EQ(rig.pageBoxes, QStringList({"0", "3"}));
    EXPECT_EQ(rig.stored("Graph_txt"), "Bench 3");
}

TEST(Fmsetup, DefaultThenCancelKeepsDefaultFormatsInMemoryOnly) {
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Fdt_0", "dd/mm/yy");
    rig.fresh.store().WriteSetting("Fdt_1", "AM/PM h:nn:ss");
    rig.fresh.store().WriteSetting("Graph_txt", "kept");
    rig.reopen();
    EXPECT_EQ(rig.get<QListWidget>("List1_0")->currentItem()->text(), "dd/mm/yy");
    rig.click("Command3");
    EXPECT_EQ(rig.edit("Text1")->text(), "");
    rig.click("Command2");
    EXPECT_FALSE(rig.dialog.isVisible());
    EXPECT_EQ(rig.session.settings.Fdt[0], "yyyy/mm/dd");
    EXPECT_EQ(rig.session.settings.Fdt[1], "HH:nn:ss");
    EXPECT_EQ(rig.session.settings.Graph_txt, "kept");
    EXPECT_EQ(rig.stored("Fdt_0"), "dd/mm/yy");
}

// What is set in the dialog is stored on OK: the alarm limits even with the alarm off (greyed),
// a pasted title with blanks for its line breaks, a folder from the tree with one slash, and
// keep-recording, which Default turns off again.
TEST(Fmsetup, OkStoresWhatWasSet) {
    SetupRig rig;
    rig.get<QCheckBox>("Check2")->setChecked(true);
    rig.get<QCheckBox>("Check1_0")->setChecked(true);
    rig.edit("Text3_0")->setText("5");
    rig.edit("Text3_1")->setText("1");
    rig.get<QCheckBox>("Check2")->setChecked(false);
    EXPECT_FALSE(rig.get<QCheckBox>("Check1_0")->isEnabled());
    EXPECT_FALSE(rig.edit("Text3_1")->isEnabled());
    QLineEdit* title = rig.edit("Text1");
    title->clear();
    title->insert("line1\nline2");  // what a paste does
    EXPECT_EQ(title->text(), "line1 line2");
    title->insert("\r\nend");
    QTemporaryDir tmp;
    ASSERT_TRUE(QDir(tmp.path()).mkpath("Logs"));
    auto* tree = rig.get<QTreeView>("Dir1");
    auto* model = qobject_cast<QFileSystemModel*>(tree->model());
    ASSERT_TRUE(model);
    tree->setCurrentIndex(model->index(tmp.path() + "/Logs"));
    EXPECT_EQ(rig.get<QLabel>("Label4")->text(), tmp.path() + "/Logs/");
    tree->setCurrentIndex(model->index("/"));
    EXPECT_EQ(rig.get<QLabel>("Label4")->text(), "/");
    auto* keep = rig.get<QCheckBox>("keepRecording");
    EXPECT_EQ(keep->text(), "Keep recording when the meter returns");
    EXPECT_FALSE(keep->isChecked());
    keep->setChecked(true);
    rig.click("Command1");
    const std::pair<const char*, const char*> stored[] = {
        {"T1_beep", "0"},      {"limit_selet", "1"}, {"limit_txt_0", "5"},
        {"limit_txt_1", "1"},  {"Sav_Drv", "/"},     {"Graph_txt", "line1 line2 end"},
        {"keepRecording", "1"}};
    for (const auto& [key, value] : stored) EXPECT_EQ(rig.stored(key), value) << key;
    EXPECT_EQ(rig.session.readout.limitCaption[0], "");  // captions only with the alarm on
    EXPECT_EQ(rig.session.settings.keepRecording, 1);
    rig.reopen();
    EXPECT_TRUE(keep->isChecked());
    rig.click("Command3");
    EXPECT_FALSE(keep->isChecked());
}

TEST(Fmsetup, PortListNamesDevicesAndExplainsMissingPermission) {
    PortChoice ports;
    ports.device = [](int com) { return com == 2 ? QString("/dev/ttyUSB0") : QString(); };
    ports.canOpen = [](const QString&) { return false; };
    SetupRig rig(false, ports);
    auto* combo = rig.get<QComboBox>("Combo4");
    EXPECT_EQ(combo->itemText(0), "COM1");
    EXPECT_EQ(combo->itemText(1), "COM2  /dev/ttyUSB0 (no permission)");
    const QString note = rig.get<QLabel>("PortNote")->text();
    EXPECT_TRUE(note.contains("dialout"));
    EXPECT_TRUE(note.contains("/dev/ttyUSB0"));
}

TEST(Fmsetup, FormatsLoadedBeforeShowingAreAtTheTopOrTheDefaults) {
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Fdt_0", "yy mm dd");
    rig.dialog.Form_Load();  // as the main window does: load, then show
    rig.dialog.show();
    auto* list = rig.get<QListWidget>("List1_0");
    EXPECT_EQ(list->indexAt(QPoint(2, 2)).row(), list->currentRow());
    EXPECT_GT(list->currentRow(), 0);
    rig.fresh.store().WriteSetting("Fdt_0", "dd.mm.yyyy");  // unlisted
    rig.fresh.store().WriteSetting("Fdt_1", "");
    rig.reopen();
    EXPECT_EQ(list->currentItem()->text(), "yyyy/mm/dd");
    EXPECT_EQ(rig.get<QListWidget>("List1_1")->currentItem()->text(), "HH:nn:ss");
}

TEST(Fmsetup, LongFolderPathDoesNotWidenTheDialog) {
    SetupRig rig;
    const int usual = rig.dialog.minimumSizeHint().width();
    rig.fresh.store().WriteSetting("Sav_Drv", "/srv/" + QString("measurements/").repeated(30));
    rig.dialog.Form_Load();
    QCoreApplication::processEvents();  // the layouts take the new label size
    EXPECT_EQ(rig.dialog.minimumSizeHint().width(), usual);
    EXPECT_EQ(rig.get<QLabel>("Label4")->text(), "/srv/" + QString("measurements/").repeated(30));
}

// The folder tree reads folders in the background; it still opens at the saved folder.
TEST(Fmsetup, FolderTreeOpensAtTheSavedFolder) {
    QTemporaryDir tmp;
    const QString folder = tmp.path() + "/runs/2026/oven";
    ASSERT_TRUE(QDir().mkpath(folder));
    SetupRig rig(false);
    rig.fresh.store().WriteSetting("Sav_Drv", folder + "/");
    rig.reopen();
    auto* tree = rig.get<QTreeView>("Dir1");
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
    EXPECT_EQ(rig.get<QLabel>("Label4")->text(), folder + "/");
}

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
