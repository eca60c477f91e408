// The simulated meter's frames, checked against frames written out by hand (an encoder
// fault would show up in the end-to-end tests as a decoder fault), and its script player.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "meter_frame.h"
#include "meter_ranges.h"
#include "sim_player.h"
#include "sim_script.h"

namespace quillon::metersim {
namespace {

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    return HexText(bytes.data(), bytes.size());
}
std::string Hex(const Frame& frame) { return HexText(frame.data(), frame.size()); }

TEST(SimFrameEncoder, MatchesHandWrittenFrames) {
    const struct {
        const char* name;
        FrameFields fields;
        const char* bytes;
    } cases[] = {
        {"dcv_range1_minus_2_352", {2, 0x31, 2352, true, false}, "F0 11 02 31 30 33 39 30 20 05"},
        {"largest_count", {2, 0x31, 131071, false, false}, "F0 11 02 31 46 46 46 46 01 05"},
        {"bit16_alone", {4, 0x30, 0x10000, false, false}, "F0 11 04 30 30 30 30 30 01 05"},
        {"nibbles_low_first", {6, 0x32, 0xABCD, false, false}, "F0 11 06 32 44 43 42 41 00 05"},
        {"overload", {4, 0x32, 0, false, true}, "F0 11 04 32 30 30 30 30 10 05"},
        {"negative_overload", {12, 0x30, 0, true, true}, "F0 11 0C 30 30 30 30 30 30 05"},
        {"raw_range_byte", {1, 0x05, 1, false, false}, "F0 11 01 05 31 30 30 30 00 05"},
    };
    for (const auto& c : cases) EXPECT_EQ(Hex(EncodeFrame(c.fields)), c.bytes) << c.name;
}

TEST(SimFrameEncoder, TurnsValuesIntoCounts) {
    const struct {
        const char* name;
        double value;
        int decimals;
        bool negativeText;
        Count expected;
    } cases[] = {
        {"three_decimals", -2.352, 3, true, {2352, true, false}},
        {"four_decimals", 1.2345, 4, false, {12345, false, false}},
        {"rounds_to_nearest", 0.00049, 3, false, {0, false, false}},
        {"negative_zero_from_text", -0.0, 4, true, {0, true, false}},
        {"largest_fits", 13.1071, 4, false, {131071, false, false}},
        {"too_large_is_overload", 13.1072, 4, false, {131071, false, true}},
        {"negative_too_large", -20000, 1, false, {131071, true, true}},
    };
    for (const auto& c : cases) {
        const Count got = CountForValue(c.value, c.decimals, c.negativeText);
        EXPECT_EQ(std::tuple(got.count, got.negative, got.overload),
                  std::tuple(c.expected.count, c.expected.negative, c.expected.overload))
            << c.name;
    }
}

// Plays `script` and returns the bytes of its first `n` outputs.
std::vector<std::string> Play(const std::string& script, int n, double rate = 4) {
    ParsedScript parsed = ParseScript(script);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    Player player(parsed.commands, rate);
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        const Output o = player.next();
        out.push_back(o.kind == Output::Hangup ? "hangup" : Hex(o.bytes));
    }
    return out;
}

TEST(SimScript, ValuesUseTheDecimalsOfTheFunctionAndRange) {
    const std::vector<std::string> frames = Play(
        "func dcv; range 1; value -2.352; send\n"
        "func ohm; range 1; value 1.2345; send\n"
        "range 2; value 12.345   # range change, same function\n"
        "send; value -0; send; overload -; send\n",
        5);
    EXPECT_EQ(frames[0], "F0 11 02 31 30 33 39 30 20 05");
    EXPECT_EQ(frames[1], "F0 11 04 31 39 33 30 33 00 05");  // 12345 = 0x3039
    EXPECT_EQ(frames[2], "F0 11 04 32 39 33 30 33 00 05");
    EXPECT_EQ(frames[3], "F0 11 04 32 30 30 30 30 20 05");  // negative zero
    EXPECT_EQ(frames[4], "F0 11 04 32 30 30 30 30 30 05");  // -OL keeps the count
}

TEST(SimScript, RejectsBadLinesWithTheirLineNumber) {
    const struct {
        const char* script;
        const char* error;
    } cases[] = {
        {"func dcv\nfrobnicate", "line 2: unknown command 'frobnicate'"},
        {"range 8", "line 1: '8' is not a range 0..7"},
        {"rate 0", "line 1: rate must lie"},
        {"func dcv; count 131072", "line 1: '131072' is not a count"},
        {"steps 0 5 -1 1", "line 1: the step must"},
        {"bytes F0 1G", "line 1: '1G' is not a hexadecimal byte"},
        {"sine 0 1 0 5", "line 1: the period"},
        {"hold", "line 1: hold takes 1 argument"},
        {"func xyz", "line 1: unknown function"},
        {"flood 1 1.5", "line 1: the sync share"},
    };
    for (const auto& c : cases) {
        const ParsedScript parsed = ParseScript(c.script);
        EXPECT_FALSE(parsed.ok()) << c.script;
        EXPECT_EQ(parsed.error.rfind(c.error, 0), 0u) << c.script << " gave: " << parsed.error;
    }
}

