#pragma once
// What quillon-record tells on standard error: a status line (port, records, last value)
// that a terminal shows rewritten in place (elsewhere, a log, as a line of its own at
// most every 10 s and at the end), notes one a line, and problems. --quiet keeps only
// the problems. Records go to standard output in between: the status line steps aside
// for them and comes back.

#include <QString>
#include <cstdio>
#include <functional>

namespace quillon {

class StatusLine {
  public:
    static constexpr qint64 kLineEveryMs = 10000;

    // stream: standard error; quiet: only problems; nowMs: a millisecond clock (the
    // throttle of status lines written to a stream that is no terminal).
    StatusLine(FILE* stream, bool quiet, std::function<qint64()> nowMs);

    // The current status; shown in place on a terminal, elsewhere as a line when
    // kLineEveryMs have passed since the last one. "" takes it away (the end): a status
    // not yet written as a line is written then.
    void show(const QString& text);
    // A line of its own (not with --quiet).
    void note(const QString& text);
    // A line of its own even with --quiet (problems, recovered reports), prefixed
    // "quillon-record: ".
    void alert(const QString& text);

    // Around a line written to standard output.
    void stepAside();
    void comeBack();

  private:
    void put(const QString& line);
    void showAsLine(const QString& text);

    FILE* stream_;
    bool quiet_;
    bool terminal_;
    std::function<qint64()> nowMs_;
    QString shown_;
    bool onScreen_ = false;
    QString lastLine_;        // the status last written as a line
    qint64 lastLineAt_ = -1;  // when, -1 never
};

}  // namespace quillon
