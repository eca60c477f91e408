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

class LinkTest : public ::testing::Test {
  protected:
    LinkTest() {
        lib.logDataCalls = false;
        link.setIdle([this] { clock.advance(1); });
    }
    static PortTable Ports(int n) {
        QStringList paths;
        for (int i = 1; i <= n; ++i) paths << QStringLiteral("/dev/ttyFAKE%1").arg(i);
        return PortTable(paths);
    }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    ScriptedMessageBoxes boxes;
    PortTable ports = Ports(4);
    MeterLink link{s, lib, clock, boxes, ports};
};

TEST_F(LinkTest, ScanTakesTheFirstPortThatTalks) {
    for (int p = 1; p <= 4; ++p) lib.setOpenResult(p, SIO_OK);
    lib.appendInput(3, QByteArray(20, 'x'));
    const qint64 start = clock.tickMs();
    link.FindMeterPort();

    QStringList expected;
    for (int p : {1, 2})
        expected << "sio_open " + QString::number(p) << ConfigCalls(p)
                 << "sio_close " + QString::number(p);
    expected << "sio_open 3" << ConfigCalls(3);
    EXPECT_EQ(lib.logText(), expected);
    EXPECT_EQ(s.link.FoundPort, 3);
    EXPECT_TRUE(s.link.LinkOn);
    EXPECT_TRUE(lib.isOpen(3));
    EXPECT_EQ(s.link.portSettings.port, 3);
    EXPECT_TRUE(s.readout.indicator[kIndRS232]);
    EXPECT_FALSE(s.readout.indicator[kIndWait]);
    EXPECT_EQ(clock.tickMs() - start, 2 * 101);  // more than 100 ms on each silent port
}

TEST_F(LinkTest, OneByteIsNotAMeterAndOnlyTableDevicesAreTried) {
    PortTable two = Ports(2);
    MeterLink small(s, lib, clock, boxes, two);
    small.setIdle([this] { clock.advance(1); });
    lib.setOpenResult(1, SIO_OK);
    lib.setOpenResult(2, SIO_OK);
    lib.setOpenResult(5, SIO_OK);
    lib.appendInput(1, "x");
    small.FindMeterPort();
    EXPECT_FALSE(s.link.LinkOn);
    EXPECT_EQ(s.link.FoundPort, 0);
    EXPECT_EQ(lib.logText("sio_open"),
              QStringList({"sio_open 1", "sio_open 2", "sio_open 1", "sio_open 2"}));
    EXPECT_EQ(lib.logText().last(), "sio_close 2");
    EXPECT_EQ(lib.logText("sio_close").size(), 5);
    EXPECT_FALSE(lib.isOpen(1));
    EXPECT_FALSE(lib.isOpen(2));
}

TEST_F(LinkTest, ConfiguredPortIsTriedThreeTimes) {
    s.settings.autoScan = 1;
    s.settings.comp = 7;
    lib.setOpenResult(7, SIO_OK);
    link.FindMeterPort();
    EXPECT_EQ(lib.logText("sio_open"), QStringList({"sio_open 7", "sio_open 7", "sio_open 7"}));
    EXPECT_EQ(lib.logText("sio_close").size(), 4);
    EXPECT_FALSE(s.link.LinkOn);

    lib.appendInputAt(7, clock.tickMs() + 50, "xyz");
    link.FindMeterPort();
    EXPECT_TRUE(s.link.LinkOn);
    EXPECT_EQ(s.link.FoundPort, 7);
}

TEST_F(LinkTest, LinkOffThenLinkUpReopensWithoutScan) {
    for (int p = 1; p <= 4; ++p) lib.setOpenResult(p, SIO_OK);
    lib.appendInput(3, QByteArray(20, 'x'));
    int stops = 0;
    s.hooks.mnstop_Click = [&] { ++stops; };
    link.mnlinkon_Click();
    ASSERT_TRUE(s.link.LinkOn);

    link.mnlinkoff_Click();
    EXPECT_EQ(stops, 1);
    EXPECT_FALSE(s.link.LinkOn);
    EXPECT_FALSE(lib.isOpen(3));
    EXPECT_TRUE(s.controls.isChecked("mnlinkoff"));
    EXPECT_FALSE(s.controls.isChecked("mnlinkon"));
    EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    EXPECT_TRUE(s.readout.indicator[kIndWait]);

    lib.clearLog();
    s.rec.RunState = kRunCommand;
    link.mnlinkon_Click();
    EXPECT_EQ(lib.logText(), QStringList({"sio_open 3"}) + ConfigCalls(3));
    EXPECT_TRUE(s.link.LinkOn);
    EXPECT_EQ(s.rec.RunState, kRunIdle);
    EXPECT_TRUE(s.readout.indicator[kIndRS232]);
    EXPECT_FALSE(s.readout.indicator[kIndWait]);
}

TEST_F(LinkTest, ReopenOfAPortStillOpenSkipsConfiguration) {
    s.link.FoundPort = 3;
    lib.setOpenResults(3, {SIO_OK, SIO_OPEN_FAIL});
    const qint64 start = clock.tickMs();
    link.ReopenMeterPort();  // opens and configures, hears nothing, stays open
    EXPECT_FALSE(s.link.LinkOn);
    EXPECT_TRUE(lib.isOpen(3));
    EXPECT_EQ(clock.tickMs() - start, 501);

    lib.clearLog();
    lib.appendInputAt(3, clock.tickMs() + 200, "abc");
    link.ReopenMeterPort();
    EXPECT_EQ(lib.logText(), QStringList({"sio_open 3"}));
    EXPECT_TRUE(s.link.LinkOn);

    // Any other failure is no link and no wait.
    s.link.LinkOn = false;
    lib.setOpenResult(3, SIO_BADPORT);
    const qint64 before = clock.tickMs();
    link.ReopenMeterPort();
    EXPECT_FALSE(s.link.LinkOn);
    EXPECT_EQ(clock.tickMs(), before);
}

TEST_F(LinkTest, ConfigurationFailureShowsTheFunction) {
    lib.setOpenResult(1, SIO_OK);
    lib.setResult("sio_DTR", SIO_BADPARM_BOARD, 1);
    lib.setOpenResult(2, SIO_OK);
    lib.setResult("sio_ioctl", SIO_WIN32FAIL, 2);
    link.FindMeterPort();
    // One message per pass for COM1; COM2's -8 shows none.
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].title, "sio_DTR");
    EXPECT_EQ(boxes.shown[0].text, "The board does not support this function");
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(lib.logText("sio_RTS").isEmpty());
    EXPECT_TRUE(lib.logText("sio_flowctrl").size() == 2);
    EXPECT_EQ(s.link.PortResult, SIO_BADPORT);  // the final close of COM4, never opened
    EXPECT_FALSE(lib.isOpen(1));
}

TEST_F(LinkTest, WaitMsEndsOnAFakeClock) {
    const qint64 start = clock.tickMs();
    link.WaitMs(200);
    EXPECT_EQ(clock.tickMs() - start, 200);
    link.setIdle(nullptr);  // nobody moves the clock: the wait still ends
    link.WaitMs(200);
    EXPECT_EQ(clock.tickMs() - start, 200);
}

}  // namespace
}  // namespace quillon
