#pragma once
// What the program knows about the meter's function codes (0..33) and range indices
// (0..7): function names, coupling texts, units, decimal positions, the value of one
// count, and the overload limits of each range. Lookups outside the tables, and
// function/range pairs the meter does not have, give "".

#include <QString>

namespace quillon {

constexpr int kFunctionCount = 34;  // function codes 0..33
constexpr int kRangeCount = 8;      // range indices 0..7

// True when (funcCode, rangeIdx) lies inside the tables (an entry may still be "").
bool InMeterTables(int funcCode, int rangeIdx);

QString FunctionTable(int funcCode);               // "DCV", "OHM", ... or ""
QString CouplingTable(int funcCode);               // "AC", "DC", "AC+DC", "ns" or ""
QString UnitTable(int funcCode, int rangeIdx);     // "V", "KΩ", "°C", ... or ""
QString DecimalTable(int funcCode, int rangeIdx);  // "0".."3" (0 = four decimals) or ""
// Value of one count for decimal index 0..4 (0.0001 .. 1); 0 outside.
float ResolutionTable(int decIdx);

// Upper and lower limit of a function and range, in the range's unit. A range the
// function does not have leaves the limits of the previous call in force.
class OverloadLimits {
  public:
    void selectRange(int funcCode, int rangeIdx);
    float high = 0;
    float low = 0;
};

// The one set of limits the whole program shares.
OverloadLimits& SharedOverloadLimits();

}  // namespace quillon
