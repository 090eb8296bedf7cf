#include "runtime/report/pagemodel.h"

#include "runtime/values/picture.h"

namespace tbk::report {

QString Element::shownText(int page) const {
    if (pageNumber)
        return picture.isEmpty() ? QString::number(page) : formatPicture(picture, page);
    if (picture.isEmpty())
        return text;
    return formatPicture(picture, value);
}

Element *Band::find(const QString &n) {
    for (Element &e : elements)
        if (e.name.compare(n, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
}

Element *Layout::element(const QString &name) {
    for (Band *b : {&header, &footer, &overlay, &totals})
        if (Element *e = b->find(name))
            return e;
    for (Band &b : details)
        if (Element *e = b.find(name))
            return e;
    return nullptr;
}

Band *Layout::detail(const QString &n) {
    for (Band &b : details)
        if (b.name.compare(n, Qt::CaseInsensitive) == 0)
            return &b;
    return nullptr;
}

QSize Layout::paperMils() const {
    const QSizeF inches = paper.size(QPageSize::Inch);
    QSize mils(qRound(inches.width() * 1000), qRound(inches.height() * 1000));
    return orientation == QPageLayout::Landscape ? mils.transposed() : mils;
}

} // namespace tbk::report
