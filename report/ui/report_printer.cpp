#include "report_printer.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinterInfo>

namespace quillon {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerScreenPixel = 15;  // 96 dots per inch
constexpr int kTabColumns[RecordTable::kColumns] = {20, 35, 60, 85, 105};
constexpr int kCharsAfterLastTab = 8;
const char kFontFamily[] = "DejaVu Sans";

// Device units per twip on this printer.
double TwipScale(const QPrinter& printer) { return printer.resolution() / kTwipsPerInch; }

// Size of the printable area in device units.
QSizeF Printable(const QPrinter& printer) { return printer.pageRect(QPrinter::DevicePixel).size(); }

// Scales a layout whose content reaches `extent` (device units, offset included) down
// just enough to fit the printable area; a layout that fits keeps its own size.
void FitLayout(QPainter& p, const QPrinter& printer, const QSizeF& extent) {
    const QSizeF page = Printable(printer);
    const double s =
        qMin(1.0, qMin(page.width() / extent.width(), page.height() / extent.height()));
    p.scale(s, s);
}

void PrepareA4(QPrinter& printer, QPageLayout::Orientation orientation) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(orientation);
    printer.setFullPage(false);
}

}  // namespace

ReportPrinter::ReportPrinter(Session& session, MessageBoxes& messages, PrintDialogRunner& dialog,
                             std::function<QImage()> graphImage, WindowCapture capture,
                             PrintEnvironment environment, QPrinter* printer)
    : session_(session),
      messages_(messages),
      dialog_(dialog),
      graphImage_(std::move(graphImage)),
      capture_(std::move(capture)),
      env_(std::move(environment)),
      printer_(printer) {}

void ReportPrinter::printReport() { RunCommand(Job::Report); }
void ReportPrinter::printGraph() { RunCommand(Job::Graph); }
void ReportPrinter::printWindow() { RunCommand(Job::Screen); }

