#pragma once
// The recording schedule: up to five date-time windows in which recordings start and
// stop by themselves. Schedule holds the schedule dialog's model (its field texts, tick
// boxes and START/STOP choice) and its steps, and performs the check the poll loop runs
// on its ticks. The shared state lives in session.sched.

#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

#include "clock.h"
#include "messages.h"
#include "session.h"
#include "settings_store.h"

namespace quillon {

// The schedule dialog's controls as plain data.
struct ScheduleForm {
    // Per entry (row 0..4): start date, start time, stop date, stop time.
    std::array<std::array<QString, 4>, 5> fields;
    std::array<bool, 5> ticked{};  // the entry boxes
    bool start = false;            // "START " selected, else "STOP"
    std::array<QString, 4> hints;  // under the headings: today, today, now, now + 1 s
};

// A field the dialog must focus, with its whole text selected. Row and field count from 0.
struct FieldFocus {
    int row = 0;
    int field = 0;
};

// Ends the current entry and selects the next enabled one; disarms the schedule when
// none follows. The recording command "Stop" calls it while the schedule is armed and
// a scheduled recording runs.
void endScheduledRecording(Session& session);

// " ~ " and the stop date-time, the schedule banner's text while an entry records.
QString ScheduleBannerText(const QDateTime& stop);

class Schedule {
  public:
    Schedule(Session& session, SettingsStore& store, Clock& clock, MessageBoxes& messages);

    static QString Caption() { return QStringLiteral("Schedule recording"); }
    static QString InputErrorMessage() {
        return QStringLiteral("      Input Date or Time Error!      ");
    }
    static QString MissingFieldMessage() {
        return QStringLiteral(
            "Input Date or Time Error! Please enter date and time  before selecting this box.");
    }
    static QString SavedMessage() { return QStringLiteral("      Schedule Saved ok!      "); }

    const ScheduleForm& form() const { return form_; }

    // Dialog steps. Row and field indexes count from 0.
    void load();
    void save();   // Save
    void clear();  // Clear
    void setEntryTicked(int row, bool ticked);
    void setEntryField(int row, int field, const QString& text);
    void setStartSelected(bool start) { form_.start = start; }
    // The field to focus after the last step, once.
    std::optional<FieldFocus> takeFocusRequest();

    // The main window's and the poll loop's operations.
    void endScheduledRecording() { quillon::endScheduledRecording(session_); }
    void scheduleCheck();

  private:
    bool FieldValid(int row, int field) const;
    void DropPastEntries();
    void SelectCurrentEntry();
    void Refuse(const QString& message, int row, int field);

    Session& session_;
    SettingsStore& store_;
    Clock& clock_;
    MessageBoxes& messages_;
    ScheduleForm form_;
    QString ck_;
    bool saveQuietly_ = false;
    std::optional<FieldFocus> focus_;
};

}  // namespace quillon
