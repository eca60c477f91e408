#pragma once
// What the recorder asks of the other subsystems. The program connects these to the
// meter tables, the meter link, the statistics, the trend graph, the settings, the
// report saver and the schedule; tests connect only what they watch. An unset call
// does nothing (a lookup answers "").

#include <QString>
#include <functional>

namespace quillon {

struct RecorderCalls {
    // Meter tables: unit text of a function and range, name of a function.
    std::function<QString(int funcCode, int rangeIdx)> UnitTable;
    std::function<QString(int funcCode)> FunctionTable;

    // Meter link: bring the link up; abort pending reads on the open port.
    std::function<void()> linkUp;
    std::function<void()> AbortRead;

    // Statistics and trend graph, run after every record in this order.
    std::function<void()> UpdateMaxMin;
    std::function<void()> UpdateAverage;
    std::function<void()> PlotNewPoint;
    // Redraws the empty graph frame.
    std::function<void()> drawEmptyFrame;
    // Writes the graph's page box (its change handler may redraw the page).
    std::function<void(const QString&)> setPageBox;

    // Settings shown on the window (limit captions, interval caption, statistics rows).
    std::function<void()> applySettingsToWindow;
    // Saves the stopped recording or asks whether to save it.
    std::function<void()> PromptUnsavedRecord;
    // Ends the running entry of the recording schedule.
    std::function<void()> endScheduledRecording;
};

}  // namespace quillon
