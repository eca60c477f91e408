#pragma once
// The three print commands as the program reaches them. Printing itself (Qt Print
// Support, and through it the system's print service) is a module of its own,
// quillon-printing.so beside the program, loaded on the first print command: a run that
// prints nothing never loads the print libraries.

#include <QImage>
#include <QString>
#include <functional>
#include <memory>

#include "file_dialogs.h"
#include "image_export.h"
#include "messages.h"
#include "session.h"

namespace quillon {

class Printing {
  public:
    virtual ~Printing() = default;
    virtual void printReport() = 0;
    virtual void printGraph() = 0;
    virtual void printWindow() = 0;
};

// What printing works with; the module keeps a copy.
struct PrintingContext {
    Session* session = nullptr;
    MessageBoxes* messages = nullptr;
    // With no printer installed, asks where the pages go as a PDF file instead.
    FileDialogs* fileDialogs = nullptr;
    std::function<QImage()> graphImage;
    WindowCapture capture;
};

// The module's entry point: makes the printing that serves `context`.
using CreatePrinting = Printing* (*)(const PrintingContext* context);
inline constexpr char kCreatePrintingSymbol[] = "quillon_create_printing";

class PrintingModule final : public Printing {
  public:
    PrintingModule(QString modulePath, PrintingContext context);
    ~PrintingModule() override;
    void printReport() override;
    void printGraph() override;
    void printWindow() override;

  private:
    Printing* printing();  // loads the module on first use; null (and told) without it

    QString path_;
    PrintingContext context_;
    std::unique_ptr<Printing> printing_;
};

}  // namespace quillon
