// The simulated meter: its frames, its script player, and its link as its own process.
#include <gtest/gtest.h>

#include <algorithm>

#include "meter_frame.h"
#include "sim_player.h"
#include "sim_process.h"
#include "sim_script.h"

namespace quillon::metersim {
namespace {

using Strings = std::vector<std::string>;

std::string Hex(const std::vector<std::uint8_t>& bytes) {
    return HexText(bytes.data(), std::min<std::size_t>(10, bytes.size()));
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

TEST(SimScript, FramesWaveformsLoopsAndBadLines) {
    const Frame f = EncodeFrame({6, 0x32, 0x1ABCD, true, true});
    EXPECT_EQ(HexText(f.data(), f.size()), "F0 11 06 32 44 43 42 41 31 05");
    EXPECT_EQ(Play("func ohm; range 1; value 1.2345; send\nrange 2; value -0 # comment\nsend", 2),
              Strings({"F0 11 04 31 39 33 30 33 00 05", "F0 11 04 32 30 30 30 30 20 05"}));
    // 1 s at 4 frames a second: 4 frames from 0 to 3 V, then a loop back to the start.
    EXPECT_EQ(Play("func dcv; range 1; ramp 0 3 1s; hangup; loop", 6),
              Strings({"F0 11 02 31 30 30 30 30 00 05", "F0 11 02 31 38 45 33 30 00 05",
                       "F0 11 02 31 30 44 37 30 00 05", "F0 11 02 31 38 42 42 30 00 05", "hangup",
                       "F0 11 02 31 30 30 30 30 00 05"}));
    // A pass that neither sends nor waits falls through and repeats the reading.
    const std::string three = "F0 11 02 31 33 30 30 30 00 05";
    EXPECT_EQ(Play("func dcv; range 1; count 3; hangup 0; loop", 3),
              Strings({"hangup", three, three}));
    EXPECT_EQ(ParseScript("func dcv\nfrobnicate").error.rfind("line 2: unknown command", 0), 0u);
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
