#include "installer_window.h"

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

// Object names of each row's picture, button and caption: setup, USB driver, exit.
const char* const kRowNames[3] = {"setup", "driver", "exit"};

}  // namespace

InstallerWindow::InstallerWindow(InstallLauncher& launcher, QWidget* parent)
    : QWidget(parent), launcher_(launcher) {
    setObjectName(QStringLiteral("installerWindow"));
    setWindowTitle(QStringLiteral("Install"));
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(11);
    setFont(arial);

    launcher_.load();
    setWindowIcon(QIcon(RowPicture(0, launcher_.mediumDir(), 64)));
    const QString captions[3] = {launcher_.setupCaption, QStringLiteral("Install USB Driver "),
                                 QStringLiteral("Exit")};

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(16, 16, 24, 16);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    for (int i = 0; i < 3; ++i) {
        const QString row = QLatin1String(kRowNames[i]);
        auto* pictureLabel = new QLabel(this);
        pictureLabel->setObjectName(row + QStringLiteral("Picture"));
        pictureLabel->setPixmap(RowPicture(i, launcher_.mediumDir(), kPictureSize));

        auto* button = new QPushButton(this);
        button->setObjectName(row + QStringLiteral("Button"));
        button->setIcon(
            style()->standardIcon(i == 2 ? QStyle::SP_DialogCloseButton : QStyle::SP_ArrowRight));
        button->setIconSize(QSize(24, 24));
        button->setMinimumSize(48, 40);
        button->setToolTip(captions[i].trimmed());
        connect(button, &QPushButton::clicked, this, [this, i] { startRow(i); });

        auto* text = new QLabel(captions[i], this);
        text->setObjectName(row + QStringLiteral("Caption"));
        text->setBuddy(button);

        grid->addWidget(pictureLabel, i, 0);
        grid->addWidget(button, i, 1);
        grid->addWidget(text, i, 2);
    }
    grid->setColumnStretch(2, 1);
    setMinimumWidth(360);
}

void InstallerWindow::startRow(int index) {
    if (index == 2) {
        close();
        return;
    }
    launcher_.startRow(index);
}

void InstallerWindow::closeEvent(QCloseEvent* event) {
    if (!unloaded_) {
        unloaded_ = true;
        launcher_.finish();
    }
    event->accept();
}

}  // namespace quillon
