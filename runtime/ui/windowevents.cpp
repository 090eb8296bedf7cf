#include "runtime/ui/windowevents.h"

#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"
#include "runtime/ui/fieldcontrol.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/resizer.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QWidget>

#include <algorithm>

namespace tbk {

WindowEvents::WindowEvents(QWidget *frame, QWidget *content, Resizer *resizer)
    : QObject(frame), window_(frame), content_(content), resizer_(resizer) {
    frame->installEventFilter(this);
    if (content != frame)
        content->installEventFilter(this);
    // A document window inside the frame gains the focus without becoming the active window.
    if (auto *sub = qobject_cast<QMdiSubWindow *>(frame))
        connect(sub, &QMdiSubWindow::aboutToActivate, this, [this] { post(EventKind::GainFocus); });
}

WindowEvents::~WindowEvents() = default;

void WindowEvents::post(EventKind kind, QObject *control, int key, int value) {
    Event e = Event::of(kind, window_, control);
    e.key = key;
    e.value = value;
    postToWindow(window_, std::move(e));
}

void WindowEvents::watchControls() {
    for (QWidget *w : content_->findChildren<QWidget *>())
        if (!w->isWindow())
            watch(w);
}

void WindowEvents::watch(QWidget *control) {
    if (watched_.contains(control))
        return;
    watched_.append(control);
    connect(control, &QObject::destroyed, this, [this, control] { watched_.removeAll(control); });
    control->installEventFilter(this);
    // A control with a runtime value reports its own changes; its parts (an option group's
    // buttons, a spin box's entry) report nothing of their own.
    if (auto *field = FieldControl::of(control)) {
        connect(field, &FieldControl::accepted, this, [this, control] { post(EventKind::Accepted, control); });
        return;
    }
    if (FieldControl::of(control->parentWidget()))
        return;
    if (auto *list = qobject_cast<ListControl *>(control)) {
        list->viewport()->installEventFilter(this);
        connect(list, &ListControl::currentRowChanged, this, [this, list] { post(EventKind::NewSelection, list); });
        connect(list, &ListControl::activated, this, [this, list] { post(EventKind::Accepted, list); });
        // A list whose rows the user marks is accepted by every change of the marks.
        connect(list, &ListControl::marksChanged, this, [this, list] { post(EventKind::Accepted, list); });
        connect(list, &ListControl::scrollRequested, this,
                [this, list](ScrollAction action, int value) { post(EventKind::Scroll, list, action, value); });
        return;
    }
    if (auto *b = qobject_cast<QAbstractButton *>(control)) {
        connect(b, &QAbstractButton::clicked, this, [this, b] { post(EventKind::Accepted, b); });
    } else if (auto *c = qobject_cast<QComboBox *>(control)) {
        connect(c, &QComboBox::activated, this, [this, c] { post(EventKind::Accepted, c); });
    } else if (auto *e = qobject_cast<QLineEdit *>(control)) {
        if (qobject_cast<QComboBox *>(e->parentWidget()) || qobject_cast<QAbstractSpinBox *>(e->parentWidget()))
            return;
        // Leaving an entry that was not changed accepts nothing.
        connect(e, &QLineEdit::editingFinished, this, [this, e] {
            if (!e->isModified())
                return;
            e->setModified(false);
            post(EventKind::Accepted, e);
        });
    } else if (auto *s = qobject_cast<QAbstractSpinBox *>(control)) {
        connect(s, &QAbstractSpinBox::editingFinished, this, [this, s] { post(EventKind::Accepted, s); });
    } else if (auto *t = qobject_cast<QTabWidget *>(control)) {
        connect(t, &QTabWidget::currentChanged, this, [this, t] { post(EventKind::NewSelection, t); });
    }
}

void WindowEvents::alertKey(QObject *control, int key) {
    if (!isAlerted(control, key))
        alerts_.append(Alert{control, key});
}

void WindowEvents::unalertKey(QObject *control, int key) {
    alerts_.removeIf([&](const Alert &a) { return a.control == control && a.key == key; });
}

void WindowEvents::alertTyping(QObject *control) {
    if (!typing_.contains(control))
        typing_.append(control);
}

namespace {
bool isTyping(const QKeyEvent *k) {
    if (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = k->text();
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); });
}

