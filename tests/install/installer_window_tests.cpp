#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "install_test_support.h"
#include "installer_window.h"

namespace quillon {
namespace {

using InstallWindow = MediumTest;

// Three rows with their captions; setup buttons start programs, Exit copies the branding.
TEST_F(InstallWindow, RowsStartProgramsAndExitCopiesTheBranding) {
    WriteFile(medium + "/sub.log", "Field Logger\n");
    InstallLauncher launcher = Make("5.00");
    InstallerWindow window(launcher);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Install");
    const std::pair<QString, QString> rows[] = {
        {"setup", "Install Field Logger"}, {"driver", "Install USB Driver "}, {"exit", "Exit"}};
    for (const auto& [row, caption] : rows) {
        auto* label = window.findChild<QLabel*>(row + "Caption");
        ASSERT_NE(label, nullptr) << row.toStdString();
        EXPECT_EQ(label->text(), caption);
        EXPECT_FALSE(window.findChild<QLabel*>(row + "Picture")->pixmap().isNull());
    }
    window.findChild<QPushButton*>("setupButton")->click();
    window.findChild<QPushButton*>("driverButton")->click();
    EXPECT_EQ(starter.started,
              QStringList({medium + "/Win98_XP/setup.exe||" + medium,
                           medium + "/USB driver/Win2000/CDM20600.exe||" + medium}));
    EXPECT_TRUE(window.isVisible());  // the setup buttons keep the window open
    QDir().mkpath(launcher.InstallDir);
    WriteFile(launcher.InstallDir + "quillon", "program");
    window.findChild<QPushButton*>("exitButton")->click();
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(QFile::exists(launcher.InstallDir + "sub.log"));
    EXPECT_EQ(starter.started.size(), 2);
}

}  // namespace
}  // namespace quillon
