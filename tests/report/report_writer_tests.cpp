#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "report_fixture.h"
#include "report_saver.h"
#include "report_writer.h"

namespace quillon {
namespace {

using test::MakeBenchTest;
using test::ReadAll;

TEST(ReportWriter, WritesTheExampleByteForByteAndTextFieldsAsUtf8) {
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

    // Text fields go out unchanged as UTF-8; a line break in the title would move every later
    // line of the file down on reading.
    s.settings.graphTitle = "Line A,\nprobe 2\r\nx\ry";
    s.rec.recordedFunction = 4;
    s.rec.recordedRange = 3;
    s.table.setCell(2, 3, "OL");
    s.table.setCell(2, 4, "KΩ");
    s.stats.avgRow = {"21.5", "°C"};
    EXPECT_EQ(QString::fromUtf8(ReportBytes(s)),
              "Title, Line A, probe 2 x y\r\nType, OHM_(043)\r\nMAX, 1.234, V, 10:00:01\r\n"
              "MIN, 1.230, V, 10:00:00\r\nAVG., 21.5, °C\r\n\r\nNo, Date, Time, Value, Unit\r\n"
              " 0001, 2024/05/01, 10:00:00, 1.230, V\r\n 0002, 2024/05/01, 10:00:01, OL, KΩ\r\n");
    s.rec.recordedFunction = 12;  // the mV function
    s.rec.recordedRange = 0;
    EXPECT_EQ(ReportBytes(s).split('\n')[1], "Type, DCV_(120)\r");
}

// Saving again replaces the file; failures name the path and the reason.
TEST(ReportWriter, SavingTwiceAndFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath("r.csv");
    Session s;
    test::MakeRecording(s, 50);
    ASSERT_TRUE(WriteReport(s, path).ok);
    MakeBenchTest(s);
    ASSERT_TRUE(WriteReport(s, path).ok);
    EXPECT_EQ(ReadAll(path), ReportBytes(s));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"r.csv"});

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

class ReportSaverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeBenchTest(s);
        s.settings.saveFolder = dir.path() + "/Data/2024/";
        s.rec.state = kRunRecording;
    }
    QString SavedPath() const { return s.settings.saveFolder + "20240501_100000.csv"; }

    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    ReportSaver saver{s, messages, dialogs};
};

TEST_F(ReportSaverTest, SaveReportAsksForAPathAndWritesTheReport) {
    const QString path = dir.filePath("mine.csv");
    s.rec.recordName = "  20240501_100000 ";
    dialogs.answers = {{path, 0}};
    EXPECT_TRUE(saver.saveReport());

    ASSERT_EQ(dialogs.requests.size(), 1);
    const FileDialogRequest& req = dialogs.requests[0];
    EXPECT_EQ(req.title, "Save File");
    EXPECT_EQ(req.filters, QStringList{"Csv File (*.csv)"});
    EXPECT_EQ(req.defaultSuffix, "csv");
    EXPECT_EQ(req.proposedName, "20240501_100000");
    EXPECT_EQ(ReadAll(path), ReportBytes(s));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "File Saved ok!");
    EXPECT_EQ(s.rec.state, kRunCommand);
}

TEST_F(ReportSaverTest, CancelledDialogWritesNothingAndNoRecordsAsksNothing) {
    EXPECT_FALSE(saver.saveReport());
    EXPECT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    s.table.setRows(1);
    s.table.setRows(2);
    EXPECT_FALSE(saver.saveReport());
    EXPECT_EQ(dialogs.requests.size(), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "No report found. Please create a report first.");
    EXPECT_EQ(s.rec.state, kRunCommand);
}

