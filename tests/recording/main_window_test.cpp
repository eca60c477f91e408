// The main window under the offscreen platform.
#include "main_window.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QtWidgets>

namespace quillon {
namespace {

class MainWindowTest : public ::testing::Test {
  protected:
    void open(bool show = false) {
        recorder.calls().linkUp = [this] { session.link.linkOn = true; };
        recorder.InstallHooks();
        MainWindowCalls calls;
        calls.linkOff = [this] {
            ++linkOffs;
            Call(session.hooks.stopRecording);
            session.link.linkOn = false;
        };
        calls.SavePortOnExit = [this](int port) { savedPort = port; };
        // Ticks as the poll loop runs them: a live frame each, then the record step.
        calls.pollTick = [this] {
            ++ticks;
            clock.advance(1000);
            session.reading.valueText = session.readout.value = "1.000";
            session.link.lastFrameTick = clock.tickMs();
            if (session.rec.state == kRunRecording && session.rec.running) recorder.recordStep();
        };
        calls.meterDevice = [] { return QString("/dev/pts/7"); };
        window = std::make_unique<MainWindow>(session, recorder, messages, folder.path(), calls);
        window->startUp();
        if (show) window->show();
    }

    bool recordsGrowBy(int n) {
        const int target = session.table.recordCount() + n;
        return QTest::qWaitFor([&] { return session.table.recordCount() >= target; }, 5000);
    }

    template <typename T>
    T* find(const QString& name) {
        return window->findChild<T*>(name);
    }

