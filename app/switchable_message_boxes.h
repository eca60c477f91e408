#pragma once
// The program's message boxes, which turn unattended once it is ending on a signal or
// at the end of the desktop session: from then on nobody is asked anything, every
// message goes to standard error and gets the answer closing the box would give.

#include "console_message_boxes.h"
#include "messages.h"

namespace quillon {

class SwitchableMessageBoxes final : public MessageBoxes {
  public:
    explicit SwitchableMessageBoxes(MessageBoxes& attended) : attended_(attended) {}

    void setUnattended(bool on) { unattended_ = on; }
    bool unattended() const { return unattended_; }

    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override {
        return unattended_ ? console_.show(text, title, buttons, icon)
                           : attended_.show(text, title, buttons, icon);
    }
    void notify(const QString& text, const QString& title, MsgIcon icon) override {
        if (unattended_)
            console_.notify(text, title, icon);
        else
            attended_.notify(text, title, icon);
    }

  private:
    MessageBoxes& attended_;
    ConsoleMessageBoxes console_;
    bool unattended_ = false;
};

}  // namespace quillon
