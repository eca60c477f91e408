#pragma once
// Runs the simulated meter: opens the line, plays the script at the pace of a 9600 baud
// line, hangs up and comes back when the script says so, until asked to stop; or plays a
// capture of a real line back.

#include <csignal>
#include <istream>
#include <string>

#include "sim_player.h"

namespace quillon::metersim {

struct RunOptions {
    std::string linkPath;  // where the link to the slave side is made
    bool verbose = false;  // log every output to standard error
};

// Returns the program's exit code: 0 after a stop request or a final hang-up, 1 when
// the line could not be opened. Prints "ready <link> -> <slave>" on standard output
// each time the line is open, "hangup" when the script closes it and "stopped" at the end
// of a stop request.
int RunSimulator(const RunOptions& options, Player& player, const volatile std::sig_atomic_t& stop);

// Plays a capture (capture_file.h) back on the line. Playing starts once a program holds
// the line (opens it for exclusive use, as QUILLON does; "playing" is printed) with the
// first go of reads (reads less than 20 ms apart, which the program made in one go). Each
// go then waits until the program has read the one before (at most a few seconds). A
// program that reads at once gets the bytes at their captured times divided by `speed`;
// one that polls (it left the last go waiting) gets the next go the captured time after
// its read of the last one, less half of it (at most a quarter of a second), so that each
// poll takes what the same poll took in the captured run. After the last read the line
// hangs up. Returns the exit code as RunSimulator; *error says why a capture ended early.
int RunReplay(const RunOptions& options, std::istream& capture, double speed,
              const volatile std::sig_atomic_t& stop, std::string* error);

}  // namespace quillon::metersim
