#include "runtime/report/printing.h"

#include "runtime/report/render.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/printersetup.h"

#include <QFileInfo>

namespace tbk::report {

PagePrinter::PagePrinter(QPrinter &printer) : printer_(printer) {}

PagePrinter::~PagePrinter() { end(); }

bool PagePrinter::begin(const QPageSize &paper, QPageLayout::Orientation orientation) {
    keptFile_ = printer_.outputFileName();
    keptLayout_ = printer_.pageLayout();
    keptFullPage_ = printer_.fullPage();
    const bool pdf = printer_.outputFormat() == QPrinter::PdfFormat;
    if (pdf && keptFile_.isEmpty()) {
        const QString file = fileDialog(QStringLiteral("Print to File (PDF)"), QStringLiteral("report.pdf"),
                                        QStringLiteral("PDF files|*.pdf"), FileDialogMode::Save);
        if (file.isEmpty())
            return false;
        printer_.setOutputFileName(file);
    }
    // Positions are taken from the paper's corner, never from a printer's margins.
    printer_.setFullPage(true);
    if (pdf)
        printer_.setPageSize(paper);
    printer_.setPageOrientation(orientation);
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(&printer_)) {
        painter_.reset();
        const QString target = pdf ? QFileInfo(printer_.outputFileName()).absoluteFilePath() : printer_.printerName();
        end();
        message(pdf ? QStringLiteral("The file %1 could not be written.").arg(target)
                    : QStringLiteral("The printer %1 could not be used.").arg(target),
                QStringLiteral("Printing Error"), MessageIcon::Exclamation);
        return false;
    }
    firstPage_ = true;
    return true;
}

bool PagePrinter::begin(const Page &first) {
    const QSize p = first.paper;
    const bool landscape = p.width() > p.height();
    const QSizeF inches(std::min(p.width(), p.height()) / 1000.0, std::max(p.width(), p.height()) / 1000.0);
    return begin(QPageSize(inches, QPageSize::Inch, QString(), QPageSize::FuzzyMatch),
                 landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

bool PagePrinter::printPage(const Page &page) {
    if (!painter_)
        return false;
    if (!firstPage_ && !printer_.newPage())
        return false;
    firstPage_ = false;
    drawPage(*painter_, page, printer_.resolution() / 1000.0);
    return true;
}

bool PagePrinter::end() {
    bool ok = true;
    if (painter_) {
        ok = painter_->end() && printer_.printerState() != QPrinter::Error;
        painter_.reset();
    }
    if (printer_.outputFileName() != keptFile_)
        printer_.setOutputFileName(keptFile_);
    if (!keptLayout_.isValid())
        return ok;
    printer_.setPageLayout(keptLayout_);
    printer_.setFullPage(keptFullPage_);
    keptLayout_ = QPageLayout();
    return ok;
}

int SUPPORTED(int property) {
    if (property != kPrinterCopiesProperty)
        return 0;
    return sharedPrinter().supportsMultipleCopies() ? 1 : 0;
}

bool HANDLECOPIES(const PreviewImageQueue &queue, int copies, bool collate) {
    if (queue.isEmpty())
        return false;
    QPrinter &printer = sharedPrinter();
    const int keptCopies = printer.copyCount();
    // We make the copies ourselves; the printer must not multiply them again.
    printer.setCopyCount(1);
    PagePrinter out(printer);
    bool ok = out.begin(queue.page(1));
    const int n = std::max(1, copies);
    const int pages = queue.count();
    for (int i = 0; ok && i < n * pages; ++i) {
        const int number = collate ? i % pages + 1 : i / n + 1;
        ok = out.printPage(queue.page(number));
    }
    ok = out.end() && ok;
    printer.setCopyCount(keptCopies);
    return ok;
}

} // namespace tbk::report
