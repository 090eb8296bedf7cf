#pragma once
// The column headings of a layout made by columnLayout on a filled band, as the album,
// playlist and song list reports print them.
#include "runtime/report/pagemodel.h"

#include <QColor>

namespace tbk {

struct HeadingBand {
    QColor fill = QColor(224, 224, 224);
    // The band takes the place of the rule under the headings.
    bool replacesRule = false;
};

// A filled box under the heading rows, from the first column to the print area's right edge,
// drawn before them.
void shadeHeadings(report::Layout &layout, const HeadingBand &band = {});

} // namespace tbk
