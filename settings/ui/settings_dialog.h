#pragma once
// "Option Setting": the editor of the settings record. Non-modal; the main window
// creates it, runs load and shows it. Every control has an objectName that says what it is
// ("autoScanButton", "minutesEdit", "portBox", ...); the rules live in settings_form.h.

#include <QDialog>
#include <functional>

#include "clock.h"
#include "messages.h"
#include "port_choice.h"
#include "session.h"
#include "settings_form.h"
#include "settings_store.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QTreeView;

namespace quillon {

class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // What OK asks of the main window when a graph setting changed.
    struct GraphCalls {
        std::function<void()> drawEmptyFrame;            // redraw the empty graph frame
        std::function<void(const QString&)> setPageBox;  // write the graph's page box
    };

    SettingsDialog(Session& session, SettingsStore& store, Clock& clock, MessageBoxes& messages,
                   GraphCalls calls, PortChoice ports, QWidget* parent = nullptr);

    static QString Caption() { return QStringLiteral("Option Setting"); }

    // Puts the controls back to their design values and shows the stored record; on a
    // first run stores the defaults and closes itself.
    void load();
    // applySettingsToWindow with the interval boxes as they stand (the main window calls this one
    // while the dialog is open).
    void applySettingsToWindow();
    IntervalTexts intervalTexts() const;
    bool settingsChanged() const { return settingsChanged_; }

    void acceptSettings();             // OK
    void cancel();                     // Cancel
    void restoreDefaults();            // Default
    void stepIntervalUp(int index);    // interval up
    void stepIntervalDown(int index);  // interval down

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void BuildControls();
    // OK after the store: the main window's captions and graph, then close.
    void FinishOk();
    void FillPortList();
    void FillDrives();
    SettingsForm ReadForm() const;
    void ShowForm(const SettingsForm& form);
    void SelectFormat(QListWidget* list, const QString& format);
    void ShowPreview(int index);
    void EnableLimits(bool on);
    void ShowFolder(const QString& path);
    // Expands the tree down to folderToShow_ and selects it, as far as it is read yet.
    void OpenFolderInTree();
    void driveChosen();
    void folderChosen();
    void MarkChanged() { settingsChanged_ = true; }

    Session& session_;
    SettingsStore& store_;
    Clock& clock_;
    MessageBoxes& messages_;
    GraphCalls calls_;
    PortChoice ports_;
    bool settingsChanged_ = false;
    bool placingFolder_ = false;
    QString folderToShow_;           // the saved folder, until the tree has read it
    bool keepFolderInView_ = false;  // until the user moves the tree

    QRadioButton* portModeButtons_[2]{};
    QComboBox* portBox_{};
    QLabel* portNote_{};
    QListWidget* formatLists_[2]{};
    QLabel* formatPreviews_[2]{};
    QCheckBox* autoSaveBox_{};
    QLabel* folderLabel_{};
    QComboBox* driveBox_{};
    QTreeView* folderTree_{};
    QFileSystemModel* dirModel_{};
    QCheckBox* alarmBox_{};
    QCheckBox* limitBoxes_[2]{};
    QLineEdit* limitEdits_[2]{};
    QCheckBox* titleBox_{};
    QLineEdit* titleEdit_{};
    QLineEdit* intervalEdits_[2]{};
    QCheckBox* overloadStopBox_{};
    QCheckBox* keepRecording_{};
    QRadioButton* rangeModeButtons_[3]{};
    QLineEdit* graphLimitEdits_[2]{};
    QCheckBox* statisticsBoxes_[3]{};
};

}  // namespace quillon