// Alt is for commands: with a letter no control has as its key, it types nothing into a text
// entry. Ctrl+Alt stays typing: some systems send AltGr so.
bool isAltTyping(const QObject *control, const QKeyEvent *k) {
    if ((k->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) != Qt::AltModifier || k->text().isEmpty() ||
        !k->text().front().isPrint())
        return false;
    if (auto *combo = qobject_cast<const QComboBox *>(control))
        return combo->isEditable();
    return qobject_cast<const QLineEdit *>(control) || qobject_cast<const QPlainTextEdit *>(control) ||
           qobject_cast<const QTextEdit *>(control) || qobject_cast<const QAbstractSpinBox *>(control);
}
} // namespace

bool WindowEvents::isAlerted(QObject *control, int key) const {
    for (const Alert &a : alerts_)
        if (a.key == key && (a.control == nullptr || a.control == control))
            return true;
    return false;
}

void WindowEvents::setTimer(int hundredths) {
    timerHundredths_ = std::max(0, hundredths);
    timer_.reset();
    if (timerHundredths_ > 0)
        timer_ = timerClock().start(timerHundredths_, true, [this] { post(EventKind::Timer); });
}

QObject *WindowEvents::controlOf(QObject *watched) const {
    // Mouse events of a list arrive on its viewport.
    if (auto *w = qobject_cast<QWidget *>(watched))
        if (auto *list = qobject_cast<ListControl *>(w->parentWidget()); list && list->viewport() == w)
            return list;
    return watched;
}

bool WindowEvents::covered() const { return window_ && (!window_->isEnabled() || windowCovered(window_)); }

namespace {
bool isInput(const QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
} // namespace

bool WindowEvents::windowFilter(QEvent *event) {
    switch (event->type()) {
    case QEvent::Close:
        // The window closes only through its procedure; a disabled window (a later window of
        // its thread is open) does not close at all.
        event->ignore();
        if (!covered())
            post(EventKind::CloseWindow);
        return true;
    case QEvent::WindowActivate:
        post(EventKind::GainFocus);
        break;
    default:
        break;
    }
    return false;
}

bool WindowEvents::eventFilter(QObject *watched, QEvent *event) {
    if (watched == window_ && windowFilter(event))
        return true;
    // Qt still hands a disabled window the keys and clicks the window manager lets through;
    // queued, they would act once the later window had closed.
    if (isInput(event) && covered())
        return true;
    if (watched == content_ && event->type() == QEvent::Resize) {
        if (resizer_)
            resizer_->resize();
        post(EventKind::Sized);
        return false;
    }
    QObject *control = controlOf(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        const int key = k->keyCombination().toCombined();
        if (isAlerted(control == window_ || control == content_ ? nullptr : control, key)) {
            post(EventKind::AlertKey, control, key);
            return true;
        }
        if (typing_.contains(control) && isTyping(k)) {
            Event e = Event::of(EventKind::AlertKey, window_, control);
            e.key = key;
            e.text = k->text();
            postToWindow(window_, std::move(e));
            return true;
        }
        if (isAltTyping(control, k))
            return true;
        break;
    }
    case QEvent::FocusIn:
        if (control != window_ && control != content_)
            post(EventKind::Selected, control);
        break;
    case QEvent::MouseButtonDblClick:
        if (qobject_cast<ListControl *>(control) && isAlerted(control, KeyMouseLeft2) &&
            static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            post(EventKind::AlertKey, control, KeyMouseLeft2);
            return true;
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (qobject_cast<ListControl *>(control)) {
            const bool down = event->type() == QEvent::MouseButtonPress;
            const auto *mouse = static_cast<QMouseEvent *>(event);
            const int modifiers = int(mouse->modifiers().toInt());
            if (mouse->button() == Qt::LeftButton)
                post(down ? EventKind::MouseLeftDown : EventKind::MouseLeftUp, control, modifiers);
            else if (mouse->button() == Qt::RightButton)
                post(down ? EventKind::MouseRightDown : EventKind::MouseRightUp, control, modifiers);
        }
        break;
    default:
        break;
    }
    return false;
}

} // namespace tbk
