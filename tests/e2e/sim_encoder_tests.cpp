// The simulated meter: its frames against frames written out by hand, its script player,
// and its link as its own process.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "meter_frame.h"
#include "meter_ranges.h"
#include "sim_player.h"
#include "sim_process.h"
#include "sim_script.h"

namespace quillon::metersim {
namespace {

using Strings = std::vector<std::string>;

std::string Hex(const std::vector<std::uint8_t>& bytes, std::size_t from = 0, std::size_t n = 10) {
    from = std::min(from, bytes.size());
    return HexText(bytes.data() + from, std::min(n, bytes.size() - from));
}

TEST(SimFrames, EncodeFieldsAndCountValues) {
    const struct {
        FrameFields fields;
        const char* bytes;
    } frames[] = {
        {{2, 0x31, 131071, false, false}, "F0 11 02 31 46 46 46 46 01 05"},
        {{6, 0x32, 0xABCD, false, false}, "F0 11 06 32 44 43 42 41 00 05"},
        {{12, 0x30, 0, true, true}, "F0 11 0C 30 30 30 30 30 30 05"},
        {{1, 0x05, 1, false, false}, "F0 11 01 05 31 30 30 30 00 05"},
    };
    for (const auto& c : frames) {
        const Frame f = EncodeFrame(c.fields);
        EXPECT_EQ(HexText(f.data(), f.size()), c.bytes);
    }
    const struct {
        double value;
        int decimals;
        bool negativeText;
        std::tuple<int, bool, bool> count;  // count, negative, overload
    } values[] = {
        {0.00049, 3, false, {0, false, false}},      {-0.0, 4, true, {0, true, false}},
        {13.1071, 4, false, {131071, false, false}}, {13.1072, 4, false, {131071, false, true}},
        {-20000, 1, false, {131071, true, true}},
    };
    for (const auto& c : values) {
        const Count got = CountForValue(c.value, c.decimals, c.negativeText);
        EXPECT_EQ(std::tuple(int(got.count), got.negative, got.overload), c.count) << c.value;
    }
}

// Plays `script` and gives the bytes of its first `n` outputs ("hangup" for a hang-up).
Strings Play(const std::string& script, int n) {
    const ParsedScript parsed = ParseScript(script);
    EXPECT_TRUE(parsed.ok()) << parsed.error;
    Player player(parsed.commands, 4);
    Strings out;
    for (int i = 0; i < n; ++i) {
        const Output o = player.next();
        out.push_back(o.kind == Output::Hangup ? "hangup" : Hex(o.bytes));
    }
    return out;
}

TEST(SimScript, ValuesWaveformsAndLoops) {
    EXPECT_EQ(Play("func dcv; range 1; value -2.352; send\nfunc ohm; range 1; value 1.2345; send\n"
                   "range 2; value 12.345 # comment\nsend; value -0; send; overload -; send\n",
                   5),
              Strings({"F0 11 02 31 30 33 39 30 20 05", "F0 11 04 31 39 33 30 33 00 05",
                       "F0 11 04 32 39 33 30 33 00 05", "F0 11 04 32 30 30 30 30 20 05",
                       "F0 11 04 32 30 30 30 30 30 05"}));
    const std::string v0 = "F0 11 02 31 30 30 30 30 00 05", v1 = "F0 11 02 31 38 45 33 30 00 05",
                      v2 = "F0 11 02 31 30 44 37 30 00 05", v3 = "F0 11 02 31 38 42 42 30 00 05";
    // 1 s at 4 frames a second: 4 frames from 0 to 3 V.
    EXPECT_EQ(Play("func dcv; range 1; ramp 0 3 1s; hangup", 5),
              Strings({v0, v1, v2, v3, "hangup"}));
    // Two steps of 0.5 s, then a sine that starts at its centre and peaks a quarter in.
    const Strings s = Play("func dcv; range 1; steps 1 2 1 0.5; sine 0 2 4 4; hangup", 9);
    EXPECT_EQ(Strings({s[0], s[1], s[3], s[4], s[5], s[8]}),
              Strings({v1, v1, v2, v0, "F0 11 02 31 44 46 32 30 00 05", v2}));
    EXPECT_EQ(Play("func dcv; range 1; count 1; send; count 2; send; loop", 3),
              Strings({"F0 11 02 31 31 30 30 30 00 05", "F0 11 02 31 32 30 30 30 00 05",
                       "F0 11 02 31 31 30 30 30 00 05"}));
    // A pass that neither sends nor waits falls through and repeats the reading.
    const std::string three = "F0 11 02 31 33 30 30 30 00 05";
    EXPECT_EQ(Play("func dcv; range 1; count 3; silence 0; loop", 3), Strings({"", three, three}));
    EXPECT_EQ(Play("func dcv; range 1; count 3; hangup 0; loop", 3),
              Strings({"hangup", three, three}));
}

TEST(SimScript, RejectsBadLinesWithTheirLineNumber) {
    const std::pair<const char*, const char*> cases[] = {
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
    for (const auto& [script, error] : cases)
        EXPECT_EQ(ParseScript(script).error.rfind(error, 0), 0u) << script;
}

TEST(SimScript, LineFaultsFloodAndTheEndOfTheScript) {
    Player player(ParseScript("seed 7; func dcv; range 1; count 5; torn 4; noise 300; silence 2;"
                              " bytes 03 11 13; hangup 1.5; flood 1 0.3; flood 0.25")
                      .commands,
                  4);
    const Output torn = player.next(), noise = player.next(), silence = player.next();
    EXPECT_EQ(Hex(torn.bytes) + " " + std::to_string(torn.slotSeconds), "F0 11 02 31 0.250000");
    ASSERT_EQ(noise.bytes.size(), 300u);
    EXPECT_EQ(std::count(noise.bytes.begin(), noise.bytes.end(), 0xF0), 0);
    EXPECT_EQ(noise.slotSeconds, 0);
    EXPECT_TRUE(silence.bytes.empty());
    EXPECT_DOUBLE_EQ(silence.slotSeconds, 2);
    EXPECT_EQ(Hex(player.next().bytes), "03 11 13");
    const Output hangup = player.next();
    EXPECT_EQ(hangup.kind, Output::Hangup);
    EXPECT_DOUBLE_EQ(hangup.reopenSeconds, 1.5);
    // A flood is a frame, then noise as fast as the line takes it, 30 % sync bytes.
    double syncBytes = 0, noiseBytes = 0;
    for (int slot = 0; slot < 4; ++slot) {
        const Output out = player.next();
        EXPECT_TRUE(out.unpaced);
        EXPECT_DOUBLE_EQ(out.slotSeconds, 0.25);
        ASSERT_GT(out.bytes.size(), 10000u);
        EXPECT_EQ(Hex(out.bytes), "F0 11 02 31 35 30 30 30 00 05");
        syncBytes += std::count(out.bytes.begin() + 10, out.bytes.end(), 0xF0);
        noiseBytes += out.bytes.size() - 10;
    }
    EXPECT_NEAR(syncBytes / noiseBytes, 0.3, 0.01);
    // Without a share every byte value comes alike: sync bytes are rare.
    const Output plain = player.next();
    EXPECT_LT(std::count(plain.bytes.begin(), plain.bytes.end(), 0xF0),
              long(plain.bytes.size() / 100));
    // After the last command the meter goes on showing its reading.
    const Output after = player.next();
    EXPECT_FALSE(after.unpaced);
    EXPECT_EQ(Hex(after.bytes), "F0 11 02 31 35 30 30 30 00 05");
}

// A file where the simulator's link would go is never replaced.
TEST(SimLine, NeverReplacesAFile) {
    testing::SimProcess refused({});
    QFile file(refused.linkPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("keep me") == 7);
    file.close();
    EXPECT_FALSE(refused.start());
    EXPECT_TRUE(refused.waitForExit(5000));
    EXPECT_NE(refused.process().exitCode(), 0);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "keep me");
}

}  // namespace
}  // namespace quillon::metersim
