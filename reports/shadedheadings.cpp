#include "reports/shadedheadings.h"

#include <algorithm>
#include <climits>

namespace tbk {

namespace {

// A heading row's own height with a margin above and below.
constexpr int kRowHeight = 150;
constexpr int kMargin = 20;

} // namespace

void shadeHeadings(report::Layout &layout) {
    int top = INT_MAX;
    int bottom = INT_MIN;
    for (const report::Element &e : layout.header.elements)
        if (e.name.startsWith(QLatin1String("Heading:"))) {
            top = std::min(top, e.rect.top());
            bottom = std::max(bottom, e.rect.top() + kRowHeight);
        }
    if (top > bottom)
        return;
    report::Element shade;
    shade.name = QStringLiteral("HeadingShade");
    shade.kind = report::ElementKind::Box;
    shade.filled = true;
    shade.rect = QRect(0, top - kMargin, layout.area.width(), bottom - top + 2 * kMargin);
    layout.header.elements.prepend(shade);
}

} // namespace tbk
