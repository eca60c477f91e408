// Long random byte streams with valid frames mixed in: the decoder never crashes or
// hangs, and every frame it can see whole is decoded right.
#include <gtest/gtest.h>

#include <random>

#include "frame_decoder.h"
#include "meter_frames.h"
#include "scripted_serial_library.h"

namespace quillon {
namespace {

using test::EncodeFrame;
using test::FrameSpec;

// A few ranges of the meter, written down from its manual: function, range byte,
// decimals shown, unit.
struct KnownRange {
    int function;
    int rangeByte;
    int decimals;
    QString unit;
};

const KnownRange kRanges[] = {
    {2, 0x30, 4, "V"},  {2, 0x31, 3, "V"},   {2, 0x32, 2, "V"},   {2, 0x33, 1, "V"},
    {1, 0x01, 3, "V"},  {12, 0x30, 2, "mV"}, {17, 0x31, 2, "mA"}, {6, 0x32, 4, "KHz"},
    {7, 0x31, 1, "uA"}, {22, 0x30, 1, "%"},
};

QString ExpectedValueText(const FrameSpec& f, int decimals) {
    if (f.overload) return f.negative ? "-OL" : "OL";
    int scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;
    QString text = QString::number(f.count / scale);
    if (decimals > 0) text += "." + QString::number(f.count % scale).rightJustified(decimals, '0');
    return f.negative ? "-" + text : text;
}

class RandomStreamTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomStreamTest, DecodesEveryWholeFrame) {
    std::mt19937 rng(GetParam());
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto randomFrame = [&](const KnownRange& r) {
        FrameSpec f{r.function, r.rangeByte, uniform(0, 0x1FFFF), uniform(0, 1) == 1,
                    uniform(0, 9) == 0};
        return f;
    };

    Session s;
    FakeClock clock;
    ScriptedSerialLibrary lib(&clock);
    lib.setOpenResult(1, SIO_OK);
    lib.sio_open(1);
    lib.logDataCalls = false;
    s.link.portSettings.port = 1;
    s.settings.T1_beep = 1;
    s.settings.limit_selet = 3;
    s.settings.limit_txt = {"1", "-1"};
    FrameDecoder decoder(s, lib, clock);

    for (int segment = 0; segment < 400; ++segment) {
        QByteArray lead;
        const int noise = uniform(0, 30);
        for (int i = 0; i < noise; ++i) lead += char(uniform(0, 255));
        if (uniform(0, 2) == 0) {
            // A frame that noise may tear or hide: decoded or not, it must do no harm.
            QByteArray other = EncodeFrame(randomFrame(kRanges[uniform(0, 9)]));
            lead += other.left(uniform(1, 10));
        }
        // Nine bytes without a sync byte keep a stray sync byte in the noise from
        // swallowing the frame that follows.
        for (int i = 0; i < 9; ++i) {
            int b = uniform(0, 255);
            lead += char(b == 0xF0 ? 0x0F : b);
        }
        const KnownRange& range = kRanges[uniform(0, 9)];
        const FrameSpec frame = randomFrame(range);

        // Sometimes the bytes come in two parts, split anywhere before the frame.
        const int split = uniform(0, 1) ? uniform(0, int(lead.size())) : int(lead.size());
        lib.appendInput(1, lead.left(split));
        decoder.ReadFrames();
        lib.appendInput(1, lead.mid(split) + EncodeFrame(frame));
        decoder.ReadFrames();

        SCOPED_TRACE(segment);
        ASSERT_EQ(lib.queued(1), 0);
        ASSERT_EQ(s.reading.FuncCode, range.function);
        ASSERT_EQ(s.reading.RangeIdx, range.rangeByte & 0x0F);
        ASSERT_EQ(s.reading.ValueText, ExpectedValueText(frame, range.decimals));
        ASSERT_EQ(s.readout.unit, range.unit);
        if (range.function != 22) {
            ASSERT_EQ(s.readout.signImage, frame.negative ? 2 : 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomStreamTest, ::testing::Values(1u, 7u, 42u, 2024u, 99991u));

}  // namespace
}  // namespace quillon
