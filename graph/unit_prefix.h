#pragma once
// The one rule by which a value written with one unit prefix is converted into another.
//
// Only resistance (function code 4), capacitance (5) and frequency (6) have units with
// more than one prefix; values of every other function are never converted.

#include <QString>
#include <optional>

namespace quillon {

// Factor of a unit text relative to its base unit (Ω, F, Hz), or nothing when the unit
// has no known factor. Resistance: first character "K" 1e3, "M" 1e6, anything else 1.
// Capacitance: first character "n" 1e-9, "u" 1e-6, "m" 1e-3, anything else no factor.
// Frequency: the whole text "Hz" 1, "KHz" 1e3, "MHz" 1e6, anything else no factor.
// Other functions: 1. Blanks around the unit are ignored.
std::optional<double> UnitFactor(int funcCode, const QString& unit);

// `value` written in `fromUnit`, expressed in `toUnit`. Equal units (blanks ignored) or a
// function other than 4, 5, 6 give the value unchanged. Nothing when either unit has no
// factor: such a value cannot be compared with the others.
std::optional<double> ConvertUnit(int funcCode, double value, const QString& fromUnit,
                                  const QString& toUnit);

// Text form of a converted or accumulated number that reads back to the same double.
QString ExactNumberText(double v);

}  // namespace quillon
