#pragma once
// Shared pieces of the core tests: a routine run on a logical thread with every message box it
// shows recorded and answered, and the second process.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/settings/profile.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/windowtesting.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QMessageBox>
#include <QProcess>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>

#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace coretest {

struct Shown {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;          // runtime button codes
    int defaultButton = 0;
};

inline int codeOf(QMessageBox::StandardButton b) {
    switch (b) {
    case QMessageBox::Ok: return tbk::ButtonOK;
    case QMessageBox::Yes: return tbk::ButtonYes;
    case QMessageBox::No: return tbk::ButtonNo;
    case QMessageBox::Retry: return tbk::ButtonRetry;
    case QMessageBox::Cancel: return tbk::ButtonCancel;
    default: return 0;
    }
}

// Every test ends with no thread, no file open and no count left; halts reach exitCodes.
class CoreTest : public testing::Test {
protected:
    void SetUp() override {
        tbk::setExitHook([this](int code) { exitCodes.push_back(code); });
    }
    void TearDown() override {
        tbk::windowtest::endAllThreads();
        tbk::closeAllDataFiles();
    }

    // Runs the routine on a logical thread; each message box is recorded and answered with
    // the next of `answers` (OK, or else the first button, when none is left).
    std::vector<Shown> run(const std::function<void()> &routine, std::deque<int> answers = {}) {
        std::vector<Shown> shown;
        const int t = tbk::startThread(routine, 1 << 20);
        for (int guard = 0; guard < 50; ++guard) {
            EXPECT_TRUE(tbk::windowtest::runUntilIdle(15000));
            if (!tbk::threadExists(t))
                return shown;
            auto *box = qobject_cast<QMessageBox *>(tbk::windowtest::activeWindow(t));
            if (!box) {
                ADD_FAILURE() << "thread waits without a message box";
                return shown;
            }
            Shown s{box->windowTitle(), box->text(), box->icon(), 0, 0};
            int first = 0;
            for (QAbstractButton *b : box->buttons()) {
                const int c = codeOf(box->standardButton(b));
                s.buttons |= c;
                if (!first || c < first)
                    first = c;
            }
            if (box->defaultButton())
                s.defaultButton = codeOf(box->standardButton(box->defaultButton()));
            shown.push_back(s);
            int answer = first;
            if (!answers.empty()) {
                answer = answers.front();
                answers.pop_front();
            } else if (s.buttons & tbk::ButtonOK) {
                answer = tbk::ButtonOK;
            }
            EXPECT_TRUE(tbk::windowtest::answerMessage(t, answer)) << s.text.toStdString();
        }
        ADD_FAILURE() << "too many message boxes";
        return shown;
    }

    static QString marker() {
        return tbk::getIni(QLatin1String(tbk::kCrashMarkerSection), QLatin1String(tbk::kCrashMarkerEntry),
                           QStringLiteral("<none>"), tbk::defaultSettingsFile());
    }

    std::vector<int> exitCodes;
};

// The helper program, started with the arguments in the current directory.
inline std::unique_ptr<QProcess> startChild(const QStringList &args) {
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(TBK_CORE_CHILD));
    p->setArguments(args);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start();
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
}

// Waits until the child writes the line (false when it ended first).
inline bool waitForLine(QProcess &p, const QByteArray &line) {
    for (;;) {
        while (p.canReadLine())
            if (p.readLine().trimmed() == line)
                return true;
        if (p.state() != QProcess::Running || !p.waitForReadyRead(10000))
            return false;
    }
}

} // namespace coretest
