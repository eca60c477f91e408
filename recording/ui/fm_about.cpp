#include "fm_about.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace quillon {

FmAbout::FmAbout(QWidget* parent, const QString& caption, const QString& version, const QIcon& icon)
    : QDialog(parent) {
    setObjectName("FmAbout");
    setWindowTitle(caption);
    setWindowIcon(icon);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* picture = new QLabel(this);
    picture->setObjectName("Picture1");
    picture->setPixmap(icon.pixmap(48, 48));
    auto* title = new QLabel(caption, this);
    title->setObjectName("lblTitle");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* versionCaption = new QLabel("Version : ", this);
    auto* versionText = new QLabel(version, this);
    versionText->setObjectName("lblVersion");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("cmdOK");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(picture, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(title, 0, 1, 1, 2);
    grid->addWidget(versionCaption, 1, 1);
    grid->addWidget(versionText, 1, 2);
    grid->setColumnStretch(2, 1);
    grid->addWidget(ok, 2, 2, Qt::AlignRight);
    // Placed 2000 twips from the left and 1500 from the top of the screen.
    move(200, 150);
}

}  // namespace quillon
