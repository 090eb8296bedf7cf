#include "support/windows/scriptedanswers.h"

#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/windowtesting.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tbk::windowtest {

namespace {

int codeOf(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Ok: return ButtonOK;
    case QMessageBox::Yes: return ButtonYes;
    case QMessageBox::No: return ButtonNo;
    case QMessageBox::Abort: return ButtonAbort;
    case QMessageBox::Retry: return ButtonRetry;
    case QMessageBox::Ignore: return ButtonIgnore;
    case QMessageBox::Cancel: return ButtonCancel;
    case QMessageBox::Help: return ButtonHelp;
    default: return 0;
    }
}

ShownMessage describe(const QMessageBox &box, int *firstButton) {
    ShownMessage s{box.windowTitle(), box.text(), box.icon(), 0, 0, {}};
    *firstButton = 0;
    for (QAbstractButton *b : box.buttons()) {
        const int c = codeOf(box.standardButton(b));
        s.buttons |= c;
        if (!*firstButton || c < *firstButton)
            *firstButton = c;
    }
    if (box.defaultButton())
        s.defaultButton = codeOf(box.standardButton(box.defaultButton()));
    while (auto *b = box.findChild<QAbstractButton *>(QStringLiteral("MessageButton%1").arg(s.buttonTexts.size() + 1)))
        s.buttonTexts << b->text();
    if (!s.buttonTexts.isEmpty())
        *firstButton = 1;
    return s;
}

} // namespace

std::vector<ShownMessage> runAnswering(const std::function<void()> &routine, std::deque<int> answers,
                                       int timeoutMs) {
    std::vector<ShownMessage> shown;
    const int t = startThread(routine, kMinimumThreadStack);
    for (int guard = 0; guard < 50; ++guard) {
        // The box just answered goes once its thread has run.
        EXPECT_TRUE(runUntilIdle(timeoutMs));
        QMessageBox *box = nullptr;
        const bool settled = runUntil(
            [&] {
                box = threadExists(t) ? qobject_cast<QMessageBox *>(activeWindow(t)) : nullptr;
                return box || !threadExists(t);
            },
            timeoutMs);
        if (!threadExists(t))
            return shown;
        if (!settled) {
            ADD_FAILURE() << "the routine neither ended nor showed a message box";
            endAllThreads();
            return shown;
        }
        int first = 0;
        shown.push_back(describe(*box, &first));
        int answer = first;
        if (!answers.empty()) {
            answer = answers.front();
            answers.pop_front();
        } else if (shown.back().buttons & ButtonOK) {
            answer = ButtonOK;
        }
        if (!shown.back().buttonTexts.isEmpty()) {
            auto *b = box->findChild<QAbstractButton *>(QStringLiteral("MessageButton%1").arg(answer));
            EXPECT_TRUE(b) << "no button " << answer << " in " << shown.back().text.toStdString();
            if (b)
                QTest::mouseClick(b, Qt::LeftButton);
            continue;
        }
        EXPECT_TRUE(answerMessage(t, answer)) << shown.back().text.toStdString();
    }
    ADD_FAILURE() << "too many message boxes";
    endAllThreads();
    return shown;
}

} // namespace tbk::windowtest
