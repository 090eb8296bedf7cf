#include "reports/columnlayout.h"

#include "runtime/values/dates.h"

#include <algorithm>

namespace tbk {

namespace {

constexpr int kLineHeight = 150;
constexpr int kColumnGap = 40;
constexpr int kTitleHeight = 330;
constexpr int kFooterHeight = 250;

report::Element text(const QString &name, int x, int y, int width = 0) {
    report::Element e;
    e.name = name;
    e.rect = QRect(x, y, width, 0);
    return e;
}

} // namespace

report::Layout columnLayout(const QString &title, const std::vector<ReportColumn> &columns, bool runDate) {
    report::Layout l;
    l.font.face = QStringLiteral("Arial");
    l.font.size = 8;
    const int lines = std::any_of(columns.begin(), columns.end(), [](const ReportColumn &c) { return c.line > 1; }) ? 2 : 1;

    report::Element heading = text(QStringLiteral("ReportTitle"), 31, 0);
    heading.text = title;
    heading.ownFont = true;
    heading.font = l.font;
    heading.font.size = 14;
    heading.font.weight = 700;
    l.header.elements << heading;

    report::Band detail;
    detail.name = QStringLiteral("Detail");
    detail.height = lines * kLineHeight + 20;
    for (const ReportColumn &c : columns) {
        // Up to the next column of its line, or to the print area's edge.
        int end = l.area.width();
        for (const ReportColumn &o : columns)
            if (o.line == c.line && o.x > c.x)
                end = std::min(end, o.x);
        const int width = end - c.x - (end < l.area.width() ? kColumnGap : 0);
        const int y = (c.line - 1) * kLineHeight;
        report::Element h = text(QStringLiteral("Heading:") + c.field, c.x, kTitleHeight + y, width);
        h.text = c.heading;
        h.ownFont = true;
        h.font = l.font;
        h.font.weight = 700;
        l.header.elements << h;
        report::Element f = text(c.field, c.x, y, width);
        f.picture = c.picture;
        detail.elements << f;
    }
    l.header.height = kTitleHeight + lines * kLineHeight + 60;
    report::Element rule;
    rule.kind = report::ElementKind::Line;
    rule.rect = QRect(0, l.header.height - 40, l.area.width(), 0);
    l.header.elements << rule;
    l.details << detail;

    l.footer.height = kFooterHeight;
    report::Element page = text(QStringLiteral("PageNumber"), l.area.width(), 80);
    page.pageNumber = true;
    page.picture = QStringLiteral("@pPage <<<#p");
    page.align = report::Align::EndsAt;
    l.footer.elements << page;
    if (runDate) {
        report::Element date = text(QStringLiteral("RunDate"), 31, 80);
        date.picture = QStringLiteral("@d4");
        date.value = today();
        l.footer.elements << date;
    }
    return l;
}

} // namespace tbk
