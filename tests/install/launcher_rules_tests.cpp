#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QThread>

#include "install_test_support.h"
#include "launcher_rules.h"

namespace quillon {
namespace {

TEST(LauncherText, VersionsAndProductCaption) {
    EXPECT_EQ(FormatWinVer(5, 1) + FormatWinVer(4, 10) + FormatWinVer(5, 0), "5.014.105.00");
    const char* releases[][2] = {
        {"6.1.0-18-amd64", "6.01"}, {"5.10.0", "5.10"}, {"4.9", "4.09"}, {"unknown", ""}};
    for (const auto& [release, text] : releases) EXPECT_EQ(KernelReleaseVersion(release), text);
    // 10 is newer than 6, not 1.
    EXPECT_EQ(QList<int>({VersionMajor(" 5.00 "), VersionMajor("10.05"), VersionMajor("")}),
              QList<int>({5, 10, 0}));
    EXPECT_FLOAT_EQ(VersionValue("4.90") + VersionValue("garbage"), 4.9f);
    // The caption is the first line untrimmed, or the default.
    QTemporaryDir dir;
    const char* dflt = "Install VEK 4412 QUILLON";
    const char* rows[][3] = {{"missing", nullptr, dflt},  // content nullptr: no file
                             {"blanks only", "   \r\nSecond line\r\n", dflt},
                             {"named", "  ACME 7 Logger\r\nignored\r\n", "Install   ACME 7 Logger"},
                             {"utf-8", "Prüfgerät Ω", "Install Prüfgerät Ω"}};
    for (const auto& [name, content, expected] : rows) {
        const QString path = dir.filePath(QString(name) + ".log");
        if (content) WriteFile(path, content);
        EXPECT_EQ(ProductCaption(path), QString::fromUtf8(expected)) << name;
    }
}

// Nothing is copied before the program is installed; then what exists, over old copies.
TEST_F(MediumTest, BrandingCopyAndFolderPathsNeedingAFileInside) {
    const QString install = dir.filePath("opt/QUILLON/");
    WriteFile(medium + "/sub.log", "ACME\r\n");
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // no folder
    QDir().mkpath(install + "only-subfolder/inner");
    WriteFile(install + ".keep", "x");
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // only hidden files, folders
    EXPECT_FALSE(QFile::exists(install + "sub.log"));
    for (const char* path : {"only-subfolder/", "", "missing/"})
        EXPECT_FALSE(FileExists(install + path)) << path;
    WriteFile(install + "quillon", "program");
    EXPECT_TRUE(FileExists(install) && FileExists(install + "quillon"));
    EXPECT_FALSE(FileExists(install.chopped(1)) || FileExists(""));  // a folder is not a file
    WriteFile(install + "sub.log", "OLD NAME\r\n");
    WriteFile(medium + "/sub.log", "NEW NAME\r\n");
    EXPECT_EQ(CopyBrandingFiles(medium, install), QStringList{"sub.log"});
    EXPECT_EQ(ReadFile(install + "sub.log"), "NEW NAME\r\n");
    EXPECT_FALSE(QFile::exists(install + "Mark.ico"));
    WriteFile(medium + "/Mark.ico", "icon bytes");
    EXPECT_EQ(CopyBrandingFiles(medium, install), (QStringList{"sub.log", "Mark.ico"}));
    EXPECT_EQ(ReadFile(install + "Mark.ico"), "icon bytes");
}

using Launcher = MediumTest;

// Load sets the folder, caption and version; the buttons start the setup for the major
// version and the driver installer for the whole version, on the launcher's own medium.
TEST_F(Launcher, LoadAndButtonsFollowTheVersion) {
    WriteFile(medium + "/sub.log", " Bench Logger\r\n");
    InstallLauncher launcher = Make("6.01");
    launcher.load();
    EXPECT_EQ(launcher.InstallDir, programFiles + "/QUILLON/");
    EXPECT_EQ(launcher.setupCaption, "Install  Bench Logger");
    // @ stands for the medium; each start is "program|arguments|working folder".
    const char* rows[][3] = {
        {"4.90", "@/Win98_XP/setup.exe||@", "xdg-open|@/USB driver/README.txt|@"},
        {"5.00", "@/Win98_XP/setup.exe||@", "@/USB driver/Win2000/CDM20600.exe||@"},
        {"5.01", "@/Win98_XP/setup.exe||@", "@/USB driver/WinXP_Win7/CDM20802_Setup.exe||@"},
        {"6.00", "@/Vista_Win7/setup.exe||@", "@/USB driver/WinXP_Win7/CDM20802_Setup.exe||@"},
        {"10.05", "@/Vista_Win7/setup.exe||@", "@/USB driver/WinXP_Win7/CDM20802_Setup.exe||@"}};
    for (const auto& [version, setup, driver] : rows) {
        starter.started.clear();
        InstallLauncher l = Make(version);
        l.load();
        for (int row : {0, 1, 2}) EXPECT_EQ(l.startRow(row), row < 2);  // closing: the window's
        EXPECT_EQ(starter.started, QStringList({QString(setup).replace("@", medium),
                                                QString(driver).replace("@", medium)}))
            << version;
    }
    qputenv("QUILLON_PROGRAM_FILES", programFiles.toLocal8Bit());
    EXPECT_EQ(DefaultProgramFilesDir(), programFiles);
    qunsetenv("QUILLON_PROGRAM_FILES");
    EXPECT_EQ(DefaultProgramFilesDir(), "/opt") << "without the environment's folder";
}

// The real starter with a medium folder whose name a shell would split and run.
TEST_F(Launcher, PathWithBlanksAndShellCharactersIsOneProgramPath) {
    const QString trap = "disc 1; touch pwned & $(touch pwned) `touch pwned` 'q' \"d\"";
    const QString hostile = dir.filePath(trap);
    ASSERT_TRUE(QDir().mkpath(hostile + "/Vista_Win7"));
    const QString script = hostile + "/Vista_Win7/setup.exe";
    const QString mark = dir.filePath("started.txt");
    WriteFile(script, "#!/bin/sh\nprintf '%s' \"$0\" > '" + mark.toUtf8() + "'\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    DetachedProcessStarter real;
    InstallLauncher launcher(hostile, real, programFiles, [] { return "6.01"; });
    launcher.load();
    EXPECT_TRUE(launcher.startRow(0));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(mark) && !deadline.hasExpired()) QThread::msleep(20);
    QThread::msleep(100);  // let the script finish its one write
    EXPECT_EQ(QString::fromUtf8(ReadFile(mark)), script) << "the setup script did not run";
    for (const QString& folder : {dir.path(), hostile, QDir::currentPath()})
        EXPECT_FALSE(QFile::exists(folder + "/pwned")) << folder.toStdString();
}

}  // namespace
}  // namespace quillon
