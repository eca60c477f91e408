#pragma once
// The per-user store of text values: application "regtest" (the file regtest.ini in the
// user's configuration folder), section "kvr3318" (an INI group), one key per option.
// Settings and schedule keep their keys here; every value is text.
//
// A file that exists but cannot be read is never written: the store then keeps its
// values in memory for the run. Nor is a file with a line the INI reader does not
// understand (a "# note"): the values it holds are read, and changes stay in memory.
// Problems with the file are told to the user once.

#include <QHash>
#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace quillon {

class SettingsStore {
  public:
    // The store of the user: $XDG_CONFIG_HOME/regtest.ini, or ~/.config/regtest.ini when
    // XDG_CONFIG_HOME is unset, empty or not an absolute path.
    SettingsStore();
    // A store in the given INI file (tests, tools).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    static QString DefaultPath();
    QString path() const { return path_; }

    // The stored text of `key`, or `defaultText` when the key is absent. A hand-edited
    // value keeps its text as written ("5, 6").
    QString ReadSetting(const QString& key, const QString& defaultText) const;
    // Creates or replaces `key` and writes the file at once (inside a Batch: when the
    // batch ends; only in memory when the file could not be read).
    void WriteSetting(const QString& key, const QString& text);

    // Writes made while a batch lives reach the file together when it ends: one file
    // write (and one wait for the disk) instead of one per key, as when the first start
    // stores every default.
    class Batch {
      public:
        explicit Batch(SettingsStore& store) : store_(store) { ++store_.batchDepth_; }
        ~Batch() {
            if (--store_.batchDepth_ == 0) store_.flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

      private:
        SettingsStore& store_;
    };
    bool contains(const QString& key) const;
    // False once a write could not reach the file (unwritable folder, full disk), and for
    // a file that could not be read or is kept as it is.
    bool writable() const;
    // The message telling the user that `what` ("The settings") could not be stored.
    QString UnwritableMessage(const QString& what) const;
    // The message about the file's problem (not readable, kept as it is, or not writable:
    // then about `what`), the first time it is asked for after the problem arose; nothing
    // when the file is fine or the problem was told already.
    std::optional<QString> TakeProblemMessage(const QString& what);

  private:
    // Writes the pending values to the file and notes why when that fails.
    void flush();
    void NoteWriteProblem();
    QString RawFileValue(const QString& key) const;

    QString path_;
    std::unique_ptr<QSettings> ini_;
    int batchDepth_ = 0;
    QString readProblem_;              // why the file could not be read
    QString writeProblem_;             // why the last write failed
    bool keptAsIs_ = false;            // read, but never written (a line not key=value)
    QHash<QString, QString> unsaved_;  // values kept in memory for an unreadable file
    bool problemTold_ = false;
};

}  // namespace quillon
