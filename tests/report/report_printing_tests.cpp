// Printing goes to real PDF files (one per document) that poppler's tools read back.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include "file_dialogs.h"
#include "printing.h"
#include "report_fixture.h"
#include "report_printer.h"

namespace quillon {
namespace {

QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()) : QString();
}

int PdfPages(const QString& path) {
    return QRegularExpression("Pages:\\s+(\\d+)").match(Run("pdfinfo", {path})).captured(1).toInt();
}

QString PdfPageText(const QString& path, int page = 1) {
    const QString n = QString::number(page);
    return Run("pdftotext", {"-layout", "-f", n, "-l", n, path, "-"});
}

QImage Picture(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class ReportPrintingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdfinfo").isEmpty())
            GTEST_SKIP() << "poppler-utils (pdftotext, pdfinfo) not installed";
        printer.setOutputFormat(QPrinter::PdfFormat);
        env.printerInstalled = [this] { return installed; };
        env.beforeDocument = [this](QPrinter& pr, int i) {
            pr.setOutputFormat(QPrinter::PdfFormat);
            pr.setOutputFileName(Doc(i));
        };
        capture.grab = [this] { return events << "grab", Picture(800, 500, qRgb(0, 90, 200)); };
        capture.leaveMaximized = [this] { return events << "leave", true; };
        capture.restoreMaximized = [this] { events << "restore"; };
        capture.wait = [](int) {};
        runner.onRun = [this] { events << "dialog"; };
    }
    QString Doc(int i) const { return dir.filePath(QString("doc%1.pdf").arg(i)); }
    void Accept(int copies) {
        runner.choices = {PrintDialogChoice()};
        runner.choices[0].accepted = true;
        runner.choices[0].copies = copies;
    }
    ReportPrinter Printer() {
        return ReportPrinter(
            s, messages, runner, [] { return Picture(1020, 340, qRgb(0, 150, 0)); }, capture, env,
            &printer);
    }

    QTemporaryDir dir;
    Session s;
    ScriptedMessageBoxes messages;
    ScriptedPrintDialogRunner runner;
    PrintEnvironment env;
    WindowCapture capture;
    QPrinter printer{QPrinter::HighResolution};
    bool installed = true;
    QStringList events;
};

// 70 records a page; full pages are not followed by a page of header only.
TEST_F(ReportPrintingTest, ReportPagesHoldSeventyRecords) {
    for (const int records : {140, 150}) {
        test::MakeRecording(s, records);
        Accept(1);
        Printer().printReport();
        EXPECT_EQ(PdfPages(Doc(0)), records == 140 ? 2 : 3);
    }
    ASSERT_TRUE(messages.shown.isEmpty());
    const int pages[][3] = {{1, 1, 70}, {2, 71, 140}, {3, 141, 150}};
    for (const auto& [page, first, last] : pages) {
        const QString text = PdfPageText(Doc(0), page);
        SCOPED_TRACE(page);
        const QString head = "File Name : 20240501_100000\\.csv\\s+Page : %1\\s+NO\\s+Date\\s+Time";
        EXPECT_TRUE(text.contains(QRegularExpression(head.arg(page) + "\\s+Value\\s+Unit")));
        const QString row = QString::number(first).rightJustified(4, '0');
        EXPECT_TRUE(
            QRegularExpression(row + "\\s+2024/05/01\\s+\\d\\d:\\d\\d:\\d\\d\\s+[\\d.]+\\s+V")
                .match(text)
                .hasMatch());
        EXPECT_EQ(text.count(QRegularExpression("\\b\\d{4}\\s+2024/05/01")), last - first + 1);
    }
    EXPECT_EQ(s.rec.state, kRunCommand);
    ASSERT_EQ(runner.setups.size(), 2);
    EXPECT_EQ(runner.setups[0].minPage, 1);
    EXPECT_EQ(runner.setups[0].maxPage, 999);
    EXPECT_EQ(runner.setups[0].toPage, 20);
}

// The title is the settings' one (if shown) or an opened file's own, through repeated print
// commands; a long title and file name give way to the page number.
TEST_F(ReportPrintingTest, HeaderTitleFollowsStateAndSettings) {
    const struct {
        int runState, graphTitle;
        bool saveEnabled;
        const char* expected;
    } cases[] = {
        {kRunIdle, 1, true, "Bench test"},
        {kRunIdle, 0, true, "     "},
        {kRunViewingFile, 0, false, "Oven run"},
        {kRunCommand, 1, false, "Oven run"},  // a print command while the file is shown
        {kRunCommand, 1, true, "Bench test"}  // once the display is reset
    };
    test::MakeBenchTest(s);
    s.rec.fileTitle = "Oven run";
    for (const auto& c : cases) {
        s.rec.state = c.runState;
        s.settings.showGraphTitle = c.graphTitle;
        s.controls.setEnabled(Control::SaveReport, c.saveEnabled);
        EXPECT_EQ(Printer().ReportTitle(), c.expected);
    }
    s.controls.setEnabled(Control::SaveReport, false);
    s.rec.fileTitle = "Temperature of the climate chamber during the long endurance run, bay 4";
    s.rec.recordName = "climate_chamber_endurance_run_bay4_second_attempt_with_new_probe";
    Accept(1);
    Printer().printReport();
    const QString firstLine = PdfPageText(Doc(0)).section('\n', 0, 0);
    EXPECT_TRUE(firstLine.contains(
        QRegularExpression("^\\s*Temperature of.*File Name : clim.*probe\\.csv\\s+Page : 1\\s*$")))
        << firstLine.toStdString();
    EXPECT_FALSE(firstLine.contains("bay 4"));
}

