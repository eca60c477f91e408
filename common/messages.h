#pragma once
// Every message box of the program goes through MessageBoxes, so the deciding logic
// can be tested with scripted answers and the window layer alone touches QMessageBox.

#include <QString>
#include <QVector>

namespace quillon {

enum class MsgButtons { Ok, YesNo, OkCancel, YesNoCancel };
enum class MsgIcon { None, Question, Exclamation, Critical, Information };
enum class MsgResult { Ok, Cancel, Yes, No };

class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Shows a modal message box and returns the button pressed. An empty title means
    // the application's title.
    virtual MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                           MsgIcon icon) = 0;
    // A notice with an OK button that must not hold the program up (start-up notices:
    // ticks, the link and the schedule go on under it). The window's boxes stand open
    // without waiting; others show it as show() does.
    virtual void notify(const QString& text, const QString& title, MsgIcon icon) {
        show(text, title, MsgButtons::Ok, icon);
    }
};

// Test double: records every message and answers from a queue of scripted replies.
// Without a scripted reply it presses the first button (OK or Yes).
class ScriptedMessageBoxes final : public MessageBoxes {
  public:
    struct Shown {
        QString text;
        QString title;
        MsgButtons buttons;
        MsgIcon icon;
    };

    MsgResult show(const QString& text, const QString& title, MsgButtons buttons,
                   MsgIcon icon) override {
        shown.push_back({text, title, buttons, icon});
        if (!replies.isEmpty()) return replies.takeFirst();
        return (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel) ? MsgResult::Yes
                                                                                    : MsgResult::Ok;
    }

    QVector<Shown> shown;
    QVector<MsgResult> replies;
};

}  // namespace quillon
