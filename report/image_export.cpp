#include "image_export.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include "wait_ms.h"

namespace quillon {

namespace {

constexpr int kRepaintWaitMs = 200;

}  // namespace

QImage CaptureWindow(const WindowCapture& capture) {
    const bool wasMaximized = capture.leaveMaximized ? capture.leaveMaximized() : false;
    if (capture.wait) {
        capture.wait(kRepaintWaitMs);
    } else {
        WaitMs(kRepaintWaitMs);
    }
    QImage image = capture.grab ? capture.grab() : QImage();
    if (wasMaximized && capture.restoreMaximized) capture.restoreMaximized();
    return image;
}

const QStringList& PictureFilters() {
    static const QStringList filters = {QStringLiteral("BMP Windows Bitmap(*.bmp)"),
                                        QStringLiteral("JPEG(*.jpg)"),
                                        QStringLiteral("PNG(*.png)")};
    return filters;
}

namespace {

// Extensions by filter index, and the writer's format for each extension.
const char* const kFilterSuffix[] = {"bmp", "jpg", "png"};

QByteArray FormatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp")) return "BMP";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "JPG";
    if (suffix == QLatin1String("png")) return "PNG";
    return {};
}

}  // namespace

QString PicturePath(const QString& path, int filterIndex) {
    if (!FormatOfName(path).isEmpty()) return path;
    const int i = filterIndex >= 0 && filterIndex < 3 ? filterIndex : 0;
    return path + QLatin1Char('.') + QLatin1String(kFilterSuffix[i]);
}

PictureSaveResult SaveImageFile(const QImage& image, const QString& path, int filterIndex) {
    PictureSaveResult result;
    result.path = PicturePath(path, filterIndex);
    const auto fail = [&](const QString& reason) {
        result.errorText = result.path + QStringLiteral(": ") + reason;
        return result;
    };
    if (path.isEmpty()) return fail(QStringLiteral("no file name"));
    if (image.isNull()) return fail(QStringLiteral("there is no picture to save"));
    if (QFileInfo(result.path).isDir()) return fail(QStringLiteral("this is a folder, not a file"));
    const QByteArray format = FormatOfName(result.path);
    QSaveFile file(result.path);
    if (!file.open(QIODevice::WriteOnly)) return fail(file.errorString());
    QImageWriter writer(&file, format);
    if (format == "JPG") writer.setQuality(90);
    // JPEG has no alpha channel; a transparent graph background would turn black.
    const QImage pixels =
        image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!writer.write(pixels)) {
        const QString reason =
            file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit()) return fail(file.errorString());
    result.ok = true;
    return result;
}

ImageExporter::ImageExporter(Session& session, MessageBoxes& messages, FileDialogs& dialogs,
                             std::function<QImage()> graphImage, WindowCapture capture)
    : session_(session),
      messages_(messages),
      dialogs_(dialogs),
      graphImage_(std::move(graphImage)),
      capture_(std::move(capture)) {}

QString ImageExporter::GraphFileName() const {
    return session_.rec.recordName.left(15) + QStringLiteral("_P") + session_.graph.pageBox;
}

QString ImageExporter::ScreenFileName() const { return session_.rec.recordName.left(15); }

QString ImageExporter::AskPath(const QString& proposedName, int* filterIndex) {
    FileDialogRequest request;
    request.title = QStringLiteral("Save File");
    request.filters = PictureFilters();
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("bmp");
    request.proposedName = proposedName;
    request.confirmOverwrite = true;
    const FileDialogAnswer answer = dialogs_.getSaveFileName(request);
    *filterIndex = answer.filterIndex;
    return answer.path;
}

void ImageExporter::saveGraphPicture() {
    session_.rec.state = kRunCommand;
    if (session_.table.cell(1, RecordTable::ColDate).isEmpty()) {
        messages_.show(QStringLiteral("No graph found."), {}, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    int filter = 0;
    const QString path = AskPath(GraphFileName(), &filter);
    if (path.isEmpty()) return;
    Save(graphImage_ ? graphImage_() : QImage(), path, filter);
}

void ImageExporter::saveWindowPicture() {
    session_.rec.state = kRunCommand;
    int filter = 0;
    const QString path = AskPath(ScreenFileName(), &filter);
    if (path.isEmpty()) return;
    Save(CaptureWindow(capture_), path, filter);
}

void ImageExporter::Save(const QImage& image, const QString& path, int filterIndex) {
    // The dialog asked about the name as typed; a name that gets an extension added
    // ("notes.txt" becomes "notes.txt.bmp") is asked about here, so nothing is replaced
    // unasked.
    const QString final = PicturePath(path, filterIndex);
    if (final != path && QFileInfo::exists(final)) {
        const MsgResult answer =
            messages_.show(QFileInfo(final).fileName() +
                               QStringLiteral(" already exists.\nDo you want to replace it?"),
                           QStringLiteral("Save File"), MsgButtons::YesNo, MsgIcon::Exclamation);
        if (answer != MsgResult::Yes) return;
    }
    const PictureSaveResult result = SaveImageFile(image, path, filterIndex);
    if (!result.ok) {
        messages_.show(QStringLiteral("The picture could not be saved.\n") + result.errorText,
                       QStringLiteral("Save File"), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    messages_.show(QStringLiteral("File Saved ok!"), {}, MsgButtons::Ok, MsgIcon::None);
}

}  // namespace quillon
