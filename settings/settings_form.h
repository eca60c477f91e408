#pragma once
// The values of the settings dialog's controls as plain data, and the dialog's steps
// that move them to and from the settings record: show the record, Default, OK. The
// dialog window only mirrors this model, so the rules are tested without widgets.

#include <QString>
#include <array>
#include <optional>

#include "session.h"
#include "settings_record.h"
#include "settings_store.h"

namespace quillon {

struct SettingsForm {
    int portOption = 0;                          // 0 auto scan, 1 the chosen port
    int comIndex = -1;                           // port list selection, -1 none
    QString dateFormat;                          // selected date format, empty for none
    QString timeFormat;                          // selected time format
    bool savAuto = false;                        // auto save
    QString folder;                              // the save folder shown
    bool alarm = false;                          // enables the four limit controls
    std::array<bool, 2> limitTicked{};           // Hi, Low
    std::array<QString, 2> limitText{"0", "0"};  // Hi, Low
    bool titleShown = false;
    QString title;
    QString minutes = "00";
    QString seconds = "01";
    bool olStop = false;
    int rangeMode = 0;                            // 0 auto, 1 meter, 2 fixed
    std::array<QString, 2> rangeText{"4", "-4"};  // Hi, Low
    std::array<bool, 3> stats{};                  // Max, Min, Avg
    bool keepRecording = false;                   // "Keep recording when the meter returns"
};

// The auto-save folder a first run and Default propose: ~/Data/.
QString DefaultSaveFolder();

// Default: the controls get their default values (the port list is left alone) and the
// record's date and time formats change at once.
void PressDefault(SettingsForm& form, Settings& settings);

// Puts the loaded record into the controls. Controls without a defined value for an odd
// record value (limitsTested outside 0..3, the Y limits outside mode 2) keep theirs.
// statFlags[0..2] follow the "Mav" text.
void ShowRecord(SettingsForm& form, Session& session, const QString& mav);

// OK without storing: copies the controls into the record. With "Range" selected and a
// limit box that is not a number, nothing is changed and the message to show is returned.
std::optional<QString> TakeForm(const SettingsForm& form, Session& session);

// The dialog's load: reads the store; on a first run presses Default and OK (storing
// every key). Returns true on a first run. applySettingsToWindow is left to the caller.
bool LoadSettingsForm(SettingsForm& form, Session& session, SettingsStore& store);

// Start-up without a window: the same load, then applySettingsToWindow unless a report is being
// viewed.
void LoadSettingsAtStartup(Session& session, SettingsStore& store);

// The number of the last graph page of the record table: ceil(records / (100 * pageScale)).
int LastPage(const Session& session);

// The message shown when "Range" limits are not numbers.
QString RangeLimitsMessage();

}  // namespace quillon
