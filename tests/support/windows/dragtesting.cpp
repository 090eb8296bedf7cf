#include "support/windows/windowtesting.h"

#include "runtime/ui/dragdrop.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace tbk::windowtest {

namespace {

// The deepest widget at the point, and the point in its coordinates.
std::pair<QWidget *, QPoint> under(QWidget *w, QPoint at) {
    if (at.isNull())
        at = w->rect().center();
    QWidget *child = w->childAt(at);
    if (!child)
        return {w, at};
    return {child, child->mapFrom(w, at)};
}

void moveTo(QWidget *over, QPoint at) {
    auto [widget, local] = under(over, at);
    const QPoint global = widget->mapToGlobal(local);
    QWidget *receiver = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : widget;
    QTest::mouseMove(receiver, receiver->mapFromGlobal(global));
}

} // namespace

bool beginDrag(QWidget *from, QPoint at) {
    auto [widget, local] = under(from, at);
    QTest::mousePress(widget, Qt::LeftButton, {}, local);
    const int distance = QApplication::startDragDistance();
    // Short of the distance first: that alone starts nothing.
    QTest::mouseMove(widget, local + QPoint(distance / 2, 0));
    QTest::mouseMove(widget, local + QPoint(distance + 1, 0));
    return dragging();
}

void dragOver(QWidget *to, QPoint at) {
    moveTo(to, at);
    moveTo(to, at);
}

void dropOn(QWidget *to, QPoint at) {
    moveTo(to, at);
    auto [widget, local] = under(to, at);
    const QPoint global = widget->mapToGlobal(local);
    QWidget *receiver = QWidget::mouseGrabber() ? QWidget::mouseGrabber() : widget;
    QTest::mouseRelease(receiver, Qt::LeftButton, {}, receiver->mapFromGlobal(global));
}

void pressEscape() {
    QWidget *receiver = QWidget::keyboardGrabber() ? QWidget::keyboardGrabber() : QApplication::focusWidget();
    if (receiver)
        QTest::keyClick(receiver, Qt::Key_Escape);
}

bool dragAndDrop(QWidget *from, QWidget *to, QPoint fromAt, QPoint toAt) {
    if (!beginDrag(from, fromAt)) {
        dropOn(from, fromAt);
        return false;
    }
    dragOver(to, toAt);
    dropOn(to, toAt);
    return true;
}

} // namespace tbk::windowtest
