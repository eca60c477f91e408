// The printing module's entry point: the print commands on Qt Print Support, built as
// quillon-printing.so, which the program loads on the first print command
// (PrintingModule).
#include <QtGlobal>

#include "print_dialog.h"
#include "printing.h"
#include "report_printer.h"

namespace quillon {
namespace {

class ModulePrinting final : public Printing {
  public:
    explicit ModulePrinting(const PrintingContext& c)
        : printer_(*c.session, *c.messages, dialog_, c.graphImage, c.capture, Environment(c)) {}
    void printReport() override { printer_.printReport(); }
    void printGraph() override { printer_.printGraph(); }
    void printWindow() override { printer_.printWindow(); }

  private:
    static PrintEnvironment Environment(const PrintingContext& c) {
        PrintEnvironment e;
        e.fileDialogs = c.fileDialogs;
        return e;
    }

    QtPrintDialogRunner dialog_;
    ReportPrinter printer_;
};

}  // namespace
}  // namespace quillon

extern "C" Q_DECL_EXPORT quillon::Printing* quillon_create_printing(
    const quillon::PrintingContext* context) {
    if (!context || !context->session || !context->messages) return nullptr;
    return new quillon::ModulePrinting(*context);
}
