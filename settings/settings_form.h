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
    int portOption = 0;                           // Option1: 0 auto scan, 1 the chosen port
    int comIndex = -1;                            // Combo4 selection, -1 none
    QString dateFormat;                           // List1_0 selected item, empty for none
    QString timeFormat;                           // List1_1
    bool savAuto = false;                         // Check5_0
    QString folder;                               // Label4
    bool alarm = false;                           // Check2; enables the four limit controls
    std::array<bool, 2> limitTicked{};            // Check1_0 (Hi), Check1_1 (Low)
    std::array<QString, 2> limitText{"0", "0"};   // Text3_0, Text3_1
    bool titleShown = false;                      // Check6
    QString title;                                // Text1
    QString minutes = "00";                       // Text4_0
    QString seconds = "01";                       // Text4_1
    bool olStop = false;                          // Check3
    int rangeMode = 0;                            // Option3: 0 auto, 1 meter, 2 fixed
    std::array<QString, 2> rangeText{"4", "-4"};  // Text2_0 (Hi), Text2_1 (Low)
    std::array<bool, 3> stats{};                  // Check4_0..2: Max, Min, Avg
    bool keepRecording = false;                   // "Keep recording when the meter returns"
};

// The auto-save folder a first run and Default propose: ~/Data/.
QString DefaultSaveFolder();

// Default: the controls get their default values (the port list is left alone) and the
// record's date and time formats change at once.
void PressDefault(SettingsForm& form, Settings& settings);

// Puts the loaded record into the controls. Controls without a defined value for an odd
// record value (limit_selet outside 0..3, the Y limits outside mode 2) keep theirs.
// StatFlags[0..2] follow the "Mav" text.
void ShowRecord(SettingsForm& form, Session& session, const QString& mav);

// OK without storing: copies the controls into the record. With "Range" selected and a
// limit box that is not a number, nothing is changed and the message to show is returned.
std::optional<QString> TakeForm(const SettingsForm& form, Session& session);

// The dialog's load: reads the store; on a first run presses Default and OK (storing
// every key). Returns true on a first run. op_set is left to the caller.
bool LoadSettingsForm(SettingsForm& form, Session& session, SettingsStore& store);

// Start-up without a window: the same load, then op_set unless a report is being viewed.
void LoadSettingsAtStartup(Session& session, SettingsStore& store);

// The number of the last graph page of the record table: ceil(records / (100 * PageScale)).
int LastPage(const Session& session);

// The message shown when "Range" limits are not numbers.
QString RangeLimitsMessage();

}  // namespace quillon
