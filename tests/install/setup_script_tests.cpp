// The main setup script of the installation medium, run on a medium laid out in a
// temporary folder and installing into temporary folders; and the build's install rules.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "install_test_support.h"

namespace {

using quillon::ReadFile;
using quillon::WriteFile;

const QString kPackaging = QStringLiteral(QUILLON_PACKAGING_DIR);

void CopyExecutable(const QString& from, const QString& to) {
    ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
    QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString DesktopEntry(const QString& xdg) {
    return QString::fromUtf8(ReadFile(xdg + "/applications/quillon.desktop"));
}

class SetupScript : public ::testing::Test {
  protected:
    void SetUp() override {
        medium = dir.filePath("my medium");
        dest = dir.filePath("opt/My QUILLON");  // a blank needs quoting in Exec
        xdg = dir.filePath("share");
        QDir().mkpath(medium + "/Vista_Win7");
        QDir().mkpath(medium + "/payload/QUILLON");
        CopyExecutable(kPackaging + "/medium/setup.sh", medium + "/Vista_Win7/setup.exe");
        WriteFile(medium + "/sub.log", "Medium Name\r\n");
        WriteFile(medium + "/Mark.ico", "medium icon");
        ASSERT_TRUE(
            QFile::copy(kPackaging + "/quillon.desktop", medium + "/payload/quillon.desktop"));
        WriteFile(medium + "/payload/quillon.png", "png");
        CopyExecutable(kPackaging + "/medium/setup.sh", medium + "/payload/QUILLON/quillon");
        WriteFile(medium + "/payload/QUILLON/help.html", "<html></html>");
    }

    int RunSetup() {
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
    }

    QTemporaryDir dir;
    QString medium;
    QString dest;
    QString xdg;
    QByteArray output;
};

TEST_F(SetupScript, InstallsProgramBrandingAndMenuEntryAndAgain) {
    ASSERT_EQ(RunSetup(), 0) << output.toStdString();
    EXPECT_TRUE(QFileInfo(dest + "/quillon").isExecutable());
    EXPECT_TRUE(QFileInfo(dest + "/help.html").isFile());
    EXPECT_EQ(ReadFile(dest + "/sub.log"), "Medium Name\r\n");
    EXPECT_EQ(ReadFile(dest + "/Mark.ico"), "medium icon");
    EXPECT_TRUE(QFile::exists(xdg + "/icons/hicolor/256x256/apps/quillon.png"));
    const QString entry = DesktopEntry(xdg);
    EXPECT_TRUE(entry.contains("\nExec=\"" + dest + "/quillon\" %f\n")) << entry.toStdString();
    EXPECT_TRUE(entry.contains("\nPath=" + dest + "\n"));
    EXPECT_TRUE(QDir(dest).entryList(QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
        << "staging folder left behind";

    // Installing again replaces the files.
    WriteFile(medium + "/sub.log", "Second Name\r\n");
    WriteFile(medium + "/payload/QUILLON/help.html", "<html>new</html>");
    ASSERT_EQ(RunSetup(), 0) << output.toStdString();
    EXPECT_EQ(ReadFile(dest + "/sub.log"), "Second Name\r\n");
    EXPECT_EQ(ReadFile(dest + "/help.html"), "<html>new</html>");
}

TEST_F(SetupScript, MediumWithoutProgramFailsAndInstallsNothing) {
    QFile::remove(medium + "/payload/QUILLON/quillon");
    EXPECT_NE(RunSetup(), 0);
    EXPECT_TRUE(output.contains("holds no program")) << output.toStdString();
    EXPECT_FALSE(QFile::exists(dest + "/help.html"));
}

// `cmake --install` of this build into a temporary prefix.
TEST(InstallRules, EverythingLandsInOneFolderPlusTheMenuEntry) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath("opt/My QUILLON");  // a blank needs quoting in Exec=
    const QString xdg = dir.filePath("share");

    QProcess cmake;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_XDG_DATA_DIR", xdg);
    env.remove("DESTDIR");
    cmake.setProcessEnvironment(env);
    cmake.start(QUILLON_CMAKE_COMMAND, {"--install", QUILLON_BUILD_DIR, "--prefix", prefix});
    ASSERT_TRUE(cmake.waitForFinished(60000));
    ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();

    for (const char* name :
         {"help.html", "ding.wav", "Mark.ico", "quillon-install", "quillon-alarm-sound.so"})
        EXPECT_TRUE(QFileInfo(prefix + "/" + name).isFile()) << name;
    EXPECT_TRUE(QFileInfo(prefix + "/quillon-install").isExecutable());
    EXPECT_FALSE(QFile::exists(prefix + "/sub.log"));
    for (const char* size : {"16x16", "48x48", "256x256"})
        EXPECT_TRUE(QFile::exists(xdg + "/icons/hicolor/" + size + "/apps/quillon.png")) << size;
    EXPECT_TRUE(QFile::exists(xdg + "/metainfo/invalid.quillon.QUILLON.metainfo.xml"));

    const QString text = DesktopEntry(xdg);
    EXPECT_TRUE(text.contains("\nExec=\"" + prefix + "/quillon\" %f\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nPath=" + prefix + "\n"));
    EXPECT_TRUE(text.contains("\nIcon=quillon\n"));

    const QString program = QStringLiteral(QUILLON_PROGRAM_NAME);
    if (program.isEmpty()) GTEST_SKIP() << "the build has no target quillon yet";
    EXPECT_EQ(program, "quillon") << "the desktop entry starts " << prefix.toStdString()
                                  << "/quillon";
    EXPECT_TRUE(QFileInfo(prefix + "/" + program).isExecutable());
}

TEST(SerialAccessScript, IsValidShell) {
    QProcess sh;
    sh.start("/bin/sh", {"-n", kPackaging + "/medium/serial-access.sh"});
    ASSERT_TRUE(sh.waitForFinished(10000));
    EXPECT_EQ(sh.exitCode(), 0) << sh.readAllStandardError().toStdString();
}

}  // namespace