TEST(SimScript, WaveformsFillTheirTimeAtTheFrameRate) {
    // 1 s at 4 frames a second: 4 frames from 0 to 3 V.
    EXPECT_EQ(Play("func dcv; range 1; ramp 0 3 1s; hangup", 5),
              (std::vector<std::string>{"F0 11 02 31 30 30 30 30 00 05",
                                        "F0 11 02 31 38 45 33 30 00 05",  // 1000
                                        "F0 11 02 31 30 44 37 30 00 05",  // 2000
                                        "F0 11 02 31 38 42 42 30 00 05",  // 3000
                                        "hangup"}));
    // Two steps of 0.5 s, then a sine that starts at its centre and peaks a quarter in.
    const auto steps = Play("func dcv; range 1; steps 1 2 1 0.5; sine 0 2 4 4; hangup", 9);
    EXPECT_EQ(steps[0], steps[1]);
    EXPECT_EQ(steps[1], "F0 11 02 31 38 45 33 30 00 05");  // 1000
    EXPECT_EQ(steps[3], "F0 11 02 31 30 44 37 30 00 05");  // 2000
    EXPECT_EQ(steps[4], "F0 11 02 31 30 30 30 30 00 05");  // sine at t = 0
    EXPECT_EQ(steps[5], "F0 11 02 31 44 46 32 30 00 05");  // 2 sin(pi/8) = 0.765
    EXPECT_EQ(steps[8], "F0 11 02 31 30 44 37 30 00 05");  // the peak at t = 1 s
}

TEST(SimScript, LineFaultsAndTheEndOfTheScript) {
    Player player(ParseScript("seed 7; func dcv; range 1; count 5; torn 4; noise 300; silence 2;"
                              " bytes 03 11 13; hangup 1.5")
                      .commands,
                  4);
    const Output torn = player.next(), noise = player.next(), silence = player.next();
    EXPECT_EQ(Hex(torn.bytes), "F0 11 02 31");
    EXPECT_DOUBLE_EQ(torn.slotSeconds, 0.25);
    ASSERT_EQ(noise.bytes.size(), 300u);
    EXPECT_EQ(std::count(noise.bytes.begin(), noise.bytes.end(), 0xF0), 0);
    EXPECT_EQ(noise.slotSeconds, 0);
    EXPECT_TRUE(silence.bytes.empty());
    EXPECT_DOUBLE_EQ(silence.slotSeconds, 2);
    EXPECT_EQ(Hex(player.next().bytes), "03 11 13");
    Output hangup = player.next();
    EXPECT_EQ(hangup.kind, Output::Hangup);
    EXPECT_DOUBLE_EQ(hangup.reopenSeconds, 1.5);
    // After the last command the meter goes on showing its reading.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Hex(player.next().bytes), "F0 11 02 31 35 30 30 30 00 05");
}

TEST(SimScript, FloodSendsAFrameThenNoiseAsFastAsTheLineTakesIt) {
    Player player(ParseScript("func dcv; range 1; count 5; flood 1 0.3; flood 0.25").commands, 4);
    int syncBytes = 0;
    std::size_t noiseBytes = 0;
    for (int slot = 0; slot < 4; ++slot) {
        const Output out = player.next();
        EXPECT_TRUE(out.unpaced);
        EXPECT_DOUBLE_EQ(out.slotSeconds, 0.25);
        ASSERT_GT(out.bytes.size(), 10000u);
        const std::vector<std::uint8_t> frame(out.bytes.begin(), out.bytes.begin() + 10);
        EXPECT_EQ(Hex(frame), "F0 11 02 31 35 30 30 30 00 05");
        syncBytes += int(std::count(out.bytes.begin() + 10, out.bytes.end(), 0xF0));
        noiseBytes += out.bytes.size() - 10;
    }
    EXPECT_NEAR(double(syncBytes) / double(noiseBytes), 0.3, 0.01);
    // Without a share every byte value comes alike: sync bytes are rare.
    const Output plain = player.next();
    const auto plainSync = std::count(plain.bytes.begin() + 10, plain.bytes.end(), 0xF0);
    EXPECT_LT(double(plainSync) / double(plain.bytes.size()), 0.01);
    EXPECT_FALSE(player.next().unpaced);  // the script is over: frames again
}

TEST(SimScript, LoopRepeatsButNeverSpinsOnAScriptThatSendsNothing) {
    EXPECT_EQ(
        Play("func dcv; range 1; count 1; send; count 2; send; loop", 3),
        (std::vector<std::string>{"F0 11 02 31 31 30 30 30 00 05", "F0 11 02 31 32 30 30 30 00 05",
                                  "F0 11 02 31 31 30 30 30 00 05"}));
    // A pass that neither sends nor waits falls through and repeats the reading.
    const std::string three = "F0 11 02 31 33 30 30 30 00 05";
    EXPECT_EQ(Play("func dcv; range 1; count 3; hold 0; loop", 1)[0], three);
    EXPECT_EQ(Play("func dcv; range 1; count 3; silence 0; loop", 3),
              (std::vector<std::string>{"", three, three}));
    EXPECT_EQ(Play("func dcv; range 1; count 3; hangup 0; loop", 3),
              (std::vector<std::string>{"hangup", three, three}));
}

}  // namespace
}  // namespace quillon::metersim
