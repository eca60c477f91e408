#include "status_line.h"

#include <unistd.h>

namespace quillon {

StatusLine::StatusLine(FILE* stream, bool quiet, std::function<qint64()> nowMs)
    : stream_(stream),
      quiet_(quiet),
      terminal_(stream && ::isatty(fileno(stream))),
      nowMs_(std::move(nowMs)) {}

void StatusLine::show(const QString& text) {
    if (quiet_ || !stream_) return;
    if (!terminal_) return showAsLine(text);
    if (text == shown_ && onScreen_) return;
    stepAside();
    shown_ = text;
    comeBack();
}

void StatusLine::showAsLine(const QString& text) {
    const qint64 now = nowMs_ ? nowMs_() : 0;
    const bool end = text.isEmpty();
    if (!end) shown_ = text;
    if (shown_.isEmpty() || shown_ == lastLine_) return;
    if (!end && lastLineAt_ >= 0 && now - lastLineAt_ < kLineEveryMs) return;
    std::fprintf(stream_, "%s\n", shown_.toLocal8Bit().constData());
    std::fflush(stream_);
    lastLine_ = shown_;
    lastLineAt_ = now;
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
    if (!terminal_ || onScreen_ || shown_.isEmpty()) return;
    std::fprintf(stream_, "\r\033[K%s", shown_.toLocal8Bit().constData());
    std::fflush(stream_);
    onScreen_ = true;
}

}  // namespace quillon
