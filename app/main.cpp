// QUILLON: builds the program's objects, opens the main window and runs until it closes.
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <cstdio>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include "console_message_boxes.h"
#include "options.h"
#include "program.h"
#include "termination_signals.h"

using namespace quillon;

namespace {

// Records for the given time, writes the window's picture and ends the program. The
// recording is a demonstration: nobody asked to keep it, so its journal goes too.
void ScheduleSnapshot(Program& program, const Options& options) {
    MainWindow& window = program.window();
    // With a report to show, nothing is recorded over it.
    if (options.reportPath.isEmpty()) {
        QTimer::singleShot(1000, &window,
                           [&window] { window.controlAction(Control::Start)->trigger(); });
    }
    QTimer::singleShot(1000 + options.recordSeconds * 1000, &window, [&program, &window, options] {
        const bool saved = window.grab().save(options.snapshotPath, "PNG");
        program.journal().saveDeclined();
        program.journal().programEnding();
        if (saved) {
            std::printf("%s\n", qPrintable(options.snapshotPath));
        } else {
            std::fprintf(stderr, "could not write %s\n", qPrintable(options.snapshotPath));
        }
        std::fflush(stdout);
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

// True when the command line only asks for help or the version, which needs no display.
bool AsksForTextOnly(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray a = argv[i];
        if (a == "-h" || a == "--help" || a == "--help-all" || a == "-v" || a == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (AsksForTextOnly(argc, argv)) {
        QCoreApplication app(argc, argv);
        int exitCode = 0;
        ParseOptions(QCoreApplication::arguments(), &exitCode);
        return exitCode;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("QUILLON");
    QApplication::setApplicationVersion("1.0.06");

    int exitCode = 0;
    const std::optional<Options> options = ParseOptions(QApplication::arguments(), &exitCode);
    if (!options) return exitCode;

    const bool snapshot = !options->snapshotPath.isEmpty();
    Program program(QApplication::applicationDirPath(),
                    snapshot ? std::make_unique<ConsoleMessageBoxes>() : nullptr, nullptr,
                    options->capturePath);
    if (!program.captureProblem().isEmpty()) {
        std::fprintf(stderr, "quillon: cannot write the capture file %s\n",
                     qPrintable(program.captureProblem()));
        return 2;
    }
    program.window().startUp();
    program.window().show();

    // A logout, a shutdown or Ctrl+C ends a recording as Stop does, without questions.
    TerminationSignals endSignals([&program](int) { program.EndUnattended(); });
#if QT_CONFIG(sessionmanager)
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [&program](QSessionManager&) { program.EndUnattended(); });
#endif
    QTimer::singleShot(0, &program.window(), [&program] { program.RecoverJournals(); });
#ifdef __GLIBC__
    // Building and first painting the window leaves about half a megabyte of freed heap
    // (font matching, layout) that the allocator would keep for good: give it back once
    // the window has settled.
    QTimer::singleShot(1000, &program.window(), [] { malloc_trim(0); });
#endif
    if (!options->reportPath.isEmpty()) {
        QTimer::singleShot(0, &program.window(),
                           [&program, path = options->reportPath] { program.OpenReport(path); });
    }
    if (snapshot) ScheduleSnapshot(program, *options);
    return QApplication::exec();
}