void ReportPrinter::RunCommand(Job job) {
    session_.rec.state = kRunCommand;
    const bool installed = env_.printerInstalled ? env_.printerInstalled()
                                                 : !QPrinterInfo::availablePrinters().isEmpty();
    if (!installed && !env_.fileDialogs) {
        messages_.show(
            QStringLiteral("Getting printer error. Make sure the printer is set up correctly."),
            QStringLiteral("Printer set up "), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    if (job == Job::Report && session_.table.cell(1, RecordTable::ColDate).isEmpty()) {
        messages_.show(QStringLiteral("No report found. Please create a report first."), {},
                       MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    QImage screen;
    if (job == Job::Screen) screen = CaptureWindow(capture_);
    if (!installed) {
        PrintToPdfFile(job, screen);
        return;
    }
    QPrinter& printer = printer_ ? *printer_ : CurrentPrinter();
    PrintDialog dlg(dialog_, printer);
    // Every choice but a page range and a selection; printing to a PDF file included.
    dlg.setPrintFlag(1, 0);
    dlg.setPrintFlag(3, kPdNoPageNums);
    dlg.setPrintFlag(4, kPdNoSelection);
    dlg.setMinPage(1);
    dlg.setMaxPage(999);
    dlg.setFromPage(1);
    dlg.setToPage(20);

    if (dlg.ShowPrinterDialog()) {
        const int printerCopies = printer.copyCount();
        // Each copy is a document of its own, so the printer itself prints each once; a
        // PDF file holds one (a second would only replace it).
        const int documents =
            printer.outputFileName().isEmpty() ? dlg.Copies() : qMin<int>(dlg.Copies(), 1);
        for (int i = 0; i < documents; ++i) {
            if (env_.beforeDocument) env_.beforeDocument(printer, i);
            printer.setCopyCount(1);
            if (!PrintJob(job, printer, screen)) break;
        }
        printer.setCopyCount(printerCopies);
    }
    dlg.Free();
}

bool ReportPrinter::PrintJob(Job job, QPrinter& printer, const QImage& screen) {
    switch (job) {
        case Job::Report:
            return PrintReport(printer);
        case Job::Graph:
            return PrintGraph(printer);
        case Job::Screen:
            return PrintScreenPage(printer, screen);
    }
    return false;
}

void ReportPrinter::PrintToPdfFile(Job job, const QImage& screen) {
    FileDialogRequest request;
    request.title = QStringLiteral("No printer is set up: save as a PDF file");
    request.filters = {QStringLiteral("PDF File (*.pdf)")};
    request.defaultSuffix = QStringLiteral("pdf");
    request.proposedName = session_.rec.recordName.trimmed();
    if (job == Job::Graph && !request.proposedName.isEmpty())
        request.proposedName += QStringLiteral("_P") + session_.graph.pageBox;
    const QString path = env_.fileDialogs->getSaveFileName(request).path;
    if (path.isEmpty()) return;

    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(path);
    if (PrintJob(job, pdf, screen)) {
        messages_.show(QStringLiteral("File Saved ok!"), {}, MsgButtons::Ok, MsgIcon::None);
    } else if (job == Job::Screen || !session_.rec.recordName.isEmpty()) {
        // Not the refusal for a missing record name (already told): the file failed.
        messages_.show(QStringLiteral("The PDF file could not be written:\n") + path,
                       QStringLiteral("Print"), MsgButtons::Ok, MsgIcon::Critical);
    }
}

bool ReportPrinter::HasRecordName() {
    if (!session_.rec.recordName.isEmpty()) return true;
    messages_.show(QStringLiteral("Not any record to print!"), {}, MsgButtons::Ok, MsgIcon::None);
    return false;
}

QString ReportPrinter::ReportTitle() const {
    if (ShowsOpenedReport(session_)) return session_.rec.fileTitle;
    if (session_.settings.showGraphTitle == 1) return session_.settings.graphTitle;
    return QStringLiteral("     ");
}

bool ReportPrinter::PrintReport(QPrinter& printer) {
    if (!HasRecordName()) return false;
    PrepareA4(printer, QPageLayout::Portrait);
    QPainter p;
    if (!p.begin(&printer)) return false;
    // All lengths below are device units; k turns twips into them.
    const double k = TwipScale(printer);
    const double left = 1000 * k, top = 1200 * k;
    const QSizeF page = Printable(printer);
    const double width = page.width() - left;

    // The largest font size whose last column still fits across the page.
    QFont font(QString::fromLatin1(kFontFamily));
    double charW = 0;
    for (double pt = 9; pt >= 5; pt -= 0.5) {
        font.setPointSizeF(pt);
        charW = QFontMetricsF(font, &printer).averageCharWidth();
        if ((kTabColumns[4] - 1 + kCharsAfterLastTab) * charW <= width) break;
    }
    p.setFont(font);
    const QFontMetricsF fm(font, &printer);
    const double lineH = qMin(fm.lineSpacing(), (page.height() - top) / (kRowsPerPage + 2));
    p.translate(left, top);
    auto text = [&](double x, double y, const QString& s) {
        p.drawText(QPointF(x, y + fm.ascent()), s);
    };
    auto tabX = [&](int col) { return (kTabColumns[col] - 1) * charW; };

    const QString fileName = session_.rec.recordName + QStringLiteral(".csv");
    const QString title = ReportTitle();
    const RecordTable& table = session_.table;
    double y = 0;
    int pageNo = 0;

    auto printRow = [&](int row) {
        for (int col = 0; col < RecordTable::kColumns; ++col) {
            const double x = tabX(col);
            const double end = col + 1 < RecordTable::kColumns ? tabX(col + 1) - charW : width;
            text(x, y, fm.elidedText(table.cell(row, col), Qt::ElideRight, end - x));
        }
        y += lineH;
    };
    auto printHeader = [&] {
        ++pageNo;
        y = 0;
        // The title ends before the file name starts; a long file name gives way to the
        // page number.
        text(3000 * k, y, fm.elidedText(title, Qt::ElideRight, (5500 - 3000) * k - charW));
        const QString lead = QStringLiteral("File Name : ");
        const QString pageText = QStringLiteral("          Page : ") + QString::number(pageNo);
        const double room =
            width - 5500 * k - fm.horizontalAdvance(lead) - fm.horizontalAdvance(pageText);
        text(5500 * k, y,
             lead + fm.elidedText(fileName, Qt::ElideMiddle, qMax(room, charW)) + pageText);
        y += lineH;
        printRow(0);
    };

    printHeader();
    // The records only: the table's empty row after them would start a page of its own
    // after exactly 70 records.
    for (int row = 1; row <= table.recordCount(); ++row) {
        if (row >= kRowsPerPage + 1 && (row - 1) % kRowsPerPage == 0) {
            if (!printer.newPage()) return false;
            printHeader();
        }
        printRow(row);
    }
    return p.end();
}

bool ReportPrinter::PrintGraph(QPrinter& printer) {
    if (!HasRecordName()) return false;
    PrepareA4(printer, QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const double k = TwipScale(printer);
    QFont font(QString::fromLatin1(kFontFamily));
    font.setPointSizeF(10);
    const QFontMetricsF fm(font, &printer);
    const double left = 2000 * k, top = 2600 * k;
    FitLayout(p, printer, QSizeF(left + 14010 * k, top + 5650 * k + fm.lineSpacing()));
    p.translate(left, top);

    const QImage graph = graphImage_ ? graphImage_() : QImage();
    if (!graph.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(0, 0, 13400 * k, 4500 * k), graph);
    }
    p.setPen(QPen(Qt::black, 15 * k));
    const QPointF topLeft(-500 * k, -400 * k), topRight(14000 * k, -400 * k);
    const QPointF bottomLeft(-500 * k, 5500 * k), bottomRight(14000 * k, 5500 * k);
    p.drawLine(topLeft, topRight);
    p.drawLine(topLeft, bottomLeft);
    p.drawLine(topRight, bottomRight);
    p.drawLine(bottomLeft, bottomRight);

    p.setFont(font);
    const QString line = QStringLiteral("File Name : ") + session_.rec.recordName +
                         QStringLiteral(".csv        Page : ") + session_.graph.pageBox;
    p.drawText(QPointF(-500 * k, 5650 * k + fm.ascent()), line);
    return p.end();
}

bool ReportPrinter::PrintScreenPage(QPrinter& printer, const QImage& screen) {
    PrepareA4(printer, QPageLayout::Landscape);
    QPainter p;
    if (!p.begin(&printer)) return false;
    const double k = TwipScale(printer);
    const double left = 2100 * k, top = 1400 * k;
    if (!screen.isNull()) {
        // The capture at its size on screen; a window wider than the page is scaled to fit.
        const QSizeF size(screen.width() * kTwipsPerScreenPixel * k,
                          screen.height() * kTwipsPerScreenPixel * k);
        FitLayout(p, printer, QSizeF(left + size.width(), top + size.height()));
        p.translate(left, top);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(QPointF(0, 0), size), screen);
    }
    return p.end();
}

}  // namespace quillon
