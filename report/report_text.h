#pragma once
// Text helpers of the report reader: turning file bytes into lines and lines into fields.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace quillon {

// Decodes report bytes: UTF-8 (a leading byte-order mark dropped) when the bytes are
// valid UTF-8; otherwise each line that is not valid UTF-8 is read as Windows-1252, the
// code page of reports from older versions.
QString DecodeReportBytes(const QByteArray& bytes);

// Cuts line at its first (maxFields - 1) ", " separators; the last field keeps any
// further separators. Fields are trimmed. Fewer fields come back when the line has
// fewer separators.
QStringList SplitFields(const QString& line, int maxFields);

}  // namespace quillon
