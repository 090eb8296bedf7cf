// Kept apart so that tests without lists do not link the list control.
#include "support/windows/listtesting.h"

#include "runtime/ui/listcontrol.h"
#include "support/windows/windowtesting.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <optional>

namespace tbk::windowtest {

namespace {

// Where the middle of a shown row is on the list's viewport; null when it is not shown.
std::optional<QPoint> rowPoint(ListControl *list, int row) {
    if (!list || row < 0 || row >= list->listModel()->rowCount())
        return std::nullopt;
    const QRect r = list->visualRect(list->listModel()->index(row, 0));
    if (!r.isValid() || !list->viewport()->rect().contains(r.center()))
        return std::nullopt;
    return r.center();
}

QStyleOptionSlider barOption(const QScrollBar *bar, int position) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal)
        opt.state |= QStyle::State_Horizontal;
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = position;
    opt.sliderValue = position;
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = bar->invertedAppearance();
    return opt;
}

QRect partRect(const QScrollBar *bar, QStyle::SubControl part, int position) {
    const QStyleOptionSlider opt = barOption(bar, position);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

QScrollBar *shownThumbBar(ListControl *list) {
    QScrollBar *bar = list ? list->thumbBar() : nullptr;
    return bar && bar->isVisible() ? bar : nullptr;
}

} // namespace

QStringList listRows(const ListControl *list) {
    QStringList out;
    if (!list)
        return out;
    const int n = list->listModel()->rowCount();
    for (int r = 0; r < n; ++r)
        out << list->rowTexts(r).join(QLatin1Char('|'));
    return out;
}

bool selectRowByKey(ListControl *list, int column, const QString &text) {
    if (!list)
        return false;
    const int n = list->listModel()->rowCount();
    for (int r = 0; r < n; ++r)
        if (list->listModel()->cellText(r, column).trimmed() == text.trimmed())
            return clickRow(list, r);
    return false;
}

bool clickRow(ListControl *list, int row, Qt::KeyboardModifiers modifiers) {
    const auto p = rowPoint(list, row);
    if (!p)
        return false;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, *p);
    return true;
}

bool doubleClickRow(ListControl *list, int row) {
    const auto p = rowPoint(list, row);
    if (!p)
        return false;
    // What the platform sends: a click, then the second press as a double click, then its release.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, *p);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, *p);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, *p);
    return true;
}

bool rightClickRow(ListControl *list, int row) {
    const auto p = rowPoint(list, row);
    if (!p)
        return false;
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, *p);
    return true;
}

void pressListKey(ListControl *list, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(list, key, modifiers);
}

void turnWheel(ListControl *list, int angle) {
    QWidget *viewport = list->viewport();
    const QPoint at = viewport->rect().center();
    QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &wheel);
}

bool dragThumb(ListControl *list, int position) {
    QScrollBar *bar = shownThumbBar(list);
    if (!bar)
        return false;
    const QPoint from = partRect(bar, QStyle::SC_ScrollBarSlider, bar->value()).center();
    QPoint to = from + (partRect(bar, QStyle::SC_ScrollBarSlider, position).center() - from);
    // To reach an end a user pulls past it.
    if (position <= bar->minimum())
        to.ry() -= bar->height();
    else if (position >= bar->maximum())
        to.ry() += bar->height();
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    QTest::mouseMove(bar, (from + to) / 2);
    QTest::mouseMove(bar, to);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, to);
    return true;
}

bool clickThumbBar(ListControl *list, QStyle::SubControl part) {
    QScrollBar *bar = shownThumbBar(list);
    if (!bar)
        return false;
    const QRect r = partRect(bar, part, bar->value());
    if (r.height() <= 0 || r.width() <= 0)
        return false;
    QTest::mouseClick(bar, Qt::LeftButton, {}, r.center());
    return true;
}

QStringList listPopupItems(int thread, ListControl *list) {
    QTest::mouseClick(list->viewport(), Qt::RightButton);
    if (!runUntilIdle())
        return {};
    const QStringList items = menuItems(thread);
    if (!items.isEmpty() && !(dismissMenu(thread) && runUntilIdle()))
        return {};
    return items;
}

bool clickHeader(ListControl *list, int column) {
    QHeaderView *h = list->header();
    const QPoint at(h->sectionViewportPosition(column) + h->sectionSize(column) / 2, h->viewport()->height() / 2);
    QTest::mousePress(h->viewport(), Qt::LeftButton, {}, at);
    if (!runUntilIdle())
        return false;
    QTest::mouseRelease(h->viewport(), Qt::LeftButton, {}, at);
    return runUntilIdle();
}

} // namespace tbk::windowtest
