#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "report_fixture.h"
#include "report_writer.h"

namespace quillon {
namespace {

using test::MakeBenchTest;
using test::ReadAll;

TEST(ReportWriter, WritesTheTwoRecordExampleByteForByte) {
    Session s;
    MakeBenchTest(s);
    const QByteArray expected =
        "Title, Bench test\r\n"
        "Type, DCV_(021)\r\n"
        "MAX, 1.234, V, 10:00:01\r\n"
        "MIN, 1.230, V, 10:00:00\r\n"
        "AVG., 1.232, V\r\n"
        "\r\n"
        "No, Date, Time, Value, Unit\r\n"
        " 0001, 2024/05/01, 10:00:00, 1.230, V\r\n"
        " 0002, 2024/05/01, 10:00:01, 1.234, V\r\n";
    EXPECT_EQ(ReportBytes(s), expected);
}

// Text fields go out unchanged as UTF-8; a line break in the title would move every later
// line of the file down on reading.
TEST(ReportWriter, TypeCodeAndTextFields) {
    Session s;
    MakeBenchTest(s);
    s.settings.Graph_txt = "Line A,\nprobe 2\r\nx\ry";
    s.rec.RecFunc = 4;
    s.rec.RecRange = 3;
    s.table.setCell(2, 3, "OL");
    s.table.setCell(2, 4, "KΩ");
    s.stats.avgRow = {"21.5", "°C"};
    EXPECT_EQ(QString::fromUtf8(ReportBytes(s)),
              "Title, Line A, probe 2 x y\r\nType, OHM_(043)\r\nMAX, 1.234, V, 10:00:01\r\n"
              "MIN, 1.230, V, 10:00:00\r\nAVG., 21.5, °C\r\n\r\nNo, Date, Time, Value, Unit\r\n"
              " 0001, 2024/05/01, 10:00:00, 1.230, V\r\n 0002, 2024/05/01, 10:00:01, OL, KΩ\r\n");
    s.rec.RecFunc = 12;  // the mV function
    s.rec.RecRange = 0;
    EXPECT_EQ(ReportBytes(s).split('\n')[1], "Type, DCV_(120)\r");
}

TEST(ReportWriter, SavingTwiceReplacesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.csv");
    Session s;
    test::MakeRecording(s, 50);
    ASSERT_TRUE(WriteReport(s, path).ok);
    MakeBenchTest(s);
    ASSERT_TRUE(WriteReport(s, path).ok);
    EXPECT_EQ(ReadAll(path), ReportBytes(s));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"r.csv"});
}

TEST(ReportWriter, FailuresNameThePathAndTheReason) {
    QTemporaryDir dir;
    Session s;
    MakeBenchTest(s);
    QDir(dir.path()).mkdir("taken.csv");
    const QString folderPath = dir.filePath("taken.csv");
    const QString missing = dir.filePath("no/such/folder/r.csv");
    for (const QString& path : {folderPath, missing}) {
        const WriteResult r = WriteReport(s, path);
        EXPECT_FALSE(r.ok) << path.toStdString();
        EXPECT_TRUE(r.errorText.startsWith(path + ": ")) << r.errorText.toStdString();
        EXPECT_GT(r.errorText.size(), path.size() + 3);
    }
    EXPECT_TRUE(QFileInfo(folderPath).isDir());
}

TEST(ReportWriter, ReadOnlyFolderKeepsTheOldReport) {
    if (geteuid() == 0) GTEST_SKIP() << "running as root: folder permissions do not stop writes";
    QTemporaryDir dir;
    const QString path = dir.filePath("r.csv");
    Session s;
    MakeBenchTest(s);
    ASSERT_TRUE(WriteReport(s, path).ok);
    const QByteArray before = ReadAll(path);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    test::MakeRecording(s, 20);
    const WriteResult r = WriteReport(s, path);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(ReadAll(path), before);
}

// On a full file system the old report must survive and the failure must be reported.
// Runs in a child process with its own mount namespace holding a 32 KiB tmpfs.
TEST(ReportWriter, FullDiskKeepsTheOldReport) {
    QTemporaryDir dir;
    const QByteArray mountPoint = dir.path().toLocal8Bit();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0) _exit(77);
        if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) _exit(77);
        if (mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=32k") != 0) _exit(77);
        Session s;
        MakeBenchTest(s);
        const QString path = dir.filePath("r.csv");
        if (!WriteReport(s, path).ok) _exit(10);
        const QByteArray before = ReadAll(path);
        test::MakeRecording(s, 5000);  // far more than 32 KiB
        const WriteResult r = WriteReport(s, path);
        if (r.ok) _exit(11);
        if (!r.errorText.startsWith(path + ": ")) _exit(12);
        if (ReadAll(path) != before) _exit(13);
        if (QDir(dir.path()).entryList(QDir::Files) != QStringList{"r.csv"}) _exit(14);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a small tmpfs here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 first write, 11 reported success, 12 message, "
                                         "13 old report changed, 14 temporary file left";
}

}  // namespace
}  // namespace quillon
