// The whole acquisition path against the simulated meter on a pseudo-terminal, driven by
// the poll loop's own 500 ms timer. QUILLON_PORTS is "<missing path>:<simulator link>",
// so the meter is COM2.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>
#include <functional>
#include <memory>

#include "alarm_sound.h"
#include "clock.h"
#include "counting_serial_library.h"
#include "frame_decoder.h"
#include "messages.h"
#include "meter_link.h"
#include "poll_loop.h"
#include "port_table.h"
#include "posix_serial_library.h"
#include "session.h"
#include "sim_process.h"

namespace quillon {
namespace {

using testing::SimProcess;

constexpr int kMeterCom = 2;
const QString kTimeOutText = QStringLiteral("Time out! Please check your connector.");

// Records each message with the moment it was shown and whether the link was still
// up then; answers OK at once.
class RecordingMessageBoxes final : public MessageBoxes {
  public:
    struct Shown {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
        qint64 atMs;
        bool linkOnWhenShown;
    };

    RecordingMessageBoxes(const QElapsedTimer& since, const Session& session)
        : since_(since), session_(session) {}

    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override {
        shown.push_back({text, title, buttons, icon, since_.elapsed(), session_.link.LinkOn});
        return MsgResult::Ok;
    }

    QVector<Shown> shown;

  private:
    const QElapsedTimer& since_;
    const Session& session_;
};

class SilentAlarm final : public AlarmSound {
  public:
    void tone(int, int) override { ++sounds; }
    void playFile(const QString&) override { ++sounds; }
    int sounds = 0;
};

class PollLoopE2eTest : public ::testing::Test {
  protected:
    void TearDown() override {
        // The timer first, then the ports, then the simulator.
        loop_.reset();
        link_.reset();
        decoder_.reset();
        lib_.reset();
        if (sim_) {
            EXPECT_TRUE(sim_->stop());
        }
    }

    // Starts the simulator and builds the acquisition objects on the port table
    // "<missing>:<link>"; the poll loop's timer is not yet enabled.
    void attach(const QString& script) {
        sim_ = std::make_unique<SimProcess>(QStringList{"-e", script});
        ASSERT_TRUE(sim_->start()) << sim_->error().toStdString();
        ASSERT_TRUE(missingFolder_.isValid());
        const QString missing = missingFolder_.path() + "/ttyABSENT";
        ASSERT_FALSE(QFileInfo::exists(missing));
        qputenv("QUILLON_PORTS", (missing + ":" + sim_->linkPath()).toLocal8Bit());
        ports_ = PortTable::fromEnvironment();
        ASSERT_EQ(ports_.count(), 2);

        lib_ = std::make_unique<CountingSerialLibrary>(ports_);
        decoder_ = std::make_unique<FrameDecoder>(session_, *lib_, clock_);
        link_ = std::make_unique<MeterLink>(session_, *lib_, clock_, boxes_, ports_);
        loop_ = std::make_unique<PollLoop>(session_, *lib_, *decoder_, *link_, boxes_, alarm_,
                                           QString());
        session_.hooks.mnstop_Click = [this] { ++stops_; };
        session_.hooks.Refresh = [this] { ++ticks_; };
        since_.start();
    }

    // Runs the event loop (and so the poll timer) until `done` holds or the time is up.
    // Every pass also notes the simulator's announcements and `sample`.
    bool runUntil(const std::function<bool()>& done, int timeoutMs,
                  const std::function<void()>& sample = nullptr) {
        QElapsedTimer timer;
        timer.start();
        while (true) {
            noteSimulatorLines();
            if (sample) sample();
            if (done()) return true;
            if (timer.elapsed() > timeoutMs) return false;
            QTest::qWait(20);
        }
    }
    bool runUntilValue(const QString& text, int timeoutMs = 10000) {
        return runUntil([&] { return session_.reading.ValueText == text; }, timeoutMs);
    }

    // "hangup" when the simulator closed its line, "ready" when it opened a new one.
    void noteSimulatorLines() {
        QProcess& p = sim_->process();
        while (p.canReadLine()) {
            const QString line = QString::fromUtf8(p.readLine()).trimmed();
            if (line == "hangup" && hangupAtMs_ < 0) hangupAtMs_ = since_.elapsed();
            if (line.startsWith("ready ") && hangupAtMs_ >= 0 && backAtMs_ < 0)
                backAtMs_ = since_.elapsed();
        }
    }

