#include "reports/listlayout.h"

#include <algorithm>
#include <climits>

namespace tbk {

namespace {

const QColor kSilver(0xC0, 0xC0, 0xC0);
constexpr int kDesignSize = 8;   // the size columnLayout spaces its lines for
constexpr int kHeadingRow = 150;
constexpr int kBoxMargin = 20;
constexpr int kTitleToSmallPrint = 110;   // a 14-point title over a 6-point text

bool isHeading(const report::Element &e) { return e.name.startsWith(QLatin1String("Heading:")); }

// The box under the heading rows, from the first column to the print area's edge.
void silverHeadings(report::Layout &l) {
    int top = INT_MAX, bottom = INT_MIN, left = INT_MAX;
    for (const report::Element &e : std::as_const(l.header.elements))
        if (isHeading(e)) {
            top = std::min(top, e.rect.top());
            bottom = std::max(bottom, e.rect.top() + kHeadingRow);
            left = std::min(left, e.rect.left());
        }
    if (top > bottom)
        return;
    // The box stands where columnLayout drew its rule.
    l.header.elements.removeIf([](const report::Element &e) { return e.kind == report::ElementKind::Line; });
    report::Element box;
    box.name = QStringLiteral("HeadingBox");
    box.kind = report::ElementKind::Box;
    box.filled = true;
    box.fill = kSilver;
    left = std::max(0, left - kBoxMargin);
    box.rect = QRect(left, top - kBoxMargin, l.area.width() - left, bottom - top + 2 * kBoxMargin);
    l.header.elements.prepend(box);
}

// Footer elements moved up to the title's line, their foot level with the title's; the footer
// then takes no room.
void moveDatesToHeader(report::Layout &l) {
    const report::Element *title = l.element(QStringLiteral("ReportTitle"));
    const int y = title ? title->rect.top() + kTitleToSmallPrint : 0;
    for (report::Element e : std::as_const(l.footer.elements)) {
        e.rect.moveTop(y);
        if (e.name == QLatin1String("RunDate"))
            e.rect.moveLeft(l.area.width() / 2);
        l.header.elements << e;
    }
    l.footer.elements.clear();
    l.footer.height = 0;
}

} // namespace

report::Layout listLayout(const QString &title, const std::vector<ReportColumn> &columns, const ListStyle &style) {
    report::Layout l = columnLayout(title, columns, style.runDate);
    l.font.face = style.face;
    l.font.size = style.size;
    for (report::Element &e : l.header.elements)
        if (e.ownFont) {
            e.font.face = style.face;
            if (isHeading(e))
                e.font.size = style.size;
        }
    // Smaller print takes less room a line.
    if (style.size < kDesignSize)
        for (report::Band &b : l.details) {
            b.height = b.height * style.size / kDesignSize;
            for (report::Element &e : b.elements)
                e.rect.moveTop(e.rect.top() * style.size / kDesignSize);
        }
    silverHeadings(l);
    if (style.datesInHeader)
        moveDatesToHeader(l);
    return l;
}

} // namespace tbk
