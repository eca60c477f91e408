#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>

#include "install_launcher.h"
#include "install_test_support.h"

namespace quillon {
namespace {

using Launcher = MediumTest;

TEST_F(Launcher, LoadSetsFolderCaptionAndVersion) {
    WriteFile(medium + "/sub.log", " Bench Logger\r\n");
    InstallLauncher launcher = Make("6.01");
    launcher.Form_Load();
    EXPECT_EQ(launcher.InstallDir, programFiles + "/QUILLON/");
    EXPECT_EQ(launcher.Label1_0, "Install  Bench Logger");
    EXPECT_EQ(launcher.WinMajor, 6);
    EXPECT_FLOAT_EQ(launcher.WinVersion, 6.01f);

    InstallLauncher trailingSlash(medium, starter, programFiles + "/", [] { return "5.00"; });
    trailingSlash.Form_Load();
    EXPECT_EQ(trailingSlash.InstallDir, programFiles + "/QUILLON/");
}

TEST_F(Launcher, ProgramFilesFolderComesFromTheEnvironmentOrOpt) {
    qunsetenv("QUILLON_PROGRAM_FILES");
    EXPECT_EQ(DefaultProgramFilesDir(), "/opt");
    qputenv("QUILLON_PROGRAM_FILES", programFiles.toLocal8Bit());
    EXPECT_EQ(DefaultProgramFilesDir(), programFiles);
    qunsetenv("QUILLON_PROGRAM_FILES");
}

// The launcher hands its own version and medium to the rules and starts the result there.
TEST_F(Launcher, ButtonsStartTheProgramForTheVersion) {
    struct Row {
        const char* version;
        int button;
        QString program;
        QStringList arguments;
    };
    const QString m = medium + "/";
    const Row rows[] = {
        {"6.01", 0, m + "Vista_Win7/setup.exe", {}},
        {"6.01", 1, m + "USB driver/WinXP_Win7/CDM20802_Setup.exe", {}},
        {"4.90", 1, "xdg-open", {m + "USB driver/README.txt"}},
    };
    for (const Row& row : rows) {
        starter.started.clear();
        InstallLauncher launcher = Make(row.version);
        launcher.Form_Load();
        EXPECT_TRUE(launcher.Command1_Click(row.button));
        EXPECT_FALSE(launcher.Command1_Click(2));  // closing is the window's part
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
    launcher.Form_Load();
    EXPECT_TRUE(launcher.Command1_Click(0));

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
