// The poll loop on its own timer against simulated meters on pseudo-terminals.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTest>
#include <memory>
#include <vector>

#include "alarm_sound.h"
#include "frame_decoder.h"
#include "meter_link.h"
#include "poll_loop.h"
#include "posix_serial_library.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::SimProcess;

constexpr qint64 kStallBoundMs = 200;  // the benchmark's target is 50 ms; a busy machine
const QString kSilent = QStringLiteral("silence 3600");

// The real serial backend, counting open attempts per COM number: a scan or a reopen.
class CountingSerialLibrary final : public SerialLibrary {
  public:
    explicit CountingSerialLibrary(PortTable ports) : real_(std::move(ports)) {}
    int sio_open(int port) override {
        const int result = real_.sio_open(port);
        ++opens[port];
        if (result != SIO_OK) ++failedOpens[port];
        return result;
    }
    int sio_close(int port) override { return real_.sio_close(port); }
    int sio_ioctl(int port, int baud, int mode) override {
        return real_.sio_ioctl(port, baud, mode);
    }
    int sio_flowctrl(int port, int mask) override { return real_.sio_flowctrl(port, mask); }
    int sio_DTR(int port, int on) override { return real_.sio_DTR(port, on); }
    int sio_RTS(int port, int on) override { return real_.sio_RTS(port, on); }
    int sio_iqueue(int port) override { return real_.sio_iqueue(port); }
    int sio_getch(int port) override { return real_.sio_getch(port); }
    int sio_read(int port, char* buffer, int len) override {
        return real_.sio_read(port, buffer, len);
    }
    int sio_AbortRead(int port) override { return real_.sio_AbortRead(port); }
    PortTable ports() const override { return real_.ports(); }
    int descriptor(int port) const override { return real_.descriptor(port); }
    QHash<int, int> opens, failedOpens;

  private:
    PosixSerialLibrary real_;
};

// The longest delay of a 10 ms timer while it runs: the longest the loop was held up.
class StallMeter {
  public:
    StallMeter() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
            worst = qMax(worst, since_.elapsed() - last_ - 10);
            last_ = since_.elapsed();
        });
        since_.start();
        timer_.start(10);
    }
    qint64 worst = 0;

  private:
    QTimer timer_;
    QElapsedTimer since_;
    qint64 last_ = 0;
};

qint64 RssKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toLongLong();
    return 0;
}

class PollLoopE2eTest : public ::testing::Test {
  protected:
    void TearDown() override {
        loop_.reset();  // the timer first, then the ports, then the simulators
        link_.reset();
        decoder_.reset();
        lib_.reset();
        for (auto& sim : sims_) EXPECT_TRUE(sim->stop());
    }

    // One simulator per script, as COM numbers after `ports`; the poll loop's timer runs.
    void attach(const QStringList& scripts, QStringList ports = {}) {
        if (!QFileInfo(SimProcess::program()).isExecutable())
            GTEST_SKIP() << "no simulator at " << SimProcess::program().toStdString();
        for (const QString& script : scripts) {
            sims_.push_back(std::make_unique<SimProcess>(QStringList{"-e", script}));
            ASSERT_TRUE(sims_.back()->start()) << sims_.back()->error().toStdString();
            ports << sims_.back()->linkPath();
        }
        qputenv("QUILLON_PORTS", ports.join(':').toLocal8Bit());
        const PortTable table = PortTable::fromEnvironment();
        lib_ = std::make_unique<CountingSerialLibrary>(table);
        decoder_ = std::make_unique<FrameDecoder>(s, *lib_, clock_);
        link_ = std::make_unique<MeterLink>(s, *lib_, clock_, boxes_, table);
        loop_ = std::make_unique<PollLoop>(s, *lib_, *decoder_, *link_, boxes_, alarm_, QString());
        s.hooks.stopRecording = [this] { ++stops_; };
        s.hooks.refresh = [this] { ++ticks_; };
        s.settings.autoScan = 0;
        ASSERT_EQ(s.link.pollIntervalMs, 500);
        since_.start();
        loop_->setTimerEnabled(true);
    }

