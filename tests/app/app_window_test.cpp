// The whole program's window without a meter.
#include <gtest/gtest.h>

#include <QAction>
#include <QPrinterInfo>
#include <QTableView>

#include "../report/report_fixture.h"
#include "options.h"
#include "program.h"

namespace quillon {
namespace {

// Dialogs start in the save folder (or its nearest existing one), then the last one used;
// `quillon FILE.csv` opens a report as File > Open does; no printer: "Print Report" to PDF.
TEST(AppWindow, DialogFoldersAndAReportNamedOnTheCommandLine) {
    QTemporaryDir folder;
    auto* messages = new ScriptedMessageBoxes;
    auto* dialogs = new ScriptedFileDialogs;
    Program program{folder.path(), std::unique_ptr<ScriptedMessageBoxes>(messages),
                    std::unique_ptr<ScriptedFileDialogs>(dialogs)};
    MainWindow& window = program.window();
    window.startUp();
    window.show();
    const auto trigger = [&](const char* a) { window.findChild<QAction*>(a)->trigger(); };
    const auto writeReport = [&](const QString& sub, int n) {
        Session s;
        test::MakeRecording(s, n);
        QDir(folder.path()).mkpath(sub);
        EXPECT_TRUE(WriteReport(s, folder.filePath(sub + "/run.csv")).ok);
        return folder.filePath(sub + "/run.csv");
    };
    program.session().settings.saveFolder = folder.filePath("Data/not yet made/");
    dialogs->answers = {{writeReport("elsewhere", 3), 0}, {}, {}};
    for (const char* action : {"openAction", "saveGraphAction", "saveScreenAction"})
        trigger(action);
    ASSERT_EQ(dialogs->requests.size(), 3);
    EXPECT_EQ(dialogs->requests[0].folder, folder.path());
    EXPECT_EQ(dialogs->requests[1].folder, folder.filePath("elsewhere"));
    EXPECT_EQ(dialogs->requests[2].folder, folder.filePath("elsewhere"));

    const QString report = writeReport("reports", 250);
    int exitCode = -1;
    const auto options =
        ParseOptions({"quillon", QDir::current().relativeFilePath(report)}, &exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->reportPath, report);
    program.OpenReport(options->reportPath);
    const Session& s = program.session();
    EXPECT_EQ(s.rec.state, kRunViewingFile);
    EXPECT_EQ(s.rec.recordName + " " + s.graph.pageBox, "run 3");
    EXPECT_EQ(s.table.recordCount(), 250);
    auto* table = window.findChild<QTableView*>("recordTable");
    EXPECT_EQ(table->model()->index(table->rowAt(0), 0).data().toString(), "0201");
    program.OpenReport(folder.filePath("missing.csv"));
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_TRUE(messages->shown[0].text.startsWith("The file could not be opened."));
    EXPECT_EQ(s.table.recordCount(), 250) << "the report shown stays";

    if (!QPrinterInfo::availablePrinters().isEmpty()) GTEST_SKIP() << "a printer is installed";
    dialogs->answers = {{folder.filePath("printout.pdf"), 0}};
    trigger("printReportAction");
    QFile pdf(folder.filePath("printout.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-" && pdf.size() > 10000) << pdf.size();
    ASSERT_EQ(messages->shown.size(), 2);
    EXPECT_EQ(messages->shown[1].text, "File Saved ok!");
}

}  // namespace
}  // namespace quillon
