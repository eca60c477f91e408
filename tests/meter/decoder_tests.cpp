// The frame decoder over a scripted port and a fake clock.
#include <gtest/gtest.h>

#include "frame_decoder.h"
#include "meter_frames.h"
#include "meter_tables.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

using test::Bytes;
using test::EncodeFrame;
using test::FrameSpec;

const QString kOhm = QStringLiteral("\u03A9");

class DecoderTest : public ::testing::Test {
  protected:
    DecoderTest() {
        s.link.portSettings.port = 1;
        lib.setOpenResult(1, SIO_OK);
        lib.sio_open(1);
        lib.logDataCalls = false;
    }
    void feed(const QByteArray& bytes) {
        lib.appendInput(1, bytes);
        decoder.ReadFrames();
    }
    QString texts() const {
        return s.reading.valueText + "|" + s.readout.value + "|" + s.readout.unit;
    }
    QString pictures() const {
        const Reading& r = s.reading;
        return QString::asprintf("%d %d %g %g", s.readout.barImage, s.readout.signImage,
                                 r.rangeHigh, r.rangeLow);
    }
    QString codes() const {
        const Reading& r = s.reading;
        return QString::asprintf("%d %d %g", r.function, r.range, r.decimalIndex);
    }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    FrameDecoder decoder{s, lib, clock};
};

TEST_F(DecoderTest, DecodesFrames) {
    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x20, 0x05}));
    EXPECT_EQ(codes(), "2 1 1");
    EXPECT_EQ(texts() + " " + s.readout.coupling + " " + pictures(),
              "-2.352|-2.352|V DC 3 2 60 -60");
    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x10, 0x05}));
    EXPECT_EQ(texts() + " " + pictures(), "OL|.OL  |V 62 1 60 -60");
    const struct {
        const char* name;
        FrameSpec frame;
        QString texts;
        int rangeIdx;
    } cases[] = {
        {"negative zero keeps its sign", {2, 0x30, 0, true}, "-0.0000|-0.0000|V", 0},
        {"negative overload, two decimals", {2, 0x32, 0, true, true}, "-OL|- O.L |V", 2},
        {"overload, no decimals", {2, 0x33, 0, false, true}, "OL| OL. |V", 3},
        {"largest count", {4, 0x34, 131071}, "13.1071|13.1071|M" + kOhm, 4},
        {"kilo-ohm, four decimals", {4, 0x31, 12345}, "1.2345|1.2345|K" + kOhm, 1},
        {"range character five", {5, 0x35, 1234}, "123.4|123.4|uF", 5},
        {"range byte five", {5, 0x05, 1234}, "123.4|123.4|uF", 5},
        {"degrees, one decimal", {9, 0x31, 235}, "23.5|23.5|\u00B0C", 1},
        {"thousands of duty", {22, 0x30, 999}, "99.9|99.9|%", 0},
        {"kilohertz", {6, 0x32, 12345}, "1.2345|1.2345|KHz", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        feed(EncodeFrame(c.frame));
        EXPECT_EQ(texts(), c.texts);
        EXPECT_EQ(s.reading.range, c.rangeIdx);
    }
}

TEST_F(DecoderTest, CountDigitsReadLikeHexLiterals) {
    // Lower case counts; a pair stops at its first non-digit ("5Z" is 5, "Z5" is 0).
    feed(Bytes({0xF0, 0x11, 0x02, 0x30, 'f', 'a', 'Z', '5', 0x00, 0x05}));
    EXPECT_EQ(s.reading.valueText, "0.1455");  // 0x05 * 256 + 0xAF
    feed(Bytes({0xF0, 0x11, 0x02, 0x30, 0x00, '1', '3', '2', 0x00, 0x05}));
    EXPECT_EQ(s.reading.valueText, "0.8961");  // 0x23 * 256 + 0x01
}

