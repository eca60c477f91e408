#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "report_fixture.h"
#include "report_saver.h"

namespace quillon {
namespace {

using test::MakeBenchTest;
using test::ReadAll;

TEST(ReportWriter, WritesTheExampleByteForByteAndTextFieldsAsUtf8) {
    Session s;
    MakeBenchTest(s);
    EXPECT_EQ(ReportBytes(s),
              "Title, Bench test\r\nType, DCV_(021)\r\nMAX, 1.234, V, 10:00:01\r\n"
              "MIN, 1.230, V, 10:00:00\r\nAVG., 1.232, V\r\n\r\nNo, Date, Time, Value, Unit\r\n"
              " 0001, 2024/05/01, 10:00:00, 1.230, V\r\n 0002, 2024/05/01, 10:00:01, 1.234, V\r\n");
    // Units go out as UTF-8; a title keeps to one line, or all later lines would move.
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
    for (const QString& bad : {dir.filePath("taken.csv"), dir.filePath("no/such/r.csv")}) {
        const WriteResult r = WriteReport(s, bad);
        EXPECT_FALSE(r.ok) << bad.toStdString();
        EXPECT_TRUE(r.errorText.startsWith(bad + ": ")) << r.errorText.toStdString();
        EXPECT_GT(r.errorText.size(), bad.size() + 3);
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.csv")).isDir());
}

// A full file system: the old report survives and the failure is reported. Runs in a child
// process with its own mount namespace holding a 32 KiB tmpfs.
TEST(ReportWriter, FullDiskKeepsTheOldReport) {
    QTemporaryDir dir;
    const QByteArray mountPoint = dir.path().toLocal8Bit();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) ||
            mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=32k"))
            _exit(77);
        Session s;
        MakeBenchTest(s);
        const QString path = dir.filePath("r.csv");
        if (!WriteReport(s, path).ok) _exit(10);
        const QByteArray before = ReadAll(path);
        test::MakeRecording(s, 5000);  // far more than 32 KiB
        const WriteResult r = WriteReport(s, path);
        const bool kept = ReadAll(path) == before &&
                          QDir(dir.path()).entryList(QDir::Files) == QStringList{"r.csv"};
        _exit(r.ok ? 11 : !r.errorText.startsWith(path + ": ") ? 12 : kept ? 0 : 13);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a small tmpfs here";
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10 first write, 11 reported success, 12 message, 13 old report changed or temp left";
}

class ReportSaverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeBenchTest(s);
        s.settings.saveFolder = dir.path() + "/Data/2024/";
        s.rec.state = kRunRecording;
    }
    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedFileDialogs dialogs;
    ReportSaver saver{s, messages, dialogs};
};

TEST_F(ReportSaverTest, SaveReportAsksForAPathAndWritesTheReport) {
    EXPECT_FALSE(saver.saveReport());  // cancelled: nothing written, nothing said
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    const QString path = dir.filePath("mine.csv");
    s.rec.recordName = "  20240501_100000 ";
    dialogs.answers = {{path, 0}};
    EXPECT_TRUE(saver.saveReport());
    ASSERT_EQ(dialogs.requests.size(), 2);
    const FileDialogRequest& req = dialogs.requests[1];
    EXPECT_EQ(QStringList({req.title, req.filters.join(';'), req.defaultSuffix, req.proposedName}),
              QStringList({"Save File", "Csv File (*.csv)", "csv", "20240501_100000"}));
    EXPECT_EQ(ReadAll(path), ReportBytes(s));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "File Saved ok!");
    EXPECT_EQ(s.rec.state, kRunCommand);
    s.table.setRows(1);  // no records: said so, no dialog
    s.table.setRows(2);
    s.rec.state = kRunIdle;
    EXPECT_FALSE(saver.saveReport());
    EXPECT_EQ(dialogs.requests.size(), 2);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[1].text, "No report found. Please create a report first.");
    EXPECT_EQ(s.rec.state, kRunCommand);

    // The unsaved-record question: Yes opens the save dialog; nothing recorded asks nothing.
    messages.shown.clear();
    MakeBenchTest(s);
    s.settings.autoSave = 0;
    dialogs.answers = {{dir.filePath("chosen.csv"), 0}};
    EXPECT_EQ(saver.PromptUnsavedRecord(), StopSaveOutcome::Saved);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text,
              "(20240501_100000.csv).  This record didn't saved ! Do you want to save?");
    EXPECT_EQ(messages.shown[0].title, "Save File!");
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Question);
    EXPECT_EQ(messages.shown[1].text, "File Saved ok!");
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("chosen.csv")));
    s.settings.autoSave = 1;
    s.rec.recordName.clear();
    EXPECT_EQ(saver.PromptUnsavedRecord(), StopSaveOutcome::NothingToSave);
    s.rec.recordName = "x";
    s.table.setCell(1, 1, "");
    EXPECT_EQ(saver.PromptUnsavedRecord(), StopSaveOutcome::NothingToSave);
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_FALSE(PathExists(s.settings.saveFolder));
}

TEST_F(ReportSaverTest, AutoSaveFailureIsShownAndTheOldReportKept) {
    const QString saved = s.settings.saveFolder + "20240501_100000.csv";
    QDir().mkpath(saved);  // a folder where the report should go
    EXPECT_FALSE(saver.AutoSaveReport().ok);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].text.contains(saved)) << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(QFileInfo(saved).isDir());
    EXPECT_EQ(s.table.recordCount(), 2);
    // The first folder that cannot be made is named with the system's reason.
    ASSERT_TRUE(test::WriteAll(dir.filePath("file"), "x"));
    s.settings.saveFolder = dir.filePath("file/sub/Data/");
    EXPECT_FALSE(saver.AutoSaveReport().ok);
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.contains(dir.filePath("file/sub") + ": Not a directory"))
        << messages.shown[1].text.toStdString();
}

// Auto save, a scheduled recording, not saved yet (asked, answer No), saved already (nobody
// knows what the file holds).
TEST_F(ReportSaverTest, UnsavedRecordCheck) {
    using O = StopSaveOutcome;
    const std::tuple<int, bool, bool, bool, O> cases[] = {{1, false, false, false, O::Saved},
                                                          {0, true, false, false, O::Saved},
                                                          {0, false, false, true, O::Declined},
                                                          {0, false, true, false, O::NotSaved}};
    for (const auto& [savAuto, sched, exists, answerNo, outcome] : cases) {
        SCOPED_TRACE(int(outcome));
        QTemporaryDir d;
        Session session;
        MakeBenchTest(session);
        session.settings.saveFolder = d.path() + "/Data/2024/";  // missing, with its parent
        session.settings.autoSave = savAuto;
        session.sched.scheduledRecordingRunning = sched;
        const QString saved = session.settings.saveFolder + "20240501_100000.csv";
        if (exists && QDir().mkpath(session.settings.saveFolder)) test::WriteAll(saved, "old");
        ScriptedMessageBoxes m;
        if (answerNo) m.replies = {MsgResult::No};
        ScriptedFileDialogs fd;
        EXPECT_EQ(ReportSaver(session, m, fd).PromptUnsavedRecord(), outcome);
        EXPECT_EQ(m.shown.size(), answerNo ? 1 : 0);
        EXPECT_TRUE(fd.requests.isEmpty());
        EXPECT_EQ(ReadAll(saved), exists ? "old" : answerNo ? "" : ReportBytes(session));
    }
}

}  // namespace
}  // namespace quillon