    QTemporaryDir folder;
    Session session;
    FakeClock clock;
    ScriptedMessageBoxes messages;
    Recorder recorder{session, clock, messages};
    std::unique_ptr<MainWindow> window;
    int linkOffs = 0, savedPort = -1, ticks = 0, saveOffers = 0;
};

TEST_F(MainWindowTest, StartUpTitleStateToolbarAndShortcuts) {
    const std::pair<const char*, const char*> titles[] = {{"  \r\nSecond", "VEK 4412 QUILLON"},
                                                          {"  Acme\n", "  Acme"}};
    for (const auto& [subLog, title] : titles) {
        QFile f(folder.filePath("sub.log"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(subLog) > 0);
        f.close();
        open();
        EXPECT_EQ(window->windowTitle(), title);
    }
    EXPECT_EQ(find<QWidget>("graphPicture")->geometry(), QRect(6, 386, 1176, 362));
    EXPECT_EQ(find<QAction>("startAction")->shortcut(), QKeySequence("Ctrl+S"));
    EXPECT_EQ(find<QAction>("pauseAction")->shortcut(), QKeySequence("Ctrl+P"));
    EXPECT_TRUE(find<QAction>("stopAction")->isChecked());
    EXPECT_FALSE(find<QAction>("linkOffAction")->isVisible());
    window->show();
    // The graph's one-pixel border is in the Mid colour, the picture inside it.
    QWidget* graphBox = find<QWidget>("graphPicture");
    const QImage graph = graphBox->grab().toImage();
    const QRgb mid = graphBox->palette().color(QPalette::Mid).rgb();
    EXPECT_EQ(std::make_tuple(graph.pixel(0, 0), graph.pixel(1175, 361), graph.pixel(1, 1)),
              std::make_tuple(mid, mid, qRgb(255, 255, 255)));
    // An indicator that is off keeps its place and shows no caption (it is not hidden:
    // showing and hiding asks the display server where the pointer is, on every blink).
    EXPECT_EQ(find<QLabel>("waitIndicator")->text(), "WAIT");
    EXPECT_EQ(find<QLabel>("rs232Indicator")->text(), "");
    EXPECT_TRUE(find<QLabel>("rs232Indicator")->isVisible());
    const QImage off = find<QLabel>("rs232Indicator")->grab().toImage();
    const QRgb panel = find<QWidget>("readoutPanel")->palette().color(QPalette::Window).rgb();
    QImage blank(off.size(), off.format());
    blank.fill(panel);
    EXPECT_TRUE(off == blank) << "an indicator that is off shows only the panel";
    session.readout.indicator[kIndRS232] = true;
    window->sync();
    EXPECT_EQ(find<QLabel>("rs232Indicator")->text(), "RS232");
    EXPECT_TRUE(window->timer()->isActive());
    EXPECT_EQ(window->timer()->interval(), 500);
    EXPECT_EQ(session.table.cell(0, 3), "Value");
    // Hi and Low look read-only (the window's face) unless the reading is past them.
    session.readout.limitRed = {true, false};
    window->sync();
    EXPECT_EQ(find<QLabel>("highLimitField")->palette().color(QPalette::Window), Qt::red);
    EXPECT_EQ(find<QLabel>("lowLimitField")->palette().color(QPalette::Window),
              window->palette().color(QPalette::Window));
}

// Doubling the width doubles lefts and widths only.
TEST_F(MainWindowTest, DoublingTheWidthDoublesLeftsAndWidthsOnly) {
    open(true);
    QApplication::processEvents();
    const char* names[] = {"readoutPanel", "valueLabel", "recordTable", "graphPicture"};
    QMap<QString, QRect> before;
    for (const char* n : names) before[n] = find<QWidget>(n)->geometry();
    window->resize(window->width() * 2, window->height());
    QApplication::processEvents();
    for (const char* n : names) {
        const QRect was = before[n], now = find<QWidget>(n)->geometry();
        EXPECT_NEAR(now.x(), 2 * was.x(), 2) << n;
        EXPECT_NEAR(now.width(), 2 * was.width(), 2) << n;
        EXPECT_EQ(QPoint(now.y(), now.height()), QPoint(was.y(), was.height())) << n;
    }
    EXPECT_EQ(find<QWidget>("scheduleBanner")->geometry(), QRect(800, 4, 377, 39));
}

TEST_F(MainWindowTest, CloseBoxAsksOnlyWhenRecordsWouldBeLostAndExitNeverAsks) {
    open(true);
    session.rec.recordName = "20240131_100000";
    session.table.setRows(4);  // two records
    session.link.foundPort = 3;
    messages.replies = {MsgResult::No};
    window->close();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title + "|" + messages.shown[0].text,
              "Warning!|All data will be lost if you exit. Are you sure you want to exit?");
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

// No tick inside a command (Start waiting for the meter), a tick or a modal box; nor a close.
TEST_F(MainWindowTest, NoTickAndNoCloseUnderACommandOrTick) {
    for (const bool inTick : {false, true}) {
        SCOPED_TRACE(inTick ? "tick" : "command");
        open(true);
        session.link.pollIntervalMs = 5;
        window->sync();
        linkOffs = 0;
        int ticksInside = -1;
        bool ran = false, closedUnder = false;
        (inTick ? window->calls().pollTick : window->calls().linkUp) = [&] {
            if (ran) return;
            ran = true;
            ticks = 0;
            window->close();
            QTest::qWait(80);
            ticksInside = ticks;
            closedUnder = !window->isVisible() || linkOffs > 0;
        };
        if (!inTick) find<QAction>("linkUpAction")->trigger();
        ASSERT_TRUE(QTest::qWaitFor([&] { return ran; }, 2000));
        EXPECT_EQ(ticksInside, 0);
        EXPECT_FALSE(closedUnder);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !window->isVisible(); }, 2000));
        EXPECT_EQ(linkOffs, 1);
    }
    // A modal box holds the ticks too; they resume once it is gone.
    open(true);
    session.link.pollIntervalMs = 5;
    window->sync();
    {
        QDialog box(window.get());
        box.setModal(true);
        box.show();
        ticks = 0;
        QTest::qWait(80);
        EXPECT_EQ(ticks, 0);
    }
    ticks = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 2000));
}