TEST_F(DecoderTest, NoiseAndBadFramesAreDroppedAndOnlyTheLastGoodFrameShows) {
    s.link.ticksWithoutData = 7;
    feed(Bytes({0x00, 0x11, 0x05, 0x31, 0x32, 0xEF, 0xFF, 0x01, 0x02, 0x03}));
    EXPECT_EQ(lib.queued(1), 0);
    EXPECT_EQ(s.link.ticksWithoutData, 0);
    EXPECT_EQ(texts(), "||");
    lib.appendInput(1, EncodeFrame({2, 0x31, 1000}));
    feed(EncodeFrame({2, 0x31, 2500, true}));
    EXPECT_EQ(s.reading.valueText, "-2.500");
    EXPECT_EQ(s.readout.barImage, 3);  // two thousand counts and a half
    QByteArray badLast = EncodeFrame({2, 0x31, 9999}), badSecond = EncodeFrame({2, 0x31, 8888});
    badLast[9] = 0x06;
    badSecond[1] = 0x12;
    feed(badLast + badSecond);
    EXPECT_EQ(s.reading.valueText, "-2.500");
    feed(badLast + EncodeFrame({2, 0x31, 4321}));
    EXPECT_EQ(s.reading.valueText, "4.321");
}

TEST_F(DecoderTest, RestOfFrameMustArriveWithin100Ms) {
    const QByteArray frame = EncodeFrame({2, 0x31, 1111});
    for (const int lateMs : {150, 60}) {
        lib.appendInput(1, frame.left(4));
        lib.appendInputAt(1, clock.tickMs() + lateMs, frame.mid(4));
        decoder.ReadFrames();  // does not wait: the frame is pending
        EXPECT_TRUE(s.reading.valueText.isEmpty());
        clock.advance(lateMs == 150 ? 150 : 100);
        decoder.ReadFrames();
    }
    // Too late: given up, the next sync skipped its late bytes; in time: decoded next call.
    EXPECT_EQ(s.reading.valueText, "1.111");
    EXPECT_EQ(lib.queued(1), 0);
}

TEST_F(DecoderTest, FloodIsReadInBoundedSteps) {
    QByteArray noise(5 * FrameDecoder::kMaxBytesPerCall / 2, '\x55');
    for (int i = 0; i < noise.size(); i += 97) noise[i] = char(0xF0);
    feed(noise + EncodeFrame({2, 0x31, 4321}));
    EXPECT_GE(lib.queued(1), int(noise.size()) + 10 - FrameDecoder::kMaxBytesPerCall - 9);
    EXPECT_TRUE(s.reading.valueText.isEmpty());
    decoder.ReadFrames();
    decoder.ReadFrames();
    EXPECT_EQ(s.reading.valueText, "4.321");
    EXPECT_EQ(lib.queued(1), 0);
}

// Unknown codes keep the lookups; a new function fetches limits and resets the bar.
TEST_F(DecoderTest, FunctionAndRangeChanges) {
    feed(EncodeFrame({2, 0x31, 1000}));
    for (int rangeByte : {0x0A, 0x3B}) {
        feed(EncodeFrame({2, rangeByte, 1000}));
        EXPECT_EQ(codes() + " " + s.reading.valueText, "2 1 1 1.000") << rangeByte;
    }
    feed(EncodeFrame({0x40, 0x39, 2000}));  // function 64, range 9: outside the tables
    EXPECT_EQ(codes(), "64 9 1");
    EXPECT_EQ(texts() + " " + s.readout.coupling, "2.000|2.000|V DC");
    feed(EncodeFrame({2, 0x31, 5000}));
    EXPECT_EQ(s.readout.barImage, 6);
    feed(EncodeFrame({5, 0x31, 1234}));  // capacitance: no bar graph of its own
    EXPECT_EQ(pictures() + " " + s.reading.valueText, "63 1 60 0 12.34");
    // Same function and range: the limits are not fetched again; after a cleared readout
    // they are.
    SharedOverloadLimits().selectRange(2, 3);
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(s.reading.rangeHigh, 60.0f);
    s.readout.value.clear();
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(SharedOverloadLimits().high, 60.0f);
    const struct {
        int function;
        const char* shown;  // coupling, buzzer, diode
    } steps[] = {{1, "AC 0 0"}, {14, "AC 1 0"}, {15, "AC 0 1"}, {4, " 0 0"}};
    for (const auto& step : steps) {
        feed(EncodeFrame({step.function, 0x30, 100}));
        const Readout& r = s.readout;
        EXPECT_EQ(r.coupling + QString::asprintf(" %d %d", r.buzzerShown, r.diodeShown), step.shown)
            << step.function;
    }
}

