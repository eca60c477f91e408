#include "meter_ranges.h"

#include <cmath>
#include <cstdlib>
#include <vector>

#include "meter_frame.h"

namespace quillon::metersim {

namespace {

struct RangeRow {
    int function;  // function code of the frame
    int range;     // range index 0..7
    int decimals;  // digits after the decimal point
    const char* unit;
};

// One row per range the meter has.
const RangeRow kRanges[] = {
    // AC volts
    {1, 0, 4, "V"},
    {1, 1, 3, "V"},
    {1, 2, 2, "V"},
    {1, 3, 1, "V"},
    // DC volts
    {2, 0, 4, "V"},
    {2, 1, 3, "V"},
    {2, 2, 2, "V"},
    {2, 3, 1, "V"},
    // AC millivolts
    {3, 0, 2, "mV"},
    // resistance
    {4, 0, 2, "Ω"},
    {4, 1, 4, "KΩ"},
    {4, 2, 3, "KΩ"},
    {4, 3, 2, "KΩ"},
    {4, 4, 4, "MΩ"},
    {4, 5, 3, "MΩ"},
    // capacitance
    {5, 0, 3, "nF"},
    {5, 1, 2, "nF"},
    {5, 2, 1, "nF"},
    {5, 3, 3, "uF"},
    {5, 4, 2, "uF"},
    {5, 5, 1, "uF"},
    {5, 6, 3, "mF"},
    // frequency
    {6, 0, 3, "Hz"},
    {6, 1, 2, "Hz"},
    {6, 2, 4, "KHz"},
    {6, 3, 3, "KHz"},
    {6, 4, 2, "KHz"},
    {6, 5, 4, "MHz"},
    {6, 6, 3, "MHz"},
    // AC current
    {7, 0, 2, "uA"},
    {7, 1, 1, "uA"},
    {8, 1, 3, "A"},
    // temperature in °C
    {9, 1, 1, "°C"},
    // AC+DC volts
    {11, 0, 4, "V"},
    {11, 1, 3, "V"},
    {11, 2, 2, "V"},
    {11, 3, 1, "V"},
    // DC millivolts, AC+DC millivolts
    {12, 0, 2, "mV"},
    {13, 0, 2, "mV"},
    // continuity buzzer, diode
    {14, 0, 2, "Ω"},
    {15, 0, 4, "V"},
    // DC current
    {16, 0, 2, "uA"},
    {16, 1, 1, "uA"},
    {17, 0, 3, "mA"},
    {17, 1, 2, "mA"},
    {18, 1, 3, "A"},
    // AC milliamps
    {19, 0, 3, "mA"},
    {19, 1, 2, "mA"},
    // temperature in °F, duty cycle
    {20, 1, 1, "°F"},
    {22, 0, 1, "%"},
    // AC+DC current
    {27, 0, 2, "uA"},
    {27, 1, 1, "uA"},
    {28, 0, 3, "mA"},
    {28, 1, 2, "mA"},
    {29, 1, 3, "A"},
    // pulse width
    {30, 0, 2, "ns"},
};

struct FunctionName {
    const char* name;
    int function;
};

const FunctionName kFunctionNames[] = {
    {"off", 0},    {"acv", 1},     {"dcv", 2},     {"acmv", 3},    {"ohm", 4},
    {"cap", 5},    {"hz", 6},      {"acua", 7},    {"aca", 8},     {"tempc", 9},
    {"acdcv", 11}, {"dcmv", 12},   {"acdcmv", 13}, {"buzzer", 14}, {"diode", 15},
    {"dcua", 16},  {"dcma", 17},   {"dca", 18},    {"acma", 19},   {"tempf", 20},
    {"duty", 22},  {"acdcua", 27}, {"acdcma", 28}, {"acdca", 29},  {"ns", 30},
};

}  // namespace

std::optional<RangeInfo> FindRange(int function, int range) {
    for (const RangeRow& row : kRanges) {
        if (row.function == function && row.range == range)
            return RangeInfo{row.decimals, row.unit};
    }
    return std::nullopt;
}

std::optional<int> FunctionByName(const std::string& name) {
    for (const FunctionName& entry : kFunctionNames) {
        if (name == entry.name) return entry.function;
    }
    if (name.empty() || name.size() > 3) return std::nullopt;
    char* end = nullptr;
    const long code = std::strtol(name.c_str(), &end, 10);
    if (*end != '\0' || code < 0 || code > 255) return std::nullopt;
    return static_cast<int>(code);
}

std::string FunctionLabel(int function) {
    for (const FunctionName& entry : kFunctionNames) {
        if (entry.function == function) return entry.name;
    }
    return "function " + std::to_string(function);
}

Count CountForValue(double value, int decimals, bool negativeText) {
    Count result;
    result.negative = negativeText || value < 0;
    const double scaled = std::fabs(value) * std::pow(10.0, decimals);
    if (!(scaled <= kMaxCount + 0.5)) {  // also catches NaN
        result.overload = true;
        result.count = kMaxCount;
        return result;
    }
    result.count = static_cast<std::uint32_t>(std::llround(scaled));
    return result;
}

std::string DisplayText(std::uint32_t count, bool negative, int decimals) {
    std::string digits = std::to_string(count);
    if (decimals > 0) {
        if (digits.size() <= static_cast<std::size_t>(decimals))
            digits.insert(0, decimals + 1 - digits.size(), '0');
        digits.insert(digits.size() - decimals, ".");
    }
    return negative ? "-" + digits : digits;
}

}  // namespace quillon::metersim
