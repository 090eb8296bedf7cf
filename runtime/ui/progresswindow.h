#pragma once
// The progress window of batch processes and reports: a bar from 0 to 100 that follows the
// key of the record being processed through the progress stops, and an optional Cancel.
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
    ProgressWindow(const QString &title, const QString &text, bool cancellable);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow &) = delete;
    ProgressWindow &operator=(const ProgressWindow &) = delete;

    // Measures progress against a numeric or a text key range.
    void useRealStops(double low, double high);
    void useStringStops(int length, int flags, const QString &low, const QString &high);
    // The key of the record at hand: the bar advances past every stop the key has reached.
    void passKey(double key);
    void passKey(const QString &key);

    void setPercent(int percent);
    int percent() const { return percent_; }
    void setText(const QString &text);
    // A second line under the bar for what the process says of itself ("40% Completed").
    void setUserText(const QString &text);
    QString userText() const;
    bool cancelled() const { return cancelled_; }
    QWidget *widget() const { return window_; }

private:
    void advanceWhile(const std::function<bool()> &passed);
    void letOthersRun();

    QPointer<QWidget> window_;
    QLabel *label_ = nullptr;
    QLabel *userText_ = nullptr;
    QProgressBar *bar_ = nullptr;
    int percent_ = 0;
    bool cancelled_ = false;
    bool textKeys_ = false;
    RealStops realStops_;
    StringStops stringStops_;
    double nextReal_ = 0;
    QString nextText_;
    QElapsedTimer sinceYield_;
};

} // namespace tbk
