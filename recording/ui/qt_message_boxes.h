#pragma once
// Message boxes shown with QMessageBox. An empty title becomes the title of the window
// the boxes belong to (the application's title).

#include <QPointer>
#include <QWidget>

#include "messages.h"

namespace quillon {

class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }

    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override;
    // A box that is not modal: it stays open beside the window until OK is pressed.
    void notify(const QString& text, const QString& title, MsgIcon icon) override;

  private:
    QString captionOr(const QString& title) const;

    QPointer<QWidget> owner_;
};

}  // namespace quillon
