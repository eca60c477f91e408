#include "qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>

namespace quillon {

namespace {

QMessageBox::Icon IconOf(MsgIcon icon) {
    switch (icon) {
        case MsgIcon::Question:
            return QMessageBox::Question;
        case MsgIcon::Exclamation:
            return QMessageBox::Warning;
        case MsgIcon::Critical:
            return QMessageBox::Critical;
        case MsgIcon::Information:
            return QMessageBox::Information;
        case MsgIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
    switch (buttons) {
        case MsgButtons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MsgButtons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MsgButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MsgButtons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

}  // namespace

QString QtMessageBoxes::captionOr(const QString& title) const {
    if (!title.isEmpty()) return title;
    return owner_ ? owner_->windowTitle() : QApplication::applicationDisplayName();
}

void QtMessageBoxes::notify(const QString& text, const QString& title, MsgIcon icon) {
    auto* box = new QMessageBox(IconOf(icon), captionOr(title), text, QMessageBox::Ok, owner_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

MsgResult QtMessageBoxes::show(const QString& text, const QString& title, MsgButtons buttons,
                               MsgIcon icon) {
    QMessageBox box(IconOf(icon), captionOr(title), text, ButtonsOf(buttons), owner_);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return MsgResult::Yes;
        case QMessageBox::No:
            return MsgResult::No;
        case QMessageBox::Cancel:
            return MsgResult::Cancel;
        default:
            break;
    }
    // Closed without a button: the box's escape answer.
    if (buttons == MsgButtons::YesNo) return MsgResult::No;
    return buttons == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Cancel;
}

}  // namespace quillon
