#pragma once
// Tells the user why a serial library call failed.

#include <QString>

#include "messages.h"

namespace quillon {

// The text shown for a library code; empty for -8, which shows no message.
QString PortErrorText(int code);

// A message box titled with the failing function's name ("sio_ioctl", ...), with an
// exclamation icon and an OK button. Code -8 shows nothing.
void ShowPortError(MessageBoxes& boxes, const QString& functionName, int code);

}  // namespace quillon
