#pragma once
// The simulator's script: one command a line (or several separated by ";"), "#" starts
// a comment. The commands are listed in the program's --help text (usage_text.cpp).

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::metersim {

enum class Op {
    Rate,       // rate <frames per second>
    Function,   // func <name or code>
    Range,      // range <0..7>
    RangeByte,  // rangebyte <byte>
    Value,      // value <number>
    Count,      // count <[-]n>
    Overload,   // overload [-]
    Send,       // send [n]
    Hold,       // hold <seconds>
    Sine,       // sine <centre> <amplitude> <period> <seconds>
    Ramp,       // ramp <from> <to> <seconds>
    Steps,      // steps <from> <to> <step> <seconds each>
    Noise,      // noise <n>
    Flood,      // flood <seconds> [sync share]
    Bytes,      // bytes <hex> ...
    Torn,       // torn [n]
    Silence,    // silence <seconds>
    Hangup,     // hangup [seconds]
    Loop,       // loop
    Seed,       // seed <n>
};

struct Command {
    Op op = Op::Rate;
    int line = 0;                     // line number in the script, from 1
    std::vector<double> numbers;      // the numeric arguments in order
    bool negative = false;            // value, count, overload: written with a leading "-"
    std::vector<std::uint8_t> bytes;  // bytes: the raw bytes
};

struct ParsedScript {
    std::vector<Command> commands;
    std::string error;  // "line 3: ..." when the text is not a valid script
    bool ok() const { return error.empty(); }
};

ParsedScript ParseScript(const std::string& text);

}  // namespace quillon::metersim
