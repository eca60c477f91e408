#pragma once
// The commands the main window forwards to the other subsystems. The program connects
// them; an unset command does nothing, so the window also runs with parts missing.

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace quillon {

struct MainFmCalls {
    using Action = std::function<void()>;

    // Start-up.
    std::function<QString()> GetOSVersion;  // "6.01"
    Action LoadSettings;                    // settings and schedule read from the store

    // Poll loop, one tick of the window timer.
    Action Timer1_Timer;

    // Meter link.
    Action mnlinkon_Click;
    Action mnlinkoff_Click;

    // Files and printing.
    Action mnopen_Click;
    Action mnsaveData_Click;
    Action mnsaveBmp_Click;
    Action mnsaveScreen_Click;
    Action mnprintdata_Click;
    Action mnprintBmp_Click;
    Action mnprintscreen_Click;

    // Dialogs shown without blocking the window.
    Action mnsetup_Click;
    Action mnoder_Click;

    // Statistics and graph.
    Action Command2_Click;                           // "REL"
    std::function<void(int index)> Command1_Click;   // 0 "<< Back", 1 "Next >>"
    std::function<void(const QString&)> setPageBox;  // the page box was edited
    std::function<QImage()> graphImage;              // what the graph picture box shows
    std::function<void(QSize)> setCanvasSize;        // the picture box got a new size
    Action RE_display;                               // empty graph frame
    Action RedrawGraphPage;                          // the curve of the page shown

    // The device path of the port the meter link is up on, for the status bar.
    std::function<QString()> meterDevice;

    // Shut-down: stores the COM number the meter was found on.
    std::function<void(int port)> SavePortOnExit;
    // Shut-down, last: the link is off and any recording stopped. dataDeclined: the user
    // confirmed that the data shown may be lost.
    std::function<void(bool dataDeclined)> Unloaded;
};

}  // namespace quillon
