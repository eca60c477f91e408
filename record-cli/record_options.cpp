#include "record_options.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <cmath>

#include "date_time_format.h"

namespace quillon {

namespace {

constexpr double kLongestIntervalSeconds = 86400;
constexpr qint64 kLongestDurationMs = 366LL * 24 * 3600 * 1000;
constexpr int kHighestComNumber = 256;

ParsedCommandLine UsageError(const QString& why) {
    ParsedCommandLine result;
    result.exitCode = 2;
    result.text = QStringLiteral("quillon-record: ") + why + QStringLiteral(" (see --help)");
    return result;
}

// Seconds in a decimal number without sign or exponent, or nothing.
std::optional<double> PlainSeconds(const QString& text) {
    static const QRegularExpression plain(QStringLiteral("^(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!plain.match(text).hasMatch()) return std::nullopt;
    return text.toDouble();
}

std::optional<qint64> ClockDurationMs(const QString& text) {
    static const QRegularExpression clock(QStringLiteral("^(?:(\\d+):)?(\\d{1,2}):(\\d{2})$"));
    const QRegularExpressionMatch m = clock.match(text);
    if (!m.hasMatch()) return std::nullopt;
    const qint64 hours = m.captured(1).toLongLong();
    const qint64 minutes = m.captured(2).toLongLong();
    const qint64 seconds = m.captured(3).toLongLong();
    if (seconds > 59 || (m.capturedLength(1) > 0 && minutes > 59) || hours > 366 * 24)
        return std::nullopt;
    return ((hours * 60 + minutes) * 60 + seconds) * 1000;
}

}  // namespace

std::optional<qint64> ParseDurationMs(const QString& text) {
    const QString t = text.trimmed();
    std::optional<qint64> ms = ClockDurationMs(t);
    if (!ms) {
        if (const auto seconds = PlainSeconds(t)) {
            ms = qint64(std::llround(*seconds * 1000));
        } else {
            static const QRegularExpression whole(
                QStringLiteral("^(?:(?:\\d+(?:\\.\\d+)?|\\.\\d+)[dhms])+$"));
            static const QRegularExpression part(
                QStringLiteral("(\\d+(?:\\.\\d+)?|\\.\\d+)([dhms])"));
            if (!whole.match(t).hasMatch()) return std::nullopt;
            double total = 0;
            for (const QRegularExpressionMatch& m : part.globalMatch(t)) {
                static const QString units = QStringLiteral("smhd");
                static const double factors[] = {1, 60, 3600, 86400};
                total += m.captured(1).toDouble() * factors[units.indexOf(m.captured(2))];
                if (total * 1000 > double(kLongestDurationMs)) return std::nullopt;
            }
            ms = qint64(std::llround(total * 1000));
        }
    }
    if (*ms <= 0 || *ms > kLongestDurationMs) return std::nullopt;
    return ms;
}

std::optional<qint32> ParseIntervalMs(const QString& text) {
    const auto seconds = PlainSeconds(text.trimmed());
    if (!seconds || *seconds > kLongestIntervalSeconds) return std::nullopt;
    return qint32(std::llround(*seconds * 1000));
}

QString RecordUsageText() {
    return QStringLiteral(
               "Usage: quillon-record [--port PATH | --com N] [--interval SECONDS]\n"
               "                      [--count N | --duration TIME] [--out FILE.csv] [--title "
               "TEXT]\n"
               "                      [--date-format F] [--time-format F] [--capture FILE] "
               "[--quiet]\n"
               "\n"
               "Records a hand-held multimeter on a serial line without a window and writes the\n"
               "same CSV report as QUILLON. Each record goes to standard output as it is taken\n"
               "(number,date,time,value,unit); a status line goes to standard error.\n"
               "\n"
               "  --port PATH         the meter's serial device\n"
               "  --com N             COM number N of the port table (1 = the first device)\n"
               "                      Without either, the ports are searched as QUILLON\n"
               "                      searches them (its port setting; QUILLON_PORTS names the\n"
               "                      devices when set). No meter within 10 s: exit status 3.\n"
               "  --interval SECONDS  seconds between records (0.5, 1, 60, ...; 0 records every\n"
               "                      poll, twice a second)\n"
               "  --count N           stop after N records\n"
               "  --duration TIME     stop TIME after the first record: seconds, or 90s, 15m, 2h,\n"
               "                      1h30m, 1d, 1:30:00 (10 s at an interval of 1 s: 10 records)\n"
               "  --out FILE.csv      the report (default: the recording's name, such as\n"
               "                      20240501_100000.csv, in QUILLON's save folder)\n"
               "  --title TEXT        the report's title\n"
               "  --date-format F     one of: ") +
           DateFormats().join(QStringLiteral(", ")) +
           QStringLiteral(
               "\n"
               "  --time-format F     one of: ") +
           TimeFormats().join(QStringLiteral(", ")) +
           QStringLiteral(
               "\n"
               "  --capture FILE      write every byte received, with its time, to FILE\n"
               "                      (quillon-meter-sim --replay FILE plays it back)\n"
               "  --quiet             no status line\n"
               "  -h, --help          this text\n"
               "  --version           the version\n"
               "\n"
               "Interval, formats, title and save folder default to QUILLON's settings, which\n"
               "are read and never changed. A recording ends when the count or duration is\n"
               "reached, on Ctrl+C (SIGINT) or SIGTERM, or when the meter sends nothing for\n"
               "15 s; the report is written then. After 10000 records the report is written\n"
               "and the recording goes on into FILE_2.csv, FILE_3.csv, ...\n"
               "\n"
               "Exit status: 0 done, 2 bad usage, 3 no meter found, 4 a report or the capture\n"
               "file could not be written (the records stay in the recording journal and are\n"
               "recovered at the next start of QUILLON or quillon-record), 5 the meter\n"
               "stopped sending.\n");
}

ParsedCommandLine ParseRecordCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help({"h", "help"}, "");
    const QCommandLineOption version("version", "");
    const QCommandLineOption port("port", "", "PATH");
    const QCommandLineOption com("com", "", "N");
    const QCommandLineOption interval("interval", "", "SECONDS");
    const QCommandLineOption count("count", "", "N");
    const QCommandLineOption duration("duration", "", "TIME");
    const QCommandLineOption out("out", "", "FILE");
    const QCommandLineOption title("title", "", "TEXT");
    const QCommandLineOption dateFormat("date-format", "", "F");
    const QCommandLineOption timeFormat("time-format", "", "F");
    const QCommandLineOption capture("capture", "", "FILE");
    const QCommandLineOption quiet("quiet", "");
    parser.addOptions({help, version, port, com, interval, count, duration, out, title, dateFormat,
                       timeFormat, capture, quiet});
    if (!parser.parse(arguments)) {
        QString why = parser.errorText();  // "Unknown option 'x'."
        if (why.endsWith('.')) why.chop(1);
        if (!why.isEmpty()) why[0] = why[0].toLower();
        return UsageError(why);
    }

    ParsedCommandLine result;
    if (parser.isSet(help)) {
        result.text = RecordUsageText();
        return result;
    }
    if (parser.isSet(version)) {
        result.text = QStringLiteral("quillon-record 1.0.06\n");
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return UsageError("unexpected argument '" + parser.positionalArguments().first() + "'");

    RecordOptions o;
    if (parser.isSet(port) && parser.isSet(com))
        return UsageError("give --port or --com, not both");
    if (parser.isSet(count) && parser.isSet(duration))
        return UsageError("give --count or --duration, not both");
    if (parser.isSet(port)) {
        o.port = parser.value(port);
        if (o.port.isEmpty()) return UsageError("--port takes the path of a serial device");
    }
    if (parser.isSet(com)) {
        bool ok = false;
        o.com = parser.value(com).toInt(&ok);
        if (!ok || o.com < 1 || o.com > kHighestComNumber)
            return UsageError("--com takes a COM number from 1 to 256");
    }
    if (parser.isSet(interval)) {
        o.intervalMs = ParseIntervalMs(parser.value(interval));
        if (!o.intervalMs)
            return UsageError("--interval takes seconds from 0 to 86400, such as 1 or 0.5, not '" +
                              parser.value(interval) + "'");
    }
    if (parser.isSet(count)) {
        bool ok = false;
        o.count = parser.value(count).toInt(&ok);
        if (!ok || o.count < 1)
            return UsageError("--count takes a number of records, 1 or more, not '" +
                              parser.value(count) + "'");
    }
    if (parser.isSet(duration)) {
        const auto ms = ParseDurationMs(parser.value(duration));
        if (!ms)
            return UsageError("--duration takes a time such as 90, 90s, 15m, 2h or 1:30:00, not '" +
                              parser.value(duration) + "'");
        o.durationMs = *ms;
    }
    if (parser.isSet(out)) {
        o.out = parser.value(out);
        if (o.out.isEmpty()) return UsageError("--out takes the path of the report");
    }
    if (parser.isSet(title)) o.title = parser.value(title);
    if (parser.isSet(dateFormat)) {
        o.dateFormat = parser.value(dateFormat);
        if (!DateFormats().contains(*o.dateFormat))
            return UsageError("unknown date format '" + *o.dateFormat + "'");
    }
    if (parser.isSet(timeFormat)) {
        o.timeFormat = parser.value(timeFormat);
        if (!TimeFormats().contains(*o.timeFormat))
            return UsageError("unknown time format '" + *o.timeFormat + "'");
    }
    if (parser.isSet(capture)) {
        o.capture = parser.value(capture);
        if (o.capture.isEmpty()) return UsageError("--capture takes the path of a file");
    }
    o.quiet = parser.isSet(quiet);
    result.options = o;
    return result;
}

}  // namespace quillon
