#pragma once
// "Open file": loads a report back into the window for viewing: the record table, the
// MAX/MIN/AVG rows, function, range and unit, the title and the graph page of the last
// record. Lines are taken by their number, not by their first word, and anything that
// cannot be read is skipped: a broken file loads as far as it can, never crashes.

#include <QString>
#include <functional>

#include "file_dialogs.h"
#include "messages.h"
#include "session.h"

namespace quillon {

// The part of path after its last "/" (the whole text when it has none).
QString FileNameOf(const QString& path);
// Record name of an opened file: its file name without the last extension.
QString RecordNameOfPath(const QString& path);

// The graph lives above this library; the reader reaches it through these calls.
struct ReportOpenerCallbacks {
    std::function<void(const QString&)> setPageBox;  // unset: writes session.graph.pageBox
    // Shows the given page of the loaded records: scale, empty frame and curve, drawn
    // once. Unset: the page box is set as by setPageBox.
    std::function<void(const QString&)> showPage;
    // Lets window events run during a long load; unset: QCoreApplication::processEvents.
    std::function<void()> processEvents;
};

struct LoadResult {
    bool ok = false;
    QString errorText;  // "<path>: <reason>" when the file could not be read
    int records = 0;
    bool recordsLeftOut = false;  // the file holds more than kMaxRecords records
};

// What the user is told when a file holds more records than were loaded.
QString RecordsLeftOutMessage();

class ReportOpener {
  public:
    // Records beyond a recording's capacity are not loaded.
    static constexpr int kMaxRecords = 10000;
    // Only this much of a file is read; a report of kMaxRecords is far smaller.
    static constexpr qint64 kMaxBytes = 64LL * 1024 * 1024;
    // Events are let through once per this many lines.
    static constexpr int kEventEvery = 500;

    ReportOpener(Session& session, MessageBoxes& messages, FileDialogs& dialogs,
                 ReportOpenerCallbacks callbacks = {});

    // The "Open file" command: dialog, overwrite warning, load.
    void openReport();
    // Loads path as "Open file" does after its dialog; a file that cannot be read is
    // reported in a message box. True when loaded.
    bool OpenReport(const QString& path);
    // Loads path into the session without any dialog. A file that cannot be read
    // changes nothing and is reported in the result.
    LoadResult LoadReport(const QString& path);

  private:
    void SetMenusDuringLoad(bool loading);
    void SetPageBox(const QString& text);
    void ReadHeaderLine(int lineNo, const QString& line);
    void ReadRecordFields(int record, const QStringList& fields);
    QString ReadTimeText(const QString& text);
    QString ReadDateText(const QString& text);

    Session& session_;
    MessageBoxes& messages_;
    FileDialogs& dialogs_;
    ReportOpenerCallbacks callbacks_;
    QString fileDatePattern_;  // the one format of the file's dates, empty for none
    QString lastTimePattern_;
    QString lastDateText_;
    QString lastDateShown_;
    bool loading_ = false;
};

}  // namespace quillon
