#pragma once
// Pages onto paper: the run's shared printer, or a PDF file when it prints to a file.
#include "runtime/report/pagemodel.h"

#include <QPainter>
#include <QPrinter>

#include <memory>

namespace tbk::report {

// The copies property asked of SUPPORTED.
constexpr int kPrinterCopiesProperty = 31493;

// One printout on a printer. A PDF printer without a file asks for one with the save dialog
// each time (Cancel prints nothing). A printout that cannot be started shows a message naming
// the file or the printer. The printer's own settings are put back when the printout ends.
class PagePrinter {
public:
    explicit PagePrinter(QPrinter &printer);
    ~PagePrinter();
    PagePrinter(const PagePrinter &) = delete;
    PagePrinter &operator=(const PagePrinter &) = delete;

    // False when cancelled or failed; no page prints then.
    bool begin(const QPageSize &paper, QPageLayout::Orientation orientation);
    // The paper and orientation of the page.
    bool begin(const Page &first);
    bool printPage(const Page &page);
    // False when the printer reported a failure while printing.
    bool end();
    bool started() const { return painter_ != nullptr; }

private:
    QPrinter &printer_;
    std::unique_ptr<QPainter> painter_;
    bool firstPage_ = true;
    QString keptFile_;
    QPageLayout keptLayout_;
    bool keptFullPage_ = false;
};

// 1 when the shared printer makes copies itself (asked with the copies property), else 0.
int SUPPORTED(int property);
// Prints the queued pages `copies` times: the whole run again and again when collated, else
// each page that many times over. False when nothing (or not all) was printed.
bool HANDLECOPIES(const PreviewImageQueue &queue, int copies, bool collate = true);

} // namespace tbk::report
