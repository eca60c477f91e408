// The installer's window: three rows of picture, button and text; closing it
// copies the branding files.
#pragma once

#include <QWidget>

namespace quillon {

class InstallLauncher;

class Fminstall : public QWidget {
    Q_OBJECT
  public:
    // Runs the launcher's load step and shows its caption on the first row.
    explicit Fminstall(InstallLauncher& launcher, QWidget* parent = nullptr);

    void Command1_Click(int index);

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    InstallLauncher& launcher_;
    bool unloaded_ = false;
};

}  // namespace quillon
