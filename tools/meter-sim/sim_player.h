#pragma once
// Plays a script: turns its commands, one after the other, into what goes on the line.
// The player only decides bytes and timing; the pseudo-terminal writer sends them.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "meter_frame.h"
#include "sim_script.h"

namespace quillon::metersim {

struct Output {
    enum Kind { Write, Hangup };
    Kind kind = Write;
    std::vector<std::uint8_t> bytes;  // Write: the bytes, sent at line speed
    // Write: time from the first byte to the next output; at least the line time of the
    // bytes (a frame slot, the length of a silence, 0 for bytes slipped in between frames).
    double slotSeconds = 0;
    double reopenSeconds = -1;  // Hangup: time until the line is back, below 0: for good
    // Write: as fast as the line takes them instead of at 9600 baud; what has not gone out
    // when the slot ends is dropped.
    bool unpaced = false;
    std::string description;  // for the log
};

class Player {
  public:
    Player(std::vector<Command> commands, double rate, std::uint32_t seed = 1);

    // The next thing to send. After the last command the meter goes on showing its last
    // reading, so the player goes on with that frame (unless the script ends in "loop").
    Output next();

    const FrameFields& fields() const { return fields_; }

  private:
    // Applies setters until a command that sends something; false at the end of the script.
    bool advanceToOutput();
    Output outputOfCurrent();
    std::size_t outputCountOfCurrent() const;
    std::size_t framesFor(double seconds) const;
    void setValue(double value, bool negativeText);
    Output frameOutput(const std::string& what) const;
    Output floodOutput(const Command& c);
    std::string readingText() const;

    std::vector<Command> commands_;
    std::size_t index_ = 0;      // current command
    std::size_t step_ = 0;       // outputs already made by the current command
    bool passTookTime_ = false;  // since the top of the script: something sent or waited
    double rate_;
    FrameFields fields_;
    std::mt19937 noise_;
};

}  // namespace quillon::metersim
