#include "print_dialog.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QWidget>
#include <stdexcept>

namespace quillon {

QPrinter& CurrentPrinter() {
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

QAbstractPrintDialog::PrintDialogOptions OptionsForFlags(qint32 flags) {
    using D = QAbstractPrintDialog;
    // No "Current Page": the print commands always print everything.
    D::PrintDialogOptions options = D::PrintToFile | D::PrintSelection | D::PrintPageRange |
                                    D::PrintShowPageSize | D::PrintCollateCopies;
    if (flags & (kPdHidePrintToFile | kPdDisablePrintToFile)) options &= ~D::PrintToFile;
    if (flags & kPdNoPageNums) options &= ~D::PrintPageRange;
    if (flags & kPdNoSelection) options &= ~D::PrintSelection;
    return options;
}

QString PrinterToSwitchTo(const QString& chosen, const QString& current,
                          const QStringList& installed) {
    const QString wanted = chosen.toUpper();
    if (wanted.isEmpty() || wanted == current.toUpper()) return {};
    for (const QString& name : installed) {
        if (name.toUpper() == wanted) return name;
    }
    return {};
}

PrintDialogChoice QtPrintDialogRunner::run(const PrintDialogSetup& setup, const QPrinter& current) {
    // The dialog works on a copy, so a cancelled dialog leaves the current printer alone.
    QPrinter printer(QPrinter::HighResolution);
    if (!current.printerName().isEmpty()) printer.setPrinterName(current.printerName());
    printer.setPageOrientation(current.pageLayout().orientation());
    printer.setDuplex(current.duplex());
    printer.setPageSize(current.pageLayout().pageSize());
    printer.setColorMode(current.colorMode());
    printer.setCopyCount(qMax(1, setup.copies));
    const int minPage = qMax(1, setup.minPage);
    const int maxPage = qMax(minPage, setup.maxPage);
    if (setup.fromPage >= minPage && setup.toPage >= setup.fromPage && setup.toPage <= maxPage) {
        printer.setFromTo(setup.fromPage, setup.toPage);
    }

    bool accepted = false;
    if (setup.setupForm) {
        QPageSetupDialog dialog(&printer, setup.owner);
        dialog.setWindowTitle(QStringLiteral("Print Setup"));
        accepted = dialog.exec() == QDialog::Accepted;
    } else {
        QPrintDialog dialog(&printer, setup.owner);
        dialog.setOptions(setup.options);
        dialog.setMinMax(minPage, maxPage);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    PrintDialogChoice choice;
    choice.accepted = accepted;
    if (!accepted) return choice;
    choice.printerName = printer.printerName();
    choice.copies = printer.copyCount();
    choice.duplex = printer.duplex();
    choice.orientation = printer.pageLayout().orientation();
    choice.pageSize = printer.pageLayout().pageSize();
    choice.colorMode = printer.colorMode();
    choice.paperSource = printer.paperSource();
    choice.fromPage = printer.fromPage();
    choice.toPage = printer.toPage();
    choice.outputFileName = printer.outputFileName();
    return choice;
}

QStringList QtPrintDialogRunner::installedPrinters() {
    return QPrinterInfo::availablePrinterNames();
}

PrintDialog::PrintDialog(PrintDialogRunner& runner, QPrinter& printer)
    : runner_(runner), printer_(printer) {}

void PrintDialog::setParent(QWidget* owner) { owner_ = owner; }

qint32 PrintDialog::PrintFlag(int index) const {
    if (index < 0 || index >= kFlagCount) throw std::out_of_range("PrintFlag index out of range");
    return flags_[index];
}

void PrintDialog::setPrintFlag(int index, qint32 value) {
    if (index < 0 || index >= kFlagCount) throw std::out_of_range("PrintFlag index out of range");
    flags_[index] = value;
}

bool PrintDialog::ShowPrinterDialog() {
    // Without an owner the dialog is modal for the whole program: every window is
    // disabled while it is open and enabled again afterwards, whatever the outcome.
    QList<QPointer<QWidget>> disabled;
    if (!owner_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isEnabled()) {
                w->setEnabled(false);
                disabled.append(w);
            }
        }
    }

    PrintDialogSetup setup;
    qint32 flags = 0;
    for (qint32 f : flags_) flags |= f;
    setup.setupForm = style_ == 1;
    setup.options = OptionsForFlags(setup.setupForm ? 0 : flags);
    setup.fromPage = fromPage_;
    setup.toPage = toPage_;
    setup.minPage = minPage_;
    setup.maxPage = maxPage_;
    setup.copies = copies_;
    setup.owner = owner_;
    const PrintDialogChoice choice = runner_.run(setup, printer_);

    if (choice.accepted) {
        const QString other = PrinterToSwitchTo(choice.printerName, printer_.printerName(),
                                                runner_.installedPrinters());
        if (!other.isEmpty()) printer_.setPrinterName(other);
        printer_.setCopyCount(qMax(1, choice.copies));
        printer_.setDuplex(choice.duplex);
        printer_.setPageOrientation(choice.orientation);
        printer_.setPageSize(choice.pageSize);
        printer_.setColorMode(choice.colorMode);
        printer_.setPaperSource(choice.paperSource);
        // A file name sends the pages to a PDF file; none sends them to the printer again.
        printer_.setOutputFileName(choice.outputFileName);
        if (choice.fromPage > 0) fromPage_ = qint16(choice.fromPage);
        if (choice.toPage > 0) toPage_ = qint16(choice.toPage);
        copies_ = qint16(choice.copies);
    }
    for (const QPointer<QWidget>& w : disabled) {
        if (w) w->setEnabled(true);
    }
    return choice.accepted;
}

}  // namespace quillon
