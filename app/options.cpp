#include "options.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <cstdio>

namespace quillon {

std::optional<Options> ParseOptions(const QStringList& arguments, int* exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Records and shows the readings of a hand-held multimeter on a serial line.\n"
        "The ports tried are the serial devices of the system, or the colon-separated\n"
        "paths in the environment variable QUILLON_PORTS (COM1, COM2, ... in that order).");
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption snapshot(
        "snapshot",
        "Start a recording (or show the report named), wait, write a PNG picture of the main "
        "window to <png> and end. "
        "Messages go to standard error and are answered No/Cancel.",
        "png");
    const QCommandLineOption seconds(
        "record-seconds", "With --snapshot: seconds to record first (default 5).", "n", "5");
    const QCommandLineOption capture(
        "capture",
        "Write every byte received from the meter, with its time, to <file> (a text file "
        "that quillon-meter-sim --replay plays back).",
        "file");
    parser.addOption(snapshot);
    parser.addOption(seconds);
    parser.addOption(capture);
    parser.addPositionalArgument("file", "A report (.csv) to open at start, as File > Open does.",
                                 "[file]");
    *exitCode = 0;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s\n", qPrintable(parser.errorText()));
        *exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet("help")) {
        std::printf("%s", qPrintable(parser.helpText()));
        return std::nullopt;
    }
    if (parser.isSet("version")) {
        std::printf("QUILLON 1.0.06\n");
        return std::nullopt;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "unexpected argument: %s (one report file at most)\n",
                     qPrintable(files[1]));
        *exitCode = 2;
        return std::nullopt;
    }
    Options o;
    if (!files.isEmpty()) o.reportPath = QFileInfo(files[0]).absoluteFilePath();
    o.snapshotPath = parser.value(snapshot);
    o.capturePath = parser.value(capture);
    bool ok = false;
    o.recordSeconds = parser.value(seconds).toInt(&ok);
    if (!ok || o.recordSeconds < 0 || o.recordSeconds > 3600) {
        std::fprintf(stderr, "--record-seconds takes a number of seconds from 0 to 3600\n");
        *exitCode = 2;
        return std::nullopt;
    }
    return o;
}

}  // namespace quillon
