// QUILLON's serial backend and decoder attached to the simulated meter: the simulator
// runs as its own process on a pseudo-terminal, QUILLON_PORTS names its link as COM1,
// and the test polls the port the way the poll loop does (ReadFrames once more than 9
// bytes wait).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSet>
#include <QThread>
#include <functional>

#include "clock.h"
#include "frame_decoder.h"
#include "port_table.h"
#include "posix_serial_library.h"
#include "session.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::SimProcess;

constexpr int kCom = 1;

class MeterLinkTest : public ::testing::Test {
  protected:
    // Starts the simulator with `script` and opens its line as COM1, set up as the
    // meter link sets it up.
    void attach(const QString& script) {
        sim_ = std::make_unique<SimProcess>(QStringList{"-e", script});
        ASSERT_TRUE(sim_->start()) << sim_->error().toStdString();
        qputenv("QUILLON_PORTS", sim_->linkPath().toLocal8Bit());
        lib_ = std::make_unique<PosixSerialLibrary>(PortTable::fromEnvironment());
        session_.link.portSettings.port = kCom;
        decoder_ = std::make_unique<FrameDecoder>(session_, *lib_, clock_);
        openPort();
    }

    void openPort() {
        ASSERT_EQ(lib_->sio_open(kCom), SIO_OK);
        ASSERT_EQ(lib_->sio_ioctl(kCom, 12, 3), SIO_OK);
        ASSERT_EQ(lib_->sio_flowctrl(kCom, 0), SIO_OK);
        ASSERT_EQ(lib_->sio_DTR(kCom, 1), SIO_OK);  // a pseudo-terminal has no modem lines
        ASSERT_EQ(lib_->sio_RTS(kCom, 1), SIO_OK);
    }

    // Polls like the poll loop (every 50 ms here) until `done` holds; every value text
    // seen on the way is collected in seen_.
    bool pollUntil(const std::function<bool()>& done, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            if (lib_->sio_iqueue(kCom) > 9) {
                decoder_->ReadFrames();
                seen_.insert(session_.reading.ValueText);
            }
            if (done()) return true;
            QThread::msleep(50);
        }
        return false;
    }
    bool pollForValue(const QString& text, int timeoutMs = 5000) {
        return pollUntil([&] { return session_.reading.ValueText == text; }, timeoutMs);
    }

    Session session_;
    SystemClock clock_;
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<PosixSerialLibrary> lib_;
    std::unique_ptr<FrameDecoder> decoder_;
    QSet<QString> seen_;
};

TEST_F(MeterLinkTest, DecodesTheReadingsTheSimulatorSends) {
    attach(
        "rate 8; func dcv; range 1; value -2.352; hold 2;"
        " func ohm; range 1; value 1.2345; hold 2; overload; hold 2;"
        " func acv; range 2; count 131071; hold 2; func tempc; range 1; value -0.0; hold 30");
    ASSERT_TRUE(pollForValue("-2.352"));
    EXPECT_EQ(session_.readout.value, "-2.352");
    EXPECT_EQ(session_.readout.unit, "V");
    EXPECT_EQ(session_.readout.coupling, "DC");
    EXPECT_EQ(session_.readout.signImage, 2);

    ASSERT_TRUE(pollForValue("1.2345"));  // a change of function and range
    EXPECT_EQ(session_.readout.unit, QString::fromUtf8("KΩ"));
    EXPECT_EQ(session_.reading.OLHigh, 6);

    ASSERT_TRUE(pollForValue("OL"));
    EXPECT_EQ(session_.readout.value, ". OL ");

    ASSERT_TRUE(pollForValue("1310.71"));  // the largest count, bit 16 in the status byte
    EXPECT_EQ(session_.readout.unit, "V");
    EXPECT_EQ(session_.readout.coupling, "AC");

    ASSERT_TRUE(pollForValue("-0.0"));
    EXPECT_EQ(session_.readout.unit, QString::fromUtf8("°C"));
}

TEST_F(MeterLinkTest, LineFaultsLoseFramesButNeverGiveAWrongReading) {
    // Noise, a torn frame and a frame with a wrong end byte between good frames.
    attach(
        "rate 8; func dcv; range 1; value 1.000; send 6; noise 60; send 4; torn; send 4;"
        " bytes F0 11 02 31 30 30 30 30 00 06; send 4; value 2.000; hold 30");
    ASSERT_TRUE(pollForValue("2.000", 10000));
    seen_.remove("1.000");
    seen_.remove("2.000");
    EXPECT_TRUE(seen_.isEmpty()) << "unexpected readings: "
                                 << QStringList(seen_.values()).join(", ").toStdString();
}

TEST_F(MeterLinkTest, SurvivesAHangUpAndReadsAgainAfterReopening) {
    attach(
        "rate 8; func dcv; range 1; value 1.500; hold 2; hangup 1;"
        " value 5.000; hold 60");
    ASSERT_TRUE(pollForValue("1.500"));

    // The cable is pulled: the port reports nothing waiting, reads return at once.
    ASSERT_TRUE(sim_->waitForLine("hangup", 5000));
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 20; ++i) {
        EXPECT_LE(lib_->sio_iqueue(kCom), 0);
        decoder_->ReadFrames();
    }
    EXPECT_LT(lib_->sio_getch(kCom), 0);
    char buffer[9];
    EXPECT_LE(lib_->sio_read(kCom, buffer, 9), 0);
    EXPECT_LT(timer.elapsed(), 1000);
    EXPECT_EQ(session_.reading.ValueText, "1.500");  // the last reading stays
    EXPECT_EQ(session_.link.MissCount, 0);

    // Plugged in again: the same COM number opens the new line.
    ASSERT_TRUE(sim_->waitForLine("ready ", 5000));
    EXPECT_EQ(lib_->sio_close(kCom), SIO_OK);
    openPort();
    EXPECT_TRUE(pollForValue("5.000"));
    EXPECT_EQ(lib_->sio_close(kCom), SIO_OK);
    EXPECT_TRUE(sim_->stop());
}

}  // namespace
}  // namespace quillon
