#include "status_field.h"

namespace quillon {

StatusField::StatusField(const char* name, QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)) {
    label_->setObjectName(name);
    label_->setContentsMargins(4, 0, 4, 0);
}

void StatusField::setText(const QString& text) {
    if (label_->text() == text) return;
    const QSize before = label_->sizeHint();
    label_->setText(text);
    if (label_->sizeHint() != before) updateGeometry();
}

void StatusField::resizeEvent(QResizeEvent*) { label_->setGeometry(rect()); }

}  // namespace quillon
