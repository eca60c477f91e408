#pragma once
// A wait that lets the window's events run: used before a screen capture, so that the
// window has repainted when it is grabbed.

#include <QtGlobal>

namespace quillon {

// Waits `ms` milliseconds while events run. The thread sleeps in the event loop
// meanwhile; nothing polls.
void WaitMs(qint64 ms);

}  // namespace quillon
