#pragma once
// The save and open file dialogs, behind one small interface: the logic only receives
// a chosen path (or nothing), and tests answer with scripted paths.

#include <QString>
#include <QStringList>
#include <QVector>

namespace quillon {

struct FileDialogRequest {
    QString title;           // "Save File", "Open File"
    QStringList filters;     // "Csv File (*.csv)", ...
    int selectedFilter = 0;  // index into filters shown first
    QString defaultSuffix;   // "csv", "bmp"; empty for none
    QString proposedName;    // file name the dialog starts with
    QString folder;          // folder the dialog starts in; "" for the dialog's own choice
    bool confirmOverwrite = true;
};

struct FileDialogAnswer {
    QString path;         // empty when cancelled
    int filterIndex = 0;  // the file type the user chose
};

class FileDialogs {
  public:
    virtual ~FileDialogs() = default;
    virtual FileDialogAnswer getSaveFileName(const FileDialogRequest& request) = 0;
    virtual FileDialogAnswer getOpenFileName(const FileDialogRequest& request) = 0;
};

// Test double: answers from a queue (an empty path is a cancel) and keeps the requests.
class ScriptedFileDialogs final : public FileDialogs {
  public:
    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override {
        return next(request);
    }
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override {
        return next(request);
    }

    QVector<FileDialogRequest> requests;
    QVector<FileDialogAnswer> answers;

  private:
    FileDialogAnswer next(const FileDialogRequest& request) {
        requests.push_back(request);
        return answers.isEmpty() ? FileDialogAnswer{} : answers.takeFirst();
    }
};

}  // namespace quillon
