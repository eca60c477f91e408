#pragma once
// "Schedule recording": the editor of the recording schedule, a thin window over the
// Schedule model, which the main window owns for the whole run (its check runs without
// the dialog). Non-modal; the main window creates it, runs load and shows it.

#include <QDialog>
#include <array>

#include "schedule.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace quillon {

class ScheduleDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ScheduleDialog(Schedule& schedule, QWidget* parent = nullptr);

    void load();
    void saveSchedule();   // Save
    void closeSchedule();  // Close
    void clearSchedule();  // Clear

  private:
    void BuildControls();
    // Shows the model's texts, ticks and choice, then the focus it asks for.
    void ShowModel();
    void FieldEdited(int row, int field, const QString& text);
    void FieldEnter(int row, int field);

    Schedule& schedule_;
    bool showing_ = false;
    QRadioButton* startStopButtons_[2]{};  // [0] "STOP", [1] "START "
    std::array<QLabel*, 4> hintLabels_{};
    std::array<QCheckBox*, 5> entryBoxes_{};
    std::array<std::array<QLineEdit*, 4>, 5> entryEdits_{};
};

}  // namespace quillon
