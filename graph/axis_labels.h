#pragma once
// Texts and positions of the nine numbers of the vertical axis.

#include <QString>
#include <optional>

namespace quillon {

// Number i (0 bottom .. 8 top) of an axis whose bottom is tickDn and whose grid unit is
// yStep (ten units between numbers). decIdx is the recording's decimal index (0 four
// decimals .. 4 none); a number that needs it while it is unknown is not drawn: the
// result is then a null QString.
QString AxisNumberText(float tickDn, double yStep, int i, std::optional<int> decIdx);

// Left edge of the numbers in drawing units at the design size, by the length of the
// bottom value's text: the longer it is, the further left they start.
double AxisNumberLeft(float tickDn);

}  // namespace quillon
