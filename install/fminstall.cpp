#include "fminstall.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "install_launcher.h"
#include "row_pictures.h"

namespace quillon {

namespace {

constexpr int kPictureSize = 48;

}  // namespace

Fminstall::Fminstall(InstallLauncher& launcher, QWidget* parent)
    : QWidget(parent), launcher_(launcher) {
    setObjectName(QStringLiteral("Fminstall"));
    setWindowTitle(QStringLiteral("Install"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(11);
    setFont(arial);

    launcher_.Form_Load();
    setWindowIcon(QIcon(RowPicture(0, launcher_.mediumDir(), 64)));
    const QString captions[3] = {launcher_.Label1_0, QStringLiteral("Install USB Driver "),
                                 QStringLiteral("Exit")};

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 24, 16);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    for (int i = 0; i < 3; ++i) {
        const QString index = QString::number(i);
        auto* pictureLabel = new QLabel(this);
        pictureLabel->setObjectName(QStringLiteral("Picture1_") + index);
        pictureLabel->setPixmap(RowPicture(i, launcher_.mediumDir(), kPictureSize));

        auto* button = new QPushButton(this);
        button->setObjectName(QStringLiteral("Command1_") + index);
        button->setIcon(
            style()->standardIcon(i == 2 ? QStyle::SP_DialogCloseButton : QStyle::SP_ArrowRight));
        button->setIconSize(QSize(24, 24));
        button->setMinimumSize(48, 40);
        button->setToolTip(captions[i].trimmed());
        connect(button, &QPushButton::clicked, this, [this, i] { Command1_Click(i); });

        auto* text = new QLabel(captions[i], this);
        text->setObjectName(QStringLiteral("Label1_") + index);
        text->setBuddy(button);

        grid->addWidget(pictureLabel, i, 0);
        grid->addWidget(button, i, 1);
        grid->addWidget(text, i, 2);
    }
    grid->setColumnStretch(2, 1);
    setMinimumWidth(360);
}

void Fminstall::Command1_Click(int index) {
    if (index == 2) {
        close();
        return;
    }
    launcher_.Command1_Click(index);
}

void Fminstall::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        launcher_.Form_Unload();
    }
    event->accept();
}

}  // namespace quillon
