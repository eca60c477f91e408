#include "status_field.h"

namespace quillon {

StatusField::StatusField(const char* name, QWidget* parent)
    : QWidget(parent), label_(new QLabel(this)) {
    label_->setObjectName(name);
    label_->setContentsMargins(4, 0, 4, 0);
}

void StatusField::setText(const QString& text) {
    if (label_->text() == text) return;
    if (label_->wordWrap()) {  // the size then depends on the width: the label's own hint
        const QSize before = label_->sizeHint();
        label_->setText(text);
        if (label_->sizeHint() != before) updateGeometry();
        return;
    }
    // One measurement of the new text, where the label's hint takes three.
    if (shownFont_ != label_->font() || !shownTextSize_.isValid()) {
        shownFont_ = label_->font();
        shownTextSize_ = textSize(label_->text());
    }
    const QSize before = shownTextSize_;
    label_->setText(text);
    shownTextSize_ = textSize(text);
    if (shownTextSize_ != before) updateGeometry();
}

QSize StatusField::textSize(const QString& text) const {
    // Without word wrap the width offered does not matter, only the alignment flags.
    const int flags = int(label_->alignment()) & ~(Qt::AlignVCenter | Qt::AlignHCenter);
    return label_->fontMetrics().boundingRect(0, 0, 2000, 2000, flags, text).size();
}

void StatusField::resizeEvent(QResizeEvent*) { label_->setGeometry(rect()); }

}  // namespace quillon
