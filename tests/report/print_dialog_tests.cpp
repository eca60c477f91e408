#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <stdexcept>

#include "print_dialog.h"

namespace quillon {
namespace {

using D = QAbstractPrintDialog;

TEST(PrintDialog, FlagIndexIsBounded) {
    ScriptedPrintDialogRunner runner;
    QPrinter printer;
    PrintDialog dlg(runner, printer);
    EXPECT_EQ(dlg.MaxPage(), 9999);
    EXPECT_EQ(dlg.PrintFlag(PrintDialog::kFlagCount - 1), 0);
    EXPECT_THROW(dlg.PrintFlag(21), std::out_of_range);
    EXPECT_THROW(dlg.PrintFlag(-1), std::out_of_range);
    EXPECT_THROW(dlg.setPrintFlag(21, 4), std::out_of_range);
}

TEST(PrintDialog, FlagsBecomeDialogOptions) {
    const struct {
        qint32 style;
        QVector<qint32> flags;
        D::PrintDialogOptions absent;
    } cases[] = {
        {0, {0, 1048576, 8, 4}, D::PrintToFile | D::PrintPageRange | D::PrintSelection},
        {0, {}, {}},
        {1, {1048576, 8}, {}}  // the set-up form ignores flags
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags.size());
        ScriptedPrintDialogRunner runner;
        QPrinter printer;
        PrintDialog dlg(runner, printer);
        dlg.setStyle(c.style);
        for (int i = 0; i < c.flags.size(); ++i) dlg.setPrintFlag(i + 1, c.flags[i]);
        EXPECT_FALSE(dlg.ShowPrinterDialog());
        ASSERT_EQ(runner.setups.size(), 1);
        const PrintDialogSetup& s = runner.setups[0];
        EXPECT_EQ(s.setupForm, c.style == 1);
        EXPECT_EQ(int(s.options & c.absent), 0);
        const D::PrintDialogOptions kept = OptionsForFlags(0) & ~c.absent;
        EXPECT_EQ(int(s.options & kept), int(kept));
    }
}

TEST(PrintDialog, ConfirmedChoiceGoesToThePrinterAndBack) {
    ScriptedPrintDialogRunner runner;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    PrintDialog dlg(runner, printer);
    dlg.setFromPage(1);
    dlg.setToPage(20);
    PrintDialogChoice choice;
    choice.accepted = true;
    choice.copies = 3;
    choice.orientation = QPageLayout::Landscape;
    choice.pageSize = QPageSize(QPageSize::Letter);
    choice.duplex = QPrinter::DuplexLongSide;
    choice.colorMode = QPrinter::GrayScale;
    runner.choices = {choice};
    EXPECT_TRUE(dlg.ShowPrinterDialog());
    EXPECT_EQ(runner.setups[0].fromPage, 1);
    EXPECT_EQ(runner.setups[0].toPage, 20);
    EXPECT_EQ(dlg.Copies(), 3);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(printer.colorMode(), QPrinter::GrayScale);
}

TEST(PrintDialog, CancelChangesNothingAndEnablesWindowsAgain) {
    QWidget window;
    window.show();
    ScriptedPrintDialogRunner runner;
    bool disabledDuringDialog = false;
    runner.onRun = [&] { disabledDuringDialog = !window.isEnabled(); };
    QPrinter printer;
    printer.setPageOrientation(QPageLayout::Portrait);
    PrintDialog dlg(runner, printer);
    dlg.setCopies(2);
    EXPECT_FALSE(dlg.ShowPrinterDialog());
    EXPECT_TRUE(disabledDuringDialog);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(dlg.Copies(), 2);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);

    // With an owner only the dialog's owner stands for modality.
    dlg.setParent(&window);
    runner.onRun = [&] { EXPECT_TRUE(window.isEnabled()); };
    dlg.ShowPrinterDialog();
    EXPECT_EQ(runner.setups[1].owner, &window);
}

TEST(PrintDialog, ChosenPrinterIsLookedUpByUpperCaseName) {
    const QStringList installed = {"Office", "Lab-Laser"};
    EXPECT_EQ(PrinterToSwitchTo("LAB-LASER", "Office", installed), "Lab-Laser");
    EXPECT_EQ(PrinterToSwitchTo("office", "Office", installed), "");  // already current
    EXPECT_EQ(PrinterToSwitchTo("Gone", "Office", installed), "");
    EXPECT_EQ(PrinterToSwitchTo("", "Office", installed), "");
}

// The real dialog opens preset from the printer and a cancel leaves the printer alone. The
// print commands print everything: it offers no "Current Page".
TEST(PrintDialog, RealDialogCancelReturnsFalseAndOffersNoCurrentPage) {
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageOrientation(QPageLayout::Landscape);
    QtPrintDialogRunner runner;
    PrintDialog dlg(runner, printer);
    dlg.setPrintFlag(2, kPdHidePrintToFile);
    dlg.setPrintFlag(3, kPdNoPageNums);
    dlg.setPrintFlag(4, kPdNoSelection);
    bool sawAll = false, sawCurrentPage = true;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        const auto* all = d->findChild<QWidget*>("printAll");
        const auto* current = d->findChild<QWidget*>("printCurrentPage");
        // The choices sit on the folded-away options panel: hidden on their own or not.
        sawAll = all && !all->isHidden();
        sawCurrentPage = current && !current->isHidden();
        d->reject();
    });
    EXPECT_FALSE(dlg.ShowPrinterDialog());
    EXPECT_TRUE(sawAll);
    EXPECT_FALSE(sawCurrentPage);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
}

// Unless print-to-file is hidden, the real dialog offers a PDF file among the printers,
// and the file chosen there reaches the printer.
TEST(PrintDialog, RealDialogOffersAPdfFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("printout.pdf");
    QPrinter printer;
    QtPrintDialogRunner runner;
    PrintDialog dlg(runner, printer);
    dlg.setPrintFlag(3, kPdNoPageNums);
    dlg.setPrintFlag(4, kPdNoSelection);
    QString offered;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        auto* printers = d->findChild<QComboBox*>("printers");
        auto* file = d->findChild<QLineEdit*>("filename");
        for (int i = 0; printers && i < printers->count(); ++i) {
            if (printers->itemText(i).contains("PDF")) {
                offered = printers->itemText(i);
                printers->setCurrentIndex(i);
            }
        }
        if (file) file->setText(path);
        d->accept();
    });
    EXPECT_TRUE(dlg.ShowPrinterDialog());
    EXPECT_FALSE(offered.isEmpty());
    EXPECT_EQ(printer.outputFileName(), path);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
}

}  // namespace
}  // namespace quillon
