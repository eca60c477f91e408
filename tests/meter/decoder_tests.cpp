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

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    FrameDecoder decoder{s, lib, clock};
};

TEST_F(DecoderTest, WorkedExampleNegativeDcVolts) {
    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x20, 0x05}));
    EXPECT_EQ(s.reading.FuncCode, 2);
    EXPECT_EQ(s.reading.RangeIdx, 1);
    EXPECT_EQ(s.reading.DecIdx, 1.0f);
    EXPECT_EQ(s.reading.ValueText, "-2.352");
    EXPECT_EQ(s.readout.value, "-2.352");
    EXPECT_EQ(s.readout.unit, "V");
    EXPECT_EQ(s.readout.coupling, "DC");
    EXPECT_EQ(s.readout.barImage, 3);
    EXPECT_EQ(s.readout.signImage, 2);
    EXPECT_EQ(s.reading.OLHigh, 60.0f);
    EXPECT_EQ(s.reading.OLLow, -60.0f);
    EXPECT_EQ(lib.queued(1), 0);

    // The same frame with the overload status bit.
    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x10, 0x05}));
    EXPECT_EQ(s.readout.value, ".OL  ");
    EXPECT_EQ(s.reading.ValueText, "OL");
    EXPECT_EQ(s.reading.OLText, ".OL  ");
    EXPECT_EQ(s.readout.barImage, 62);
    EXPECT_EQ(s.readout.signImage, 1);
}

struct ValueCase {
    const char* name;
    FrameSpec frame;
    QString valueText;
    QString shown;
    QString unit;
    int rangeIdx;
};

