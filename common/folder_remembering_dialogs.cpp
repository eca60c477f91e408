#include "folder_remembering_dialogs.h"

#include <QDir>
#include <QFileInfo>

namespace quillon {

QString ExistingFolderOf(const QString& folder) {
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) return QDir::homePath();
    QString path = QDir::cleanPath(folder);
    while (!QFileInfo(path).isDir()) {
        const QString parent = QFileInfo(path).path();
        if (parent == path) return QDir::homePath();
        path = parent;
    }
    return path;
}

QString FolderRememberingDialogs::startFolder() const {
    return ExistingFolderOf(lastFolder_.isEmpty() && saveFolder_ ? saveFolder_() : lastFolder_);
}

FileDialogAnswer FolderRememberingDialogs::getSaveFileName(const FileDialogRequest& request) {
    return ask(request, true);
}

FileDialogAnswer FolderRememberingDialogs::getOpenFileName(const FileDialogRequest& request) {
    return ask(request, false);
}

FileDialogAnswer FolderRememberingDialogs::ask(FileDialogRequest request, bool save) {
    if (request.folder.isEmpty()) request.folder = startFolder();
    const FileDialogAnswer answer =
        save ? dialogs_.getSaveFileName(request) : dialogs_.getOpenFileName(request);
    if (!answer.path.isEmpty()) lastFolder_ = QFileInfo(answer.path).absolutePath();
    return answer;
}

}  // namespace quillon
