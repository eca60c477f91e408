#pragma once
// Saving a recording as a report: by hand ("Save Report"), automatically into the save
// folder, or after asking when a recording stops unsaved. Saving never changes the
// recording, the table or the statistics.

#include <QString>

#include "file_dialogs.h"
#include "messages.h"
#include "report_writer.h"
#include "session.h"

namespace quillon {

// True when path names an existing file or folder.
bool PathExists(const QString& path);
// Creates every missing folder of path ("/"-separated). False when one cannot be made;
// `reason` then says which folder and why ("/media/ro/Data: Read-only file system").
bool MakeFolderPath(const QString& path, QString* reason = nullptr);

// What became of the records of a recording that stopped.
enum class StopSaveOutcome {
    NothingToSave,  // no records, or no record name
    Saved,          // written to a report
    Declined,       // the user answered that they need not be saved
    NotSaved,       // not written: the save failed, was cancelled, or a file of that
                    // name already existed so nobody was asked
};

class ReportSaver {
  public:
    ReportSaver(Session& session, MessageBoxes& messages, FileDialogs& dialogs);

    // "Save Report": asks for a path and writes the report there. True when written.
    bool saveReport();
    // Writes saveFolder + record name + ".csv" without asking, creating the folder first.
    // A failure is shown in a message box.
    WriteResult AutoSaveReport();
    // Called when a recording stops: saves automatically (auto-save or a scheduled
    // recording) or asks whether to save a recording not yet saved.
    StopSaveOutcome PromptUnsavedRecord();
    // True when a stopping recording is saved without asking (auto-save, or a scheduled
    // recording).
    bool SavesAutomatically() const;

    // Path the automatic save writes to.
    QString AutoSavePath() const;

  private:
    bool HasRecords() const;
    // The records shown are now kept in the report at path.
    void NoteSaved(const QString& path);
    void ShowFailure(const QString& errorText);

    Session& session_;
    MessageBoxes& messages_;
    FileDialogs& dialogs_;
};

}  // namespace quillon