// While recording, the table follows new records only from its bottom or a graph page.
TEST_F(MainWindowTest, TableFollowsNewRecordsOnlyFromItsBottom) {
    open(true);
    window->calls().showPreviousPage = [this] { session.graph.pageBox = "1"; };
    auto* grid = find<QTableView>("recordTable");
    QScrollBar* bar = grid->verticalScrollBar();
    const auto addRecords = [this](int n) {
        RecordTable& t = session.table;
        for (int i = 0; i < n; ++i) {
            const int row = t.rows() - 1;
            t.setCell(row, 0, QString::number(row));
            t.addRow();
            t.currentRow = row + 1;
        }
        window->sync();
    };
    session.rec.running = true;
    addRecords(150);
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), bar->maximum());
    // Records added one by one set the scroll range without a layout of the scroll area;
    // Qt's own layout of the same rows gives the same range.
    addRecords(1);
    addRecords(1);
    const int maximum = bar->maximum(), rowsShown = bar->pageStep();
    grid->doItemsLayout();
    EXPECT_EQ(std::make_pair(bar->maximum(), bar->pageStep()), std::make_pair(maximum, rowsShown));
    bar->setValue(10);  // the user scrolls up
    addRecords(5);
    EXPECT_EQ(bar->value(), 10);
    bar->setValue(bar->maximum());  // and back to the bottom
    addRecords(1);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(grid->currentIndex().row(), session.table.currentRow - 1);
    find<QPushButton>("backButton")->click();  // "<< Back" to page 1: the table stays there
    EXPECT_EQ(grid->rowAt(0), 0);
    addRecords(1);
    EXPECT_EQ(grid->rowAt(0), 0);
}

// Help on screen beside a window mostly off it; recording goes on; the status bar follows.
TEST_F(MainWindowTest, HelpAndStatusBarWhileRecording) {
    recorder.calls().PromptUnsavedRecord = [&] { ++saveOffers; };
    open(true);
    session.link.pollIntervalMs = 5;
    const auto status = [this] {
        QStringList parts;
        for (const char* name : {"statusState", "statusRecords", "statusPort", "statusSaved"})
            parts << (find<QLabel>(name)->isVisible() ? find<QLabel>(name)->text() : "-");
        return parts.join(" | ");
    };
    const auto records = [this] { return QString::number(session.table.recordCount()); };
    EXPECT_EQ(status(), "Idle | - | No meter | -");
    const QRect screen = window->screen()->availableGeometry();
    window->move(screen.right() - 200, screen.bottom() - 150);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    find<QAction>("startToolButton")->trigger();
    ASSERT_TRUE(recordsGrowBy(2));
    QTest::keyClick(window.get(), Qt::Key_F1);
    auto* help = find<QTextBrowser>("HelpWindow");
    ASSERT_TRUE(help && help->isVisible());
    EXPECT_TRUE(screen.contains(help->frameGeometry()));
    EXPECT_TRUE(recordsGrowBy(3)) << "records while the help is open";
    help->close();
    window->calls().pollTick = [] {};
    window->sync();
    EXPECT_EQ(status(), "Recording | " + records() + " records | /dev/pts/7 | -");
    session.link.linkOn = false;  // the meter is gone, the recording goes on
    window->sync();
    EXPECT_EQ(status(), "Waiting for the meter | " + records() + " records | No meter | -");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    auto* state = find<QLabel>("statusState");
    EXPECT_GE(state->width(), state->sizeHint().width()) << "a longer state gets its room";
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
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_T, Qt::ControlModifier);  // Stop
    EXPECT_EQ(saveOffers, 1);
    EXPECT_EQ(status(), "Idle | - | /dev/pts/7 | Saved to " + saved);
    session.rec.state = kRunViewingFile;  // as an opened report leaves it
    window->sync();
    EXPECT_EQ(status(), "Viewing " + session.rec.recordName + ".csv | - | /dev/pts/7 | -");
}

}  // namespace
}  // namespace quillon