class DecoderValueTest : public DecoderTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(DecoderValueTest, DecodesFrame) {
    const ValueCase& c = GetParam();
    feed(EncodeFrame(c.frame));
    EXPECT_EQ(s.reading.ValueText, c.valueText);
    EXPECT_EQ(s.readout.value, c.shown);
    EXPECT_EQ(s.readout.unit, c.unit);
    EXPECT_EQ(s.reading.RangeIdx, c.rangeIdx);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, DecoderValueTest,
    ::testing::Values(
        ValueCase{"NegativeZeroKeepsSign", {2, 0x30, 0, true}, "-0.0000", "-0.0000", "V", 0},
        ValueCase{"NegativeOverloadTwoDecimals", {2, 0x32, 0, true, true}, "-OL", "- O.L ", "V", 2},
        ValueCase{"OverloadNoDecimalsPattern", {2, 0x33, 0, false, true}, "OL", " OL. ", "V", 3},
        ValueCase{"LargestCount", {4, 0x34, 131071}, "13.1071", "13.1071", "M" + kOhm, 4},
        ValueCase{"KiloOhmFourDecimals", {4, 0x31, 12345}, "1.2345", "1.2345", "K" + kOhm, 1},
        ValueCase{"RangeCharacterFive", {5, 0x35, 1234}, "123.4", "123.4", "uF", 5},
        ValueCase{"RangeBinaryFive", {5, 0x05, 1234}, "123.4", "123.4", "uF", 5},
        ValueCase{
            "DegreesOneDecimal", {9, 0x31, 235}, "23.5", "23.5", QStringLiteral("\u00B0C"), 1},
        ValueCase{"ThousandsOfDuty", {22, 0x30, 999}, "99.9", "99.9", "%", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, CountDigitsReadLikeHexLiterals) {
    // Lower-case digits count; a pair stops at its first non-digit ("5" then "Z" is 5,
    // "Z" first is 0).
    feed(Bytes({0xF0, 0x11, 0x02, 0x30, 'f', 'a', 'Z', '5', 0x00, 0x05}));
    EXPECT_EQ(s.reading.ValueText, "0.1455");  // 0x05 * 256 + 0xAF
    feed(Bytes({0xF0, 0x11, 0x02, 0x30, 0x00, '1', '3', '2', 0x00, 0x05}));
    EXPECT_EQ(s.reading.ValueText, "0.8961");  // 0x23 * 256 + 0x01
}

TEST_F(DecoderTest, TwoQueuedFramesShowTheSecond) {
    lib.appendInput(1, EncodeFrame({2, 0x31, 1000}));
    feed(EncodeFrame({2, 0x31, 2500, true}));
    EXPECT_EQ(s.reading.ValueText, "-2.500");
    EXPECT_EQ(s.readout.barImage, 3);  // two thousand counts and a half
    EXPECT_EQ(lib.queued(1), 0);
}

TEST_F(DecoderTest, NoiseWithoutSyncIsConsumedSilently) {
    s.link.MissCount = 7;
    feed(Bytes({0x00, 0x11, 0x05, 0x31, 0x32, 0xEF, 0xFF, 0x01, 0x02, 0x03}));
    EXPECT_EQ(lib.queued(1), 0);
    EXPECT_EQ(s.link.MissCount, 0);
    EXPECT_TRUE(s.readout.value.isEmpty());
    EXPECT_TRUE(s.reading.ValueText.isEmpty());
}

TEST_F(DecoderTest, WrongSecondOrLastByteDropsFrameOnly) {
    feed(EncodeFrame({2, 0x31, 1234}));
    QByteArray badLast = EncodeFrame({2, 0x31, 9999});
    badLast[9] = 0x06;
    QByteArray badSecond = EncodeFrame({2, 0x31, 8888});
    badSecond[1] = 0x12;
    feed(badLast + badSecond);
    EXPECT_EQ(s.reading.ValueText, "1.234");
    feed(badLast + EncodeFrame({2, 0x31, 4321}));
    EXPECT_EQ(s.reading.ValueText, "4.321");
}

TEST_F(DecoderTest, RestOfFrameMustArriveWithin100Ms) {
    const QByteArray frame = EncodeFrame({2, 0x31, 1111});
    // Too late: the frame is given up, and the next sync skips its late bytes.
    lib.appendInput(1, frame.left(4));
    lib.appendInputAt(1, clock.tickMs() + 150, frame.mid(4));
    decoder.ReadFrames();  // does not wait: the frame is pending
    clock.advance(150);
    decoder.ReadFrames();
    EXPECT_TRUE(s.reading.ValueText.isEmpty());
    EXPECT_EQ(lib.queued(1), 0);

    // In time: decoded by the next call.
    lib.appendInput(1, frame.left(4));
    lib.appendInputAt(1, clock.tickMs() + 60, frame.mid(4));
    decoder.ReadFrames();
    EXPECT_TRUE(s.reading.ValueText.isEmpty());
    clock.advance(100);
    decoder.ReadFrames();
    EXPECT_EQ(s.reading.ValueText, "1.111");
}

TEST_F(DecoderTest, FloodIsReadInBoundedSteps) {
    // A noise flood with a frame at its end: each call takes a bounded share, the frame
    // is decoded once the calls get there, and the queue never grows inside the decoder.
    QByteArray noise(5 * FrameDecoder::kMaxBytesPerCall / 2, '\x55');
    for (int i = 0; i < noise.size(); i += 97) noise[i] = char(0xF0);
    const int total = int(noise.size()) + 10;
    feed(noise + EncodeFrame({2, 0x31, 4321}));
    EXPECT_GE(lib.queued(1), total - FrameDecoder::kMaxBytesPerCall - 9);
    EXPECT_TRUE(s.reading.ValueText.isEmpty());
    decoder.ReadFrames();
    decoder.ReadFrames();
    EXPECT_EQ(s.reading.ValueText, "4.321");
    EXPECT_EQ(lib.queued(1), 0);
}

TEST_F(DecoderTest, RangeDigitsAboveNineAndUnknownCodesKeepLookups) {
    feed(EncodeFrame({2, 0x31, 1000}));
    feed(EncodeFrame({2, 0x0A, 1000}));
    EXPECT_EQ(s.reading.RangeIdx, 1);
    feed(EncodeFrame({2, 0x3B, 1000}));
    EXPECT_EQ(s.reading.RangeIdx, 1);
    EXPECT_EQ(s.reading.ValueText, "1.000");

    // Codes outside the tables keep the last lookups.
    feed(EncodeFrame({0x40, 0x39, 2000}));  // function 64, range 9
    EXPECT_EQ(s.reading.FuncCode, 0x40);
    EXPECT_EQ(s.reading.RangeIdx, 9);
    EXPECT_EQ(s.reading.DecIdx, 1.0f);
    EXPECT_EQ(s.readout.unit, "V");
    EXPECT_EQ(s.readout.coupling, "DC");
    EXPECT_EQ(s.reading.ValueText, "2.000");
}

TEST_F(DecoderTest, FunctionChangeFetchesLimitsAndResetsBar) {
    feed(EncodeFrame({2, 0x31, 5000}));
    EXPECT_EQ(s.readout.barImage, 6);
    feed(EncodeFrame({5, 0x31, 1234}));  // capacitance: no bar graph of its own
    EXPECT_EQ(s.readout.barImage, 63);
    EXPECT_EQ(s.readout.signImage, 1);
    EXPECT_EQ(s.reading.OLHigh, 60.0f);
    EXPECT_EQ(s.reading.OLLow, 0.0f);
    EXPECT_EQ(s.reading.ValueText, "12.34");

    // Same function and range: the limits are not fetched again.
    FmData().set_OL(2, 3);
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(s.reading.OLHigh, 60.0f);
    // A cleared readout fetches them again on the next frame.
    s.readout.value.clear();
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(s.reading.OLHigh, 60.0f);
    EXPECT_EQ(FmData().OLHighSet, 60.0f);
}

TEST_F(DecoderTest, BuzzerAndDiodeKeepCouplingText) {
    feed(EncodeFrame({1, 0x30, 100}));
    EXPECT_EQ(s.readout.coupling, "AC");
    feed(EncodeFrame({14, 0x30, 100}));
    EXPECT_TRUE(s.readout.buzzerShown);
    EXPECT_FALSE(s.readout.diodeShown);
    EXPECT_EQ(s.readout.coupling, "AC");
    feed(EncodeFrame({15, 0x30, 100}));
    EXPECT_TRUE(s.readout.diodeShown);
    EXPECT_FALSE(s.readout.buzzerShown);
    feed(EncodeFrame({4, 0x30, 100}));
    EXPECT_FALSE(s.readout.diodeShown);
    EXPECT_EQ(s.readout.coupling, "");
}

struct RelCase {
    const char* name;
    QString reference;
    FrameSpec frame;
    QString valueText;
    QString shown;
};

class DecoderRelTest : public DecoderTest, public ::testing::WithParamInterface<RelCase> {};

// REL shows reading minus reference; only the meter's own overload bit gives "OL".
TEST_P(DecoderRelTest, ShowsTheReadingMinusTheReference) {
    const RelCase& c = GetParam();
    feed(EncodeFrame({c.frame.function, c.frame.rangeByte, 1}));  // limits of the function
    s.stats.StatFlags[3] = true;
    s.stats.relValue = c.reference;
    feed(EncodeFrame(c.frame));
    EXPECT_EQ(s.reading.ValueText, c.valueText);
    EXPECT_EQ(s.readout.value, c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Rel, DecoderRelTest,
    ::testing::Values(
        RelCase{"SameAsReference", "1.000", {2, 0x31, 1000}, "0.000", "0.000"},
        RelCase{"AboveReference", "1.000", {2, 0x31, 3000}, "2.000", "2.000"},
        RelCase{"BelowReference", "1.000", {2, 0x31, 200}, "-0.800", "-0.800"},
        RelCase{"ZeroResultHasNoSign", "-1.2345", {2, 0x30, 12345, true}, "0.0000", "0.0000"},
        RelCase{
            "NegativeResistanceDifferenceIsANumber", "2", {4, 0x31, 10000}, "-1.0000", "-1.0000"},
        RelCase{"DifferenceBeyondTheRangeIsANumber", "-5.5", {2, 0x30, 10000}, "6.5000", "6.5000"},
        RelCase{"PositiveOnAFunctionWithoutLimitsIsANumber", "0", {0, 0x30, 5}, "0.0005", "0.0005"},
        RelCase{"OverloadBitShowsThePattern", "1.000", {2, 0x31, 1000, false, true}, "OL", ".OL  "},
        RelCase{"ReferenceNotANumberLeavesValue", "abc", {2, 0x31, 1500}, "1.500", "1.500"},
        RelCase{"ReferenceBeyondSingleLeavesValue", "1e39", {2, 0x31, 1500}, "1.500", "1.500"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LimitCase {
    const char* name;
    int select;
    QString high, low;
    FrameSpec frame;
    bool alarm;
};

class LimitTest : public DecoderTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitTest, SetsAlarm) {
    const LimitCase& c = GetParam();
    s.settings.T1_beep = 1;
    s.settings.limit_selet = c.select;
    s.settings.limit_txt = {c.high, c.low};
    feed(EncodeFrame(c.frame));
    EXPECT_EQ(s.link.AlarmOn, c.alarm);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, LimitTest,
    ::testing::Values(
        LimitCase{"EqualToHighIsNoAlarm", 1, "5", "0", {2, 0x31, 5000}, false},
        LimitCase{"AboveHigh", 1, "5", "0", {2, 0x31, 5001}, true},
        LimitCase{"BelowLowNotSelected", 1, "5", "0", {2, 0x31, 1, true}, false},
        LimitCase{"BelowLowSelected", 2, "5", "0", {2, 0x31, 1, true}, true},
        LimitCase{"BothSelectedHigh", 3, "5", "-5", {2, 0x31, 7000}, true},
        LimitCase{"OverloadPatternIsNoAlarm", 3, "5", "-5", {2, 0x31, 0, false, true}, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DecoderTest, LimitColoursOnlyWhileRunningAndBadLimitChangesNothing) {
    s.settings.T1_beep = 1;
    s.settings.limit_selet = 3;
    s.settings.limit_txt = {"5", "-5"};
    feed(EncodeFrame({2, 0x31, 6000}));
    EXPECT_TRUE(s.link.AlarmOn);
    EXPECT_FALSE(s.readout.limitRed[0]);
    s.rec.Running = true;
    feed(EncodeFrame({2, 0x31, 6000, true}));
    EXPECT_FALSE(s.readout.limitRed[0]);
    EXPECT_TRUE(s.readout.limitRed[1]);
    EXPECT_TRUE(s.link.AlarmOn);

    s.settings.limit_txt = {"5", "low"};
    feed(EncodeFrame({2, 0x31, 1000}));
    EXPECT_TRUE(s.link.AlarmOn);
    EXPECT_TRUE(s.readout.limitRed[1]);
}

TEST(BitTexts, BytesAndLongs) {
    EXPECT_EQ(ByteToBits(0x10), "00010000");
    EXPECT_EQ(ByteToBits(0xA5), "10100101");
    EXPECT_EQ(BitsOf(0x20), ByteToBits(0x20));
    EXPECT_EQ(BitsToLong("1" + QString(31, '0')), qint32(0x80000000u));
    EXPECT_EQ(BitsToLong(QString(31, '0') + "1"), 1);
    EXPECT_EQ(BitsToLong("0" + QString(30, '1') + "0"), 0x7FFFFFFE);
    EXPECT_EQ(BitsToLong("101"), 0);
}

TEST(FormatReading, RoundsHalfToEvenOnTheShortestText) {
    EXPECT_EQ(FormatReading(2.352f, 3), "2.352");
    EXPECT_EQ(FormatReading(-2.352f, 3), "-2.352");
    EXPECT_EQ(FormatReading(0.125f, 2), "0.12");
    EXPECT_EQ(FormatReading(0.135f, 2), "0.14");
    EXPECT_EQ(FormatReading(9.99f, 1), "10.0");
    EXPECT_EQ(FormatReading(131071.0f, 0), "131071");
    EXPECT_EQ(FormatReading(-0.0f, 4), "0.0000");
    EXPECT_EQ(FormatReading(-0.00001f, 4), "0.0000");
    EXPECT_EQ(FormatReading(0.0001f, 4), "0.0001");
}

}  // namespace
}  // namespace quillon
