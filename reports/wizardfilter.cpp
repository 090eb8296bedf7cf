#include "reports/wizardfilter.h"

#include "impex/queryfieldlists.h"
#include "runtime/querywizard/querywizard.h"

namespace tbk {

namespace {

const char *const kQueryName = "SONGS";

} // namespace

WizardFilter::WizardFilter(const QString &fieldList) {
    bool failed = false;
    prepareQueryFields(queue_, fieldList, QString::fromLatin1(kQueryName), failed);
}

QString WizardFilter::ask() {
    // The reports pass 1 where the song lists pass 0; the response is not theirs to read.
    QW_WIZARD(queue_, QString::fromLatin1(kQueryName), filter_, {0, 1, 0, 1, 0, 0, 0, 0, 0});
    return filter_;
}

} // namespace tbk
