// quillon-meter-sim: a simulated multimeter on a pseudo-terminal (see --help).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "capture_file.h"
#include "sim_player.h"
#include "sim_runner.h"
#include "sim_script.h"
#include "usage_text.h"

using namespace quillon::metersim;

namespace {

volatile std::sig_atomic_t gStop = 0;

void OnStopSignal(int) { gStop = 1; }

void InstallSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "quillon-meter-sim: %s\nTry 'quillon-meter-sim --help'.\n",
                 message.c_str());
    return 2;
}

bool ReadScriptFile(const std::string& path, std::string* text) {
    std::ostringstream content;
    if (path == "-") {
        content << std::cin.rdbuf();
    } else {
        // A folder opens as a stream that reads as empty: refuse it rather than play nothing.
        struct stat info {};
        if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            errno = EISDIR;
            return false;
        }
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        content << in.rdbuf();
    }
    *text = content.str();
    return true;
}

bool ToNumber(const char* text, double* value) {
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    return static_cast<bool>(in >> *value) && in.eof();
}

// --replay: checks the whole capture first, so that a bad file is refused before the
// line opens, then plays it from the start.
int Replay(const std::string& path, double speed, bool check, const std::string& linkPath,
           bool verbose) {
    struct stat info {};
    const bool folder = stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    std::ifstream in(path, std::ios::binary);
    if (!in || folder) {
        if (folder) errno = EISDIR;
        return UsageError("cannot read the capture " + path + ": " + std::strerror(errno));
    }
    const CaptureSummary summary = SummarizeCapture(in);
    if (!summary.error.empty()) {
        std::fprintf(stderr, "quillon-meter-sim: %s: %s\n", path.c_str(), summary.error.c_str());
        return 2;
    }
    if (check) {
        std::printf("capture ok: %ld reads, %ld bytes, %.3f s\n", summary.reads, summary.bytes,
                    summary.seconds);
        return 0;
    }
    if (linkPath.empty()) return UsageError("no link path given");
    in.clear();
    in.seekg(0);
    InstallSignals();
    std::string error;
    const int code = RunReplay(RunOptions{linkPath, verbose}, in, speed, gStop, &error);
    if (!error.empty()) {
        std::fprintf(stderr, "quillon-meter-sim: %s: %s\n", path.c_str(), error.c_str());
        return 2;
    }
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    std::string linkPath, scriptPath, scriptText, replayPath;
    bool haveScript = false, check = false, verbose = false, rateOrSeed = false;
    double rate = 4, seed = 1, speed = 1;

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "-h" || arg == "--help") {
            std::fputs(kUsageText, stdout);
            return 0;
        } else if (arg == "--check") {
            check = true;
        } else if (arg == "-v" || arg == "--verbose") {
            verbose = true;
        } else if ((arg == "--script" || arg == "-e") && hasValue) {
            if (haveScript) return UsageError("give one script, either --script or -e");
            haveScript = true;
            if (arg == "-e") {
                scriptText = argv[++i];
            } else if (!ReadScriptFile(scriptPath = argv[++i], &scriptText)) {
                return UsageError("cannot read the script " + scriptPath + ": " +
                                  std::strerror(errno));
            }
        } else if (arg == "--replay" && hasValue) {
            replayPath = argv[++i];
        } else if (arg == "--speed" && hasValue) {
            if (!ToNumber(argv[++i], &speed) || speed < 0.01 || speed > 1000)
                return UsageError("--speed takes a factor from 0.01 to 1000");
        } else if (arg == "--rate" && hasValue) {
            rateOrSeed = true;
            if (!ToNumber(argv[++i], &rate) || rate < 0.1 || rate > 96)
                return UsageError("--rate takes a number of frames per second, 0.1 to 96");
        } else if (arg == "--seed" && hasValue) {
            rateOrSeed = true;
            if (!ToNumber(argv[++i], &seed) || seed < 0 || seed > 4294967295.0)
                return UsageError("--seed takes a whole number");
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            return UsageError("unknown option or missing value: " + arg);
        } else if (linkPath.empty()) {
            linkPath = arg;
        } else {
            return UsageError("more than one link path given");
        }
    }

    if (!replayPath.empty()) {
        if (haveScript || rateOrSeed)
            return UsageError("--replay plays a capture: it takes no script, rate or seed");
        return Replay(replayPath, speed, check, linkPath, verbose);
    }
    if (!haveScript) scriptText = kDefaultScript;
    ParsedScript script = ParseScript(scriptText);
    if (!script.ok()) {
        std::fprintf(stderr, "quillon-meter-sim: %s%s%s\n", scriptPath.c_str(),
                     scriptPath.empty() ? "" : ": ", script.error.c_str());
        return 2;
    }
    if (check) {
        std::printf("script ok: %zu commands\n", script.commands.size());
        return 0;
    }
    if (linkPath.empty()) return UsageError("no link path given");

    InstallSignals();
    Player player(std::move(script.commands), rate, static_cast<std::uint32_t>(seed));
    return RunSimulator(RunOptions{linkPath, verbose}, player, gStop);
}
