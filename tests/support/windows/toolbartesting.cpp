#include "support/windows/windowtesting.h"

#include "runtime/ui/browsetoolbar.h"

#include <QAction>
#include <QTest>
#include <QToolBar>

namespace tbk::windowtest {

namespace {

QList<QAction *> browseActions(QWidget *frame) {
    QList<QAction *> out;
    if (!frame)
        return out;
    for (QToolBar *bar : frame->findChildren<QToolBar *>())
        for (QAction *a : bar->actions())
            if (a->property(kBrowseButtonProperty).toInt())
                out << a;
    return out;
}

QWidget *buttonOf(QAction *a) {
    for (QObject *o : a->associatedObjects())
        if (auto *bar = qobject_cast<QToolBar *>(o))
            return bar->widgetForAction(a);
    return nullptr;
}

bool click(QAction *a) {
    QWidget *b = a ? buttonOf(a) : nullptr;
    if (!b || !b->isEnabled() || !b->isVisible())
        return false;
    QTest::mouseClick(b, Qt::LeftButton);
    return true;
}

} // namespace

bool pressToolbarButton(QWidget *frame, int id) {
    for (QAction *a : browseActions(frame))
        if (a->property(kBrowseButtonProperty).toInt() == id)
            return click(a);
    return false;
}

bool pressToolbarButton(QWidget *frame, const QString &tooltip) {
    for (QAction *a : browseActions(frame))
        if (a->toolTip() == tooltip)
            return click(a);
    return false;
}

QList<int> enabledToolbarButtons(QWidget *frame) {
    QList<int> out;
    for (QAction *a : browseActions(frame))
        if (QWidget *b = buttonOf(a); b && b->isEnabled())
            out << a->property(kBrowseButtonProperty).toInt();
    return out;
}

QString toolbarTooltip(QWidget *frame, int id) {
    for (QAction *a : browseActions(frame))
        if (a->property(kBrowseButtonProperty).toInt() == id)
            return a->toolTip();
    return {};
}

} // namespace tbk::windowtest
