#pragma once
// "Save Graph" and "Save Screen": the graph picture or a capture of the main window,
// written as a Windows bitmap or as a JPEG, as the chosen file name (or type) says.

#include <QImage>
#include <QString>
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

// Writes image to path: JPEG when the name ends in .jpg/.jpeg, BMP when it ends in .bmp,
// otherwise the type of the chosen filter (1 = JPEG). The file is replaced only once the
// new picture is complete.
bool SaveImageFile(const QImage& image, const QString& path, int filterIndex);

class ImageExporter {
  public:
    ImageExporter(Session& session, MessageBoxes& messages, FileDialogs& dialogs,
                  std::function<QImage()> graphImage, WindowCapture capture);

    void mnsaveBmp_Click();
    void mnsaveScreen_Click();

    // Names the dialog proposes.
    QString GraphFileName() const;
    QString ScreenFileName() const;

  private:
    QString AskPath(const QString& proposedName, int* filterIndex);

    Session& session_;
    MessageBoxes& messages_;
    FileDialogs& dialogs_;
    std::function<QImage()> graphImage_;
    WindowCapture capture_;
};

}  // namespace quillon
