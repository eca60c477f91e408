#include "image_export.h"

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

bool SaveImageFile(const QImage& image, const QString& path, int filterIndex) {
    if (image.isNull() || path.isEmpty()) return false;
    const QString lower = path.toLower();
    QByteArray format = filterIndex == 1 ? "JPG" : "BMP";
    if (lower.endsWith(QLatin1String(".jpg")) || lower.endsWith(QLatin1String(".jpeg"))) {
        format = "JPG";
    } else if (lower.endsWith(QLatin1String(".bmp"))) {
        format = "BMP";
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    QImageWriter writer(&file, format);
    if (format == "JPG") writer.setQuality(90);
    // JPEG has no alpha channel; a transparent graph background would turn black.
    const QImage pixels =
        image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!writer.write(pixels)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
    request.filters = {QStringLiteral("BMP Windows Bitmap(*.bmp)"), QStringLiteral("JPEG(*.jpg)")};
    request.selectedFilter = 0;
    request.defaultSuffix = QStringLiteral("bmp");
    request.proposedName = proposedName;
    request.confirmOverwrite = true;
    const FileDialogAnswer answer = dialogs_.getSaveFileName(request);
    *filterIndex = answer.filterIndex;
    return answer.path;
}

void ImageExporter::mnsaveBmp_Click() {
    session_.rec.RunState = kRunCommand;
    if (session_.table.cell(1, RecordTable::ColDate).isEmpty()) {
        messages_.show(QStringLiteral("No graph found."), {}, MsgButtons::Ok, MsgIcon::None);
        return;
    }
    int filter = 0;
    const QString path = AskPath(GraphFileName(), &filter);
    if (path.isEmpty()) return;
    const QImage image = graphImage_ ? graphImage_() : QImage();
    if (!SaveImageFile(image, path, filter)) return;
    messages_.show(QStringLiteral("File Saved ok!"), {}, MsgButtons::Ok, MsgIcon::None);
}

void ImageExporter::mnsaveScreen_Click() {
    session_.rec.RunState = kRunCommand;
    int filter = 0;
    const QString path = AskPath(ScreenFileName(), &filter);
    if (path.isEmpty()) return;
    if (!SaveImageFile(CaptureWindow(capture_), path, filter)) return;
    messages_.show(QStringLiteral("File Saved ok!"), {}, MsgButtons::Ok, MsgIcon::None);
}

}  // namespace quillon
