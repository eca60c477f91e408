// The poll tick over a scripted port, a fake clock and a fake alarm sound.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>

#include "meter_frames.h"
#include "poll_loop.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

using test::EncodeFrame;
using test::FrameSpec;

class FakeAlarmSound final : public AlarmSound {
  public:
    void tone(int hz, int ms) override { played << QStringLiteral("tone %1 %2").arg(hz).arg(ms); }
    void playFile(const QString& path) override { played << "file " + path; }
    QStringList played;
};

// Message boxes that run something while "open", as a real modal box runs events.
class EventfulBoxes final : public MessageBoxes {
  public:
    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (whileOpen) whileOpen();
        return MsgResult::Ok;
    }
    QVector<ScriptedMessageBoxes::Shown> shown;
    std::function<void()> whileOpen;
};

class PollTest : public ::testing::Test {
  protected:
    PollTest() {
        lib.logDataCalls = false;
        link.setIdle([this] { clock.advance(1); });
        decoder.setIdle([this] { clock.advance(1); });
        s.hooks.mnstop_Click = [this] { ++stops; };
        s.hooks.RecordStep = [this] { ++recordSteps; };
        s.hooks.ScheduleCheck = [this] { ++scheduleChecks; };
        s.link.OSMajor = 6;
    }
    // A link that is up on COM1.
    void linkUp() {
        lib.setOpenResult(1, SIO_OK);
        lib.sio_open(1);
        s.link.portSettings.port = 1;
        s.link.FoundPort = 1;
        s.link.LinkOn = true;
    }
    void tick(const QByteArray& arriving = {}) {
        if (!arriving.isEmpty()) lib.appendInput(1, arriving);
        loop.Timer1_Timer();
        clock.advance(500);
    }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    EventfulBoxes boxes;
    PortTable ports{QStringList{"/dev/ttyFAKE1", "/dev/ttyFAKE2"}};
    MeterLink link{s, lib, clock, boxes, ports};
    FrameDecoder decoder{s, lib, clock};
    FakeAlarmSound sound;
    PollLoop loop{s, lib, decoder, link, boxes, sound, "/opt/QUILLON"};
    int stops = 0, recordSteps = 0, scheduleChecks = 0;
};

