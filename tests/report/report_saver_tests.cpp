#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include "report_fixture.h"
#include "report_saver.h"

namespace quillon {
namespace {

using test::MakeBenchTest;
using test::ReadAll;

class ReportSaverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MakeBenchTest(s);
        s.settings.Sav_Drv = dir.path() + "/Data/2024/";
        s.rec.RunState = kRunRecording;
    }
    QString SavedPath() const { return s.settings.Sav_Drv + "20240501_100000.csv"; }

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
    EXPECT_TRUE(saver.mnsaveData_Click());

    ASSERT_EQ(dialogs.requests.size(), 1);
    const FileDialogRequest& req = dialogs.requests[0];
    EXPECT_EQ(req.title, "Save File");
    EXPECT_EQ(req.filters, QStringList{"Csv File (*.csv)"});
    EXPECT_EQ(req.defaultSuffix, "csv");
    EXPECT_EQ(req.proposedName, "20240501_100000");
    EXPECT_EQ(ReadAll(path), ReportBytes(s));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "File Saved ok!");
    EXPECT_EQ(s.rec.RunState, kRunCommand);
}

TEST_F(ReportSaverTest, CancelledDialogWritesNothingAndNoRecordsAsksNothing) {
    EXPECT_FALSE(saver.mnsaveData_Click());
    EXPECT_EQ(dialogs.requests.size(), 1);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    s.table.setRows(1);
    s.table.setRows(2);
    EXPECT_FALSE(saver.mnsaveData_Click());
    EXPECT_EQ(dialogs.requests.size(), 1);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].text, "No report found. Please create a report first.");
    EXPECT_EQ(s.rec.RunState, kRunCommand);
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
        {0, false, true, false, O::NotSaved},  // saved already: nobody knows what it holds
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.outcome));
        QTemporaryDir d;
        Session session;
        MakeBenchTest(session);
        session.settings.Sav_Drv = d.path() + "/Data/2024/";  // missing, with its parent
        session.settings.sav_Auto = c.savAuto;
        session.sched.SchedRunning = c.schedRunning;
        const QString saved = session.settings.Sav_Drv + "20240501_100000.csv";
        if (c.fileExists && QDir().mkpath(session.settings.Sav_Drv)) test::WriteAll(saved, "old");
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
    s.settings.sav_Auto = 0;
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
    s.settings.sav_Auto = 1;
    s.rec.recordName.clear();
    saver.PromptUnsavedRecord();
    s.rec.recordName = "x";
    s.table.setRows(2);
    s.table.setCell(1, 1, "");
    saver.PromptUnsavedRecord();
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_FALSE(PathExists(s.settings.Sav_Drv));
}

// A save folder that cannot be created is reported with the folder and the reason the
// system gave, not as a missing file.
TEST_F(ReportSaverTest, AutoSaveNamesWhyTheFolderCannotBeMade) {
    // /sys refuses new folders to everyone, root included.
    if (!QFileInfo("/sys/kernel").isDir()) GTEST_SKIP() << "no /sys here";
    s.settings.sav_Auto = 1;
    s.settings.Sav_Drv = "/sys/quillon-reports/Data/";
    EXPECT_FALSE(saver.AutoSaveReport().ok);
    ASSERT_EQ(messages.shown.size(), 1);
    const QString text = messages.shown[0].text;
    EXPECT_TRUE(text.contains("/sys/quillon-reports: ")) << text.toStdString();
    EXPECT_FALSE(text.contains("No such file or directory")) << text.toStdString();
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
