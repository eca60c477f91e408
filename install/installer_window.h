// The installer's window: three rows of picture, button and text; closing it
// copies the branding files.
#pragma once

#include <QWidget>

namespace quillon {

class InstallLauncher;

class InstallerWindow : public QWidget {
    Q_OBJECT
  public:
    // Runs the launcher's load step and shows its caption on the first row.
    explicit InstallerWindow(InstallLauncher& launcher, QWidget* parent = nullptr);

    void startRow(int index);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    InstallLauncher& launcher_;
    bool unloaded_ = false;
};

}  // namespace quillon
