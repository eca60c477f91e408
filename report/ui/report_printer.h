#pragma once
// "Print Report", "Print Graph" and "Print Screen": each checks for a printer, shows the
// print dialog and prints the chosen number of copies on the current printer, one
// complete document per copy. Positions are laid out in twips (1/1440 inch) from an
// origin moved in from the printable area's corner, as the printouts have always been.

#include <QImage>
#include <QPrinter>
#include <functional>

#include "file_dialogs.h"
#include "image_export.h"
#include "messages.h"
#include "print_dialog.h"
#include "session.h"

namespace quillon {

struct PrintEnvironment {
    // Unset: true when the system knows at least one printer.
    std::function<bool()> printerInstalled;
    // Called before each document (copy), numbered from 0; tests point the printer at a
    // PDF file per document here.
    std::function<void(QPrinter&, int document)> beforeDocument;
    // With no printer installed, asks where the pages go as a PDF file instead. Unset:
    // no printer only gets the printer error message.
    FileDialogs* fileDialogs = nullptr;
};

class ReportPrinter {
  public:
    static constexpr int kRowsPerPage = 70;

    ReportPrinter(Session& session, MessageBoxes& messages, PrintDialogRunner& dialog,
                  std::function<QImage()> graphImage, WindowCapture capture,
                  PrintEnvironment environment = {}, QPrinter* printer = nullptr);

    void printReport();
    void printGraph();
    void printWindow();

    // One document each; false when nothing was printed.
    bool PrintReport(QPrinter& printer);
    bool PrintGraph(QPrinter& printer);
    bool PrintScreenPage(QPrinter& printer, const QImage& screen);

    // The title printed at the head of every report page.
    QString ReportTitle() const;

  private:
    enum class Job { Report, Graph, Screen };
    void RunCommand(Job job);
    bool PrintJob(Job job, QPrinter& printer, const QImage& screen);
    // No printer: the pages a printer would get go into a PDF file the user names.
    void PrintToPdfFile(Job job, const QImage& screen);
    bool HasRecordName();

    Session& session_;
    MessageBoxes& messages_;
    PrintDialogRunner& dialog_;
    std::function<QImage()> graphImage_;
    WindowCapture capture_;
    PrintEnvironment env_;
    // The printer given, or null for the program's current printer, which is only made
    // when something is printed: making a printer loads the system's print support.
    QPrinter* printer_;
};

}  // namespace quillon
