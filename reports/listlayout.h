#pragma once
// The list layout of the song lists by media, album, category and beats per minute, the
// paper savers and the DJ log: the columns of columnLayout in the report's own font, with the
// column headings on a silver box as wide as the columns.
#include "reports/columnlayout.h"

namespace tbk {

struct ListStyle {
    QString face = QStringLiteral("MS Sans Serif");
    int size = 8;               // points
    // The run date at the footer's left; else none in the footer.
    bool runDate = true;
    // The run date and the page number in the page header, on the title's line.
    bool datesInHeader = false;
};

report::Layout listLayout(const QString &title, const std::vector<ReportColumn> &columns,
                          const ListStyle &style = {});

} // namespace tbk
