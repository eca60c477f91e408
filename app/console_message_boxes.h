#pragma once
// Message boxes for a run nobody watches (a snapshot without a display): each message
// is written to standard error and answered the way closing the box would answer it.

#include <cstdio>

#include "messages.h"

namespace quillon {

class ConsoleMessageBoxes final : public MessageBoxes {
  public:
    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon) override {
        std::fprintf(stderr, "quillon: message%s%s: %s\n", title.isEmpty() ? "" : " ",
                     qPrintable(title), qPrintable(text));
        switch (buttons) {
            case MsgButtons::Ok:
                return MsgResult::Ok;
            case MsgButtons::YesNo:
                return MsgResult::No;
            case MsgButtons::OkCancel:
            case MsgButtons::YesNoCancel:
                break;
        }
        return MsgResult::Cancel;
    }
};

}  // namespace quillon
