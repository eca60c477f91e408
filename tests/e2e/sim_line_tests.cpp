// The simulated meter's line, read through the link the simulator made, as its own
// process, like any serial port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <QFileInfo>
#include <QThread>

#include "meter_frame.h"
#include "sim_process.h"

namespace quillon::testing {
namespace {

using metersim::HexText;

// A reader of the slave side that leaves the line settings as the simulator made them.
class RawReader {
  public:
    explicit RawReader(const QString& path)
        : fd_(::open(QFile::encodeName(path), O_RDONLY | O_NOCTTY)) {}
    ~RawReader() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool isOpen() const { return fd_ >= 0; }
    int queued() const {
        int n = -1;
        ioctl(fd_, FIONREAD, &n);
        return n;
    }

    // Reads until `count` bytes arrived, the line hung up or `timeoutMs` passed.
    std::vector<std::uint8_t> read(std::size_t count, int timeoutMs) {
        std::vector<std::uint8_t> bytes;
        QElapsedTimer timer;
        timer.start();
        while (bytes.size() < count && !hungUp_ && timer.elapsed() < timeoutMs) {
            pollfd p{fd_, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0) continue;
            std::uint8_t buffer[512];
            const ssize_t n = ::read(fd_, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n > 0)
                bytes.insert(bytes.end(), buffer, buffer + n);
            else if (n == 0 || errno != EAGAIN)
                hungUp_ = true;  // end of file or EIO: the master side is gone
        }
        return bytes;
    }
    bool hungUp() const { return hungUp_; }

  private:
    int fd_;
    bool hungUp_ = false;
};

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from, std::size_t size) {
    return HexText(bytes.data() + from,
                   std::min(size, bytes.size() - std::min(from, bytes.size())));
}

TEST(SimLine, DeliversControlBytesUnchangedAtLineSpeed) {
    // Bytes a cooked terminal would eat (interrupt, XON, XOFF, suspend), translate (CR)
    // or echo; then frames back to back, 96 a second.
    SimProcess sim({"-e",
                    "rate 96; func 3; rangebyte 13; bytes 03 11 13 0D 0A 7F 1A 1C 00 FF;"
                    " count 0; hold 60"});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    RawReader reader(sim.linkPath());
    ASSERT_TRUE(reader.isOpen());

    const std::vector<std::uint8_t> start = reader.read(30, 3000);
    ASSERT_EQ(start.size(), 30u);
    EXPECT_EQ(Hex(start, 0, 10), "03 11 13 0D 0A 7F 1A 1C 00 FF");
    EXPECT_EQ(Hex(start, 10, 10), "F0 11 03 13 30 30 30 30 00 05");
    EXPECT_EQ(Hex(start, 20, 10), "F0 11 03 13 30 30 30 30 00 05");

    // 480 bytes take half a second at 9600 baud; never less than most of that.
    reader.read(std::size_t(reader.queued()), 1000);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(reader.read(480, 3000).size(), 480u);
    EXPECT_GE(timer.elapsed(), 400);
    EXPECT_TRUE(sim.stop());
}

TEST(SimLine, ReplacesAStaleLinkRemovesItOnStopAndNeverReplacesAFile) {
    SimProcess sim({"-e", "func dcv; range 1; value 1"});
    ASSERT_EQ(symlink("/dev/pts/nonexistent", QFile::encodeName(sim.linkPath())), 0);
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    EXPECT_EQ(QFileInfo(sim.linkPath()).symLinkTarget(), sim.slavePath());
    EXPECT_TRUE(sim.stop());
    EXPECT_EQ(sim.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sim.process().exitCode(), 0);
    EXPECT_FALSE(QFileInfo(sim.linkPath()).isSymLink());

    SimProcess refused({});
    QFile file(refused.linkPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    EXPECT_FALSE(refused.start());
    EXPECT_TRUE(refused.waitForExit(5000));
    EXPECT_NE(refused.process().exitCode(), 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

TEST(SimLine, HangsUpAndComesBackOnANewLine) {
    SimProcess sim(
        {"-e", "func dcv; range 1; count 1; hold 1; hangup 0.5; count 2; hold 1; hangup"});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    {
        RawReader reader(sim.linkPath());
        ASSERT_TRUE(reader.isOpen());
        EXPECT_EQ(Hex(reader.read(10, 2000), 0, 10), "F0 11 02 31 31 30 30 30 00 05");
        reader.read(100000, 5000);  // until the hang-up
        EXPECT_TRUE(reader.hungUp());
    }
    ASSERT_TRUE(sim.waitForLine("ready ", 5000));
    {
        RawReader reader(sim.linkPath());
        ASSERT_TRUE(reader.isOpen());
        EXPECT_EQ(Hex(reader.read(10, 2000), 0, 10), "F0 11 02 31 32 30 30 30 00 05");
    }
    // The last hang-up ends the program and takes the link away.
    ASSERT_TRUE(sim.waitForExit(5000));
    EXPECT_EQ(sim.process().exitCode(), 0);
    EXPECT_FALSE(QFileInfo(sim.linkPath()).isSymLink());
}

TEST(SimLine, KeepsStreamingWhileNobodyReads) {
    // 2.5 s at 96 frames a second is more than the line keeps for a reader that never
    // comes; the simulator must neither block nor stop, and drops the stale backlog.
    SimProcess sim({"-e", "rate 96; func dcv; range 1; count 1; hold 2.5; count 2"});
    ASSERT_TRUE(sim.start()) << sim.error().toStdString();
    QThread::msleep(3000);
    ASSERT_EQ(sim.process().state(), QProcess::Running);

    RawReader reader(sim.linkPath());
    ASSERT_TRUE(reader.isOpen());
    EXPECT_LE(reader.queued(), 2100);
    // The newest whole frame carries the reading sent after the backlog was dropped.
    const std::vector<std::uint8_t> bytes = reader.read(std::size_t(reader.queued()) + 20, 2000);
    ASSERT_GE(bytes.size(), 20u);
    std::size_t last = bytes.size() - 10;
    while (last > 0 && bytes[last] != 0xF0) --last;
    EXPECT_EQ(Hex(bytes, last, 10), "F0 11 02 31 32 30 30 30 00 05");
}

}  // namespace
}  // namespace quillon::testing
