#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QThread>

#include "install_test_support.h"
#include "launcher_rules.h"

namespace quillon {
namespace {

TEST(VersionText, FormatAndParse) {
    EXPECT_EQ(FormatWinVer(5, 1) + FormatWinVer(4, 10) + FormatWinVer(5, 0), "5.014.105.00");
    const char* releases[][2] = {
        {"6.1.0-18-amd64", "6.01"}, {"5.10.0", "5.10"}, {"4.9", "4.09"}, {"unknown", ""}};
    for (const auto& [release, text] : releases) EXPECT_EQ(KernelReleaseVersion(release), text);
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d\\d$").match(GetWinVer()).hasMatch())
        << GetWinVer().toStdString();
    EXPECT_EQ(VersionMajor(" 5.00 "), 5);
    EXPECT_EQ(VersionMajor("10.05"), 10) << "10 is newer than 6, not 1";
    EXPECT_EQ(VersionMajor(""), 0);
    EXPECT_FLOAT_EQ(VersionValue("4.90"), 4.9f);
    EXPECT_EQ(VersionValue("garbage"), 0.0f);
}

TEST(ProductCaption, UsesTheFirstLineUntrimmedOrTheDefault) {
    QTemporaryDir dir;
    const char* dflt = "Install VEK 4412 QUILLON";
    const char* rows[][3] = {{"missing", nullptr, dflt},  // content nullptr: no file
                             {"empty", "", dflt},
                             {"blanks only", "   \r\nSecond line\r\n", dflt},
                             {"named", "ACME 7 Logger\r\nignored\r\n", "Install ACME 7 Logger"},
                             {"leading blank kept", "  Bench Meter\n", "Install   Bench Meter"},
                             {"no line end", "Lab DMM", "Install Lab DMM"},
                             {"utf-8", "Prüfgerät Ω\n", "Install Prüfgerät Ω"}};
    for (const auto& [name, content, expected] : rows) {
        const QString path = dir.filePath(QString(name) + ".log");
        if (content) WriteFile(path, content);
        EXPECT_EQ(ProductCaption(path), QString::fromUtf8(expected)) << name;
    }
}

TEST(FileExists, FolderPathNeedsAFileInsideIt) {
    QTemporaryDir dir;
    QDir root(dir.path());
    for (const char* folder : {"empty", "only-subfolder/inner", "with-file", "hidden-only"})
        root.mkpath(folder);
    WriteFile(root.filePath("with-file/quillon"), "x");
    WriteFile(root.filePath("hidden-only/.keep"), "x");
    EXPECT_TRUE(FileExists(root.filePath("with-file/")));
    EXPECT_TRUE(FileExists(root.filePath("with-file/quillon")));
    for (const char* path : {"empty/", "only-subfolder/", "hidden-only/", "missing/", "with-file"})
        EXPECT_FALSE(FileExists(root.filePath(path))) << path;  // a folder is not a file
    EXPECT_FALSE(FileExists(""));
}

// Nothing before the program is installed; then what exists, over old copies.
TEST_F(MediumTest, BrandingCopy) {
    const QString install = dir.filePath("opt/QUILLON/");
    WriteFile(medium + "/sub.log", "ACME\r\n");
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // no folder
    QDir().mkpath(install);
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // empty folder
    EXPECT_FALSE(QFile::exists(install + "sub.log"));
    WriteFile(install + "quillon", "program");
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
    EXPECT_EQ(launcher.WinMajor, 6);
    EXPECT_FLOAT_EQ(launcher.WinVersion, 6.01f);
    InstallLauncher slash(medium, starter, programFiles + "/", [] { return "4.90"; });
    slash.load();
    EXPECT_EQ(slash.InstallDir, programFiles + "/QUILLON/");
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

    // The program-files folder comes from the environment, or is /opt.
    qunsetenv("QUILLON_PROGRAM_FILES");
    EXPECT_EQ(DefaultProgramFilesDir(), "/opt");
    qputenv("QUILLON_PROGRAM_FILES", programFiles.toLocal8Bit());
    EXPECT_EQ(DefaultProgramFilesDir(), programFiles);
    qunsetenv("QUILLON_PROGRAM_FILES");
}

// The real starter with a medium folder whose name a shell would split and run.
TEST_F(Launcher, PathWithBlanksAndShellCharactersIsOneProgramPath) {
    const QString trap = "disc 1; touch pwned & $(touch pwned2) `touch pwned3` 'q' \"d\"";
    const QString hostile = dir.filePath(trap);
    ASSERT_TRUE(QDir().mkpath(hostile + "/Vista_Win7"));
    const QString script = hostile + "/Vista_Win7/setup.exe";
    WriteFile(script, "#!/bin/sh\nprintf '%s' \"$0\" > \"$QUILLON_TEST_MARK\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString mark = dir.filePath("started.txt");
    qputenv("QUILLON_TEST_MARK", mark.toLocal8Bit());
    DetachedProcessStarter real;
    InstallLauncher launcher(hostile, real, programFiles, [] { return "6.01"; });
    launcher.load();
    EXPECT_TRUE(launcher.startRow(0));
    QDeadlineTimer deadline(10000);
    while (!QFile::exists(mark) && !deadline.hasExpired()) QThread::msleep(20);
    QThread::msleep(100);  // let the script finish its one write
    EXPECT_EQ(QString::fromUtf8(ReadFile(mark)), script) << "the setup script did not run";
    for (const char* name : {"pwned", "pwned2", "pwned3"})
        for (const QString& folder : {dir.path(), hostile, QDir::currentPath()})
            EXPECT_FALSE(QFile::exists(folder + "/" + name)) << name;
    qunsetenv("QUILLON_TEST_MARK");
}

}  // namespace
}  // namespace quillon
