#include "printing.h"

#include <QLibrary>

namespace quillon {

PrintingModule::PrintingModule(QString modulePath, PrintingContext context)
    : path_(std::move(modulePath)), context_(std::move(context)) {}

PrintingModule::~PrintingModule() = default;

Printing* PrintingModule::printing() {
    if (printing_) return printing_.get();
    // Loaded once and kept for the rest of the run; a failed load is tried again on the
    // next print command, after the user has been told.
    QLibrary module(path_);
    auto create = reinterpret_cast<CreatePrinting>(module.resolve(kCreatePrintingSymbol));
    if (create) printing_.reset(create(&context_));
    if (!printing_ && context_.messages) {
        context_.messages->show(
            QStringLiteral("Printing is not available: %1 could not be loaded.\n%2")
                .arg(path_, module.errorString()),
            QStringLiteral("Print"), MsgButtons::Ok, MsgIcon::Critical);
    }
    return printing_.get();
}

void PrintingModule::printReport() {
    if (Printing* p = printing()) p->printReport();
}

void PrintingModule::printGraph() {
    if (Printing* p = printing()) p->printGraph();
}

void PrintingModule::printWindow() {
    if (Printing* p = printing()) p->printWindow();
}

}  // namespace quillon
