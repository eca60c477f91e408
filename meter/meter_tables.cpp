#include "meter_tables.h"

#include <array>

namespace quillon {
namespace {

struct FunctionRow {
    int code;
    const char* name;      // FunctionTable
    const char* coupling;  // CouplingTable
};

// Function codes without a row have no name and no coupling.
// clang-format off
const FunctionRow kFunctionRows[] = {
    // code  function name    coupling
    {0,      "OFF",           ""},
    {1,      "ACV",           "AC"},
    {2,      "DCV",           "DC"},
    {3,      "ACV",           "AC"},
    {4,      "OHM",           ""},
    {5,      "CAP",           ""},
    {6,      "Hz",            ""},
    {7,      "ACA",           "AC"},
    {8,      "ACA",           "AC"},
    {9,      "Temperature",   ""},
    {11,     "ACV/DCV",       "AC+DC"},
    {12,     "DCV",           "DC"},
    {13,     "ACV/DCV",       "AC+DC"},
    {14,     "BZR",           ""},
    {15,     "Diode",         ""},
    {16,     "DCA",           "DC"},
    {17,     "DCA",           "DC"},
    {18,     "DCA",           "DC"},
    {19,     "ACA",           "AC"},
    {20,     "Temperature",   ""},
    {22,     "Duty",          ""},
    {27,     "ACA/DCA",       "AC+DC"},
    {28,     "ACA/DCA",       "AC+DC"},
    {29,     "ACA/DCA",       "AC+DC"},
    {30,     "NS",            "ns"},
};
// clang-format on

struct RangeRow {
    int code;
    int range;
    const char16_t* unit;  // U+03A9 is the ohm sign, U+00B0 the degree sign
    int decimals;          // decimal index: 0 = four decimals .. 3 = one
    float high;            // overload limits of the range, in its unit
    float low;
};

// Every range the meter has. A range without a row has no unit, no decimal index and
// no limits of its own.
// clang-format off
const RangeRow kRangeRows[] = {
    // code range  unit           dec  OL high  OL low
    {1,    0,      u"V",          0,   6,       0},
    {1,    1,      u"V",          1,   60,      0},
    {1,    2,      u"V",          2,   600,     0},
    {1,    3,      u"V",          3,   780,     0},
    {2,    0,      u"V",          0,   6,       -6},
    {2,    1,      u"V",          1,   60,      -60},
    {2,    2,      u"V",          2,   600,     -600},
    {2,    3,      u"V",          3,   1010,    -1010},
    {3,    0,      u"mV",         2,   600,     0},
    {4,    0,      u"\u03A9",     2,   600,     0},
    {4,    1,      u"K\u03A9",    0,   6,       0},
    {4,    2,      u"K\u03A9",    1,   60,      0},
    {4,    3,      u"K\u03A9",    2,   600,     0},
    {4,    4,      u"M\u03A9",    0,   6,       0},
    {4,    5,      u"M\u03A9",    1,   60,      0},
    {5,    0,      u"nF",         1,   6,       0},
    {5,    1,      u"nF",         2,   60,      0},
    {5,    2,      u"nF",         3,   600,     0},
    {5,    3,      u"uF",         1,   6,       0},
    {5,    4,      u"uF",         2,   60,      0},
    {5,    5,      u"uF",         3,   600,     0},
    {5,    6,      u"mF",         1,   6,       0},
    {6,    0,      u"Hz",         1,   60,      0},
    {6,    1,      u"Hz",         2,   600,     0},
    {6,    2,      u"KHz",        0,   6,       0},
    {6,    3,      u"KHz",        1,   60,      0},
    {6,    4,      u"KHz",        2,   600,     0},
    {6,    5,      u"MHz",        0,   6,       0},
    {6,    6,      u"MHz",        1,   60,      0},
    {7,    0,      u"uA",         2,   600,     0},
    {7,    1,      u"uA",         3,   6000,    0},
    {8,    1,      u"A",          1,   20,      0},
    {9,    1,      u"\u00B0C",    3,   1300,    -201},
    {11,   0,      u"V",          0,   6,       0},
    {11,   1,      u"V",          1,   60,      0},
    {11,   2,      u"V",          2,   600,     0},
    {11,   3,      u"V",          3,   780,     0},
    {12,   0,      u"mV",         2,   600,     -600},
    {13,   0,      u"mV",         2,   600,     0},
    {14,   0,      u"\u03A9",     2,   600,     0},
    {15,   0,      u"V",          0,   2,       -2},
    {16,   0,      u"uA",         2,   600,     -600},
    {16,   1,      u"uA",         3,   6000,    -6000},
    {17,   0,      u"mA",         1,   60,      -60},
    {17,   1,      u"mA",         2,   400,     -400},
    {18,   1,      u"A",          1,   20,      -20},
    {19,   0,      u"mA",         1,   60,      0},
    {19,   1,      u"mA",         2,   400,     0},
    {20,   1,      u"\u00B0F",    3,   2372,    -329},
    {22,   0,      u"%",          3,   100,     0},
    {27,   0,      u"uA",         2,   600,     0},
    {27,   1,      u"uA",         3,   6000,    0},
    {28,   0,      u"mA",         1,   60,      0},
    {28,   1,      u"mA",         2,   400,     0},
    {29,   1,      u"A",          1,   20,      0},
    {30,   0,      u"ns",         2,   60,      0},
};
// clang-format on

// Function codes that set both limits to 0 whatever the range.
bool HasNoLimits(int code) {
    return code < 1 || code > 30 || code == 10 || code == 21 || (code >= 23 && code <= 26);
}

// The rows above laid out by index once, so a lookup is one array access.
struct Tables {
    std::array<QString, kFunctionCount> function;
    std::array<QString, kFunctionCount> coupling;
    std::array<std::array<QString, kRangeCount>, kFunctionCount> unit;
    std::array<std::array<QString, kRangeCount>, kFunctionCount> decimals;
    std::array<std::array<const RangeRow*, kRangeCount>, kFunctionCount> range{};

