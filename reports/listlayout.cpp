#include "reports/listlayout.h"

#include "reports/shadedheadings.h"

#include <algorithm>

namespace tbk {

namespace {

constexpr int kDesignSize = 8;   // the size columnLayout spaces its lines for
constexpr int kTitleToSmallPrint = 110;   // a 14-point title over a 6-point text

bool isHeading(const report::Element &e) { return e.name.startsWith(QLatin1String("Heading:")); }

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
    shadeHeadings(l, {QColor(0xC0, 0xC0, 0xC0), true});
    if (style.datesInHeader)
        moveDatesToHeader(l);
    return l;
}

} // namespace tbk
