#include "runtime/ui/dragdrop.h"

#include "runtime/threads/scheduler.h"
#include "runtime/threads/threadwindows.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace tbk {

namespace {

const char *const kDropNames = "tbkDropNames";

struct DropTarget {
    QWidget *control = nullptr;
    QWidget *window = nullptr;
    bool accepts = false;
};

DropTarget targetAt(const QPoint &global, const QString &name) {
    DropTarget t;
    QWidget *w = QApplication::widgetAt(global);
    for (; w; w = w->parentWidget()) {
        if (w->property(kDropNames).isValid())
            break;
        if (w->isWindow())
            return t;
    }
    if (!w)
        return t;
    t.control = w;
    t.window = owningWindow(w);
    // A window under a called window of its thread, or of a thread that has ended, takes nothing.
    t.accepts = t.window && w->isEnabled() && !windowCovered(t.window) && threadExists(windowThread(t.window)) &&
                w->property(kDropNames).toStringList().contains(name);
    return t;
}

// The one drag under way: it sees every mouse and key event of the application until it ends.
class DragSession : public QObject {
public:
    static DragSession &instance() {
        static auto *session = new DragSession;
        return *session;
    }

    bool active() const { return active_; }

    void start(QWidget *grabber, const QString &name, const QString &value, const QPoint &global) {
        active_ = true;
        grabber_ = grabber;
        name_ = name;
        value_ = value;
        shape_ = Qt::ForbiddenCursor;
        qApp->installEventFilter(this);
        grabber->grabMouse();
        grabber->grabKeyboard();
        connect(grabber, &QObject::destroyed, this, &DragSession::finish, Qt::UniqueConnection);
        QApplication::setOverrideCursor(QCursor(shape_));
        hover(global);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        // Events reach the window first and the widget under the grab after it; only the latter
        // are the drag's, so that the window keeps its own record of the buttons.
        if (!active_ || !watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove: {
            auto *m = static_cast<QMouseEvent *>(event);
            if (!(m->buttons() & Qt::LeftButton))
                finish();   // the release went where we could not see it
            else
                hover(m->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto *m = static_cast<QMouseEvent *>(event);
            if (m->button() == Qt::LeftButton)
                drop(m->globalPosition().toPoint());
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyRelease:
            return true;
        case QEvent::ShortcutOverride:
            // Escape is the drag's, not a shortcut's.
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                event->accept();
            return true;
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                finish();
            return true;
        default:
            return false;
        }
    }

private:
    void hover(const QPoint &global) {
        const Qt::CursorShape shape = targetAt(global, name_).accepts ? Qt::DragCopyCursor : Qt::ForbiddenCursor;
        if (shape != shape_) {
            shape_ = shape;
            QApplication::changeOverrideCursor(QCursor(shape));
        }
    }

    void drop(const QPoint &global) {
        const DropTarget t = targetAt(global, name_);
        const QString name = name_, value = value_;
        finish();
        if (!t.accepts)
            return;
        Event e = Event::of(EventKind::Drop, t.window, t.control);
        e.text = value;
        e.source = name;
        postToWindow(t.window, std::move(e));
    }

    void finish() {
        if (!active_)
            return;
        active_ = false;
        qApp->removeEventFilter(this);
        if (grabber_) {
            disconnect(grabber_, &QObject::destroyed, this, &DragSession::finish);
            grabber_->releaseKeyboard();
            grabber_->releaseMouse();
        }
        grabber_ = nullptr;
        QApplication::restoreOverrideCursor();
    }

    bool active_ = false;
    QPointer<QWidget> grabber_;
    QString name_;
    QString value_;
    Qt::CursorShape shape_ = Qt::ForbiddenCursor;
};

class DragSource : public QObject {
public:
    DragSource(QWidget *control, QString name, std::function<QString(QPoint)> value)
        : QObject(control), control_(control), name_(std::move(name)), value_(std::move(value)) {
        control->installEventFilter(this);
        // A list's mouse arrives on its viewport.
        if (auto *area = qobject_cast<QAbstractScrollArea *>(control))
            area->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(event);
            pressed_ = m->button() == Qt::LeftButton;
            pressAt_ = m->globalPosition().toPoint();
            break;
        }
        case QEvent::MouseButtonRelease:
            pressed_ = false;
            break;
        case QEvent::MouseMove: {
            auto *m = static_cast<QMouseEvent *>(event);
            if (!pressed_ || !(m->buttons() & Qt::LeftButton) || DragSession::instance().active())
                break;
            const QPoint at = m->globalPosition().toPoint();
            if ((at - pressAt_).manhattanLength() < QApplication::startDragDistance())
                break;
            pressed_ = false;
            const QString value = value_ ? value_(control_->mapFromGlobal(pressAt_)) : QString();
            if (value.isEmpty())
                break;
            DragSession::instance().start(static_cast<QWidget *>(watched), name_, value, at);
            return true;
        }
        default:
            break;
        }
        return false;
    }

private:
    QWidget *control_;
    QString name_;
    std::function<QString(QPoint)> value_;
    QPoint pressAt_;
    bool pressed_ = false;
};

} // namespace

void makeDragSource(QWidget *control, const QString &name, std::function<QString(QPoint)> value) {
    if (control)
        new DragSource(control, name, std::move(value));
}

void acceptDrops(QWidget *control, const QStringList &names) {
    if (control)
        control->setProperty(kDropNames, names);
}

bool dragging() { return DragSession::instance().active(); }

} // namespace tbk
