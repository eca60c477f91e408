#pragma once
// What the main window tells the user and when it must ask, decided from the session
// alone, so that it is tested without a window: the status bar's texts and whether
// closing the window would lose records.

#include <QString>

#include "session.h"

namespace quillon {

// The status bar, part by part; an empty part is not shown.
struct StatusLine {
    // "Recording", "Paused", "Waiting for the meter", "Viewing <file name>" or "Idle".
    QString state;
    QString records;   // while a recording is open: "12 records, interval 00:05"
    QString port;      // the meter's device path, or "No meter"
    QString schedule;  // while a schedule is armed: "Next start <date> <time>"
    QString saved;     // "Saved to <full path>" while the records shown are all in that file
};

// meterDevice: the device path of the port the link is up on ("" when unknown).
StatusLine DescribeStatus(const Session& session, const QString& meterDevice);

// True when closing the window now would lose records: some are shown, they are in no
// report file, and the Link Off that closing performs will not save them automatically.
bool ClosingLosesRecords(const Session& session);

}  // namespace quillon
