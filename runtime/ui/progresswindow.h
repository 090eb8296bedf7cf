#pragma once
// The progress window of batch processes and reports: a bar from 0 to 100 that follows the
// key of the record being processed through the progress stops (or a percentage the caller
// works out), an optional line of its own under the bar, and an optional Cancel, which the Esc
// key presses too.
#include "runtime/values/progressstops.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace tbk {

class ProgressWindow {
public:
    // A non-empty statusText adds the line under the bar, showing that text first.
    ProgressWindow(const QString &title, const QString &text, bool cancellable, const QString &statusText = {});
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    // Measures progress against a numeric or a text key range.
    void useRealStops(double low, double high);
    void useStringStops(int length, int flags, const QString &low, const QString &high);
    // The key of the record at hand: the bar advances past every stop the key has reached.
    void passKey(double key);
    void passKey(const QString &key);

    // Moves the bar; now and then lets Qt and the other threads run.
    void setPercent(int percent);
    // Moves the bar only: for a caller that must not be interrupted here.
    void showPercent(int percent);
    int percent() const { return percent_; }
    void setText(const QString &text);
    // The line under the bar for what the process says of itself ("40% Completed").
    void setStatusText(const QString &text);
    QString statusText() const;
    bool cancelled() const { return cancelled_; }
    // Whether the Esc key, rather than the button, asked to cancel.
    bool cancelledByEscape() const { return cancelled_ && escaped_; }
    // The process goes on after all: the next Cancel counts again.
    void resume() { cancelled_ = escaped_ = false; }
    QWidget *widget() const { return window_; }

private:
    void advanceWhile(const std::function<bool()> &passed);
    void letOthersRun();

    QPointer<QWidget> window_;
    QLabel *label_ = nullptr;
    QLabel *status_ = nullptr;
    QProgressBar *bar_ = nullptr;
    int percent_ = 0;
    bool cancelled_ = false;
    bool escaped_ = false;
    bool textKeys_ = false;
    RealStops realStops_;
    StringStops stringStops_;
    double nextReal_ = 0;
    QString nextText_;
    QElapsedTimer sinceYield_;
};

} // namespace tbk
