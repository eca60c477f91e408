// The medium's setup script run on a temporary medium, and the build's install rules.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>

#include "install_test_support.h"

namespace {

using quillon::ReadFile;
using quillon::WriteFile;

const QString kPackaging = QStringLiteral(QUILLON_PACKAGING_DIR);

// The desktop entry in `xdg` starts `folder`/quillon there (a blank in it needs quoting).
void ExpectDesktopEntryFor(const QString& xdg, const QString& folder) {
    const QString entry = QString::fromUtf8(ReadFile(xdg + "/applications/quillon.desktop"));
    EXPECT_TRUE(entry.contains("\nExec=\"" + folder + "/quillon\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nPath=" + folder + "\n"));
}

// Installs program, branding and menu entry, and again over them; a medium without the
// program fails and installs nothing.
TEST(SetupScript, InstallsAndInstallsAgain) {
    QTemporaryDir dir;
    const QString medium = dir.filePath("my medium"), xdg = dir.filePath("share");
    QString dest = dir.filePath("opt/My QUILLON");
    QDir().mkpath(medium + "/Vista_Win7");
    QDir().mkpath(medium + "/payload/QUILLON");
    for (const char* to : {"/Vista_Win7/setup.exe", "/payload/QUILLON/quillon"}) {
        ASSERT_TRUE(QFile::copy(kPackaging + "/medium/setup.sh", medium + to));
        QFile::setPermissions(medium + to, QFile::ReadOwner | QFile::ExeOwner);
    }
    WriteFile(medium + "/sub.log", "Medium Name\r\n");
    WriteFile(medium + "/Mark.ico", "medium icon");
    ASSERT_TRUE(QFile::copy(kPackaging + "/quillon.desktop", medium + "/payload/quillon.desktop"));
    WriteFile(medium + "/payload/quillon.png", "png");
    WriteFile(medium + "/payload/QUILLON/help.html", "<html></html>");
    QByteArray output;
    const auto runSetup = [&] {
        QProcess setup;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLON_DEST", dest);
        env.insert("QUILLON_XDG_DATA_DIR", xdg);
        env.insert("QUILLON_SETUP_QUIET", "1");
        setup.setProcessEnvironment(env);
        setup.start(medium + "/Vista_Win7/setup.exe", {});
        if (!setup.waitForFinished(30000)) return -1;
        output = setup.readAllStandardOutput() + setup.readAllStandardError();
        return setup.exitStatus() == QProcess::NormalExit ? setup.exitCode() : -1;
    };
    ASSERT_EQ(runSetup(), 0) << output.toStdString();
    EXPECT_TRUE(QFileInfo(dest + "/quillon").isExecutable());
    EXPECT_EQ(ReadFile(dest + "/sub.log") + ReadFile(dest + "/Mark.ico"),
              "Medium Name\r\nmedium icon");
    EXPECT_TRUE(QFile::exists(xdg + "/icons/hicolor/256x256/apps/quillon.png"));
    ExpectDesktopEntryFor(xdg, dest);
    EXPECT_TRUE(QDir(dest).entryList(QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
        << "staging folder left behind";
    WriteFile(medium + "/sub.log", "Second Name\r\n");
    WriteFile(medium + "/payload/QUILLON/help.html", "<html>new</html>");
    ASSERT_EQ(runSetup(), 0) << output.toStdString();
    EXPECT_EQ(ReadFile(dest + "/sub.log") + ReadFile(dest + "/help.html"),
              "Second Name\r\n<html>new</html>");

    QFile::remove(medium + "/payload/QUILLON/quillon");
    dest = dir.filePath("elsewhere");
    EXPECT_NE(runSetup(), 0);
    EXPECT_TRUE(output.contains("holds no program")) << output.toStdString();
    EXPECT_FALSE(QFile::exists(dest + "/help.html"));
}

// `cmake --install` of this build into a temporary prefix, and the serial-access script.
TEST(InstallRules, EverythingLandsInOneFolderPlusTheMenuEntry) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("opt/My QUILLON"), xdg = dir.filePath("share");
    QProcess cmake;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_XDG_DATA_DIR", xdg);
    env.remove("DESTDIR");
    cmake.setProcessEnvironment(env);
    cmake.start(QUILLON_CMAKE_COMMAND, {"--install", QUILLON_BUILD_DIR, "--prefix", prefix});
    ASSERT_TRUE(cmake.waitForFinished(60000));
    ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
    for (const char* name : {"help.html", "ding.wav", "Mark.ico", "quillon-install",
                             "quillon-alarm-sound.so", "quillon-printing.so"})
        EXPECT_TRUE(QFileInfo(prefix + "/" + name).isFile()) << name;
    EXPECT_TRUE(QFileInfo(prefix + "/quillon-install").isExecutable());
    EXPECT_FALSE(QFile::exists(prefix + "/sub.log"));
    for (const char* size : {"16x16", "48x48", "256x256"})
        EXPECT_TRUE(QFile::exists(xdg + "/icons/hicolor/" + size + "/apps/quillon.png")) << size;
    EXPECT_TRUE(QFile::exists(xdg + "/metainfo/invalid.quillon.QUILLON.metainfo.xml"));
    ExpectDesktopEntryFor(xdg, prefix);
    EXPECT_EQ(QProcess::execute("/bin/sh", {"-n", kPackaging + "/medium/serial-access.sh"}), 0);

    const QString program = QStringLiteral(QUILLON_PROGRAM_NAME);
    if (program.isEmpty()) GTEST_SKIP() << "the build has no target quillon yet";
    EXPECT_TRUE(QFileInfo(prefix + "/quillon").isExecutable()) << "the desktop entry starts it";
}

}  // namespace
