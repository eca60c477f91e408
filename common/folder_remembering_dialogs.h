#pragma once
// File dialogs that start where the user works: in the save folder the first time, then
// in the folder of the last file chosen in any of them (open, save report, save picture).
// The folder is remembered for the run only; the settings file does not change.

#include <QString>
#include <functional>

#include "file_dialogs.h"

namespace quillon {

// The folder when it exists, else its nearest existing parent; the home folder for ""
// or a path that is not absolute (such as "D:\Data\" from another system).
QString ExistingFolderOf(const QString& folder);

class FolderRememberingDialogs final : public FileDialogs {
  public:
    // saveFolder: the save folder setting, read each time it is needed.
    FolderRememberingDialogs(FileDialogs& dialogs, std::function<QString()> saveFolder)
        : dialogs_(dialogs), saveFolder_(std::move(saveFolder)) {}

    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override;
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override;

    // The folder the next dialog starts in.
    QString startFolder() const;

  private:
    FileDialogAnswer ask(FileDialogRequest request, bool save);

    FileDialogs& dialogs_;
    std::function<QString()> saveFolder_;
    QString lastFolder_;
};

}  // namespace quillon
