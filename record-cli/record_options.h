#pragma once
// The command line of quillon-record: what to record, for how long, and where to.

#include <QString>
#include <QStringList>
#include <optional>

namespace quillon {

struct RecordOptions {
    QString port;  // --port: the meter's device path
    int com = 0;   // --com: a COM number of the port table, 0 none
    std::optional<qint32> intervalMs;
    int count = 0;          // records to take, 0 no limit
    qint64 durationMs = 0;  // how long to record, 0 no limit
    QString out;            // the report; "" the recording's name in the save folder
    std::optional<QString> title;
    std::optional<QString> dateFormat;
    std::optional<QString> timeFormat;
    QString capture;  // every byte received also goes here; "" none
    bool quiet = false;
};

// The parsed command line, or why the program ends at once: help or version (exit code
// 0, `text` for standard output) or a usage error (exit code 2, `text` the one line for
// standard error).
struct ParsedCommandLine {
    std::optional<RecordOptions> options;
    int exitCode = 0;
    QString text;
};

ParsedCommandLine ParseRecordCommandLine(const QStringList& arguments);

// "90", "90s", "15m", "2h", "1.5h", "1h30m", "1d", "01:30:00", "45:00": milliseconds,
// more than 0 and at most 366 days; nothing for anything else.
std::optional<qint64> ParseDurationMs(const QString& text);
// Seconds as a decimal number ("1", "0.5"), 0 to 86400: milliseconds.
std::optional<qint32> ParseIntervalMs(const QString& text);

// The --help text.
QString RecordUsageText();

}  // namespace quillon
