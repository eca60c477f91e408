#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "install_test_support.h"
#include "installer_window.h"

namespace quillon {
namespace {

using InstallWindow = MediumTest;

TEST_F(InstallWindow, ShowsThreeRowsWithTheirTexts) {
    InstallLauncher launcher = Make("6.01");
    InstallerWindow window(launcher);
    EXPECT_EQ(window.windowTitle(), "Install");
    EXPECT_EQ(window.font().family(), "Arial");
    const std::pair<QString, QString> rows[] = {
        {"setup", "Install VEK 4412 QUILLON"}, {"driver", "Install USB Driver "}, {"exit", "Exit"}};
    for (const auto& [row, caption] : rows) {
        EXPECT_NE(window.findChild<QPushButton*>(row + "Button"), nullptr) << row.toStdString();
        auto* picture = window.findChild<QLabel*>(row + "Picture");
        ASSERT_NE(picture, nullptr) << row.toStdString();
        EXPECT_FALSE(picture->pixmap().isNull()) << row.toStdString();
        auto* label = window.findChild<QLabel*>(row + "Caption");
        ASSERT_NE(label, nullptr) << row.toStdString();
        EXPECT_EQ(label->text(), caption);
    }
}

TEST_F(InstallWindow, ButtonsStartProgramsAndExitCopiesTheBranding) {
    WriteFile(medium + "/sub.log", "Field Logger\n");
    InstallLauncher launcher = Make("5.00");
    InstallerWindow window(launcher);
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("setupCaption")->text(), "Install Field Logger");
    window.findChild<QPushButton*>("setupButton")->click();
    window.findChild<QPushButton*>("driverButton")->click();
    EXPECT_EQ(starter.started,
              QStringList({medium + "/Win98_XP/setup.exe||" + medium,
                           medium + "/USB driver/Win2000/CDM20600.exe||" + medium}));
    EXPECT_TRUE(window.isVisible());  // the setup buttons keep the window open
    launcher.finish();                // not installed yet: nothing copied, no folder made
    EXPECT_FALSE(QDir(launcher.InstallDir).exists());
    QDir().mkpath(launcher.InstallDir);
    WriteFile(launcher.InstallDir + "quillon", "program");
    window.findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(launcher.InstallDir + "sub.log"));
    EXPECT_EQ(starter.started.size(), 2);
}

}  // namespace
}  // namespace quillon
