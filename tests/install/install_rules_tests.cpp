// `cmake --install` of this build into a temporary prefix.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace {

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

    QFile entry(xdg + "/applications/quillon.desktop");
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    EXPECT_TRUE(text.contains("\nExec=\"" + prefix + "/quillon\" %f\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("\nPath=" + prefix + "\n"));
    EXPECT_TRUE(text.contains("\nIcon=quillon\n"));

    const QString program = QStringLiteral(QUILLON_PROGRAM_NAME);
    if (program.isEmpty()) GTEST_SKIP() << "the build has no target quillon yet";
    EXPECT_EQ(program, "quillon") << "the desktop entry starts " << prefix.toStdString()
                                  << "/quillon";
    EXPECT_TRUE(QFileInfo(prefix + "/" + program).isExecutable());
}

}  // namespace