    Session session_;
    SystemClock clock_;
    QElapsedTimer since_;
    RecordingMessageBoxes boxes_{since_, session_};
    SilentAlarm alarm_;
    QTemporaryDir missingFolder_;
    PortTable ports_;
    std::unique_ptr<SimProcess> sim_;
    std::unique_ptr<CountingSerialLibrary> lib_;
    std::unique_ptr<FrameDecoder> decoder_;
    std::unique_ptr<MeterLink> link_;
    std::unique_ptr<PollLoop> loop_;
    int stops_ = 0;
    int ticks_ = 0;
    qint64 hangupAtMs_ = -1;
    qint64 backAtMs_ = -1;
};

TEST_F(PollLoopE2eTest, ScanReadTimeOutAndReopenOfTheSamePort) {
    if (!QFileInfo(SimProcess::program()).isExecutable())
        GTEST_SKIP() << "no simulator at " << SimProcess::program().toStdString();

    // The meter is pulled 7 s after the start and plugged in again 19 s later, well
    // after the 15 s time-out.
    attach(
        "rate 8; func dcv; range 1; value 1.234; hold 4; value -0.567; hold 3;"
        " hangup 19; value 2.500; hold 60");
    if (HasFatalFailure()) return;
    session_.settings.autoScan = 0;
    ASSERT_EQ(session_.link.timerInterval, 500);
    loop_->setTimerEnabled(true);

    // The scan tries the missing COM1, then finds the meter on COM2.
    ASSERT_TRUE(runUntil([&] { return session_.link.LinkOn; }, 10000)) << "no link";
    EXPECT_EQ(session_.link.FoundPort, kMeterCom);
    EXPECT_EQ(session_.link.portSettings.port, kMeterCom);
    EXPECT_GE(lib_->failedOpens.value(1), 1);
    EXPECT_EQ(lib_->failedOpens.value(kMeterCom), 0);
    EXPECT_TRUE(session_.readout.indicator[kIndRS232]);
    EXPECT_FALSE(session_.readout.indicator[kIndWait]);
    const int com1OpensAtLink = lib_->opens.value(1);

    // The readings the simulator sends, as the readout shows them.
    ASSERT_TRUE(runUntilValue("1.234"))
        << "last value: " << session_.reading.ValueText.toStdString();
    EXPECT_EQ(session_.readout.value, "1.234");
    EXPECT_EQ(session_.readout.unit, "V");
    EXPECT_EQ(session_.readout.coupling, "DC");
    EXPECT_EQ(session_.readout.signImage, 1);
    ASSERT_TRUE(runUntilValue("-0.567"))
        << "last value: " << session_.reading.ValueText.toStdString();
    EXPECT_EQ(session_.readout.value, "-0.567");
    EXPECT_EQ(session_.readout.signImage, 2);
    EXPECT_TRUE(boxes_.shown.isEmpty());

    // The cable is pulled: after 15 s without data one message, then Link Off.
    ASSERT_TRUE(runUntil([&] { return hangupAtMs_ >= 0; }, 15000)) << "simulator never hung up";
    ASSERT_TRUE(runUntil([&] { return !boxes_.shown.isEmpty(); }, 40000))
        << "no time-out message; link on: " << session_.link.LinkOn
        << ", MissCount: " << session_.link.MissCount;
    const RecordingMessageBoxes::Shown timeOut = boxes_.shown.front();
    EXPECT_EQ(timeOut.text, kTimeOutText);
    EXPECT_TRUE(timeOut.title.isEmpty());
    EXPECT_EQ(timeOut.buttons, MsgButtons::Ok);
    EXPECT_EQ(timeOut.icon, MsgIcon::None);
    EXPECT_TRUE(timeOut.linkOnWhenShown);  // Link Off follows the message
    const qint64 silenceMs = timeOut.atMs - hangupAtMs_;
    EXPECT_GE(silenceMs, 13000) << "time-out came too early";
    EXPECT_LE(silenceMs, 30000) << "time-out came too late";

    EXPECT_FALSE(session_.link.LinkOn);
    EXPECT_TRUE(session_.readout.indicator[kIndWait]);
    EXPECT_EQ(stops_, 1);  // Link Off stops the recording
    // The last reading stays.
    EXPECT_EQ(session_.reading.ValueText, "-0.567");

    // Without a link every tick reopens COM2, and the indicator blinks, until the meter
    // is back. No scan: COM1 is never tried again.
    const int com2FailuresAtLinkOff = lib_->failedOpens.value(kMeterCom);
    const bool linkOffBeforeBack = backAtMs_ < 0;
    bool blinkOn = false;
    bool blinkOff = false;
    const auto noteBlink = [&] {
        if (session_.link.LinkOn) return;
        (session_.readout.indicator[kIndRS232] ? blinkOn : blinkOff) = true;
    };
    ASSERT_TRUE(runUntil([&] { return session_.link.LinkOn; }, 40000, noteBlink))
        << "link never came back";
    EXPECT_EQ(session_.link.FoundPort, kMeterCom);
    EXPECT_EQ(lib_->opens.value(1), com1OpensAtLink);
    EXPECT_TRUE(session_.readout.indicator[kIndRS232]);
    EXPECT_FALSE(session_.readout.indicator[kIndWait]);
    if (linkOffBeforeBack) {
        EXPECT_GE(lib_->failedOpens.value(kMeterCom), com2FailuresAtLinkOff + 1)
            << "no reopen attempts while the meter was away";
        EXPECT_TRUE(blinkOn && blinkOff) << "the RS232 indicator did not blink";
    }

    ASSERT_TRUE(runUntilValue("2.500"))
        << "last value: " << session_.reading.ValueText.toStdString();
    // A few more ticks with data: still the one message, and the link stays up.
    const int ticksNow = ticks_;
    ASSERT_TRUE(runUntil([&] { return ticks_ >= ticksNow + 4; }, 10000));
    EXPECT_EQ(boxes_.shown.size(), 1);
    EXPECT_TRUE(session_.link.LinkOn);
    EXPECT_EQ(lib_->opens.value(1), com1OpensAtLink);
    EXPECT_EQ(alarm_.sounds, 0);  // no recording runs
}

}  // namespace
}  // namespace quillon
