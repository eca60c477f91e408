// Finding, reopening and configuring the meter's port over a scripted library.
#include <gtest/gtest.h>

#include "meter_link.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

QStringList ConfigCalls(int port) {
    const QString p = QString::number(port);
    return {"sio_ioctl " + p + " 12 3", "sio_flowctrl " + p + " 0", "sio_DTR " + p + " 1",
            "sio_RTS " + p + " 1"};
}

PortTable Ports(int n) {
    QStringList paths;
    for (int i = 1; i <= n; ++i) paths << QStringLiteral("/dev/ttyFAKE%1").arg(i);
    return PortTable(paths);
}

class LinkTest : public ::testing::Test {
  protected:
    LinkTest() {
        lib.logDataCalls = false;
        for (int p = 1; p <= 4; ++p) lib.setOpenResult(p, SIO_OK);
    }
    // Runs the attempt under way to its end, the clock moving a millisecond a step.
    void finish(MeterLink& l) {
        for (; l.attemptRunning(); l.continueAttempt()) clock.advance(1);
    }
    QString indicators() const {
        return QString::asprintf("RS232 %d WAIT %d", s.readout.indicator[kIndRS232],
                                 s.readout.indicator[kIndWait]);
    }
    QStringList opens() const { return lib.logText("sio_open"); }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    ScriptedMessageBoxes boxes;
    PortTable ports = Ports(4);
    MeterLink link{s, lib, clock, boxes, ports};
};

TEST_F(LinkTest, ScanTakesTheFirstPortThatTalksLinkOffAndUpReopensIt) {
    lib.appendInput(3, QByteArray(20, 'x'));
    int stops = 0;
    s.hooks.stopRecording = [&] { ++stops; };
    const qint64 start = clock.tickMs();
    link.linkUp();
    finish(link);
    QStringList expected;
    for (int p : {1, 2})
        expected << "sio_open " + QString::number(p) << ConfigCalls(p)
                 << "sio_close " + QString::number(p);
    EXPECT_EQ(lib.logText(), expected << "sio_open 3" << ConfigCalls(3));
    EXPECT_EQ(s.link.foundPort, 3);
    EXPECT_TRUE(s.link.linkOn && lib.isOpen(3));
    EXPECT_EQ(indicators(), "RS232 1 WAIT 0");
    EXPECT_EQ(clock.tickMs() - start, 2 * 101);  // more than 100 ms on each silent port

    link.linkOff();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(s.link.linkOn || lib.isOpen(3));
    EXPECT_TRUE(s.controls.isChecked(Control::LinkOff));
    EXPECT_FALSE(s.controls.isChecked(Control::LinkUp));
    EXPECT_EQ(indicators(), "RS232 0 WAIT 1");

    lib.clearLog();
    s.rec.state = kRunCommand;
    link.linkUp();
    finish(link);
    EXPECT_EQ(lib.logText(), QStringList({"sio_open 3"}) + ConfigCalls(3));
    EXPECT_TRUE(s.link.linkOn);
    EXPECT_EQ(s.rec.state, kRunIdle);
    EXPECT_EQ(indicators(), "RS232 1 WAIT 0");
}

TEST_F(LinkTest, OneByteIsNotAMeterOnlyTableDevicesAndConfiguredPortThrice) {
    PortTable two = Ports(2);
    MeterLink small(s, lib, clock, boxes, two);
    lib.setOpenResult(5, SIO_OK);
    lib.appendInput(1, "x");
    small.FindMeterPort();
    finish(small);
    EXPECT_FALSE(s.link.linkOn);
    EXPECT_EQ(s.link.foundPort, 0);
    EXPECT_EQ(opens(), QStringList({"sio_open 1", "sio_open 2", "sio_open 1", "sio_open 2"}));
    EXPECT_EQ(lib.logText().last(), "sio_close 2");
    EXPECT_EQ(lib.logText("sio_close").size(), 5);
    EXPECT_FALSE(lib.isOpen(1) || lib.isOpen(2));
    lib.clearLog();
    s.settings.autoScan = 1;
    s.settings.configuredPort = 7;
    lib.setOpenResult(7, SIO_OK);
    link.FindMeterPort();
    finish(link);
    EXPECT_EQ(opens(), QStringList({"sio_open 7", "sio_open 7", "sio_open 7"}));
    EXPECT_EQ(lib.logText("sio_close").size(), 4);
    EXPECT_FALSE(s.link.linkOn);
    lib.appendInputAt(7, clock.tickMs() + 50, "xyz");
    link.FindMeterPort();
    finish(link);
    EXPECT_TRUE(s.link.linkOn);
    EXPECT_EQ(s.link.foundPort, 7);
}

