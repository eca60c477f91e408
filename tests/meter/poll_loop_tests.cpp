// The poll tick over a scripted port, a fake clock and a fake alarm sound.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
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
    void prepare() override { played << "prepare"; }
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
            const int checks = scheduleChecks;
            tick();
            EXPECT_EQ(lib.logText("sio_open").size(), opens + 1) << "reopened on the next tick";
            EXPECT_EQ(scheduleChecks, checks) << "no schedule check without a link";
            s.sched.SchedRunning = true;
            tick();
            EXPECT_EQ(scheduleChecks, checks + 1) << "a scheduled recording's stop is checked";
            s.sched.SchedRunning = false;
        }
    }
}

// Whether the reading is live follows the clock, not the count of ticks: a late tick
// shows "WAIT" once the frame may be 1.5 s old.
TEST_F(PollTest, LateTickShowsWaitByTheClock) {
    linkUp();
    tick(EncodeFrame({2, 0x31, 1000}));  // decoded at 0 ms; the clock is at 500 ms now
    clock.advance(700);
    loop.Timer1_Timer();
    EXPECT_TRUE(s.readout.stale);
    EXPECT_TRUE(s.readout.indicator[kIndWait]);
    EXPECT_FALSE(s.readout.indicator[kIndRS232]);
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
    s.settings.T1_beep = 1;
    s.link.AlarmOn = true;
    s.rec.Running = false;
    tick();
    EXPECT_TRUE(sound.played.isEmpty());  // not even made ready
    EXPECT_EQ(recordSteps, 0);

    s.rec.Running = true;
    tick();
    tick();
    // Made ready on every tick of the recording (loading once is the player's business).
    EXPECT_EQ(sound.played, QStringList({"prepare", "tone 2200 80", "prepare", "tone 2200 80"}));
    EXPECT_EQ(recordSteps, 2);

    s.link.OSMajor = 7;
    sound.played.clear();
    tick();
    EXPECT_EQ(sound.played, QStringList({"prepare", "file /opt/QUILLON/ding.wav"}));

    // Without the alarm setting a recording never loads the player.
    s.settings.T1_beep = 0;
    s.link.AlarmOn = false;
    sound.played.clear();
    tick();
    EXPECT_TRUE(sound.played.isEmpty());
}

TEST_F(PollTest, OpeningAttemptSpansTicksAndNothingElseRuns) {
    lib.setOpenResult(1, SIO_OK);
    for (int state : {int(kRunViewingFile), int(kRunCommand)}) {
        s.rec.RunState = state;
        s.readout.indicator[kIndRS232] = true;
        tick();
        EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    }
    EXPECT_TRUE(lib.logText("sio_open").isEmpty());
    EXPECT_EQ(scheduleChecks, 2);

    // Idle: the indicator blinks and each tick takes the attempt's due steps, and
    // nothing else: a scan listens to COM1, then COM2 (no device) and COM1 again.
    s.rec.RunState = kRunIdle;
    tick();
    EXPECT_TRUE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(lib.logText("sio_open"), QStringList({"sio_open 1"}));
    tick();
    EXPECT_FALSE(s.readout.indicator[kIndRS232]);
    EXPECT_EQ(lib.logText("sio_open"), QStringList({"sio_open 1", "sio_open 2", "sio_open 1"}));
    EXPECT_EQ(scheduleChecks, 2);

    // A command now: the attempt goes on, but no tick reads the port it listens to.
    s.rec.RunState = kRunCommand;
    lib.appendInput(1, QByteArray(30, '\x02'));
    tick();
    EXPECT_TRUE(s.link.LinkOn);
    EXPECT_EQ(s.link.FoundPort, 1);
    EXPECT_EQ(lib.queued(1), 30);
    EXPECT_EQ(scheduleChecks, 3);
    tick();
    EXPECT_EQ(lib.queued(1), 0);  // now it is the meter's port
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

// The player's multimedia libraries come with its module, on first use only.
TEST(AlarmSoundModule, LoadsMultimediaOnFirstUseAndIsSilentWithoutDevice) {
    auto mapped = [](const char* library) {
        QFile maps("/proc/self/maps");
        return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
    };
    AlarmSoundModule missing("/nonexistent/quillon-alarm-sound.so");
    missing.prepare();
    missing.tone(2200, 80);

    AlarmSoundModule sound(QCoreApplication::applicationDirPath() + "/quillon-alarm-sound.so");
    EXPECT_FALSE(mapped("libQt6Multimedia"));
    sound.prepare();
    EXPECT_TRUE(mapped("libQt6Multimedia")) << "the module did not load";
    sound.tone(2200, 80);
    sound.playFile("/nonexistent/ding.wav");
    QCoreApplication::processEvents();
}

}  // namespace
}  // namespace quillon
