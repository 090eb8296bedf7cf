#include "threadcall.h"

#include "controltesting.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "windowtesting.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace tbk::windowtest {

Started launchOnThread(std::function<void()> procedure) {
    auto c = std::make_shared<Call>();
    c->thread = startThread(
        [c, procedure = std::move(procedure)] {
            procedure();
            c->response = GlobalResponse;
            c->done = true;
        },
        kMinimumThreadStack);
    return c;
}

Started startOnThread(std::function<void()> procedure, int idleTimeoutMs) {
    Started c = launchOnThread(std::move(procedure));
    EXPECT_TRUE(runUntilIdle(idleTimeoutMs));
    return c;
}

Started callOnThread(std::function<void()> procedure, qint32 request, std::function<void()> load) {
    return startOnThread([procedure = std::move(procedure), request, load = std::move(load)] {
        if (load)
            load();
        GlobalRequest = request;
        procedure();
    });
}

QWidget *window(const Call &c) { return activeWindow(c.thread); }
bool press(const Call &c, const QString &button) { return pressButton(c.thread, button) && runUntilIdle(); }
bool type(const Call &c, const QString &field, const QString &text) {
    return typeInto(c.thread, field, text) && runUntilIdle();
}
bool answer(const Call &c, int button, int idleTimeoutMs) {
    return answerMessage(c.thread, button) && runUntilIdle(idleTimeoutMs);
}
bool pressKey(const Call &c, int key, Qt::KeyboardModifiers mods) { return pressFocusedKey(c.thread, key, mods); }

QString shown(const Call &c, const QString &field) { return controlText(c.thread, field).trimmed(); }

} // namespace tbk::windowtest
