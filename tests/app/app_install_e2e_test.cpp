// QUILLON installed into a temporary folder runs there and finds its files beside itself.
#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "program.h"

namespace quillon {
namespace {

TEST(InstalledProgram, RunsAndFindsItsFilesBesideItself) {
    const QString product = "Brightfield DL-7 Bench Recorder";
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
    QFile sub(prefix + "/sub.log");  // with Windows line ends, as the medium carries it
    ASSERT_TRUE(sub.open(QIODevice::WriteOnly));
    sub.write(product.toUtf8() + "\r\nsecond line\r\n");
    sub.close();

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
    Program program(prefix, std::make_unique<ScriptedMessageBoxes>(),
                    std::make_unique<ScriptedFileDialogs>());
    MainWindow& window = program.window();
    window.startUp();
    EXPECT_EQ(window.windowTitle(), product);
    window.findChild<QAction*>("helpAction")->trigger();
    auto* help = window.findChild<QTextBrowser*>("HelpWindow");
    EXPECT_EQ(help->windowTitle(), product + " Help");
    EXPECT_EQ(help->source(), QUrl::fromLocalFile(prefix + "/help.html"));
    EXPECT_GT(help->toPlainText().size(), 200) << help->toPlainText().toStdString();

    QFile sound(prefix + "/ding.wav");  // the alarm's, beside the program
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly));
    const QByteArray head = sound.read(12);
    EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE"));
    const QString manual = prefix + "/share/man/man1/quillon-record.1";
    EXPECT_TRUE(QFileInfo(manual).isFile());
    EXPECT_EQ(QFileInfo(root.filePath("bin/quillon-record")).symLinkTarget(),
              prefix + "/quillon-record");
    EXPECT_EQ(QFileInfo(root.filePath("share/man/man1/quillon-record.1")).symLinkTarget(), manual);

    QProcess run;
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(display);
    run.setProcessEnvironment(env);
    run.start(root.filePath("bin/quillon-record"), {"--help"});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_TRUE(run.readAllStandardOutput().startsWith("Usage: quillon-record"));
}

}  // namespace
}  // namespace quillon
