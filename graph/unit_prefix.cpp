#include "unit_prefix.h"

#include <QLocale>

namespace quillon {

namespace {
constexpr int kResistance = 4;
constexpr int kCapacitance = 5;
constexpr int kFrequency = 6;
}  // namespace

std::optional<double> UnitFactor(int funcCode, const QString& unit) {
    const QString u = unit.trimmed();
    switch (funcCode) {
        case kResistance:
            if (u.startsWith(QLatin1Char('K'))) return 1e3;
            if (u.startsWith(QLatin1Char('M'))) return 1e6;
            return 1.0;
        case kCapacitance:
            if (u.startsWith(QLatin1Char('n'))) return 1e-9;
            if (u.startsWith(QLatin1Char('u'))) return 1e-6;
            if (u.startsWith(QLatin1Char('m'))) return 1e-3;
            return std::nullopt;
        case kFrequency:
            if (u == QLatin1String("Hz")) return 1.0;
            if (u == QLatin1String("KHz")) return 1e3;
            if (u == QLatin1String("MHz")) return 1e6;
            return std::nullopt;
        default:
            return 1.0;
    }
}

std::optional<double> ConvertUnit(int funcCode, double value, const QString& fromUnit,
                                  const QString& toUnit) {
    if (funcCode != kResistance && funcCode != kCapacitance && funcCode != kFrequency) return value;
    if (fromUnit.trimmed() == toUnit.trimmed()) return value;
    const std::optional<double> from = UnitFactor(funcCode, fromUnit);
    const std::optional<double> to = UnitFactor(funcCode, toUnit);
    if (!from || !to) return std::nullopt;
    // The ratio is always 1000 or 1000000 (or its inverse): multiply or divide by the
    // whole number so that 470 nF gives exactly 0.47 uF, not 0.47000000000000003.
    const double ratio = *from / *to;
    if (ratio >= 1) return value * double(qRound64(ratio));
    return value / double(qRound64(1 / ratio));
}

QString ExactNumberText(double v) {
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}

}  // namespace quillon
