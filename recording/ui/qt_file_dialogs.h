#pragma once
// The save and open file dialogs shown with QFileDialog.

#include <QPointer>
#include <QWidget>

#include "file_dialogs.h"

namespace quillon {

class QtFileDialogs final : public FileDialogs {
  public:
    explicit QtFileDialogs(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    FileDialogAnswer getSaveFileName(const FileDialogRequest& request) override;
    FileDialogAnswer getOpenFileName(const FileDialogRequest& request) override;

  private:
    FileDialogAnswer run(const FileDialogRequest& request, bool save);
    QPointer<QWidget> owner_;
};

}  // namespace quillon
