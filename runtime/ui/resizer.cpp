#include "runtime/ui/resizer.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTabWidget>

#include <cmath>

namespace tbk {

namespace {

double ratio(int now, int initial) {
    if (initial <= 0)
        return 1.0;
    return std::round(double(now) / initial * 10000.0) / 10000.0;
}

// Containers whose children are controls of the window in their own right.
bool isContainer(const QWidget *w) {
    if (qobject_cast<const QGroupBox *>(w))
        return true;
    const QByteArray cls = w->metaObject()->className();
    return cls == "QWidget" || cls == "QFrame";
}

struct Collector {
    std::vector<ResizeEntry> &out;
    int mode;
    int next = 1;

    void add(QWidget *w) {
        const int type = controlType(w);
        ResizeEntry e;
        e.control = w;
        e.number = next++;
        e.type = type;
        e.initial = w->geometry();
        e.parentInitial = w->parentWidget() ? w->parentWidget()->size() : QSize();
        if (mode == 2)
            chooseByType(e);
        out.push_back(e);
    }

    static void chooseByType(ResizeEntry &e) {
        switch (e.type) {
        case EntryControl:
        case ComboControl:
        case SpinControl:
            e.sizeFlags = KeepHeight;
            break;
        case ButtonControl:
            e.sizeFlags = KeepWidth | KeepHeight;
            e.horizontal = NearestEdgeX;
            e.vertical = NearestEdgeY;
            break;
        case CheckControl:
        case RadioControl:
            e.sizeFlags = KeepWidth | KeepHeight;
            break;
        default:
            break;
        }
    }

    void walk(QWidget *parent) {
        if (auto *tabs = qobject_cast<QTabWidget *>(parent)) {
            for (int i = 0; i < tabs->count(); ++i)
                walk(tabs->widget(i));
            return;
        }
        if (auto *stack = qobject_cast<QStackedWidget *>(parent)) {
            for (int i = 0; i < stack->count(); ++i)
                walk(stack->widget(i));
            return;
        }
        for (QObject *o : parent->children()) {
            auto *w = qobject_cast<QWidget *>(o);
            if (!w || w->isWindow() || qobject_cast<QMenuBar *>(w) || qobject_cast<QMenu *>(w))
                continue;
            add(w);
            if (isContainer(w) || qobject_cast<QTabWidget *>(w) || qobject_cast<QStackedWidget *>(w))
                walk(w);
        }
    }
};

int applyStrategy(int strategy, bool sizeKept, int scaled, int initialPos, int initialSize,
                  int parentInitial, int parentNow, double r) {
    const int distanceToFar = parentInitial - initialPos - initialSize;
    if (strategy == NearestEdgeX)
        strategy = distanceToFar < initialPos ? KeepRight : ProportionalX;
    switch (strategy) {
    case KeepLeft:
        return initialPos;
    case KeepRight:
        return sizeKept ? parentNow - (parentInitial - initialPos)
                        : int(std::lround(parentNow - (parentInitial - initialPos) * r));
    case ProportionalX:
        return sizeKept ? initialPos : int(std::lround(initialPos * r));
    case KeepCentreX:
        return sizeKept ? parentNow / 2 - (parentInitial / 2 - initialPos)
                        : int(std::lround(parentNow / 2.0 - (parentInitial / 2.0 - initialPos) * r));
    default:
        return scaled;
    }
}

} // namespace

int controlType(const QWidget *w) {
    if (qobject_cast<const QLineEdit *>(w))
        return EntryControl;
    if (qobject_cast<const QComboBox *>(w))
        return ComboControl;
    if (qobject_cast<const QAbstractSpinBox *>(w))
        return SpinControl;
    if (qobject_cast<const QCheckBox *>(w))
        return CheckControl;
    if (qobject_cast<const QRadioButton *>(w))
        return RadioControl;
    if (qobject_cast<const QAbstractButton *>(w))
        return ButtonControl;
    return OtherControl;
}

void Resizer::init(QWidget *window, int mode) {
    window_ = window;
    queue_.clear();
    if (!window)
        return;
    initial_ = last_ = window->size();
    Collector{queue_, mode}.walk(window);
}

void Resizer::setStrategy(QWidget *control, int horizontal, int vertical, int sizeFlags) {
    for (auto &e : queue_) {
        if (e.control == control) {
            e.horizontal = horizontal;
            e.vertical = vertical;
            e.sizeFlags = sizeFlags;
        }
    }
}

void Resizer::resize() {
    if (!window_ || queue_.empty())
        return;
    const QSize now = window_->size();
    if (now == last_)
        return;
    last_ = now;
    const double rx = ratio(now.width(), initial_.width());
    const double ry = ratio(now.height(), initial_.height());
    // One repaint for all the moves.
    const bool updates = window_->updatesEnabled();
    window_->setUpdatesEnabled(false);
    QHash<const QWidget *, QSize> newSizes;
    for (const auto &e : queue_) {
        QWidget *w = e.control;
        if (!w)
            continue;
        const QWidget *parent = w->parentWidget();
        QSize parentNow;
        if (parent == window_)
            parentNow = now;
        else if (newSizes.contains(parent))
            parentNow = newSizes.value(parent);
        else
            parentNow = QSize(int(std::lround(e.parentInitial.width() * rx)),
                              int(std::lround(e.parentInitial.height() * ry)));
        const bool keepW = e.sizeFlags & KeepWidth;
        const bool keepH = e.sizeFlags & KeepHeight;
        int x = int(std::lround(e.initial.x() * rx));
        int y = int(std::lround(e.initial.y() * ry));
        const int width = keepW ? e.initial.width() : int(std::lround(e.initial.width() * rx));
        const int height = keepH ? e.initial.height() : int(std::lround(e.initial.height() * ry));
        if (rx != 1.0)
            x = applyStrategy(e.horizontal, keepW, x, e.initial.x(), e.initial.width(),
                              e.parentInitial.width(), parentNow.width(), rx);
        if (ry != 1.0)
            y = applyStrategy(e.vertical >> 8, keepH, y, e.initial.y(), e.initial.height(),
                              e.parentInitial.height(), parentNow.height(), ry);
        w->setGeometry(x, y, width, height);
        newSizes.insert(w, QSize(width, height));
    }
    window_->setUpdatesEnabled(updates);
}

void Resizer::free() {
    queue_.clear();
    window_ = nullptr;
}

} // namespace tbk
