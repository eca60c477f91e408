#include "status_line.h"

#include <unistd.h>

namespace quillon {

StatusLine::StatusLine(FILE* stream, bool quiet)
    : stream_(stream), quiet_(quiet), terminal_(stream && ::isatty(fileno(stream))) {}

void StatusLine::show(const QString& text) {
    if (quiet_ || !terminal_ || (text == shown_ && onScreen_)) return;
    stepAside();
    shown_ = text;
    comeBack();
}

void StatusLine::put(const QString& line) {
    stepAside();
    std::fprintf(stream_, "%s\n", line.toLocal8Bit().constData());
    comeBack();
}

void StatusLine::note(const QString& text) {
    if (!quiet_) put(text);
}

void StatusLine::alert(const QString& text) { put(QStringLiteral("quillon-record: ") + text); }

void StatusLine::stepAside() {
    if (!onScreen_) return;
    std::fputs("\r\033[K", stream_);  // back to the start of the line, and clear it
    std::fflush(stream_);
    onScreen_ = false;
}

void StatusLine::comeBack() {
    if (onScreen_ || shown_.isEmpty()) return;
    std::fprintf(stream_, "\r\033[K%s", shown_.toLocal8Bit().constData());
    std::fflush(stream_);
    onScreen_ = true;
}

}  // namespace quillon
