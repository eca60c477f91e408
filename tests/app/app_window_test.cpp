// The whole program's window without a meter: the folders its file dialogs start in,
// and a report named on the command line, shown in the table and the graph.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>

#include "../report/report_fixture.h"
#include "options.h"
#include "program.h"
#include "report_writer.h"

namespace quillon {
namespace {

class AppWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        auto boxes = std::make_unique<ScriptedMessageBoxes>();
        auto dialogs = std::make_unique<ScriptedFileDialogs>();
        messages = boxes.get();
        fileDialogs = dialogs.get();
        program = std::make_unique<Program>(folder.path(), std::move(boxes), std::move(dialogs));
        program->window().startUp();
        program->window().show();
    }

    // A report of n records in the folder `sub` of the temporary folder.
    QString writeReport(const QString& sub, int n) {
        Session s;
        test::MakeRecording(s, n);
        QDir(folder.path()).mkpath(sub);
        const QString path = folder.filePath(sub + "/run.csv");
        EXPECT_TRUE(WriteReport(s, path).ok);
        return path;
    }

    void trigger(const char* action) { program->window().findChild<QAction*>(action)->trigger(); }

    QTemporaryDir folder;
    ScriptedMessageBoxes* messages = nullptr;
    ScriptedFileDialogs* fileDialogs = nullptr;
    std::unique_ptr<Program> program;
};

TEST_F(AppWindowTest, DialogsStartInTheSaveFolderThenInTheLastFolderUsed) {
    const QString report = writeReport("elsewhere", 3);
    program->session().settings.saveFolder = folder.filePath("Data/not yet made/");
    fileDialogs->answers = {{report, 0}, {}, {}};
    trigger("openAction");
    trigger("saveGraphAction");
    trigger("saveScreenAction");
    ASSERT_EQ(fileDialogs->requests.size(), 3);
    // The save folder does not exist yet: its nearest existing folder.
    EXPECT_EQ(fileDialogs->requests[0].folder, folder.path());
    EXPECT_EQ(fileDialogs->requests[1].folder, folder.filePath("elsewhere"));
    EXPECT_EQ(fileDialogs->requests[2].folder, folder.filePath("elsewhere"));
}

// `quillon FILE.csv`: the report is open when the window appears, as File > Open leaves
// it; the table shows the records of the graph's page (the last one).
TEST_F(AppWindowTest, AReportNamedOnTheCommandLineIsShown) {
    const QString report = writeReport("reports", 250);
    int exitCode = -1;
    const QString relative = QDir::current().relativeFilePath(report);
    const auto options = ParseOptions({"quillon", relative}, &exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->reportPath, report);
    program->OpenReport(options->reportPath);

    const Session& s = program->session();
    EXPECT_EQ(s.rec.state, kRunViewingFile);
    EXPECT_EQ(s.rec.recordName, "run");
    EXPECT_EQ(s.table.recordCount(), 250);
    EXPECT_EQ(s.graph.pageBox, "3");
    const QImage graph = program->window().graphImage();
    int red = 0;
    for (int y = 0; y < graph.height(); ++y)
        for (int x = 0; x < graph.width(); ++x) red += graph.pixelColor(x, y) == Qt::red;
    EXPECT_GT(red, 50) << "the curve of records 201 to 250";
    auto* table = program->window().findChild<QTableView*>("recordTable");
    EXPECT_EQ(table->model()->index(table->rowAt(0), 0).data().toString(), "0201");
    EXPECT_TRUE(messages->shown.isEmpty());

    program->OpenReport(folder.filePath("missing.csv"));
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_TRUE(messages->shown[0].text.startsWith("The file could not be opened."));
    EXPECT_EQ(s.table.recordCount(), 250) << "the report shown stays";
}

// On this system as it is: with no printer set up, "Print Report" writes a PDF file.
TEST_F(AppWindowTest, PrintingWithoutAPrinterWritesAPdfFile) {
    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed here";
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    program->OpenReport(writeReport("reports", 120));
    const QString pdf = folder.filePath("printout.pdf");
    fileDialogs->answers = {{pdf, 0}};
    trigger("printReportAction");
    ASSERT_EQ(fileDialogs->requests.size(), 1);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QString pages = QString::fromUtf8(text.readAllStandardOutput());
    EXPECT_TRUE(pages.contains("File Name : run.csv")) << pages.toStdString();
    EXPECT_TRUE(pages.contains("Page : 2"));
    EXPECT_EQ(pages.count(QRegularExpression("\\b\\d{4}\\s+2024/05/01")), 120);
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_EQ(messages->shown[0].text, "File Saved ok!");
}

}  // namespace
}  // namespace quillon
