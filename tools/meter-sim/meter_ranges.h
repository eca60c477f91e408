#pragma once
// What the simulated meter knows about its own functions and ranges: the number of
// decimals its display shows in each range and the unit printed beside it. Used to
// turn a reading such as -2.352 V into the count a frame carries, and to describe
// frames in the log.

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::metersim {

struct RangeInfo {
    int decimals;      // digits after the decimal point on the display (1..4)
    const char* unit;  // UTF-8: "V", "KΩ", "°C", ...
};

// The range's display format, or nothing when the meter has no such range.
std::optional<RangeInfo> FindRange(int function, int range);

// Function code for a script name ("dcv", "ohm", ...) or a number "0".."255";
// nothing when the text is neither.
std::optional<int> FunctionByName(const std::string& name);

// Short name of a function code for logs ("dcv"), or its number.
std::string FunctionLabel(int function);

// A reading as the meter encodes it.
struct Count {
    std::uint32_t count = 0;
    bool negative = false;
    bool overload = false;  // the value does not fit in a frame's 17-bit count
};

// The count of `value` shown with `decimals` decimals (value × 10^decimals, rounded).
// negativeText: the reading was written with a leading "-" (so "-0" is a negative zero).
Count CountForValue(double value, int decimals, bool negativeText);

// The count written as the display would show it: 2352 with 3 decimals → "2.352".
std::string DisplayText(std::uint32_t count, bool negative, int decimals);

}  // namespace quillon::metersim
