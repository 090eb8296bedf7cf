#pragma once
// The four buttons beside a list that keeps its rows in an order of their own (an album's
// tracks, a wizard's rows): icon buttons in one row, named MoveUp, MoveTop, MoveDown and
// MoveBottom, with their tips.
class QPushButton;

namespace tbk {

class WindowBuilder;

struct MoveButtons {
    QPushButton *up = nullptr;
    QPushButton *top = nullptr;
    QPushButton *down = nullptr;
    QPushButton *bottom = nullptr;
};

MoveButtons addMoveButtons(WindowBuilder &b);

} // namespace tbk
