#pragma once
// The program's command line. A normal start takes no options, or the report file to
// open (as the file manager's "Open with" passes it); a snapshot run records for a few
// seconds without anybody at the window (or shows the report named) and writes a
// picture of it; a capture keeps every byte the meter sends, with its time.

#include <QString>
#include <QStringList>
#include <optional>

namespace quillon {

struct Options {
    QString snapshotPath;   // empty: a normal run
    int recordSeconds = 5;  // recording time before the snapshot
    QString reportPath;     // absolute path of a report to open at start; empty: none
    QString capturePath;    // every byte received also goes here; empty: no capture
};

// Parsed options, or nothing when the program should end at once (help, version, or an
// error already printed); exitCode then says how.
std::optional<Options> ParseOptions(const QStringList& arguments, int* exitCode);

}  // namespace quillon