// Each copy is a document of its own; the screen is captured before the dialog. The dialog
// also offers a PDF file, which holds one copy.
TEST_F(ReportPrintingTest, EachCopyIsADocumentOfItsOwn) {
    test::MakeBenchTest(s);
    s.graph.pageBox = "2";
    Printer().printReport();  // cancelled: nothing printed
    Printer().printGraph();
    EXPECT_FALSE(QFileInfo::exists(Doc(0)));
    Accept(3);
    Printer().printReport();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(PdfPages(Doc(i)), 1) << i;
    EXPECT_FALSE(QFileInfo::exists(Doc(3)));
    EXPECT_EQ(printer.copyCount(), 3);  // the dialog's choice stays on the printer
    EXPECT_EQ(events, (QStringList{"dialog", "dialog", "dialog"}));
    QFile::remove(Doc(2));
    Accept(2);
    Printer().printWindow();
    EXPECT_EQ(events.mid(3), (QStringList{"leave", "grab", "restore", "dialog"}));
    EXPECT_EQ(PdfPages(Doc(1)), 1);
    EXPECT_FALSE(QFileInfo::exists(Doc(2)));
    Accept(1);
    Printer().printGraph();
    ASSERT_EQ(PdfPages(Doc(0)), 1);
    EXPECT_TRUE(PdfPageText(Doc(0)).contains(
        QRegularExpression("File Name : 20240501_100000\\.csv\\s+Page : 2")));
    EXPECT_TRUE(messages.shown.isEmpty());
    env.beforeDocument = nullptr;
    Accept(2);
    runner.choices[0].outputFileName = dir.filePath("chosen.pdf");
    Printer().printReport();
    EXPECT_TRUE(runner.setups.last().options & QAbstractPrintDialog::PrintToFile);
    EXPECT_EQ(PdfPages(dir.filePath("chosen.pdf")), 1);
    EXPECT_EQ(printer.outputFileName(), dir.filePath("chosen.pdf"));
    Accept(1);  // a printer chosen next time: the pages go to it, not to the file
    Printer().printReport();
    EXPECT_TRUE(printer.outputFileName().isEmpty());
}

TEST_F(ReportPrintingTest, RefusalsAndTheirMessages) {
    const struct {
        bool installed, records, recordName;
        void (ReportPrinter::*command)();
        const char *text, *title;
        MsgIcon icon;
    } cases[] = {{false, true, true, &ReportPrinter::printReport,
                  "Getting printer error. Make sure the printer is set up correctly.",
                  "Printer set up ", MsgIcon::Critical},
                 {true, false, true, &ReportPrinter::printReport,
                  "No report found. Please create a report first.", "", MsgIcon::Exclamation},
                 {true, false, false, &ReportPrinter::printGraph, "Not any record to print!", "",
                  MsgIcon::None},  // graph before any recording
                 {true, true, false, &ReportPrinter::printReport, "Not any record to print!", "",
                  MsgIcon::None}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Session fresh;
        if (c.records) test::MakeBenchTest(fresh);
        if (!c.recordName) fresh.rec.recordName.clear();
        messages.shown.clear();
        runner.setups.clear();
        installed = c.installed;
        Accept(3);
        ReportPrinter rp(fresh, messages, runner, {}, capture, env, &printer);
        (rp.*c.command)();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].text, c.text);
        EXPECT_EQ(messages.shown[0].title, c.title);
        EXPECT_EQ(messages.shown[0].icon, c.icon);
        EXPECT_EQ(runner.setups.size(), c.installed && !c.recordName ? 1 : 0);  // asked first
        EXPECT_EQ(fresh.rec.state, kRunCommand);
        EXPECT_FALSE(QFileInfo::exists(Doc(0)));
    }
}

// No printer installed: the print commands ask for a PDF file and write the pages there.
TEST_F(ReportPrintingTest, WithoutAPrinterThePagesGoIntoAPdfFile) {
    ScriptedFileDialogs files;
    env.fileDialogs = &files;
    installed = false;
    test::MakeBenchTest(s);
    s.graph.pageBox = "2";
    const QString report = dir.filePath("bench.pdf"), graph = dir.filePath("graph.pdf");
    files.answers = {{report, 0}, {graph, 0}, {}, {dir.filePath("no such folder/x.pdf"), 0}};
    Printer().printReport();
    Printer().printGraph();
    Printer().printWindow();  // cancelled
    Printer().printReport();  // a file that cannot be made
    ASSERT_EQ(files.requests.size(), 4);
    EXPECT_EQ(files.requests[0].filters, QStringList{"PDF File (*.pdf)"});
    EXPECT_EQ(files.requests[0].proposedName, "20240501_100000");
    EXPECT_EQ(files.requests[1].proposedName, "20240501_100000_P2");
    EXPECT_TRUE(runner.setups.isEmpty()) << "no print dialog without a printer";
    EXPECT_TRUE(PdfPageText(report).contains("File Name : 20240501_100000.csv"));
    EXPECT_TRUE(PdfPageText(graph).contains("Page : 2"));
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown[0].text, "File Saved ok!");
    EXPECT_EQ(messages.shown[1].text, "File Saved ok!");
    EXPECT_TRUE(messages.shown[2].text.startsWith("The PDF file could not be written"));
}

// The program's print commands load the printing module; without it they say so and
// try again next time.
TEST(PrintingModule, AMissingModuleIsToldOnEachPrintCommand) {
    Session s;
    ScriptedMessageBoxes messages;
    PrintingContext context;
    context.session = &s;
    context.messages = &messages;
    PrintingModule printing("/nonexistent/quillon-printing.so", context);
    printing.printReport();
    printing.printWindow();
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].text.startsWith(
        "Printing is not available: /nonexistent/quillon-printing.so could not be loaded."));
    EXPECT_EQ(messages.shown[1].icon, MsgIcon::Critical);
}

}  // namespace
}  // namespace quillon
