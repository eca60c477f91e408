#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "launcher_rules.h"
#include "install_test_support.h"

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
    } rows[] = {
        {"4.10", xp, manual},   {"4.90", xp, manual},   {"5.00", xp, win2000},
        {"5.01", xp, winXp},    {"5.02", xp, winXp},    {"6.00", vista, winXp},
        {"6.01", vista, winXp}, {"6.02", vista, winXp}, {"10.05", vista, winXp},
    };
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
        const char* name;
        const char* content;  // nullptr: no file
        const char* expected;
    };
    const Row rows[] = {
        {"missing", nullptr, "Install VEK 4412 QUILLON"},
        {"empty", "", "Install VEK 4412 QUILLON"},
        {"blanks only", "   \r\nSecond line\r\n", "Install VEK 4412 QUILLON"},
        {"named", "ACME 7 Logger\r\nignored\r\n", "Install ACME 7 Logger"},
        {"leading blank kept", "  Bench Meter\n", "Install   Bench Meter"},
        {"no line end", "Lab DMM", "Install Lab DMM"},
        {"utf-8", "Prüfgerät Ω\n", "Install Prüfgerät Ω"},
    };
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

class BrandingCopy : public ::testing::Test {
  protected:
    void SetUp() override {
        medium = dir.filePath("medium");
        install = dir.filePath("opt/QUILLON/");
        QDir().mkpath(medium);
    }
    QTemporaryDir dir;
    QString medium;
    QString install;
};

TEST_F(BrandingCopy, NothingBeforeTheProgramIsInstalled) {
    WriteFile(medium + "/sub.log", "ACME\r\n");
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // no folder
    QDir().mkpath(install);
    EXPECT_TRUE(CopyBrandingFiles(medium, install).isEmpty());  // empty folder
    EXPECT_FALSE(QFile::exists(install + "sub.log"));
}

TEST_F(BrandingCopy, CopiesWhatExistsOverwritingOldCopies) {
    QDir().mkpath(install);
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

}  // namespace
}  // namespace quillon
