#include "report_saver.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace quillon {

bool PathExists(const QString& path) { return !path.isEmpty() && QFileInfo::exists(path); }

bool MakeFolderPath(const QString& path, QString* reason) {
    if (path.isEmpty()) {
        if (reason) *reason = QStringLiteral("no folder is set");
        return false;
    }
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (QFileInfo(folder).isDir()) return true;
    // One folder at a time, so that the folder that fails and its reason can be named.
    QString made;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        made += QLatin1Char('/') + part;
        if (QFileInfo(made).isDir()) continue;
        if (::mkdir(QFile::encodeName(made).constData(), 0777) != 0 && errno != EEXIST) {
            if (reason)
                *reason =
                    made + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
    if (QFileInfo(folder).isDir()) return true;
    if (reason) *reason = folder + QStringLiteral(": a file of that name is in the way");
    return false;
}

namespace {

QString SaveFolder(const Settings& settings) {
    QString folder = settings.saveFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder;
}

}  // namespace

ReportSaver::ReportSaver(Session& session, MessageBoxes& messages, FileDialogs& dialogs)
    : session_(session), messages_(messages), dialogs_(dialogs) {}

bool ReportSaver::HasRecords() const {
    return !session_.table.cell(1, RecordTable::ColDate).isEmpty();
}

void ReportSaver::ShowFailure(const QString& errorText) {
    messages_.show(QStringLiteral("The report could not be saved.\n") + errorText,
                   QStringLiteral("Save File"), MsgButtons::Ok, MsgIcon::Critical);
}

bool ReportSaver::saveReport() {
    session_.rec.state = kRunCommand;
    if (!HasRecords()) {
        messages_.show(QStringLiteral("No report found. Please create a report first."), {},
                       MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    FileDialogRequest request;
    request.title = QStringLiteral("Save File");
    request.filters = {QStringLiteral("Csv File (*.csv)")};
    request.defaultSuffix = QStringLiteral("csv");
    request.proposedName = session_.rec.recordName.trimmed();
    request.confirmOverwrite = true;
    const QString path = dialogs_.getSaveFileName(request).path;
    if (path.isEmpty()) return false;

    const WriteResult result = WriteReport(session_, path);
    if (!result.ok) {
        ShowFailure(result.errorText);
        return false;
    }
    NoteSaved(path);
    messages_.show(QStringLiteral("File Saved ok!"), {}, MsgButtons::Ok, MsgIcon::None);
    return true;
}

QString ReportSaver::AutoSavePath() const {
    return SaveFolder(session_.settings) + session_.rec.recordName.trimmed() +
           QStringLiteral(".csv");
}

WriteResult ReportSaver::AutoSaveReport() {
    const QString folder = SaveFolder(session_.settings);
    QString reason;
    if (!folder.isEmpty() && !PathExists(folder) && !MakeFolderPath(folder, &reason)) {
        // The writer would only find the folder missing; the real reason is this one.
        WriteResult failed;
        failed.errorText = reason;
        ShowFailure(failed.errorText);
        return failed;
    }
    const QString path = AutoSavePath();
    const WriteResult result = WriteReport(session_, path);
    if (result.ok) {
        NoteSaved(path);
    } else {
        ShowFailure(result.errorText);
    }
    return result;
}

bool ReportSaver::SavesAutomatically() const { return SavesRecordingsAutomatically(session_); }

void ReportSaver::NoteSaved(const QString& path) {
    session_.rec.reportFile = QFileInfo(path).absoluteFilePath();
    session_.rec.reportRecords = session_.table.recordCount();
}

StopSaveOutcome ReportSaver::PromptUnsavedRecord() {
    if (!HasRecords() || session_.rec.recordName.isEmpty()) return StopSaveOutcome::NothingToSave;
    const QString name = session_.rec.recordName.trimmed() + QStringLiteral(".csv");
    if (SavesAutomatically())
        return AutoSaveReport().ok ? StopSaveOutcome::Saved : StopSaveOutcome::NotSaved;
    if (PathExists(SaveFolder(session_.settings) + name) || PathExists(name))
        return StopSaveOutcome::NotSaved;
    const MsgResult answer =
        messages_.show(QStringLiteral("(") + name +
                           QStringLiteral(").  This record didn't saved ! Do you want to save?"),
                       QStringLiteral("Save File!"), MsgButtons::YesNo, MsgIcon::Question);
    if (answer != MsgResult::Yes) return StopSaveOutcome::Declined;
    return saveReport() ? StopSaveOutcome::Saved : StopSaveOutcome::NotSaved;
}

}  // namespace quillon
