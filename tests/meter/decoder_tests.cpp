// The frame decoder over a scripted port and a fake clock.
#include <gtest/gtest.h>

#include <random>

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
    // The reading's text, the readout's value and unit.
    QString texts() const {
        return s.reading.valueText + "|" + s.readout.value + "|" + s.readout.unit;
    }
    // The readout's bar and sign pictures, the overload limits.
    QString pictures() const {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(s.readout.barImage)
            .arg(s.readout.signImage)
            .arg(s.reading.rangeHigh)
            .arg(s.reading.rangeLow);
    }

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib{&clock};
    FrameDecoder decoder{s, lib, clock};
};

TEST_F(DecoderTest, WorkedExampleNegativeDcVoltsThenOverload) {
    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x20, 0x05}));
    EXPECT_EQ(s.reading.function, 2);
    EXPECT_EQ(s.reading.range, 1);
    EXPECT_EQ(s.reading.decimalIndex, 1.0f);
    EXPECT_EQ(texts(), "-2.352|-2.352|V");
    EXPECT_EQ(s.readout.coupling, "DC");
    EXPECT_EQ(pictures(), "3 2 60 -60");
    EXPECT_EQ(lib.queued(1), 0);

    feed(Bytes({0xF0, 0x11, 0x02, 0x31, 0x30, 0x33, 0x39, 0x30, 0x10, 0x05}));
    EXPECT_EQ(texts(), "OL|.OL  |V");
    EXPECT_EQ(s.reading.overloadPattern, ".OL  ");
    EXPECT_EQ(pictures(), "62 1 60 -60");
}

TEST_F(DecoderTest, DecodesFrames) {
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
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        feed(EncodeFrame(c.frame));
        EXPECT_EQ(texts(), c.texts);
        EXPECT_EQ(s.reading.range, c.rangeIdx);
    }
}

