#pragma once
// The report file: a short header (title, function and range, MAX/MIN/AVG rows) and the
// record table, one record a line. UTF-8, fields joined by ", ", lines ending in CR LF.
// Nothing is quoted; the reader splits by position, so a title may contain ", ".

#include <QByteArray>
#include <QString>

#include "session.h"

namespace quillon {

struct WriteResult {
    bool ok = false;
    QString errorText;  // "<path>: <reason>" when ok is false
};

// The complete file content for the session's table and statistics.
QByteArray ReportBytes(const Session& session);

// Writes the report to path. The bytes go to a temporary file in the same folder that
// replaces the target only once it is complete, so a failed save (read-only folder, full
// disk, a folder at that path) leaves an existing file as it was.
WriteResult WriteReport(const Session& session, const QString& path);

}  // namespace quillon
