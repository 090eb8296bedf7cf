#include "runtime/ui/progresswindow.h"

#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/values/text.h"

#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

namespace tbk {

namespace {
// A batch on a thread lets Qt paint and take the Cancel click this often.
constexpr int kYieldEveryMs = 50;

// Esc on the window (no control takes it) asks to cancel as the button does.
class EscapeKey : public QObject {
public:
    EscapeKey(QWidget *window, std::function<void()> pressed) : QObject(window), pressed_(std::move(pressed)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
            return false;
        pressed_();
        return true;
    }

private:
    std::function<void()> pressed_;
};
} // namespace

ProgressWindow::ProgressWindow(const QString &title, const QString &text, bool cancellable, const QString &statusText) {
    window_ = new QWidget;
    window_->setObjectName(QStringLiteral("ProgressWindow"));
    window_->setWindowTitle(title);
    auto *layout = new QVBoxLayout(window_);
    label_ = new QLabel(text, window_);
    label_->setObjectName(QStringLiteral("ProgressText"));
    bar_ = new QProgressBar(window_);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(label_);
    layout->addWidget(bar_);
    status_ = new QLabel(statusText, window_);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setVisible(!statusText.isEmpty());
    layout->addWidget(status_);
    if (cancellable) {
        auto *cancel = new QPushButton(QStringLiteral("Cancel"), window_);
        cancel->setObjectName(QStringLiteral("Cancel"));
        QObject::connect(cancel, &QPushButton::clicked, window_, [this] {
            cancelled_ = true;
            escaped_ = false;
        });
        layout->addWidget(cancel);
        new EscapeKey(window_, [this] { cancelled_ = escaped_ = true; });
    }
    window_->setFixedSize(window_->sizeHint().expandedTo(QSize(300, 0)));
    adoptWindow(window_);
    window_->show();
    sinceYield_.start();
}

ProgressWindow::~ProgressWindow() {
    if (!window_)
        return;
    releaseWindow(window_);
    window_->hide();
    window_->deleteLater();
}

void ProgressWindow::useRealStops(double low, double high) {
    textKeys_ = false;
    realStops_.setup(low, high);
    nextReal_ = realStops_.next();
    setPercent(0);
}

void ProgressWindow::useStringStops(int length, int flags, const QString &low, const QString &high) {
    textKeys_ = true;
    stringStops_.setup(length, flags, false, low, high);
    nextText_ = stringStops_.next();
    setPercent(0);
}

void ProgressWindow::advanceWhile(const std::function<bool()> &passed) {
    int p = percent_;
    while (p < 100 && passed()) {
        ++p;
        if (textKeys_)
            nextText_ = stringStops_.next();
        else
            nextReal_ = realStops_.next();
    }
    setPercent(p);
}

void ProgressWindow::passKey(double key) {
    advanceWhile([&] { return key >= nextReal_; });
}

void ProgressWindow::passKey(const QString &key) {
    advanceWhile([&] { return compareText(key, nextText_, Qt::CaseInsensitive) >= 0; });
}

void ProgressWindow::setPercent(int percent) {
    showPercent(percent);
    letOthersRun();
}

void ProgressWindow::showPercent(int percent) {
    percent_ = std::clamp(percent, 0, 100);
    if (bar_)
        bar_->setValue(percent_);
}

void ProgressWindow::setText(const QString &text) {
    if (label_)
        label_->setText(text);
}

void ProgressWindow::setStatusText(const QString &text) {
    if (!window_)
        return;
    status_->setText(text);
    if (status_->isHidden()) {
        status_->show();
        window_->setFixedSize(window_->sizeHint().expandedTo(QSize(300, 0)));
    }
}

QString ProgressWindow::statusText() const { return window_ ? status_->text() : QString(); }

void ProgressWindow::letOthersRun() {
    if (currentThreadNumber() == 0 || sinceYield_.elapsed() < kYieldEveryMs)
        return;
    sinceYield_.restart();
    yieldNow();
}

} // namespace tbk