TEST_F(ReportSaverTest, AutoSaveFailureIsShownAndTheOldReportKept) {
    // A folder standing where the report should go: the write must fail loudly.
    QDir().mkpath(SavedPath());
    EXPECT_FALSE(saver.AutoSaveReport().ok);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(SavedPath()))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(QFileInfo(SavedPath()).isDir());
    EXPECT_EQ(s.table.recordCount(), 2);

    // A save folder that cannot be created is reported with the folder and the reason the
    // system gave, not as a missing file. /sys refuses new folders to everyone.
    if (!QFileInfo("/sys/kernel").isDir()) GTEST_SKIP() << "no /sys here";
    s.settings.saveFolder = "/sys/quillon-reports/Data/";
    EXPECT_FALSE(saver.AutoSaveReport().ok);
    ASSERT_EQ(messages.shown.size(), 2);
    const QString text = messages.shown[1].text;
    EXPECT_TRUE(text.contains("/sys/quillon-reports: ")) << text.toStdString();
    EXPECT_FALSE(text.contains("No such file or directory")) << text.toStdString();
}

TEST_F(ReportSaverTest, UnsavedRecordCheck) {
    using O = StopSaveOutcome;
    const struct {
        int savAuto;
        bool schedRunning, fileExists, answerNo;
        O outcome;
    } cases[] = {
        {1, false, false, false, O::Saved},    // auto save
        {0, true, false, false, O::Saved},     // scheduled recording
        {0, false, false, true, O::Declined},  // not saved yet: asked, answer No
        {0, false, true, false, O::NotSaved}   // saved already: nobody knows what it holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.outcome));
        QTemporaryDir d;
        Session session;
        MakeBenchTest(session);
        session.settings.saveFolder = d.path() + "/Data/2024/";  // missing, with its parent
        session.settings.autoSave = c.savAuto;
        session.sched.scheduledRecordingRunning = c.schedRunning;
        const QString saved = session.settings.saveFolder + "20240501_100000.csv";
        if (c.fileExists && QDir().mkpath(session.settings.saveFolder))
            test::WriteAll(saved, "old");
        ScriptedMessageBoxes m;
        if (c.answerNo) m.replies = {MsgResult::No};
        ScriptedFileDialogs fd;
        EXPECT_EQ(ReportSaver(session, m, fd).PromptUnsavedRecord(), c.outcome);
        EXPECT_EQ(m.shown.size(), c.answerNo ? 1 : 0);
        EXPECT_TRUE(fd.requests.isEmpty());
        EXPECT_EQ(session.table.recordCount(), 2);
        EXPECT_EQ(ReadAll(saved), c.fileExists ? "old" : c.answerNo ? "" : ReportBytes(session));
    }
}

TEST_F(ReportSaverTest, UnsavedRecordQuestionYesOpensTheSaveDialog) {
    s.settings.autoSave = 0;
    const QString path = dir.filePath("chosen.csv");
    dialogs.answers = {{path, 0}};
    EXPECT_EQ(saver.PromptUnsavedRecord(), StopSaveOutcome::Saved);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text,
              "(20240501_100000.csv).  This record didn't saved ! Do you want to save?");
    EXPECT_EQ(messages.shown[0].title, "Save File!");
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown[1].text, "File Saved ok!");
    EXPECT_TRUE(QFileInfo::exists(path));
}

TEST_F(ReportSaverTest, UnsavedRecordCheckIgnoresEmptyRecordings) {
    s.settings.autoSave = 1;
    s.rec.recordName.clear();
    saver.PromptUnsavedRecord();
    s.rec.recordName = "x";
    s.table.setRows(2);
    s.table.setCell(1, 1, "");
    saver.PromptUnsavedRecord();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(PathExists(s.settings.saveFolder));
}

TEST(ReportFolders, MakeFolderPathAndPathExists) {
    QTemporaryDir dir;
    const QString deep = dir.path() + "/a/b.c/d/";
    EXPECT_FALSE(PathExists(deep));
    EXPECT_TRUE(MakeFolderPath(deep));
    EXPECT_TRUE(PathExists(deep));
    EXPECT_TRUE(MakeFolderPath(deep));  // already there
    test::WriteAll(dir.filePath("file"), "x");
    EXPECT_TRUE(PathExists(dir.filePath("file")));
    QString reason;
    EXPECT_FALSE(MakeFolderPath(dir.filePath("file/sub/"), &reason));
    EXPECT_EQ(reason, dir.filePath("file/sub") + ": Not a directory");
    EXPECT_FALSE(PathExists(""));
}

}  // namespace
}  // namespace quillon
