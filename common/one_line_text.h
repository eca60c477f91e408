#pragma once
// Texts that must stay on one line: the graph title is a line of the report file, where
// a line break would shift every header row and record on reading.

#include <QString>

namespace quillon {

// `text` with every line break (CR LF, CR or LF) replaced by a blank.
inline QString OnOneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace quillon
