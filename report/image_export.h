#pragma once
// "Save Graph" and "Save Screen": the graph picture or a capture of the main window,
// written as BMP, JPEG or PNG, as the chosen file name (or type) says.

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>

#include "file_dialogs.h"
#include "messages.h"
#include "session.h"

namespace quillon {

// Capturing the main window, supplied by the window layer.
struct WindowCapture {
    std::function<QImage()> grab;            // the window as it looks now
    std::function<bool()> leaveMaximized;    // restores a maximized window; true if it was
    std::function<void()> restoreMaximized;  // maximizes it again
    // A wait that lets events run (the window repaints). Unset: one that processes the
    // application's events.
    std::function<void(int ms)> wait;
};

// Captures the window at its normal size (leaving and restoring the maximized state,
// with a 200 ms pause so it repaints first). A null image when nothing can be grabbed.
QImage CaptureWindow(const WindowCapture& capture);

// The picture types offered, in the order of the dialog's filters: BMP, JPEG, PNG.
const QStringList& PictureFilters();

// The file name a picture is written to: `path` when it ends in .bmp, .jpg, .jpeg or
// .png (in any case), otherwise `path` with the extension of the chosen filter.
QString PicturePath(const QString& path, int filterIndex);

struct PictureSaveResult {
    bool ok = false;
    QString path;       // the file written (or meant to be)
    QString errorText;  // "<path>: <reason>" when ok is false
};

// Writes image to PicturePath(path, filterIndex), in the type its extension names. The
// file is replaced only once the new picture is complete.
PictureSaveResult SaveImageFile(const QImage& image, const QString& path, int filterIndex);

class ImageExporter {
  public:
    ImageExporter(Session& session, MessageBoxes& messages, FileDialogs& dialogs,
                  std::function<QImage()> graphImage, WindowCapture capture);

    void saveGraphPicture();
    void saveWindowPicture();

    // Names the dialog proposes.
    QString GraphFileName() const;
    QString ScreenFileName() const;

  private:
    QString AskPath(const QString& proposedName, int* filterIndex);
    void Save(const QImage& image, const QString& path, int filterIndex);

    Session& session_;
    MessageBoxes& messages_;
    FileDialogs& dialogs_;
    std::function<QImage()> graphImage_;
    WindowCapture capture_;
};

}  // namespace quillon