    // Runs events until `done`, noting readings shown and the first simulator's hang-up.
    bool runUntil(const std::function<bool()>& done, int timeoutMs,
                  const std::function<void()>& sample = nullptr) {
        QElapsedTimer timer;
        for (timer.start(); timer.elapsed() <= timeoutMs; QTest::qWait(20)) {
            for (QProcess& p = sims_.front()->process(); p.canReadLine();) {
                const QString line = QString::fromUtf8(p.readLine()).trimmed();
                if (line == "hangup" && hangupAtMs_ < 0) hangupAtMs_ = since_.elapsed();
                if (line.startsWith("ready ") && hangupAtMs_ >= 0 && backAtMs_ < 0)
                    backAtMs_ = since_.elapsed();
            }
            seen_.insert(s.reading.valueText + " " + s.readout.unit);
            if (sample) sample();
            if (done()) return true;
        }
        return false;
    }
    bool runUntilValue(const QString& text, int timeoutMs = 10000) {
        return runUntil([&] { return s.reading.valueText == text; }, timeoutMs);
    }
    // The readings shown that are not among `expected`.
    QString unexpected(const QSet<QString>& expected) const {
        return QStringList((seen_ - expected - QSet<QString>{" "}).values()).join(", ");
    }

    Session s;
    SystemClock clock_;
    QElapsedTimer since_;
    ScriptedMessageBoxes boxes_;
    AlarmSoundModule alarm_{QString()};
    QTemporaryDir missingFolder_;
    std::vector<std::unique_ptr<SimProcess>> sims_;
    std::unique_ptr<CountingSerialLibrary> lib_;
    std::unique_ptr<FrameDecoder> decoder_;
    std::unique_ptr<MeterLink> link_;
    std::unique_ptr<PollLoop> loop_;
    int stops_ = 0, ticks_ = 0;
    qint64 hangupAtMs_ = -1, backAtMs_ = -1;
    QSet<QString> seen_;
};

// COM1 is missing, the meter (COM2) sends readings among line faults, then is pulled for 19 s.
TEST_F(PollLoopE2eTest, ScanReadTimeOutAndReopenOfTheSamePort) {
    attach({"rate 8; func dcv; range 1; value -2.352; hold 2; send 6; noise 60; send 4; torn;"
            " send 4; bytes F0 11 02 31 30 30 30 30 00 06; send 4; func ohm; range 1;"
            " value 1.2345; hold 2; func dcv; range 1; value 1.234; hold 3;"
            " hangup 19; value 2.500; hold 60"},
           {missingFolder_.path() + "/ttyABSENT"});
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(runUntil([&] { return s.link.linkOn; }, 10000)) << "no link";
    EXPECT_EQ(s.link.foundPort, 2);
    EXPECT_GE(lib_->failedOpens.value(1), 1);
    EXPECT_EQ(lib_->failedOpens.value(2), 0);
    const int com1OpensAtLink = lib_->opens.value(1);
    ASSERT_TRUE(runUntilValue("-2.352"));
    EXPECT_EQ(s.readout.value + " " + s.readout.unit + " " + s.readout.coupling, "-2.352 V DC");
    ASSERT_TRUE(runUntilValue("1.2345"));  // a change of function and range
    EXPECT_EQ(s.readout.unit, QString::fromUtf8("KΩ"));
    EXPECT_EQ(s.reading.rangeHigh, 6);
    ASSERT_TRUE(runUntilValue("1.234"));
    EXPECT_EQ(s.readout.value + " " + s.readout.unit + " " + s.readout.coupling, "1.234 V DC");
    EXPECT_TRUE(boxes_.shown.isEmpty());

    // The cable is pulled: after 15 s without data one message, then Link Off.
    ASSERT_TRUE(runUntil([&] { return hangupAtMs_ >= 0; }, 15000)) << "simulator never hung up";
    ASSERT_TRUE(runUntil([&] { return !boxes_.shown.isEmpty(); }, 40000))
        << "no time-out message; MissCount " << s.link.ticksWithoutData;
    EXPECT_EQ(boxes_.shown.front().text, "Time out! Please check your connector.");
    EXPECT_GE(since_.elapsed() - hangupAtMs_, 13000) << "time-out came too early";
    EXPECT_LE(since_.elapsed() - hangupAtMs_, 30000) << "time-out came too late";
    EXPECT_FALSE(s.link.linkOn);
    EXPECT_TRUE(s.readout.indicator[kIndWait]);
    EXPECT_EQ(stops_, 1);  // Link Off stops the recording
    EXPECT_EQ(s.reading.valueText, "1.234") << "the last reading stays";

    // Without a link every tick reopens COM2 (no scan), the indicator blinking.
    const int com2FailuresAtLinkOff = lib_->failedOpens.value(2);
    const bool linkOffBeforeBack = backAtMs_ < 0;
    bool blinked[2] = {false, false};
    const auto noteBlink = [&] {
        if (!s.link.linkOn) blinked[s.readout.indicator[kIndRS232]] = true;
    };
    ASSERT_TRUE(runUntil([&] { return s.link.linkOn; }, 40000, noteBlink)) << "no link again";
    EXPECT_EQ(s.link.foundPort, 2);
    EXPECT_TRUE(s.readout.indicator[kIndRS232] && !s.readout.indicator[kIndWait]);
    if (linkOffBeforeBack) {
        EXPECT_GT(lib_->failedOpens.value(2), com2FailuresAtLinkOff) << "no reopen attempts";
        EXPECT_TRUE(blinked[0] && blinked[1]) << "the RS232 indicator did not blink";
    }
    ASSERT_TRUE(runUntilValue("2.500"));
    // A few more ticks with data: still the one message, and the link stays up.
    const int ticksNow = ticks_;
    ASSERT_TRUE(runUntil([&] { return ticks_ >= ticksNow + 4; }, 10000));
    EXPECT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(s.link.linkOn);
    EXPECT_EQ(lib_->opens.value(1), com1OpensAtLink);
    EXPECT_EQ(unexpected({"-2.352 V", QString::fromUtf8("1.2345 KΩ"), "1.234 V", "2.500 V"}), "");
}

