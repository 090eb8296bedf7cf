#pragma once
// The CD player's position bar: shows how much of the track is played, and a click on it is
// the button press that seeks (the window reads where it was clicked).
#include <QAbstractButton>

namespace tbk {

class PositionBar : public QAbstractButton {
public:
    explicit PositionBar(QWidget *parent = nullptr);

    void setPercent(int percent);
    int percent() const { return percent_; }
    // Pixels from the bar's left edge to the last press.
    int clickX() const { return clickX_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;

private:
    int percent_ = 0;
    int clickX_ = 0;
};

} // namespace tbk
