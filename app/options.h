#pragma once
// The program's command line. A normal start takes no options; a snapshot run records
// for a few seconds without anybody at the window and writes a picture of it.

#include <QString>
#include <QStringList>
#include <optional>

namespace quillon {

struct Options {
    QString snapshotPath;   // empty: a normal run
    int recordSeconds = 5;  // recording time before the snapshot
};

// Parsed options, or nothing when the program should end at once (help, version, or an
// error already printed); exitCode then says how.
std::optional<Options> ParseOptions(const QStringList& arguments, int* exitCode);

}  // namespace quillon
