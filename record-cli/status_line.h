#pragma once
// What quillon-record tells on standard error: a status line (port, records, last value)
// that a terminal shows rewritten in place, notes one a line, and problems. --quiet
// keeps only the problems. Records go to standard output in between: the status line
// steps aside for them and comes back.

#include <QString>
#include <cstdio>

namespace quillon {

class StatusLine {
  public:
    // stream: standard error; quiet: only problems.
    StatusLine(FILE* stream, bool quiet);

    // The current status; shown in place on a terminal, not at all elsewhere. "" takes it
    // away.
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

    FILE* stream_;
    bool quiet_;
    bool terminal_;
    QString shown_;
    bool onScreen_ = false;
};

}  // namespace quillon
