#include "about_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quillon {

AboutBox::AboutBox(QWidget* parent, const QString& caption, const QString& version,
                   const QIcon& icon)
    : QDialog(parent) {
    setObjectName("aboutBox");
    setWindowTitle(caption);
    setWindowIcon(icon);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = new QLabel(this);
    picture->setObjectName("aboutPicture");
    picture->setPixmap(icon.pixmap(48, 48));
    auto* title = new QLabel(caption, this);
    title->setObjectName("titleLabel");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* versionCaption = new QLabel("Version : ", this);
    auto* versionText = new QLabel(version, this);
    versionText->setObjectName("versionLabel");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("okButton");
    ok->setDefault(true);
    ok->setMinimumWidth(ok->sizeHint().width() + 24);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(18, 18, 18, 14);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(8);
    grid->setColumnMinimumWidth(0, 48 + 12);  // the icon and a gap before the texts
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(versionCaption, 1, 1);
    grid->addWidget(versionText, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->setColumnMinimumWidth(2, 200);  // not squeezed around a short title
    grid->setRowMinimumHeight(2, 10);
    grid->addWidget(ok, 3, 0, 1, 3, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    // Placed 2000 twips from the left and 1500 from the top of the screen.
    move(200, 150);
}

}  // namespace quillon
