#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include "install_launcher.h"
#include "install_test_support.h"
#include "launcher_rules.h"

namespace quillon {
namespace {

TEST(VersionText, FormatAndParse) {
    EXPECT_EQ(FormatWinVer(5, 1), "5.01");
    EXPECT_EQ(FormatWinVer(4, 10), "4.10");
    EXPECT_EQ(FormatWinVer(5, 0), "5.00");
    EXPECT_EQ(KernelReleaseVersion("6.1.0-18-amd64"), "6.01");
    EXPECT_EQ(KernelReleaseVersion("5.10.0"), "5.10");
    EXPECT_EQ(KernelReleaseVersion("4.9"), "4.09");
    EXPECT_EQ(KernelReleaseVersion("unknown"), "");
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d\\d$").match(GetWinVer()).hasMatch())
        << GetWinVer().toStdString();
    EXPECT_EQ(VersionMajor(" 5.00 "), 5);
    EXPECT_EQ(VersionMajor("10.05"), 10) << "10 is newer than 6, not 1";
    EXPECT_EQ(VersionMajor(""), 0);
    EXPECT_FLOAT_EQ(VersionValue("4.90"), 4.9f);
    EXPECT_EQ(VersionValue("garbage"), 0.0f);
}

// Setup follows the major version; the driver installer the whole version.
TEST(MediumPrograms, FollowTheVersion) {
    const QString xp = "/m/Win98_XP/setup.exe", vista = "/m/Vista_Win7/setup.exe";
    const LaunchCommand manual{"xdg-open", {"/m/USB driver/README.txt"}};
    const LaunchCommand win2000{"/m/USB driver/Win2000/CDM20600.exe", {}};
    const LaunchCommand winXp{"/m/USB driver/WinXP_Win7/CDM20802_Setup.exe", {}};
    const struct {
        const char* version;
        QString setup;
        LaunchCommand driver;
    } rows[] = {{"4.10", xp, manual},   {"4.90", xp, manual},   {"5.00", xp, win2000},
                {"5.01", xp, winXp},    {"5.02", xp, winXp},    {"6.00", vista, winXp},
                {"6.01", vista, winXp}, {"6.02", vista, winXp}, {"10.05", vista, winXp}};
    for (const auto& row : rows) {
        const LaunchCommand setup = SetupProgramFor(VersionMajor(row.version), "/m");
        EXPECT_EQ(setup.program, row.setup) << row.version;
        EXPECT_TRUE(setup.arguments.isEmpty()) << row.version;
        const LaunchCommand driver = DriverInstallerFor(VersionValue(row.version), "/m");
        EXPECT_EQ(driver.program, row.driver.program) << row.version;
        EXPECT_EQ(driver.arguments, row.driver.arguments) << row.version;
    }
}

TEST(ProductCaption, UsesTheFirstLineUntrimmedOrTheDefault) {
    QTemporaryDir dir;
    struct Row {
        const char *name, *content, *expected;  // content nullptr: no file
    };
    const char* dflt = "Install VEK 4412 QUILLON";
    const Row rows[] = {{"missing", nullptr, dflt},
                        {"empty", "", dflt},
                        {"blanks only", "   \r\nSecond line\r\n", dflt},
                        {"named", "ACME 7 Logger\r\nignored\r\n", "Install ACME 7 Logger"},
                        {"leading blank kept", "  Bench Meter\n", "Install   Bench Meter"},
                        {"no line end", "Lab DMM", "Install Lab DMM"},
                        {"utf-8", "Prüfgerät Ω\n", "Install Prüfgerät Ω"}};
    for (const Row& row : rows) {
        const QString path = dir.filePath(QString::fromUtf8(row.name) + ".log");
        if (row.content) WriteFile(path, row.content);
        EXPECT_EQ(ProductCaption(path), QString::fromUtf8(row.expected)) << row.name;
    }
}

TEST(FileExists, FolderPathNeedsAFileInsideIt) {
    QTemporaryDir dir;
    QDir root(dir.path());
    root.mkpath("empty");
    root.mkpath("only-subfolder/inner");
    root.mkpath("with-file");
    root.mkpath("hidden-only");
    WriteFile(root.filePath("with-file/quillon"), "x");
    WriteFile(root.filePath("hidden-only/.keep"), "x");

    EXPECT_TRUE(FileExists(root.filePath("with-file/")));
    EXPECT_TRUE(FileExists(root.filePath("with-file/quillon")));
    EXPECT_FALSE(FileExists(root.filePath("empty/")));
    EXPECT_FALSE(FileExists(root.filePath("only-subfolder/")));
    EXPECT_FALSE(FileExists(root.filePath("hidden-only/")));
    EXPECT_FALSE(FileExists(root.filePath("missing/")));
    EXPECT_FALSE(FileExists(root.filePath("with-file")));  // a folder is not a file
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

TEST_F(Launcher, LoadSetsFolderCaptionAndVersion) {
    WriteFile(medium + "/sub.log", " Bench Logger\r\n");
    InstallLauncher launcher = Make("6.01");
    launcher.load();
    EXPECT_EQ(launcher.InstallDir, programFiles + "/QUILLON/");
    EXPECT_EQ(launcher.setupCaption, "Install  Bench Logger");
    EXPECT_EQ(launcher.WinMajor, 6);
    EXPECT_FLOAT_EQ(launcher.WinVersion, 6.01f);

    InstallLauncher trailingSlash(medium, starter, programFiles + "/", [] { return "5.00"; });
    trailingSlash.load();
    EXPECT_EQ(trailingSlash.InstallDir, programFiles + "/QUILLON/");

    // The program-files folder comes from the environment, or is /opt.
    qunsetenv("QUILLON_PROGRAM_FILES");
    EXPECT_EQ(DefaultProgramFilesDir(), "/opt");
    qputenv("QUILLON_PROGRAM_FILES", programFiles.toLocal8Bit());
    EXPECT_EQ(DefaultProgramFilesDir(), programFiles);
    qunsetenv("QUILLON_PROGRAM_FILES");
}

// The launcher hands its own version and medium to the rules and starts the result there.
TEST_F(Launcher, ButtonsStartTheProgramForTheVersion) {
    const QString m = medium + "/";
    const struct {
        const char* version;
        int button;
        QString program;
        QStringList arguments;
    } rows[] = {{"6.01", 0, m + "Vista_Win7/setup.exe", {}},
                {"6.01", 1, m + "USB driver/WinXP_Win7/CDM20802_Setup.exe", {}},
                {"4.90", 1, "xdg-open", {m + "USB driver/README.txt"}}};
    for (const auto& row : rows) {
        starter.started.clear();
        InstallLauncher launcher = Make(row.version);
        launcher.load();
        EXPECT_TRUE(launcher.startRow(row.button));
        EXPECT_FALSE(launcher.startRow(2));  // closing is the window's part
        ASSERT_EQ(starter.started.size(), 1u) << row.version << " button " << row.button;
        EXPECT_EQ(starter.started[0].program, row.program) << row.version;
        EXPECT_EQ(starter.started[0].arguments, row.arguments) << row.version;
        EXPECT_EQ(starter.started[0].workingDirectory, medium);
    }
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
    QFile started(mark);
    ASSERT_TRUE(started.open(QIODevice::ReadOnly)) << "the setup script did not run";
    EXPECT_EQ(QString::fromUtf8(started.readAll()), script);
    for (const char* name : {"pwned", "pwned2", "pwned3"}) {
        EXPECT_FALSE(QFile::exists(dir.filePath(name))) << name;
        EXPECT_FALSE(QFile::exists(hostile + "/" + name)) << name;
        EXPECT_FALSE(QFile::exists(QDir::current().filePath(name))) << name;
    }
    qunsetenv("QUILLON_TEST_MARK");
}

}  // namespace
}  // namespace quillon
