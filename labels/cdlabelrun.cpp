#include "labels/labelprint.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "reports/reportframe.h"
#include "runtime/expr/binding.h"
#include "runtime/report/preview.h"
#include "runtime/report/report.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/printersetup.h"

#include <QPrinter>

namespace tbk {

namespace {
const char *const kBand = "Label";
const char *const kSavedLabel = "Report:Save::LAB:LabelID";
} // namespace

void previewLabelPage(const LabelPage &page) {
    GlobalRequest = NoRequest;
    GlobalResponse = NoRequest;
    FilesInUse files{&FON, &LAB};
    sharedPrinter().setCopyCount(1);
    report::Report r(page.layout);
    r.setOutput(report::Report::Output::Queue);
    page.makeUp(r);
    page.fill(r);
    r.print(QString::fromLatin1(kBand));
    r.endPage();
    r.nameUnreadablePictures();
    const int answer = report::PreviewReport(r.queue());
    r.setPrintOnClose(answer == RequestCompleted);
    r.close();
    GlobalResponse = answer == RequestCompleted ? RequestCompleted : RequestCancelled;
}

void printLabelPage(const LabelPage &page) {
    sharedPrinter().setCopyCount(1);
    // The label is read again from the file, by the identifier it has now.
    qint64 saved = qint64(LAB.LabelID.value());
    expr::BoundNames names(expr::programScope());
    names.add(expr::programScope().bindNumber(QString::fromLatin1(kSavedLabel), &saved));
    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&FON, &LAB};
    m.key = &LAB.KeyLabelID;
    m.filter = QStringLiteral("LAB:LabelID = ") + QString::fromLatin1(kSavedLabel);
    if (page.quickScan)
        m.quickScan = {&LAB};
    else
        m.noQuickScan = true;
    m.title = page.title;
    m.opened = page.makeUp;
    m.beforePrint = page.fill;
    m.layout = page.layout;
    // The printout carries the report's title; the printer's own is put back after.
    const QString keptName = sharedPrinter().docName();
    sharedPrinter().setDocName(page.title);
    runReport(m);
    sharedPrinter().setDocName(keptName);
}

} // namespace tbk
