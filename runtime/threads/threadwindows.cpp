#include "runtime/threads/threadwindows.h"

#include "runtime/threads/logicalthread.h"

#include <QMdiArea>

#include <algorithm>

namespace tbk {

using detail::LogicalThread;
using detail::OwnedWindow;

namespace {

// A frame whose document area holds other threads' windows keeps that area usable: only the
// frame's own controls (menu bar, toolbar, ...) are disabled.
QList<QPointer<QWidget>> ownControls(QWidget *frame) {
    QList<QPointer<QWidget>> parts;
    auto *area = frame->findChild<QMdiArea *>();
    if (!area)
        return parts;
    for (QObject *o : frame->children()) {
        auto *c = qobject_cast<QWidget *>(o);
        if (c && !c->isWindow() && c != area && !c->isAncestorOf(area) && c->isEnabled())
            parts.append(c);
    }
    return parts;
}

void disable(OwnedWindow &w) {
    if (!w.widget || !w.widget->isEnabled() || w.disabledByUs)
        return;
    w.parts = ownControls(w.widget);
    if (w.parts.isEmpty())
        w.widget->setEnabled(false);
    for (auto &part : w.parts)
        part->setEnabled(false);
    w.disabledByUs = true;
}

void enable(OwnedWindow &w) {
    if (w.widget && w.disabledByUs && w.parts.isEmpty())
        w.widget->setEnabled(true);
    for (auto &part : w.parts)
        if (part)
            part->setEnabled(true);
    w.parts.clear();
    w.disabledByUs = false;
}

void dropDeleted(LogicalThread *t) {
    auto &ws = t->windows;
    ws.erase(std::remove_if(ws.begin(), ws.end(), [](const OwnedWindow &w) { return !w.widget; }),
             ws.end());
}

} // namespace

void adoptWindow(QWidget *window) {
    LogicalThread *t = detail::current();
    if (!t || !window)
        return;
    dropDeleted(t);
    for (auto &w : t->windows)
        disable(w);
    window->setProperty("tbkThread", t->number);
    t->windows.push_back(OwnedWindow{window, false, {}});
    ++t->windowsAdopted;
}

int windowsAdopted() {
    const LogicalThread *t = detail::current();
    return t ? t->windowsAdopted : 0;
}

void releaseWindow(QWidget *window) {
    LogicalThread *t = detail::find(windowThread(window));
    if (!t)
        return;
    auto &ws = t->windows;
    ws.erase(std::remove_if(ws.begin(), ws.end(),
                            [window](const OwnedWindow &w) { return w.widget == window; }),
             ws.end());
    dropDeleted(t);
    if (!ws.empty())
        enable(ws.back());
    auto &q = t->events;
    q.erase(std::remove_if(q.begin(), q.end(), [window](const Event &e) { return e.window == window; }),
            q.end());
}

bool windowCovered(const QWidget *window) {
    LogicalThread *t = detail::find(windowThread(window));
    if (!t)
        return false;
    for (auto &w : t->windows)
        if (w.widget == window)
            return w.disabledByUs;
    return false;
}

int windowThread(const QWidget *window) {
    return window ? window->property("tbkThread").toInt() : 0;
}

QWidget *owningWindow(const QWidget *widget) {
    for (auto *w = const_cast<QWidget *>(widget); w; w = w->parentWidget())
        if (windowThread(w))
            return w;
    return nullptr;
}

QWidget *activeThreadWindow(int thread) {
    LogicalThread *t = detail::find(thread);
    if (!t)
        return nullptr;
    for (auto it = t->windows.rbegin(); it != t->windows.rend(); ++it)
        if (it->widget)
            return it->widget;
    return nullptr;
}

QList<QWidget *> threadWindowList(int thread) {
    QList<QWidget *> out;
    if (LogicalThread *t = detail::find(thread))
        for (auto &w : t->windows)
            if (w.widget)
                out.append(w.widget);
    return out;
}

} // namespace tbk