TEST_F(DecoderTest, CountDigitsReadLikeHexLiterals) {
    // Lower-case digits count; a pair stops at its first non-digit ("5" then "Z" is 5,
    // "Z" first is 0).
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
    EXPECT_EQ(lib.queued(1), 0);

    QByteArray badLast = EncodeFrame({2, 0x31, 9999});
    badLast[9] = 0x06;
    QByteArray badSecond = EncodeFrame({2, 0x31, 8888});
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
    // Too late, the frame was given up and the next sync skipped its late bytes; in time,
    // it was decoded by the next call.
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

TEST_F(DecoderTest, RangeDigitsAboveNineAndUnknownCodesKeepLookups) {
    feed(EncodeFrame({2, 0x31, 1000}));
    feed(EncodeFrame({2, 0x0A, 1000}));
    EXPECT_EQ(s.reading.range, 1);
    feed(EncodeFrame({2, 0x3B, 1000}));
    EXPECT_EQ(s.reading.range, 1);
    EXPECT_EQ(s.reading.valueText, "1.000");

    feed(EncodeFrame({0x40, 0x39, 2000}));  // function 64, range 9: outside the tables
    EXPECT_EQ(s.reading.function, 0x40);
    EXPECT_EQ(s.reading.range, 9);
    EXPECT_EQ(s.reading.decimalIndex, 1.0f);
    EXPECT_EQ(texts(), "2.000|2.000|V");
    EXPECT_EQ(s.readout.coupling, "DC");
}

TEST_F(DecoderTest, FunctionChangeFetchesLimitsAndResetsBar) {
    feed(EncodeFrame({2, 0x31, 5000}));
    EXPECT_EQ(s.readout.barImage, 6);
    feed(EncodeFrame({5, 0x31, 1234}));  // capacitance: no bar graph of its own
    EXPECT_EQ(pictures(), "63 1 60 0");
    EXPECT_EQ(s.reading.valueText, "12.34");

    // Same function and range: the limits are not fetched again.
    SharedOverloadLimits().selectRange(2, 3);
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(s.reading.rangeHigh, 60.0f);
    // A cleared readout fetches them again on the next frame.
    s.readout.value.clear();
    feed(EncodeFrame({5, 0x31, 1234}));
    EXPECT_EQ(SharedOverloadLimits().high, 60.0f);
}

TEST_F(DecoderTest, BuzzerAndDiodeKeepCouplingText) {
    const struct {
        int function;
        const char* coupling;
        bool buzzer, diode;
    } steps[] = {{1, "AC", false, false},
                 {14, "AC", true, false},
                 {15, "AC", false, true},
                 {4, "", false, false}};
    for (const auto& step : steps) {
        feed(EncodeFrame({step.function, 0x30, 100}));
        EXPECT_EQ(s.readout.coupling, step.coupling) << step.function;
        EXPECT_EQ(s.readout.buzzerShown, step.buzzer) << step.function;
        EXPECT_EQ(s.readout.diodeShown, step.diode) << step.function;
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
        {"same as the reference", "1.000", {2, 0x31, 1000}, "0.000", "0.000"},
        {"above", "1.000", {2, 0x31, 3000}, "2.000", "2.000"},
        {"below", "1.000", {2, 0x31, 200}, "-0.800", "-0.800"},
        {"zero has no sign", "-1.2345", {2, 0x30, 12345, true}, "0.0000", "0.0000"},
        {"negative resistance", "2", {4, 0x31, 10000}, "-1.0000", "-1.0000"},
        {"beyond the range", "-5.5", {2, 0x30, 10000}, "6.5000", "6.5000"},
        {"function without limits", "0", {0, 0x30, 5}, "0.0005", "0.0005"},
        {"overload bit", "1.000", {2, 0x31, 1000, false, true}, "OL", ".OL  "},
        {"reference not a number", "abc", {2, 0x31, 1500}, "1.500", "1.500"},
        {"reference beyond single", "1e39", {2, 0x31, 1500}, "1.500", "1.500"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        s.stats.statFlags[3] = false;
        feed(EncodeFrame({c.frame.function, c.frame.rangeByte, 1}));  // limits of the function
        s.stats.statFlags[3] = true;
        s.stats.relValue = c.reference;
        feed(EncodeFrame(c.frame));
        EXPECT_EQ(s.reading.valueText, c.valueText);
        EXPECT_EQ(s.readout.value, c.shown);
    }
}

TEST_F(DecoderTest, LimitsSetTheAlarm) {
    const struct {
        const char* name;
        int select;
        QString high, low;
        FrameSpec frame;
        bool alarm;
    } cases[] = {
        {"equal to high", 1, "5", "0", {2, 0x31, 5000}, false},
        {"above high", 1, "5", "0", {2, 0x31, 5001}, true},
        {"below low, not selected", 1, "5", "0", {2, 0x31, 1, true}, false},
        {"below low, selected", 2, "5", "0", {2, 0x31, 1, true}, true},
        {"both selected, high", 3, "5", "-5", {2, 0x31, 7000}, true},
        {"overload pattern", 3, "5", "-5", {2, 0x31, 0, false, true}, false},
    };
    s.settings.alarmEnabled = 1;
    for (const auto& c : cases) {
        s.settings.limitsTested = c.select;
        s.settings.limitTexts = {c.high, c.low};
        feed(EncodeFrame(c.frame));
        EXPECT_EQ(s.link.alarmOn, c.alarm) << c.name;
    }
}

TEST_F(DecoderTest, LimitColoursOnlyWhileRunningAndBadLimitChangesNothing) {
    s.settings.alarmEnabled = 1;
    s.settings.limitsTested = 3;
    s.settings.limitTexts = {"5", "-5"};
    feed(EncodeFrame({2, 0x31, 6000}));
    EXPECT_TRUE(s.link.alarmOn);
    EXPECT_FALSE(s.readout.limitRed[0]);
    s.rec.running = true;
    feed(EncodeFrame({2, 0x31, 6000, true}));
    EXPECT_FALSE(s.readout.limitRed[0]);
    EXPECT_TRUE(s.readout.limitRed[1]);

    s.settings.limitTexts = {"5", "low"};
    feed(EncodeFrame({2, 0x31, 1000}));
    EXPECT_TRUE(s.link.alarmOn);
    EXPECT_TRUE(s.readout.limitRed[1]);
}

// Long random byte streams with valid frames mixed in: every frame that can be seen whole
// is decoded right. Ranges written down from the meter's manual: decimals and unit.
TEST_F(DecoderTest, RandomStreamsDecodeEveryWholeFrame) {
    const struct {
        int function, rangeByte, decimals;
        QString unit;
    } ranges[] = {
        {2, 0x30, 4, "V"},  {2, 0x31, 3, "V"},   {2, 0x32, 2, "V"},   {2, 0x33, 1, "V"},
        {1, 0x01, 3, "V"},  {12, 0x30, 2, "mV"}, {17, 0x31, 2, "mA"}, {6, 0x32, 4, "KHz"},
        {7, 0x31, 1, "uA"}, {22, 0x30, 1, "%"},
    };
    s.settings.alarmEnabled = 1;
    s.settings.limitsTested = 3;
    s.settings.limitTexts = {"1", "-1"};
    for (const unsigned seed : {1u, 7u, 42u, 2024u, 99991u}) {
        std::mt19937 rng(seed);
        auto uniform = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        auto frameIn = [&](int r) {
            return FrameSpec{ranges[r].function, ranges[r].rangeByte, uniform(0, 0x1FFFF),
                             uniform(0, 1) == 1, uniform(0, 9) == 0};
        };
        for (int segment = 0; segment < 400; ++segment) {
            QByteArray lead;
            for (int i = uniform(0, 30); i > 0; --i) lead += char(uniform(0, 255));
            // A frame that noise may tear or hide: decoded or not, it must do no harm.
            if (uniform(0, 2) == 0)
                lead += EncodeFrame(frameIn(uniform(0, 9))).left(uniform(1, 10));
            // Nine bytes without a sync byte keep a stray sync byte in the noise from
            // swallowing the frame that follows.
            for (int i = 0; i < 9; ++i) {
                const int b = uniform(0, 255);
                lead += char(b == 0xF0 ? 0x0F : b);
            }
            const int r = uniform(0, 9);
            const FrameSpec f = frameIn(r);
            // Sometimes the bytes come in two parts, split anywhere before the frame.
            const int split = uniform(0, 1) ? uniform(0, int(lead.size())) : int(lead.size());
            feed(lead.left(split));
            feed(lead.mid(split) + EncodeFrame(f));

            int scale = 1;
            for (int i = 0; i < ranges[r].decimals; ++i) scale *= 10;
            QString text = QString::number(f.count / scale);
            if (scale > 1)
                text +=
                    "." + QString::number(f.count % scale).rightJustified(ranges[r].decimals, '0');
            if (f.overload) text = "OL";
            if (f.negative) text = "-" + text;
            SCOPED_TRACE(testing::Message() << "seed " << seed << " segment " << segment);
            ASSERT_EQ(lib.queued(1), 0);
            ASSERT_EQ(s.reading.function, ranges[r].function);
            ASSERT_EQ(s.reading.range, ranges[r].rangeByte & 0x0F);
            ASSERT_EQ(s.reading.valueText, text);
            ASSERT_EQ(s.readout.unit, ranges[r].unit);
            if (ranges[r].function != 22) {
                ASSERT_EQ(s.readout.signImage, f.negative ? 2 : 1);
            }
        }
    }
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
