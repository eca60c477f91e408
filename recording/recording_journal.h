#pragma once
// The journal of an open recording. Every record is appended to a file the moment it
// enters the record table, so that a recording outlives the program being killed, the
// desktop session ending or the power failing; at the next start RecoverJournals
// (journal_recovery.h) turns what was left behind into a report.
//
// One file per recording, "<record name>.journal" in DefaultFolder(), format in
// journal_format.h. Each record is one write() to the kernel, so a killed process loses
// nothing that was in the table; fdatasync runs at most once a second and within a
// second of the last record (on a worker thread: slow storage never holds up the
// caller), so a power cut loses at most the last second. A running program holds an
// exclusive lock on its file from before the file has its name; recovery leaves locked
// files alone.
//
// The file is removed once its records have left the program by the user's choice:
// saved as a report, or given up when asked whether to save them. Anything else (the
// program killed, a save that failed or was never offered, then the table cleared or
// replaced) leaves it for recovery.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

#include "session.h"

namespace quillon {

class JournalSyncer;

class RecordingJournal {
  public:
    explicit RecordingJournal(QString folder = DefaultFolder());
    // Closes the file and leaves it for recovery.
    ~RecordingJournal();
    RecordingJournal(const RecordingJournal&) = delete;
    RecordingJournal& operator=(const RecordingJournal&) = delete;

    // $XDG_STATE_HOME/quillon, by default ~/.local/state/quillon.
    static QString DefaultFolder();
    QString folder() const { return folder_; }

    // Record `row` of the session's table was just written (the session's reading is
    // the one it was taken from). A new file starts with the recording's name and every
    // line before this record, so a journal always holds the whole table; lines that
    // could not be written before are written now.
    void append(const Session& session, int row);

    // The table's records are in a report on disk: the file goes. Should the recording
    // go on, its next record starts a new file.
    void reportSaved();
    // The user answered that the records need not be saved: the file goes with the table
    // or at the end of the program.
    void saveDeclined();
    // The table was emptied or replaced (Clear, a new recording, an opened report, a
    // function change, the record limit). The file goes when the records were saved or
    // given up; otherwise it stays for recovery.
    void tableCleared();
    // The program ends normally: the file goes when the records were saved or given up,
    // otherwise it stays for recovery. Records that still come are not journalled: the
    // program is on its way out, and a new file would be recovered as a recording.
    void programEnding();

    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    // Why records cannot be journalled ("" while they can). Recording goes on regardless.
    QString errorText() const { return error_; }

  private:
    void startRecording(const Session& session);
    void addSettingsLineIfChanged(const Session& session);
    bool openFile();
    void closeFile(bool remove);
    void forgetRecording();
    bool writeAll(const char* bytes, qint64 size);
    void fail(const QString& why);

    QString folder_;
    QString path_;
    QString error_;
    QString recordName_;
    QByteArray header_;    // first line and name line of the recording
    QByteArray body_;      // every settings and record line of the recording so far
    int rows_ = 0;         // table rows in body_
    qint64 written_ = 0;   // bytes of body_ in the file
    qint64 fileSize_ = 0;  // bytes in the file, all of them whole lines
    int fd_ = -1;
    bool released_ = false;                  // saved, or given up by the user
    bool ended_ = false;                     // the program is ending
    QStringList settings_;                   // fields of the last settings line
    std::unique_ptr<JournalSyncer> syncer_;  // syncs fd_ off this thread while it is open
};

}  // namespace quillon
