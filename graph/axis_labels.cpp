#include "axis_labels.h"

#include <cmath>

#include "number_format.h"

namespace quillon {

namespace {
// By decimal index 0..4 (4 - index decimals).
const char* const kAxisFormats[] = {"##0.0000", "###0.000", "####0.00", "#####0.0", "######0"};
}  // namespace

QString AxisNumberText(float tickDn, double yStep, int i, std::optional<int> decIdx) {
    const float v = float(double(tickDn) + 10.0 * i * yStep);
    if (std::isfinite(yStep) && std::trunc(yStep) == yStep) return PlainSingle(v);
    if (std::trunc(v) == v) return FormatNumber(v, QStringLiteral("######0"));
    const QString plain = PlainSingle(v);
    int sep = plain.indexOf(QLatin1Char('.'));
    if (sep < 0) sep = plain.indexOf(QLatin1Char(','));
    const int decimals = sep < 0 ? 0 : int(plain.size()) - sep - 1;
    if (!decIdx || *decIdx < 0 || *decIdx > 4) return QString();
    if (decimals > 4 - *decIdx) return FormatNumber(v, QLatin1String(kAxisFormats[*decIdx]));
    return plain;
}

double AxisNumberLeft(float tickDn) {
    const int length = int(PlainSingle(tickDn).size());
    return length < 4 ? -650 : length <= 5 ? -700 : -900;
}

}  // namespace quillon
