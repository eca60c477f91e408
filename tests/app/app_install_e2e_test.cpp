// QUILLON installed with `cmake --install` into a temporary folder finds its files there:
// the installed program starts, the product name of a "sub.log" beside it becomes the
// window title, the help window shows the installed help, and the alarm plays the
// installed sound.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "program.h"

namespace quillon {
namespace {

const QString kProduct = QStringLiteral("Brightfield DL-7 Bench Recorder");

// Remembers what the alarm was asked to play instead of playing it.
class HeardAlarm final : public AlarmSound {
  public:
    void tone(int hz, int) override { tones.append(hz); }
    void playFile(const QString& path) override { files.append(path); }
    QList<int> tones;
    QStringList files;
};

class InstalledProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!QFileInfo(QStringLiteral(QUILLON_BUILD_DIR "/cmake_install.cmake")).isFile())
            GTEST_SKIP() << "the build folder " QUILLON_BUILD_DIR " has no install rules";
        if (!QFileInfo(QStringLiteral(QUILLON_CMAKE_COMMAND)).isExecutable())
            GTEST_SKIP() << "cmake is not at " QUILLON_CMAKE_COMMAND;
        ASSERT_TRUE(root_.isValid());
        prefix_ = root_.filePath("opt/QUILLON");

        QProcess cmake;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLON_XDG_DATA_DIR", root_.filePath("share"));  // never the system's
        env.remove("DESTDIR");
        cmake.setProcessEnvironment(env);
        cmake.start(QUILLON_CMAKE_COMMAND, {"--install", QUILLON_BUILD_DIR, "--prefix", prefix_});
        if (!cmake.waitForStarted(10000)) GTEST_SKIP() << "cmake could not be started";
        ASSERT_TRUE(cmake.waitForFinished(90000));
        ASSERT_EQ(cmake.exitCode(), 0) << cmake.readAllStandardError().toStdString();
        ASSERT_TRUE(QFileInfo(prefix_ + "/quillon").isExecutable());

        // The medium's branding file, with a Windows line end as the medium carries it.
        QFile sub(prefix_ + "/sub.log");
        ASSERT_TRUE(sub.open(QIODevice::WriteOnly));
        sub.write(kProduct.toUtf8() + "\r\nsecond line\r\n");
    }

    QTemporaryDir root_;
    QString prefix_;
};

// The installed program starts from its folder and writes a snapshot; it finds its title,
// help and sound beside itself; quillon-record is installed beside it with its manual page,
// linked into the bin and man folders next to the desktop entry's data folder, and runs with
// no display.
TEST_F(InstalledProgram, RunsAndFindsItsFilesBesideItself) {
    QProcess quillon;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUILLON_PORTS", "");
    env.insert("XDG_CONFIG_HOME", root_.filePath("config"));
    quillon.setProcessEnvironment(env);
    quillon.setWorkingDirectory(root_.path());  // not the build's program folder
    const QString picture = root_.filePath("window.png");
    quillon.start(prefix_ + "/quillon", {"--snapshot", picture, "--record-seconds", "0"});
    ASSERT_TRUE(quillon.waitForStarted(10000));
    ASSERT_TRUE(quillon.waitForFinished(60000)) << "the installed program did not end";
    EXPECT_EQ(quillon.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(quillon.exitCode(), 0) << quillon.readAllStandardError().toStdString();
    const QImage image(picture);
    EXPECT_FALSE(image.isNull()) << "no picture of the main window";
    EXPECT_GT(image.width(), 600);

    Program program(prefix_, std::make_unique<ScriptedMessageBoxes>(),
                    std::make_unique<ScriptedFileDialogs>());
    MainWindow& window = program.window();
    window.startUp();
    EXPECT_EQ(window.windowTitle(), kProduct);

    window.findChild<QAction*>("helpAction")->trigger();
    auto* help = window.findChild<QTextBrowser*>("HelpWindow");
    ASSERT_TRUE(help);
    EXPECT_EQ(help->windowTitle(), kProduct + " Help");
    EXPECT_EQ(help->source(), QUrl::fromLocalFile(prefix_ + "/help.html"));
    EXPECT_FALSE(help->toPlainText().contains("not found")) << help->toPlainText().toStdString();
    EXPECT_GT(help->toPlainText().size(), 200);

    // The alarm of a system that plays sound files (version 7 and later) looks for
    // ding.wav in the folder it was given; the installed one is a RIFF/WAVE file.
    Session session;
    session.link.systemMajorVersion = 7;
    SystemClock clock;
    ScriptedMessageBoxes boxes;
    PosixSerialLibrary serial{PortTable{}};
    FrameDecoder decoder(session, serial, clock);
    MeterLink link(session, serial, clock, boxes);
    HeardAlarm alarm;
    PollLoop poll(session, serial, decoder, link, boxes, alarm, prefix_);
    poll.SoundAlarm();
    ASSERT_EQ(alarm.files.size(), 1);
    EXPECT_TRUE(alarm.tones.isEmpty());
    QFile sound(alarm.files.first());
    ASSERT_TRUE(sound.open(QIODevice::ReadOnly)) << qPrintable(alarm.files.first());
    EXPECT_EQ(QFileInfo(sound).absolutePath(), QFileInfo(prefix_).absoluteFilePath());
    const QByteArray head = sound.read(12);
    EXPECT_TRUE(head.startsWith("RIFF") && head.endsWith("WAVE"));

    const QString recorder = prefix_ + "/quillon-record";
    const QString manual = prefix_ + "/share/man/man1/quillon-record.1";
    ASSERT_TRUE(QFileInfo(recorder).isExecutable());
    EXPECT_TRUE(QFileInfo(manual).isFile());
    EXPECT_EQ(QFileInfo(root_.filePath("bin/quillon-record")).symLinkTarget(), recorder);
    EXPECT_EQ(QFileInfo(root_.filePath("share/man/man1/quillon-record.1")).symLinkTarget(), manual);

    QProcess run;
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(display);
    run.setProcessEnvironment(env);
    run.start(root_.filePath("bin/quillon-record"), {"--help"});
    ASSERT_TRUE(run.waitForFinished(30000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    EXPECT_TRUE(run.readAllStandardOutput().startsWith("Usage: quillon-record"));
}

}  // namespace
}  // namespace quillon
