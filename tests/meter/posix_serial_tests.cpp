// The POSIX serial library on a real pseudo-terminal (never a real port).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include "frame_decoder.h"
#include "meter_frames.h"
#include "meter_link.h"
#include "posix_serial_library.h"

namespace quillon {
namespace {

// The master side of a pseudo-terminal, raw so that every byte passes unchanged.
class PseudoTerminal {
  public:
    PseudoTerminal() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
        slave = QString::fromLocal8Bit(::ptsname(master_));
        termios tio{};
        ::tcgetattr(master_, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(master_, TCSANOW, &tio);
    }
    ~PseudoTerminal() { closeMaster(); }
    void write(const QByteArray& bytes) {
        ASSERT_EQ(::write(master_, bytes.constData(), size_t(bytes.size())), bytes.size());
    }
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }
    QString slave;

  private:
    int master_ = -1;
};

// Waits (really, briefly) until the bytes written to the master reach the slave.
int WaitForQueue(PosixSerialLibrary& lib, int port, int atLeast) {
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    while ((n = lib.sio_iqueue(port)) < atLeast && timer.elapsed() < 2000) ::usleep(1000);
    return n;
}

TEST(PortTable, SortingAndLegacyPortsWithAUart) {
    QStringList names{"ttyS10", "ttyS2", "ttyS1"};
    std::sort(names.begin(), names.end(), DeviceNameLess);
    EXPECT_EQ(names, QStringList({"ttyS1", "ttyS2", "ttyS10"}));
    // Folders laid out as /sys/class/tty/<name> shows them; nothing is opened.
    QTemporaryDir sys;
    auto makeTty = [&](const QString& name, const QString& driver, const char* type) {
        const QString tty = sys.filePath(name);
        QDir().mkpath(tty + "/device");
        QDir().mkpath(sys.filePath("drivers/" + driver));
        if (!driver.isEmpty())
            QFile::link(sys.filePath("drivers/" + driver), tty + "/device/driver");
        QFile f(tty + "/type");
        if (type && f.open(QIODevice::WriteOnly)) f.write(type);
        return tty;
    };
    // Phantom and real legacy ports share the driver "port"; the fourth has no device.
    EXPECT_EQ(QList<bool>({HasSerialHardware(makeTty("ttyFAKE1", "port", "0\n")),
                           HasSerialHardware(makeTty("ttyFAKE2", "port", "4\n")),
                           HasSerialHardware(makeTty("ttyFAKE3", "serial8250", "4\n")),
                           HasSerialHardware(makeTty("ttyFAKE4", "", "4\n")),
                           HasSerialHardware(makeTty("ttyFAKE5", "pl011", nullptr))}),
              QList<bool>({false, true, true, false, true}));
}

TEST(PosixSerialLibrary, WorksOnPseudoTerminalAndAHangUpReadsAsNoData) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    PosixSerialLibrary lib(PortTable({pty.slave}));
    EXPECT_EQ(lib.sio_open(2), SIO_OPEN_FAIL);  // no device behind COM2
    EXPECT_FALSE(lib.openFailureReason(2).isEmpty());
    EXPECT_EQ(lib.sio_iqueue(1), SIO_BADPORT);  // not open yet
    ASSERT_EQ(lib.sio_open(1), SIO_OK);
    // A pseudo-terminal has no DTR: counts as done.
    EXPECT_EQ(QList<int>({lib.sio_ioctl(1, 12, 3), lib.sio_flowctrl(1, 0), lib.sio_DTR(1, 1),
                          lib.sio_RTS(1, 1), lib.sio_iqueue(1), lib.sio_getch(1)}),
              QList<int>({SIO_OK, SIO_OK, SIO_OK, SIO_OK, 0, SIO_NODATA}));
    // Bytes the line discipline would otherwise eat or translate pass unchanged.
    pty.write(QByteArray("\xF0\x11\x03\x0D\x0A\x7F\x13\x11\x00\x05", 10));
    ASSERT_EQ(WaitForQueue(lib, 1, 10), 10);
    EXPECT_EQ(lib.sio_getch(1), 0xF0);
    char buf[16] = {};
    EXPECT_EQ(lib.sio_read(1, buf, 16), 9);  // a short read returns the count
    EXPECT_EQ(QByteArray(buf, 9), QByteArray("\x11\x03\x0D\x0A\x7F\x13\x11\x00\x05", 9));
    EXPECT_EQ(lib.sio_AbortRead(1), SIO_OK);
    // Held by this library (or any other program): occupied.
    EXPECT_EQ(lib.sio_open(1), SIO_OPEN_FAIL);
    PosixSerialLibrary other(PortTable({pty.slave}));
    EXPECT_EQ(other.sio_open(1), SIO_OPEN_FAIL);
    EXPECT_EQ(lib.sio_close(1), SIO_OK);
    EXPECT_EQ(lib.sio_close(1), SIO_BADPORT);
    ASSERT_EQ(other.sio_open(1), SIO_OK);  // free again
    // The master goes away with bytes unread: reads drain them, then report nothing.
    ASSERT_EQ(other.sio_ioctl(1, 12, 3), SIO_OK);
    pty.write("abc");
    ASSERT_EQ(WaitForQueue(other, 1, 3), 3);
    pty.closeMaster();
    for (int i = 0; i < 20 && other.sio_read(1, buf, 9) > 0; ++i) continue;
    EXPECT_EQ(other.sio_iqueue(1), 0);
    EXPECT_EQ(other.sio_read(1, buf, 9), 0);
    EXPECT_EQ(other.sio_getch(1), SIO_NODATA);
    EXPECT_EQ(other.sio_close(1), SIO_OK);
}

// A scan finds an adapter plugged in after the start; COM numbers hold while a port is open.
TEST(PosixSerialLibrary, ScanSeesAdaptersPluggedInAfterStartAndSkipsNonTerminals) {
    PseudoTerminal pty;
    QStringList present;  // the serial devices the system has right now
    PosixSerialLibrary lib(PortTable(), [&] { return PortTable(present); });
    Session s;
    SystemClock clock;
    ScriptedMessageBoxes boxes;
    MeterLink link(s, lib, clock, boxes);
    pty.write(test::EncodeFrame({2, 0x31, 2352, true}) + test::EncodeFrame({2, 0x31, 1500}));
    link.FindMeterPort();
    EXPECT_FALSE(link.attemptRunning());
    EXPECT_FALSE(s.link.linkOn);
    present << "/dev/null" << pty.slave;
    link.FindMeterPort();
    link.finishAttempt();
    ASSERT_TRUE(s.link.linkOn);
    EXPECT_EQ(s.link.foundPort, 2);
    EXPECT_FALSE(lib.openFailureReason(1).isEmpty());
    EXPECT_TRUE(boxes.shown.isEmpty());
    FrameDecoder decoder(s, lib, clock);
    decoder.ReadFrames();
    EXPECT_EQ(s.reading.valueText, "1.500");
    present.prepend("/dev/zero");
    lib.refreshPorts();
    EXPECT_EQ(lib.ports().device(2), pty.slave);
    link.linkOff();
    EXPECT_FALSE(s.link.linkOn);
}

}  // namespace
}  // namespace quillon
