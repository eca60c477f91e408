#pragma once
// Runs the simulated meter: opens the line, plays the script at the pace of a 9600 baud
// line, hangs up and comes back when the script says so, until asked to stop.

#include <csignal>
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

}  // namespace quillon::metersim
