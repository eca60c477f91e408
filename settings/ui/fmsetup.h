#pragma once
// "Option Setting": the editor of the settings record. Non-modal; the main window
// creates it, runs Form_Load and shows it. Every control carries its name as objectName
// ("Option1_0", "Text4_1", "Combo4", ...); the rules live in settings_form.h.

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

class Fmsetup : public QDialog {
    Q_OBJECT
  public:
    // What OK asks of the main window when a graph setting changed.
    struct MainWindowCalls {
        std::function<void()> RE_display;                // redraw the empty graph frame
        std::function<void(const QString&)> setPageBox;  // write the graph's page box
    };

    Fmsetup(Session& session, SettingsStore& store, Clock& clock, MessageBoxes& messages,
            MainWindowCalls calls, PortChoice ports, QWidget* parent = nullptr);

    static QString Caption() { return QStringLiteral("Option Setting"); }

    // Puts the controls back to their design values and shows the stored record; on a
    // first run stores the defaults and closes itself.
    void Form_Load();
    // op_set with the interval boxes as they stand (the main window calls this one while
    // the dialog is open).
    void op_set();
    IntervalTexts intervalTexts() const;
    bool settingsChanged() const { return settingsChanged_; }

    void Command1_Click();           // OK
    void Command2_Click();           // Cancel
    void Command3_Click();           // Default
    void Command4_Click(int index);  // interval up
    void Command5_Click(int index);  // interval down

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
    void Drive1_Change();
    void Dir1_Change();
    void MarkChanged() { settingsChanged_ = true; }

    Session& session_;
    SettingsStore& store_;
    Clock& clock_;
    MessageBoxes& messages_;
    MainWindowCalls calls_;
    PortChoice ports_;
    bool settingsChanged_ = false;
    bool placingFolder_ = false;
    QString folderToShow_;           // the saved folder, until the tree has read it
    bool keepFolderInView_ = false;  // until the user moves the tree

    QRadioButton* option1_[2]{};
    QComboBox* combo4_{};
    QLabel* portNote_{};
    QListWidget* list1_[2]{};
    QLabel* label1_[2]{};
    QCheckBox* check5_{};
    QLabel* label4_{};
    QComboBox* drive1_{};
    QTreeView* dir1_{};
    QFileSystemModel* dirModel_{};
    QCheckBox* check2_{};
    QCheckBox* check1_[2]{};
    QLineEdit* text3_[2]{};
    QCheckBox* check6_{};
    QLineEdit* text1_{};
    QLineEdit* text4_[2]{};
    QCheckBox* check3_{};
    QCheckBox* keepRecording_{};
    QRadioButton* option3_[3]{};
    QLineEdit* text2_[2]{};
    QCheckBox* check4_[3]{};
};

}  // namespace quillon
