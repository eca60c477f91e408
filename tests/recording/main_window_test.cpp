// The main window under the offscreen platform: title, start-up state, toolbar pop-ups,
// shortcuts, proportional layout and closing.
#include "main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>

#include "date_time_format.h"
#include "qt_file_dialogs.h"

namespace quillon {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        recorder.calls().linkUp = [this] { session.link.linkOn = true; };
        recorder.InstallHooks();
    }

    MainWindow& open(bool show = false) {
        MainWindowCalls calls;
        calls.linkOff = [this] {
            ++linkOffs;
            Call(session.hooks.stopRecording);
            session.link.linkOn = false;
        };
        calls.SavePortOnExit = [this](int port) { savedPort = port; };
        calls.pollTick = [this] { ++ticks; };
        calls.meterDevice = [] { return QString("/dev/pts/7"); };
        window = std::make_unique<MainWindow>(session, recorder, messages, folder.path(), calls);
        window->startUp();
        if (show) window->show();
        return *window;
    }

    void writeSubLog(const QByteArray& bytes) {
        QFile f(folder.filePath("sub.log"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Each tick as the poll loop runs it: a frame one second after the last, then the
    // record step while a recording runs.
    void tickWithLiveReadings() {
        session.settings.recordIntervalMs = 1000;
        session.settings.dateTimeFormats = {"yyyy/mm/dd", "HH:nn:ss"};
        window->calls().pollTick = [this] {
            clock.advance(1000);
            session.reading.valueText = session.readout.value = "1.000";
            session.link.lastFrameTick = clock.tickMs();
            if (session.rec.state == kRunRecording && session.rec.running) recorder.recordStep();
        };
        session.link.pollIntervalMs = 5;
    }

    bool recordsGrowBy(int n) {
        const int target = session.table.recordCount() + n;
        return QTest::qWaitFor([&] { return session.table.recordCount() >= target; }, 5000);
    }

    template <typename T>
    T* find(const char* name) {
        return window->findChild<T*>(name);
    }

    QTemporaryDir folder;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes messages;
    Recorder recorder{session, clock, messages};
    std::unique_ptr<MainWindow> window;
    int linkOffs = 0;
    int savedPort = -1;
    int ticks = 0;
};

TEST_F(MainWindowTest, TitleComesFromSubLog) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file
        const char* title;
    } cases[] = {
        {"no file", nullptr, "VEK 4412 QUILLON"},
        {"empty file", "", "VEK 4412 QUILLON"},
        {"blank first line", "  \r\nSecond", "VEK 4412 QUILLON"},
        {"product name", "Acme Logger 7\r\nignored", "Acme Logger 7"},
        {"leading blanks kept", "  Acme\n", "  Acme"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(folder.filePath("sub.log"));
        if (c.content) writeSubLog(c.content);
        open();
        EXPECT_EQ(window->windowTitle(), c.title);
    }
    // The About box shows the same caption and the version.
    find<QAction>("aboutAction")->trigger();
    EXPECT_EQ(session.rec.state, kRunCommand);
    auto* about = window->findChild<QDialog*>("aboutBox");
    ASSERT_TRUE(about);
    EXPECT_EQ(about->windowTitle(), "  Acme");
    EXPECT_EQ(about->findChild<QLabel*>("titleLabel")->text(), "  Acme");
    EXPECT_EQ(about->findChild<QLabel*>("versionLabel")->text(), "1.0.06");
}

TEST_F(MainWindowTest, StartsIdleWithStopCheckedAndWaitShown) {
    open();
    EXPECT_TRUE(find<QAction>("stopAction")->isChecked() &&
                !find<QAction>("startAction")->isChecked());
    EXPECT_FALSE(find<QAction>("linkOffAction")->isVisible());
    EXPECT_EQ(find<QAction>("startAction")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(find<QAction>("pauseAction")->shortcut(), QKeySequence("Ctrl+P"));
    // At the design size every control stands at its design place (10 twips a pixel).
    EXPECT_EQ(find<QWidget>("graphPicture")->geometry(), QRect(6, 386, 1176, 362));
    window->show();
    EXPECT_TRUE(find<QLabel>("waitIndicator")->isVisible());
    EXPECT_EQ(find<QLabel>("waitIndicator")->text(), "WAIT");
    EXPECT_FALSE(find<QLabel>("rs232Indicator")->isVisible());
    EXPECT_EQ(session.rec.state, kRunIdle);
    EXPECT_TRUE(window->timer()->isActive());
    EXPECT_EQ(window->timer()->interval(), 500);
    EXPECT_EQ(session.table.cell(0, 3), "Value");

    QStringList tips;
    for (QAction* a : find<QToolBar>("toolbar")->actions()) tips << a->toolTip();
    EXPECT_EQ(tips, QStringList({"Open file", "Save", "Print", "Clear", "Link up", "Start", "Pause",
                                 "Stop", "Help"}));

    // Save and Print show their pop-ups; Ctrl+T stops a recording.
    const struct {
        const char* button;
        const char* popup;
        QStringList items;
    } cases[] = {
        {"saveToolButton", "savePopup", {"Save Report", "Save Graph", "Save Screen"}},
        {"printToolButton", "printPopup", {"Print Report", "Print Graph", "Print Screen"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        find<QAction>(c.button)->trigger();
        QMenu* menu = window->findChild<QMenu*>(c.popup);
        ASSERT_TRUE(menu);
        EXPECT_TRUE(menu->isVisible());
        QStringList items;
        for (QAction* a : menu->actions()) items << a->text();
        EXPECT_EQ(items, c.items);
        menu->hide();
    }
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    find<QAction>("startToolButton")->trigger();
    ASSERT_TRUE(find<QAction>("startAction")->isChecked());
    EXPECT_TRUE(session.rec.running);

    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(find<QAction>("stopAction")->isChecked());
    EXPECT_FALSE(session.rec.running);
}

TEST_F(MainWindowTest, DoublingTheWidthDoublesLeftsAndWidthsOnlyAndTimesFit) {
    open(true);
    QApplication::processEvents();
    const char* names[] = {"readoutPanel", "valueLabel",   "recordNameField",
                           "recordTable",  "graphPicture", "nextButton"};
    QMap<QString, QRect> before;
    QMap<QString, qreal> fonts;
    for (const char* n : names) {
        before[n] = find<QWidget>(n)->geometry();
        fonts[n] = find<QWidget>(n)->font().pointSizeF();
    }
    const double scaleX = session.graph.scaleX, scaleY = session.graph.scaleY;
    window->resize(window->width() * 2, window->height());
    QApplication::processEvents();
    for (const char* n : names) {
        SCOPED_TRACE(n);
        const QRect now = find<QWidget>(n)->geometry();
        EXPECT_NEAR(now.x(), 2 * before[n].x(), 2);
        EXPECT_NEAR(now.width(), 2 * before[n].width(), 2);
        EXPECT_EQ(now.y(), before[n].y());
        EXPECT_EQ(now.height(), before[n].height());
        EXPECT_DOUBLE_EQ(find<QWidget>(n)->font().pointSizeF(), fonts[n]);
    }
    // The schedule banner keeps its place.
    EXPECT_EQ(find<QWidget>("scheduleBanner")->geometry(), QRect(800, 4, 377, 39));
    EXPECT_NEAR(session.graph.scaleX, 2 * scaleX, 0.01);
    EXPECT_DOUBLE_EQ(session.graph.scaleY, scaleY);

    // Resized while minimized, the window is laid out when restored.
    const QRect wide = find<QWidget>("graphPicture")->geometry();
    window->showMinimized();
    QApplication::processEvents();
    ASSERT_TRUE(window->isMinimized());
    window->resize(window->width() / 2, window->height());
    QApplication::processEvents();
    EXPECT_EQ(find<QWidget>("graphPicture")->geometry(), wide);
    window->showNormal();
    QApplication::processEvents();
    EXPECT_NEAR(find<QWidget>("graphPicture")->width(), before["graphPicture"].width(), 2);

    // The time column fits every time format.
    auto* grid = find<QTableView>("recordTable");
    const int width = grid->columnWidth(RecordTable::ColTime);
    for (const QString& format : TimeFormats()) {
        SCOPED_TRACE(format.toStdString());
        for (int row = 1; row <= 2; ++row)
            session.table.setCell(row, RecordTable::ColTime,
                                  FormatTime(QTime(row * 10, 58, 58), format));
        grid->resizeColumnToContents(RecordTable::ColTime);  // the width the texts need
        EXPECT_LE(grid->columnWidth(RecordTable::ColTime), width);
        grid->setColumnWidth(RecordTable::ColTime, width);
    }
}

TEST_F(MainWindowTest, CloseBoxAsksOnlyWhenRecordsWouldBeLostAndExitNeverAsks) {
    open(true);
    session.rec.recordName = "20240131_100000";
    session.table.setRows(4);  // two records
    session.table.setCell(1, 1, "2024/01/31");
    session.table.setCell(2, 1, "2024/01/31");
    session.link.foundPort = 3;
    messages.replies = {MsgResult::No};
    window->close();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text,
              "All data will be lost if you exit. Are you sure you want to exit?");
    EXPECT_EQ(messages.shown[0].title, "Warning!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(linkOffs, 0);

    // Saved: nothing to lose, nothing asked.
    session.rec.reportFile = folder.filePath("20240131_100000.csv");
    session.rec.reportRecords = 2;
    window->close();
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(linkOffs, 1);
    EXPECT_EQ(savedPort, 3);
    EXPECT_FALSE(window->timer()->isActive());
    EXPECT_EQ(session.rec.state, kRunIdle);

    open(true);
    session.rec.reportFile.clear();
    find<QAction>("exitAction")->trigger();
    EXPECT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(window->isVisible());
}

// The close box during a command or tick that lets events run (Start waiting for the
// meter) closes the window once that has ended, never under it.
TEST_F(MainWindowTest, CloseDuringACommandOrTickWaitsForItsEnd) {
    const struct {
        const char* name;
        std::function<void(const std::function<void()>&)> runWith;
    } cases[] = {
        {"command",
         [&](const std::function<void()>& during) {
             window->calls().linkUp = during;
             find<QAction>("linkUpAction")->trigger();
         }},
        {"tick",
         [&](const std::function<void()>& during) {
             window->calls().pollTick = during;
             session.link.pollIntervalMs = 5;
             window->sync();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        open(true);
        linkOffs = 0;
        bool ran = false, closedUnder = false;
        c.runWith([&] {
            if (ran) return;
            ran = true;
            window->close();
            QTest::qWait(60);
            closedUnder = !window->isVisible() || linkOffs > 0;
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 2000));
        EXPECT_FALSE(closedUnder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
        EXPECT_EQ(linkOffs, 1);
    }
}

TEST_F(MainWindowTest, StatusBarFollowsTheRecording) {
    open();
    tickWithLiveReadings();
    window->show();
    // State, records, port and saved file; "-" for a hidden part.
    const auto status = [this] {
        QStringList parts;
        for (const char* name : {"statusState", "statusRecords", "statusPort", "statusSaved"})
            parts << (find<QLabel>(name)->isVisible() ? find<QLabel>(name)->text() : "-");
        return parts.join(" | ");
    };
    const auto records = [this] { return QString::number(session.table.recordCount()); };
    EXPECT_EQ(status(), "Idle | - | No meter | -");

    find<QAction>("startToolButton")->trigger();
    ASSERT_TRUE(recordsGrowBy(2));
    window->calls().pollTick = [] {};
    window->sync();
    EXPECT_EQ(status(), "Recording | " + records() + " records | /dev/pts/7 | -");
    session.link.linkOn = false;  // the meter is gone, the recording goes on
    window->sync();
    EXPECT_EQ(status(), "Waiting for the meter | " + records() + " records | No meter | -");
    session.link.linkOn = true;

    find<QAction>("pauseToolButton")->trigger();
    const QString saved = "/home/user/Data/" + session.rec.recordName + ".csv";
    session.rec.reportFile = saved;
    session.rec.reportRecords = session.table.recordCount();
    session.sched.armed = 1;
    session.sched.entryStart = QDateTime(QDate(2031, 5, 6), QTime(7, 8, 9));
    window->sync();
    EXPECT_EQ(status(), "Paused | " + records() + " records | /dev/pts/7 | Saved to " + saved);
    EXPECT_EQ(find<QLabel>("statusSchedule")->text(), "Next start 2031/05/06 07:08:09");
    session.rec.reportRecords -= 1;  // a record more than the file holds
    window->sync();
    EXPECT_TRUE(status().endsWith(" | -"));
    session.rec.reportRecords += 1;

    find<QAction>("stopToolButton")->trigger();
    EXPECT_EQ(status(), "Idle | - | /dev/pts/7 | Saved to " + saved);
    session.rec.state = kRunViewingFile;  // as an opened report leaves it
    window->sync();
    EXPECT_EQ(status(), "Viewing " + session.rec.recordName + ".csv | - | /dev/pts/7 | -");
}

// Hi, Low and Record Interval show settings: they look read-only and say where they are set.
TEST_F(MainWindowTest, SettingBoxesLookReadOnlyAndSayWhereToChangeThem) {
    open();
    session.readout.limitRed = {true, false};
    window->sync();
    const QColor face = window->palette().color(QPalette::Window);
    const QColor expected[3] = {QColor(255, 0, 0), face, face};
    for (int i = 0; i < 3; ++i) {
        auto* box = find<QLabel>(
            std::array<const char*, 3>{"highLimitField", "lowLimitField", "intervalField"}[i]);
        EXPECT_EQ(box->palette().color(QPalette::Window), expected[i]) << i;
        EXPECT_TRUE(box->toolTip().contains("Option Setting")) << qPrintable(box->toolTip());
    }
}

// Looking back while recording: scrolled up, the table stays; at the bottom it follows.
// A graph page the user turns to is shown in the table.
TEST_F(MainWindowTest, TableFollowsNewRecordsOnlyFromItsBottom) {
    open();
    window->calls().showPreviousPage = [this] { session.graph.pageBox = "1"; };
    window->show();
    QScrollBar* bar = find<QTableView>("recordTable")->verticalScrollBar();
    const auto addRecords = [this](int n) {
        RecordTable& t = session.table;
        for (int i = 0; i < n; ++i) {
            const int row = t.rows() - 1;
            t.setCell(row, 0, QString::number(row));
            t.setCell(row, 1, "2024/01/31");
            t.addRow();
            t.currentRow = row + 1;
        }
        window->sync();
    };
    session.rec.running = true;
    addRecords(150);
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());

    bar->setValue(10);  // the user scrolls up
    addRecords(5);
    EXPECT_EQ(bar->value(), 10);
    bar->setValue(bar->maximum());  // and back to the bottom
    addRecords(1);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(find<QTableView>("recordTable")->currentIndex().row(), session.table.currentRow - 1);

    find<QPushButton>("backButton")->click();  // "<< Back" to page 1
    EXPECT_EQ(find<QTableView>("recordTable")->rowAt(0), 0);
    addRecords(1);
    EXPECT_EQ(find<QTableView>("recordTable")->rowAt(0), 0);
}

// Ticks wait while a command lets events run or a modal box waits for an answer, and
// resume afterwards.
TEST_F(MainWindowTest, NoPollTickInsideACommandOrUnderAModalBox) {
    int ticksInside = -1;
    const auto count = [this, &ticksInside] {
        ticks = 0;
        QTest::qWait(80);
        ticksInside = ticks;
    };
    const struct {
        const char* name;
        std::function<void()> during;
    } cases[] = {
        {"modal box",
         [&] {
             QDialog box(window.get());
             box.setModal(true);
             box.show();
             count();
         }},
        {"command letting events run",
         [&] {
             window->calls().openReport = count;
             find<QAction>("openToolButton")->trigger();
         }},
    };
    open(true);
    session.link.pollIntervalMs = 5;
    window->sync();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.during();
        EXPECT_EQ(ticksInside, 0);
        ticks = 0;
        QTest::qWait(80);
        EXPECT_GT(ticks, 0);
    }
}

// F1 opens the program folder's help, on screen even beside a window mostly off it; the help
// and the About box leave a recording running.
TEST_F(MainWindowTest, HelpOnScreenAndHelpAndAboutLeaveARecordingRunning) {
    QFile page(folder.filePath("help.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Recording</h1></body></html>");
    page.close();
    int saveOffers = 0;
    recorder.calls().PromptUnsavedRecord = [&] { ++saveOffers; };
    open();
    tickWithLiveReadings();
    window->show();
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.right() - 200, screen.bottom() - 150);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    find<QAction>("startToolButton")->trigger();
    ASSERT_TRUE(recordsGrowBy(2));

    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* help = window->findChild<QTextBrowser*>("HelpWindow");
    ASSERT_TRUE(help && help->isVisible());
    EXPECT_TRUE(help->toPlainText().contains("Recording"));
    EXPECT_TRUE(screen.contains(help->frameGeometry()));
    EXPECT_TRUE(recordsGrowBy(3)) << "records while the help is open";
    find<QAction>("aboutAction")->trigger();
    auto* about = window->findChild<QDialog*>("aboutBox");
    ASSERT_TRUE(about && about->isVisible());
    EXPECT_TRUE(recordsGrowBy(3)) << "records while the About box is open";
    help->close();
    about->close();
    EXPECT_TRUE(recordsGrowBy(3)) << "records after both closed";

    EXPECT_TRUE(find<QAction>("startAction")->isChecked());
    find<QAction>("stopToolButton")->trigger();
    EXPECT_EQ(saveOffers, 1);
}

// The real file dialog starts in the folder it is given.
TEST(QtFileDialogsTest, StartInTheRequestedFolder) {
    QTemporaryDir dir;
    QString shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = dialog->directory().absolutePath();
            dialog->reject();
        }
    });
    QtFileDialogs dialogs;
    FileDialogRequest request;
    request.title = "Open File";
    request.folder = dir.path();
    EXPECT_TRUE(dialogs.getOpenFileName(request).path.isEmpty());
    EXPECT_EQ(shown, dir.path());
}

}  // namespace
}  // namespace quillon