    Tables() {
        for (const FunctionRow& row : kFunctionRows) {
            function[row.code] = QString::fromLatin1(row.name);
            coupling[row.code] = QString::fromLatin1(row.coupling);
        }
        for (const RangeRow& row : kRangeRows) {
            unit[row.code][row.range] = QString::fromUtf16(row.unit);
            decimals[row.code][row.range] = QString::number(row.decimals);
            range[row.code][row.range] = &row;
        }
    }
};

const Tables& tables() {
    static const Tables t;
    return t;
}

}  // namespace

bool InMeterTables(int funcCode, int rangeIdx) {
    return funcCode >= 0 && funcCode < kFunctionCount && rangeIdx >= 0 && rangeIdx < kRangeCount;
}

QString FunctionTable(int funcCode) {
    if (funcCode < 0 || funcCode >= kFunctionCount) return {};
    return tables().function[funcCode];
}

QString CouplingTable(int funcCode) {
    if (funcCode < 0 || funcCode >= kFunctionCount) return {};
    return tables().coupling[funcCode];
}

QString UnitTable(int funcCode, int rangeIdx) {
    if (!InMeterTables(funcCode, rangeIdx)) return {};
    return tables().unit[funcCode][rangeIdx];
}

QString DecimalTable(int funcCode, int rangeIdx) {
    if (!InMeterTables(funcCode, rangeIdx)) return {};
    return tables().decimals[funcCode][rangeIdx];
}

float ResolutionTable(int decIdx) {
    static constexpr float kResolution[] = {0.0001f, 0.001f, 0.01f, 0.1f, 1.0f};
    if (decIdx < 0 || decIdx > 4) return 0.0f;
    return kResolution[decIdx];
}

void OverloadLimits::selectRange(int funcCode, int rangeIdx) {
    if (HasNoLimits(funcCode)) {
        high = 0;
        low = 0;
        return;
    }
    if (!InMeterTables(funcCode, rangeIdx)) return;
    const RangeRow* row = tables().range[funcCode][rangeIdx];
    if (!row) return;  // a range this function does not have: keep the previous limits
    high = row->high;
    low = row->low;
}

OverloadLimits& SharedOverloadLimits() {
    static OverloadLimits limits;
    return limits;
}

}  // namespace quillon
