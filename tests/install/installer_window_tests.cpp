#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "install_launcher.h"
#include "install_test_support.h"
#include "installer_window.h"

namespace quillon {
namespace {

using InstallWindow = MediumTest;

TEST_F(InstallWindow, ShowsThreeRowsWithTheirTexts) {
    InstallLauncher launcher(medium, starter, programFiles, [] { return "6.01"; });
    InstallerWindow window(launcher);
    EXPECT_EQ(window.windowTitle(), "Install");
    EXPECT_EQ(window.font().family(), "Arial");
    const char* texts[] = {"Install VEK 4412 QUILLON", "Install USB Driver ", "Exit"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NE(window.findChild<QPushButton*>(
                      std::array<QString, 3>{"setupButton", "driverButton", "exitButton"}[i]),
                  nullptr)
            << i;
        auto* picture = window.findChild<QLabel*>(
            std::array<QString, 3>{"setupPicture", "driverPicture", "exitPicture"}[i]);
        ASSERT_NE(picture, nullptr) << i;
        EXPECT_FALSE(picture->pixmap().isNull()) << i;
        auto* label = window.findChild<QLabel*>(
            std::array<QString, 3>{"setupCaption", "driverCaption", "exitCaption"}[i]);
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->text(), texts[i]);
    }
}

TEST_F(InstallWindow, ButtonsStartProgramsAndExitCopiesTheBranding) {
    WriteFile(medium + "/sub.log", "Field Logger\n");
    InstallLauncher launcher(medium, starter, programFiles, [] { return "5.00"; });
    InstallerWindow window(launcher);
    window.show();
    EXPECT_EQ(window.findChild<QLabel*>("setupCaption")->text(), "Install Field Logger");

    window.findChild<QPushButton*>("setupButton")->click();
    window.findChild<QPushButton*>("driverButton")->click();
    ASSERT_EQ(starter.started.size(), 2u);
    EXPECT_EQ(starter.started[0].program, medium + "/Win98_XP/setup.exe");
    EXPECT_EQ(starter.started[1].program, medium + "/USB driver/Win2000/CDM20600.exe");
    EXPECT_TRUE(window.isVisible());  // the setup buttons keep the window open

    launcher.finish();  // not installed yet: nothing copied, no folder made
    EXPECT_FALSE(QDir(launcher.InstallDir).exists());
    QDir().mkpath(launcher.InstallDir);
    WriteFile(launcher.InstallDir + "quillon", "program");
    window.findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(launcher.InstallDir + "sub.log"));
    EXPECT_EQ(starter.started.size(), 2u);
}

}  // namespace
}  // namespace quillon