TEST_F(LinkTest, ReopenOfAPortStillOpenSkipsConfiguration) {
    s.link.foundPort = 3;
    lib.setOpenResults(3, {SIO_OK, SIO_OPEN_FAIL});
    const qint64 start = clock.tickMs();
    link.ReopenMeterPort();  // opens and configures, hears nothing, stays open
    finish(link);
    EXPECT_FALSE(s.link.linkOn);
    EXPECT_TRUE(lib.isOpen(3));
    EXPECT_EQ(clock.tickMs() - start, 501);
    lib.clearLog();
    lib.appendInputAt(3, clock.tickMs() + 200, "abc");
    link.ReopenMeterPort();
    finish(link);
    EXPECT_EQ(lib.logText(), QStringList({"sio_open 3"}));
    EXPECT_TRUE(s.link.linkOn);
    // Any other failure is no link and no wait.
    s.link.linkOn = false;
    lib.setOpenResult(3, SIO_BADPORT);
    link.ReopenMeterPort();
    EXPECT_FALSE(link.attemptRunning() || s.link.linkOn);
}

TEST_F(LinkTest, ConfigurationFailureShowsTheFunction) {
    lib.setOpenResult(3, SIO_OPEN_FAIL);
    lib.setOpenResult(4, SIO_OPEN_FAIL);
    lib.setResult("sio_DTR", SIO_BADPARM_BOARD, 1);
    lib.setResult("sio_ioctl", SIO_WIN32FAIL, 2);
    link.FindMeterPort();
    finish(link);
    // One message per pass for COM1; COM2's -8 shows none.
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].title + ": " + boxes.shown[0].text,
              "sio_DTR: The board does not support this function");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(lib.logText("sio_RTS").isEmpty());
    EXPECT_EQ(lib.logText("sio_flowctrl").size(), 2);
    EXPECT_EQ(s.link.lastResult, SIO_BADPORT);  // the final close of COM4, never opened
    EXPECT_FALSE(lib.isOpen(1));
}

TEST_F(LinkTest, AttemptTakesOnlyDueStepsAndLinkOffEndsIt) {
    lib.appendInputAt(2, clock.tickMs() + 150, QByteArray(20, 'x'));
    link.FindMeterPort();  // opens COM1 and returns while it listens
    EXPECT_TRUE(link.attemptRunning());
    EXPECT_EQ(opens(), QStringList({"sio_open 1"}));
    // Link Up (and the next tick) inside the listen go on with the same scan.
    clock.advance(50);
    link.linkUp();
    link.FindMeterPort();
    EXPECT_EQ(opens(), QStringList({"sio_open 1"}));
    EXPECT_TRUE(s.readout.indicator[kIndWait]);
    clock.advance(51);  // more than 100 ms: COM1 is given up, COM2 listened to
    link.continueAttempt();
    EXPECT_EQ(opens(), QStringList({"sio_open 1", "sio_open 2"}));
    ASSERT_TRUE(lib.isOpen(2));
    link.linkOff();
    EXPECT_FALSE(link.attemptRunning() || lib.isOpen(2));
    // The next attempt starts afresh at COM1.
    lib.clearLog();
    link.FindMeterPort();
    EXPECT_EQ(opens(), QStringList({"sio_open 1"}));
    clock.advance(101);
    finish(link);
    EXPECT_EQ(s.link.foundPort, 2);
    EXPECT_EQ(indicators(), "RS232 1 WAIT 0");
}

}  // namespace
}  // namespace quillon
