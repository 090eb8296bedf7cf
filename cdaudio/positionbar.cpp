#include "cdaudio/positionbar.h"

#include <QMouseEvent>
#include <QStyleOptionProgressBar>
#include <QStylePainter>

#include <algorithm>

namespace tbk {

PositionBar::PositionBar(QWidget *parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void PositionBar::setPercent(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == percent_)
        return;
    percent_ = percent;
    update();
}

QSize PositionBar::sizeHint() const { return {200, fontMetrics().height() + 4}; }

void PositionBar::paintEvent(QPaintEvent *) {
    QStylePainter p(this);
    QStyleOptionProgressBar o;
    o.initFrom(this);
    o.minimum = 0;
    o.maximum = 100;
    o.progress = percent_;
    o.textVisible = false;
    o.state |= QStyle::State_Horizontal;
    p.drawControl(QStyle::CE_ProgressBar, o);
}

void PositionBar::mousePressEvent(QMouseEvent *e) {
    clickX_ = int(e->position().x());
    QAbstractButton::mousePressEvent(e);
}

} // namespace tbk
