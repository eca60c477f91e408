#pragma once
// PrintDialog: the print dialog the three print commands use. It presets the dialog from the
// program's current printer and, when the user confirms, makes the chosen printer the
// current one with the chosen settings. The dialog itself runs behind PrintDialogRunner,
// so tests answer it with scripted choices instead of a blocking window.

#include <QAbstractPrintDialog>
#include <QPageSize>
#include <QPointer>
#include <QPrinter>
#include <QStringList>
#include <QVector>
#include <functional>

class QWidget;

namespace quillon {

// The program-wide printer all printing draws on.
QPrinter& CurrentPrinter();

// Option flag values of the print dialog's option word.
enum PrintDialogFlag : qint32 {
    kPdNoSelection = 0x4,
    kPdNoPageNums = 0x8,
    kPdPrintSetup = 0x40,
    kPdDisablePrintToFile = 0x80000,
    kPdHidePrintToFile = 0x100000,
    kPdNoCurrentPage = 0x800000,
};

struct PrintDialogSetup {
    QAbstractPrintDialog::PrintDialogOptions options;
    bool setupForm = false;  // printer set-up form instead of the print form
    int fromPage = 0, toPage = 0, minPage = 1, maxPage = 9999, copies = 0;
    QWidget* owner = nullptr;
};

// What the user chose; only meaningful when accepted.
struct PrintDialogChoice {
    bool accepted = false;
    QString printerName;
    int copies = 1;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize{QPageSize::A4};
    QPrinter::ColorMode colorMode = QPrinter::Color;
    QPrinter::PaperSource paperSource = QPrinter::Auto;
    int fromPage = 0, toPage = 0;
    QString outputFileName;  // "Print to File (PDF)": the file chosen; "" for a printer
};

class PrintDialogRunner {
  public:
    virtual ~PrintDialogRunner() = default;
    // Shows the dialog preset from `current` and returns the user's choice.
    virtual PrintDialogChoice run(const PrintDialogSetup& setup, const QPrinter& current) = 0;
    // Names of the installed printers.
    virtual QStringList installedPrinters() = 0;
};

// The real dialog: QPrintDialog, or QPageSetupDialog for the set-up form.
class QtPrintDialogRunner final : public PrintDialogRunner {
  public:
    PrintDialogChoice run(const PrintDialogSetup& setup, const QPrinter& current) override;
    QStringList installedPrinters() override;
};

// Test double: answers from a queue (no answer = cancel) and keeps what it was asked.
class ScriptedPrintDialogRunner final : public PrintDialogRunner {
  public:
    PrintDialogChoice run(const PrintDialogSetup& setup, const QPrinter&) override {
        setups.push_back(setup);
        if (onRun) onRun();
        return choices.isEmpty() ? PrintDialogChoice{} : choices.takeFirst();
    }
    QStringList installedPrinters() override { return printers; }

    QVector<PrintDialogChoice> choices;
    QVector<PrintDialogSetup> setups;
    QStringList printers;
    std::function<void()> onRun;
};

// Dialog options for an option word: every choice offered unless a flag hides it.
QAbstractPrintDialog::PrintDialogOptions OptionsForFlags(qint32 flags);
// The installed printer to switch to for a chosen name (compared in upper case), or ""
// when the chosen printer is already the current one or is not installed.
QString PrinterToSwitchTo(const QString& chosen, const QString& current,
                          const QStringList& installed);

class PrintDialog {
  public:
    static constexpr int kFlagCount = 21;

    explicit PrintDialog(PrintDialogRunner& runner, QPrinter& printer = CurrentPrinter());

    void setParent(QWidget* owner);
    qint32 Style() const { return style_; }
    void setStyle(qint32 style) { style_ = style; }
    // Index 0..20; any other index throws std::out_of_range.
    qint32 PrintFlag(int index) const;
    void setPrintFlag(int index, qint32 value);
    qint16 FromPage() const { return fromPage_; }
    void setFromPage(qint16 v) { fromPage_ = v; }
    qint16 ToPage() const { return toPage_; }
    void setToPage(qint16 v) { toPage_ = v; }
    qint16 MinPage() const { return minPage_; }
    void setMinPage(qint16 v) { minPage_ = v; }
    qint16 MaxPage() const { return maxPage_; }
    void setMaxPage(qint16 v) { maxPage_ = v; }
    qint16 Copies() const { return copies_; }
    void setCopies(qint16 v) { copies_ = v; }

    // True when the user confirmed; the printer then carries the chosen settings.
    bool ShowPrinterDialog();
    // Ends the dialog object's use. It holds nothing between dialogs, so this does nothing.
    void Free() {}

  private:
    PrintDialogRunner& runner_;
    QPrinter& printer_;
    QPointer<QWidget> owner_;
    qint32 style_ = 0;
    qint32 flags_[kFlagCount] = {};
    qint16 fromPage_ = 0, toPage_ = 0, minPage_ = 1, maxPage_ = 9999, copies_ = 0;
};

}  // namespace quillon
