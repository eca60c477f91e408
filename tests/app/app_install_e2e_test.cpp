// QUILLON installed into a temporary folder runs there, its files and quillon-record beside it.
#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

namespace quillon {
namespace {

TEST(InstalledProgram, RunsWithItsFilesBesideIt) {
    QTemporaryDir root;
    const QString prefix = root.filePath("opt/QUILLON");
    QProcess cmake;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUILLON_XDG_DATA_DIR", root.filePath("share"));  // never the system's
    env.remove("DESTDIR");
    cmake.setProcessEnvironment(env);
    cmake.start(QUILLON_CMAKE_COMMAND, {"--install", QUILLON_BUILD_DIR, "--prefix", prefix});
    ASSERT_TRUE(cmake.waitForFinished(90000));
    ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
    QProcess quillon;
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLON_PORTS", "");
    env.insert("XDG_CONFIG_HOME", root.filePath("config"));
    quillon.setProcessEnvironment(env);
    quillon.setWorkingDirectory(root.path());  // not the build's program folder
    const QString picture = root.filePath("window.png");
    quillon.start(prefix + "/quillon", {"--snapshot", picture, "--record-seconds", "0"});
    ASSERT_TRUE(quillon.waitForFinished(60000)) << "the installed program did not end";
    EXPECT_EQ(quillon.exitStatus() + quillon.exitCode(), 0)
        << quillon.readAllStandardError().toStdString();
    EXPECT_GT(QImage(picture).width(), 600) << "no picture of the main window";
    EXPECT_GT(QFileInfo(prefix + "/help.html").size(), 200);  // the help window's
    QFile sound(prefix + "/ding.wav");                        // the alarm's, beside the program
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
    const QByteArray head = sound.read(12);
    EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE"));
    const QString manual = prefix + "/share/man/man1/quillon-record.1";
    EXPECT_TRUE(QFileInfo(manual).isFile());
    EXPECT_EQ(QFileInfo(root.filePath("bin/quillon-record")).symLinkTarget(),
              prefix + "/quillon-record");
    EXPECT_EQ(QFileInfo(root.filePath("share/man/man1/quillon-record.1")).symLinkTarget(), manual);
    QProcess run;  // through the link
    run.start(root.filePath("bin/quillon-record"), {"--help"});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0);
    EXPECT_TRUE(run.readAllStandardOutput().startsWith("Usage: quillon-record"));
}

}  // namespace
}  // namespace quillon
