#include "reports/shadedheadings.h"

#include <algorithm>
#include <climits>

namespace tbk {

namespace {

// A heading row's own height with a margin above and below.
constexpr int kRowHeight = 150;
constexpr int kMargin = 20;

} // namespace

void shadeHeadings(report::Layout &layout, const HeadingBand &band) {
    int top = INT_MAX;
    int bottom = INT_MIN;
    int left = INT_MAX;
    for (const report::Element &e : std::as_const(layout.header.elements))
        if (e.name.startsWith(QLatin1String("Heading:"))) {
            top = std::min(top, e.rect.top());
            bottom = std::max(bottom, e.rect.top() + kRowHeight);
            left = std::min(left, e.rect.left());
        }
    if (top > bottom)
        return;
    if (band.replacesRule)
        layout.header.elements.removeIf([](const report::Element &e) { return e.kind == report::ElementKind::Line; });
    report::Element shade;
    shade.name = QStringLiteral("HeadingShade");
    shade.kind = report::ElementKind::Box;
    shade.filled = true;
    shade.fill = band.fill;
    left = std::max(0, left - kMargin);
    shade.rect = QRect(left, top - kMargin, layout.area.width() - left, bottom - top + 2 * kMargin);
    layout.header.elements.prepend(shade);
}

} // namespace tbk