TEST_F(PollTest, TimeOutOnThirtiethSilentTickOnce) {
    linkUp();
    // While the time-out message is open, the timer would fire again: that tick is
    // skipped.
    boxes.whileOpen = [this] { loop.Timer1_Timer(); };
    tick(EncodeFrame({2, 0x31, 1000}));
    EXPECT_EQ(s.link.MissCount, 1);
    for (int i = 0; i < 29; ++i) tick();
    EXPECT_EQ(s.link.MissCount, 30);
    EXPECT_TRUE(boxes.shown.isEmpty());
    tick();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.shown[0].text, "Time out! Please check your connector.");
    EXPECT_EQ(boxes.shown[0].title, "");
    EXPECT_EQ(boxes.shown[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(boxes.shown[0].icon, MsgIcon::None);
    EXPECT_FALSE(s.link.LinkOn);
    EXPECT_FALSE(lib.isOpen(1));
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(scheduleChecks, 31);
}

// Once the last frame may be 1.5 s old the reading is no longer live: "WAIT" instead of
// "RS232".
// With "keep recording" on, the time-out of a recording closes the port without a box or
// a Stop, and the next tick reopens it.
TEST_F(PollTest, SilentMeterShowsWaitThenTimesOut) {
    struct Case {
        const char* name;
        int keepRecording;
        int recNo;
        bool box;
    };
    const Case cases[] = {
        {"recording", 0, 3, true},
        {"recording, keep recording on", 1, 3, false},
        {"idle, keep recording on", 1, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        stops = 0;
        linkUp();
        s.settings.keepRecording = c.keepRecording;
        s.rec.RecNo = c.recNo;
        s.rec.RunState = c.recNo > 0 ? kRunRecording : kRunIdle;
        s.rec.Running = c.recNo > 0;
        const auto live = [this] {
            return !s.readout.stale && s.readout.indicator[kIndRS232] &&
                   !s.readout.indicator[kIndWait];
        };
        const auto waiting = [this] {
            return s.readout.stale && !s.readout.indicator[kIndRS232] &&
                   s.readout.indicator[kIndWait];
        };
        tick(EncodeFrame({2, 0x31, 1000}));
        EXPECT_TRUE(live());
        tick();
        EXPECT_TRUE(live()) << "half a second without a frame";
        tick();
        EXPECT_TRUE(waiting()) << "the last frame may have come 1.5 s ago";
        tick(QByteArray(12, '\x01'));  // noise is no frame
        EXPECT_TRUE(waiting());
        tick(EncodeFrame({2, 0x31, 1000}));
        EXPECT_TRUE(live());

        for (int i = 0; i < 30; ++i) tick();
        EXPECT_EQ(boxes.shown.size(), c.box ? 1 : 0);
        EXPECT_EQ(stops, c.box ? 1 : 0);
        EXPECT_FALSE(s.link.LinkOn);
        EXPECT_FALSE(lib.isOpen(1));
        EXPECT_TRUE(waiting());
        if (!c.box) {
            const int opens = lib.logText("sio_open").size();
            tick();
            EXPECT_EQ(lib.logText("sio_open").size(), opens + 1) << "reopened on the next tick";
        }
    }
}

// The time-out box stands over the window as the tick left it (the record step ran).
TEST_F(PollTest, TimeOutBoxStandsOverAnUpToDateWindow) {
    linkUp();
    s.rec.RunState = kRunRecording;
    s.rec.Running = true;
    int stepsShown = -1, stepsShownUnderBox = -1;
    s.hooks.Refresh = [&] { stepsShown = recordSteps; };
    boxes.whileOpen = [&] { stepsShownUnderBox = stepsShown; };
    for (int i = 0; i < 31; ++i) tick();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(stepsShownUnderBox, recordSteps);
}

TEST_F(PollTest, NoiseKeepsTheLinkAliveNineBytesDoNot) {
    linkUp();
    for (int i = 0; i < 100; ++i) tick(QByteArray(10, '\x01'));
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(s.link.MissCount, 1);

    lib.appendInput(1, QByteArray(9, '\x01'));
    tick();
    EXPECT_EQ(lib.queued(1), 9);  // not decoded
    EXPECT_EQ(s.link.MissCount, 2);
}

struct OverloadStopCase {
    const char* name;
    FrameSpec frame;
    int olStop;
    int recNo;
    bool running;
    bool stops;
};

class OverloadStopTest : public PollTest, public ::testing::WithParamInterface<OverloadStopCase> {};

TEST_P(OverloadStopTest, StopsRecording) {
    const OverloadStopCase& c = GetParam();
    linkUp();
    s.settings.OL_stop = c.olStop;
    s.rec.RecNo = c.recNo;
    s.rec.RunState = c.recNo > 0 ? kRunRecording : kRunIdle;
    s.rec.Running = c.running;
    tick(EncodeFrame(c.frame));
    EXPECT_EQ(stops, c.stops ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Overload, OverloadStopTest,
    ::testing::Values(
        OverloadStopCase{"OverloadAfterFirstRecord", {2, 0x31, 0, false, true}, 1, 2, true, true},
        OverloadStopCase{"OverloadWhilePaused", {2, 0x31, 0, true, true}, 1, 2, false, true},
        OverloadStopCase{"NoRecordYet", {2, 0x31, 0, false, true}, 1, 1, true, false},
        OverloadStopCase{"NoRecording", {2, 0x31, 0, false, true}, 1, 0, false, false},
        OverloadStopCase{"SettingOff", {2, 0x31, 0, false, true}, 0, 5, true, false},
        OverloadStopCase{"NumericReading", {2, 0x31, 1234}, 1, 5, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PollTest, AlarmSoundsOnlyWhileRecordingRuns) {
    linkUp();
    s.rec.RunState = kRunRecording;
    s.link.AlarmOn = true;
    s.rec.Running = false;
    tick();
    EXPECT_TRUE(sound.played.isEmpty());
    EXPECT_EQ(recordSteps, 0);

    s.rec.Running = true;
    tick();
    tick();
    EXPECT_EQ(sound.played, QStringList({"tone 2200 80", "tone 2200 80"}));
    EXPECT_EQ(recordSteps, 2);

    s.link.OSMajor = 7;
    sound.played.clear();
    tick();
    EXPECT_EQ(sound.played, QStringList({"file /opt/QUILLON/ding.wav"}));
}

TEST_F(PollTest, NoOpeningAttemptWhileFileViewedOrAfterCommand) {
    lib.setOpenResult(1, SIO_OK);
    for (int state : {int(kRunViewingFile), int(kRunCommand)}) {
        s.rec.RunState = state;
        s.readout.indicator[kIndRS232] = true;
        tick();
        EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    }
    EXPECT_TRUE(lib.logText("sio_open").isEmpty());
    EXPECT_EQ(scheduleChecks, 2);

    // Idle: the indicator blinks and each tick makes one attempt, and nothing else.
    s.rec.RunState = kRunIdle;
    tick();
    EXPECT_TRUE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(lib.logText("sio_open").size(), 4);  // a scan: two passes over COM1..2
    tick();
    EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(scheduleChecks, 2);

    // Found later on the next tick, once the meter talks.
    lib.appendInput(2, QByteArray(12, '\x02'));
    lib.setOpenResult(2, SIO_OK);
    tick();
    EXPECT_TRUE(s.link.LinkOn);
    EXPECT_EQ(s.link.FoundPort, 2);
}

TEST_F(PollTest, TimerRunsTicksWhileEnabled) {
    s.link.timerInterval = 5;
    s.rec.RunState = kRunCommand;  // ticks do nothing but the schedule check
    loop.setTimerEnabled(true);
    EXPECT_TRUE(s.link.timerEnabled);
    QElapsedTimer waited;
    waited.start();
    while (scheduleChecks < 2 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GE(scheduleChecks, 2);

    loop.setTimerEnabled(false);
    EXPECT_FALSE(s.link.timerEnabled);
    const int seen = scheduleChecks;
    QElapsedTimer after;
    after.start();
    while (after.elapsed() < 30) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(scheduleChecks, seen);

    // A command that only sets the flag brings the ticks back.
    s.link.timerEnabled = true;
    while (scheduleChecks == seen && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_GT(scheduleChecks, seen);
}

TEST(SystemVersion, FormatAndMajorDigit) {
    EXPECT_EQ(FormatOSVersion(6, 1), "6.01");
    EXPECT_EQ(FormatOSVersion(5, 15), "5.15");
    EXPECT_EQ(OSMajorOf("6.01"), 6);
    EXPECT_EQ(OSMajorOf(" 10.02"), 1);
    EXPECT_EQ(OSMajorOf(""), 0);
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d\\d$").match(GetOSVersion()).hasMatch());
}

TEST(QtAlarmSound, SilentWithoutDeviceOrFile) {
    QtAlarmSound sound;
    sound.tone(2200, 80);
    sound.playFile("/nonexistent/ding.wav");
    QCoreApplication::processEvents();
    SUCCEED();
}

}  // namespace
}  // namespace quillon
