// quillon-record: records a multimeter from the command line, without a window or a
// display, and writes the report QUILLON writes (see --help and quillon-record(1)).
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "headless_recording.h"
#include "record_options.h"

int main(int argc, char** argv) {
    // A reader of the records that goes away (`quillon-record | head -3`) does not end the
    // recording: it goes on to its end and its report.
    std::signal(SIGPIPE, SIG_IGN);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("quillon-record");
    const quillon::ParsedCommandLine parsed =
        quillon::ParseRecordCommandLine(QCoreApplication::arguments());
    if (!parsed.options) {
        std::fputs(parsed.text.toLocal8Bit().constData(), parsed.exitCode == 0 ? stdout : stderr);
        if (parsed.exitCode != 0) std::fputc('\n', stderr);
        return parsed.exitCode;
    }
    return quillon::RunHeadlessRecording(*parsed.options);
}