// REL shows reading minus reference; only the meter's own overload bit gives "OL".
TEST_F(DecoderTest, RelShowsTheReadingMinusTheReference) {
    const struct {
        const char* name;
        QString reference;
        FrameSpec frame;
        QString valueText, shown;
    } cases[] = {
        {"below", "1.000", {2, 0x31, 200}, "-0.800", "-0.800"},
        {"zero has no sign", "-1.2345", {2, 0x30, 12345, true}, "0.0000", "0.0000"},
        {"negative resistance", "2", {4, 0x31, 10000}, "-1.0000", "-1.0000"},
        {"beyond the range", "-5.5", {2, 0x30, 10000}, "6.5000", "6.5000"},
        {"function without limits", "0", {0, 0x30, 5}, "0.0005", "0.0005"},
        {"overload bit", "1.000", {2, 0x31, 1000, false, true}, "OL", ".OL  "},
        {"reference not a number", "abc", {2, 0x31, 1500}, "1.500", "1.500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s.stats.statFlags[3] = false;
        feed(EncodeFrame({c.frame.function, c.frame.rangeByte, 1}));  // limits of the function
        s.stats.statFlags[3] = true;
        s.stats.relValue = c.reference;
        feed(EncodeFrame(c.frame));
        EXPECT_EQ(s.reading.valueText + " " + s.readout.value, c.valueText + " " + c.shown);
    }
}

TEST_F(DecoderTest, LimitsSetTheAlarmAndColourTheLimitsOnlyWhileRunning) {
    const struct {
        const char* name;
        int select;
        QString low;
        bool running;
        FrameSpec frame;
        const char* shown;  // alarm, high limit red, low limit red
    } cases[] = {
        {"equal to high", 1, "0", false, {2, 0x31, 5000}, "0 0 0"},
        {"above high", 1, "0", false, {2, 0x31, 5001}, "1 0 0"},
        {"below low, selected", 2, "0", false, {2, 0x31, 1, true}, "1 0 0"},
        {"both selected, high", 3, "-5", false, {2, 0x31, 7000}, "1 0 0"},
        {"overload pattern", 3, "-5", false, {2, 0x31, 0, false, true}, "0 0 0"},
        {"running, below low", 3, "-5", true, {2, 0x31, 6000, true}, "1 0 1"},
        {"bad limit changes nothing", 3, "low", true, {2, 0x31, 1000}, "1 0 1"},
    };
    s.settings.alarmEnabled = 1;
    for (const auto& c : cases) {
        s.settings.limitsTested = c.select;
        s.settings.limitTexts = {"5", c.low};
        s.rec.running = c.running;
        feed(EncodeFrame(c.frame));
        const auto& red = s.readout.limitRed;
        EXPECT_EQ(QString::asprintf("%d %d %d", s.link.alarmOn, red[0], red[1]), c.shown) << c.name;
    }
}

TEST(FormatReading, RoundsHalfToEvenOnTheShortestText) {
    const struct {
        float value;
        int decimals;
        const char* text;
    } cases[] = {{2.352f, 3, "2.352"}, {-2.352f, 3, "-2.352"},   {0.125f, 2, "0.12"},
                 {0.135f, 2, "0.14"},  {9.99f, 1, "10.0"},       {131071.0f, 0, "131071"},
                 {-0.0f, 4, "0.0000"}, {-0.00001f, 4, "0.0000"}, {0.0001f, 4, "0.0001"}};
    for (const auto& c : cases) EXPECT_EQ(FormatReading(c.value, c.decimals), c.text) << c.text;
}

}  // namespace
}  // namespace quillon