TEST_F(PollLoopE2eTest, ScanOfEightSilentPortsNeverHoldsTheLoop) {
    attach(QStringList(8, kSilent));
    if (IsSkipped() || HasFatalFailure()) return;
    StallMeter meter;
    runUntil([] { return false; }, 4000);
    EXPECT_LT(meter.worst, kStallBoundMs);
    for (int com = 1; com <= 8; ++com) EXPECT_GE(lib_->opens.value(com), 2) << "COM" << com;
    EXPECT_EQ(lib_->failedOpens.value(1), 0);
    EXPECT_FALSE(s.link.linkOn);
}

TEST_F(PollLoopE2eTest, MeterOnTheLastOfEightPortsIsFound) {
    attach(QStringList(7, kSilent) << "rate 8; func dcv; range 1; value 1.234; hold 3600");
    if (IsSkipped() || HasFatalFailure()) return;
    StallMeter meter;
    ASSERT_TRUE(runUntilValue("1.234")) << "link on: " << s.link.linkOn;
    EXPECT_EQ(s.link.foundPort, 8);
    EXPECT_EQ(lib_->opens.value(8), 1);  // found at its first turn
    EXPECT_LT(meter.worst, kStallBoundMs);
}

// Noise with 30 % sync bytes, each a frame start to try.
TEST_F(PollLoopE2eTest, FloodNeverHoldsTheLoopKeepsMemoryFlatAndStillDecodesFrames) {
    attach({"rate 20; func dcv; range 1; value 1.234; flood 3600 0.3"});
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(runUntil([&] { return s.link.linkOn; }, 5000));
    StallMeter meter;
    const qint64 rssBefore = RssKb();
    EXPECT_TRUE(runUntilValue("1.234", 30000));
    runUntil([] { return false; }, 3000);
    EXPECT_LT(meter.worst, kStallBoundMs);
    EXPECT_LT(RssKb() - rssBefore, 4096) << "memory grew under the flood";
    EXPECT_TRUE(s.link.linkOn);  // noise keeps the link alive
    EXPECT_EQ(unexpected({"1.234 V"}), "");
}

}  // namespace
}  // namespace quillon
