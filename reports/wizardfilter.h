#pragma once
// The query wizard in place of the criteria window, for the reports that let the user narrow
// their songs: the field queue is prepared when the report starts, and the wizard is run once
// the report's files are open; the filter text it leaves (blank: every song) becomes the
// view's. Each run holds its own, so two runs at once keep their own queue and filter.
#include "runtime/querywizard/queryfields.h"

#include <QString>

namespace tbk {

class WizardFilter {
public:
    // A list the wizard refuses is reported to the user, and the report goes on.
    explicit WizardFilter(const QString &fieldList);
    // Whatever the user does in the wizard, the filter text as the wizard leaves it.
    QString ask();

private:
    QueryFieldQueue queue_;
    QString filter_;
};

} // namespace tbk
