#pragma once
// The commands the main window forwards to the other subsystems. The program connects
// them; an unset command does nothing, so the window also runs with parts missing.

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace quillon {

struct MainWindowCalls {
    using Action = std::function<void()>;

    // Start-up.
    std::function<QString()> GetOSVersion;  // "6.01"
    Action LoadSettings;                    // settings and schedule read from the store

    // Poll loop, one tick of the window timer.
    Action pollTick;

    // Meter link.
    Action linkUp;
    Action linkOff;

    // Files and printing.
    Action openReport;
    Action saveReport;
    Action saveGraphPicture;
    Action saveWindowPicture;
    Action printReport;
    Action printGraph;
    Action printWindow;

    // Dialogs shown without blocking the window.
    Action showSettingsDialog;
    Action showScheduleDialog;

    // Statistics and graph.
    Action toggleRelReference;                       // "REL"
    Action showPreviousPage;                         // "<< Back"
    Action showNextPage;                             // "Next >>"
    std::function<void(const QString&)> setPageBox;  // the page box was edited
    std::function<QImage()> graphImage;              // what the graph picture box shows
    std::function<void(QSize)> setCanvasSize;        // the picture box got a new size
    Action drawEmptyFrame;                           // empty graph frame
    Action redrawPage;                               // the curve of the page shown

    // The device path of the port the meter link is up on, for the status bar.
    std::function<QString()> meterDevice;

    // Shut-down: stores the COM number the meter was found on.
    std::function<void(int port)> SavePortOnExit;
    // Shut-down, last: the link is off and any recording stopped. dataDeclined: the user
    // confirmed that the data shown may be lost.
    std::function<void(bool dataDeclined)> Unloaded;
};

}  // namespace quillon
