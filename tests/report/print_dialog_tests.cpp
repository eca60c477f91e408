#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <stdexcept>

#include "print_dialog.h"

namespace quillon {
namespace {

using D = QAbstractPrintDialog;

// The flags of all slots count; the set-up form ignores them. Without an owner every window
// is disabled while the dialog runs; a cancel changes nothing, a confirmed choice goes to the
// printer and back.
TEST(PrintDialog, FlagsThenCancelOrConfirm) {
    const D::PrintDialogOptions all = D::PrintToFile | D::PrintSelection | D::PrintPageRange |
                                      D::PrintShowPageSize | D::PrintCollateCopies;
    EXPECT_EQ(OptionsForFlags(kPdHidePrintToFile), all & ~D::PrintToFile);
    EXPECT_EQ(OptionsForFlags(kPdDisablePrintToFile), all & ~D::PrintToFile);
    QWidget window;
    window.show();
    ScriptedPrintDialogRunner runner;
    bool disabledDuringDialog = false;
    runner.onRun = [&] { disabledDuringDialog = !window.isEnabled(); };
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    PrintDialog dlg(runner, printer);
    dlg.setPrintFlag(0, kPdNoSelection);
    dlg.setPrintFlag(PrintDialog::kFlagCount - 1, kPdNoPageNums);
    dlg.setCopies(2);
    EXPECT_FALSE(dlg.ShowPrinterDialog());
    EXPECT_TRUE(disabledDuringDialog);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Portrait);
    dlg.setStyle(1);
    EXPECT_FALSE(dlg.ShowPrinterDialog());
    dlg.setStyle(0);
    EXPECT_FALSE(runner.setups[0].setupForm);
    EXPECT_EQ(runner.setups[0].options, all & ~D::PrintPageRange & ~D::PrintSelection);
    EXPECT_TRUE(runner.setups[1].setupForm);
    EXPECT_EQ(runner.setups[1].options, all);
    EXPECT_THROW(dlg.PrintFlag(PrintDialog::kFlagCount), std::out_of_range);
    dlg.setParent(&window);  // with an owner only the owner stands for modality
    dlg.setFromPage(1);
    dlg.setToPage(20);
    runner.onRun = [&] { EXPECT_TRUE(window.isEnabled()); };
    runner.choices = {PrintDialogChoice()};
    PrintDialogChoice& choice = runner.choices[0];
    choice.accepted = true;
    choice.copies = 3;
    choice.orientation = QPageLayout::Landscape;
    choice.pageSize = QPageSize(QPageSize::Letter);
    choice.colorMode = QPrinter::GrayScale;
    EXPECT_TRUE(dlg.ShowPrinterDialog());
    EXPECT_EQ(runner.setups[2].owner, &window);
    EXPECT_EQ(runner.setups[2].fromPage, 1);
    EXPECT_EQ(runner.setups[2].toPage, 20);
    EXPECT_EQ(dlg.Copies(), 3);
    EXPECT_EQ(printer.copyCount(), 3);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::Letter);
    EXPECT_EQ(printer.colorMode(), QPrinter::GrayScale);
}

// The real dialog offers no "Current Page" (the commands print everything) and, unless
// print-to-file is hidden, a PDF file among the printers; the file chosen reaches the printer.
TEST(PrintDialog, RealDialogOffersAPdfFileAndNoCurrentPage) {
    QTemporaryDir dir;
    QPrinter printer;
    QtPrintDialogRunner runner;
    PrintDialog dlg(runner, printer);
    dlg.setPrintFlag(3, kPdNoPageNums);
    bool sawCurrentPage = true;
    QTimer::singleShot(50, [&] {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!d) return;
        const auto* current = d->findChild<QWidget*>("printCurrentPage");
        sawCurrentPage = current && !current->isHidden();
        auto* printers = d->findChild<QComboBox*>("printers");
        for (int i = 0; printers && i < printers->count(); ++i)
            if (printers->itemText(i).contains("PDF")) printers->setCurrentIndex(i);
        if (auto* file = d->findChild<QLineEdit*>("filename")) file->setText(dir.filePath("p.pdf"));
        d->accept();
    });
    EXPECT_TRUE(dlg.ShowPrinterDialog());
    EXPECT_FALSE(sawCurrentPage);
    EXPECT_EQ(printer.outputFileName(), dir.filePath("p.pdf"));
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
}

}  // namespace
}  // namespace quillon
