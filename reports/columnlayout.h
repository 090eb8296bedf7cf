#pragma once
// The list layout the song reports share: the title at the top of each page with the column
// headings under it, a detail band of one or two lines, and a footer with the page number at
// its right and, when asked, the run's date at its left.
#include "runtime/report/pagemodel.h"

#include <QString>

#include <vector>

namespace tbk {

struct ReportColumn {
    int line = 1;       // 1 or 2
    QString heading;
    // The element's name: a field ("MUS:Title") takes its value by itself; any other name is
    // set by the member.
    QString field;
    QString picture;
    int x = 0;          // mils from the band's left edge
};

// Each column is cut where the next one on its line begins.
report::Layout columnLayout(const QString &title, const std::vector<ReportColumn> &columns, bool runDate);

} // namespace tbk
