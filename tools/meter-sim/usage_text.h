#pragma once

namespace quillon::metersim {

// The --help text: options, the script format and examples.
extern const char* const kUsageText;

// The script played when none is given: DC volts, range 1, a slow sine, for ever.
extern const char* const kDefaultScript;

}  // namespace quillon::metersim
