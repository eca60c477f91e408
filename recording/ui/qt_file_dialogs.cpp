#include "qt_file_dialogs.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace quillon {

FileDialogAnswer QtFileDialogs::getSaveFileName(const FileDialogRequest& request) {
    return run(request, true);
}

FileDialogAnswer QtFileDialogs::getOpenFileName(const FileDialogRequest& request) {
    return run(request, false);
}

FileDialogAnswer QtFileDialogs::run(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(owner_, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.filters.isEmpty()) {
        dialog.setNameFilters(request.filters);
        dialog.selectNameFilter(
            request.filters.value(request.selectedFilter, request.filters.first()));
    }
    if (!request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
        // A bare name gets the extension of the file type chosen, so "JPEG(*.jpg)"
        // saves name.jpg, not name.bmp.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                         [&dialog](const QString& filter) {
                             static const QRegularExpression pattern(R"(\*\.(\w+))");
                             const auto match = pattern.match(filter);
                             if (match.hasMatch()) dialog.setDefaultSuffix(match.captured(1));
                         });
    }
    if (!request.folder.isEmpty()) dialog.setDirectory(request.folder);
    if (!request.proposedName.trimmed().isEmpty())
        dialog.selectFile(request.proposedName.trimmed());
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);

    FileDialogAnswer answer;
    if (dialog.exec() != QDialog::Accepted) return answer;
    answer.path = dialog.selectedFiles().value(0);
    answer.filterIndex = qMax(0, request.filters.indexOf(dialog.selectedNameFilter()));
    return answer;
}

}  // namespace quillon
