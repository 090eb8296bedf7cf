#pragma once
// Moves and stretches a window's controls when the window is resized. Each control has a
// horizontal and a vertical strategy and may keep its width or height.
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

namespace tbk {

enum ResizeStrategy : int {
    ScaleX = 0,
    KeepLeft = 1,
    KeepRight = 2,
    ProportionalX = 4,
    KeepCentreX = 8,
    NearestEdgeX = 16,
    ScaleY = 0,
    KeepTop = 256,
    KeepBottom = 512,
    ProportionalY = 1024,
    KeepCentreY = 2048,
    NearestEdgeY = 4096,
};

enum ResizeSizeFlag : int { KeepWidth = 1, KeepHeight = 2 };

// The runtime's control types the strategies are chosen by.
enum ControlType : int {
    OtherControl = 1,
    EntryControl = 8,
    ButtonControl = 9,
    CheckControl = 12,
    ComboControl = 15,
    SpinControl = 16,
    RadioControl = 21,
};

struct ResizeEntry {
    QPointer<QWidget> control;
    int number = 0;
    int type = OtherControl;
    int horizontal = ScaleX;
    int vertical = ScaleY;
    int sizeFlags = 0;
    QRect initial;          // in its parent's coordinates
    QSize parentInitial;    // the parent's size when the queue was built
};

class Resizer {
public:
    // Builds the queue from the window's controls (menus left out). Mode 2 chooses the
    // strategies by control type; any other mode scales everything.
    void init(QWidget *window, int mode);
    // Fits the controls to the window's present size; a window whose size did not change
    // (it only moved) moves nothing.
    void resize();
    void free();
    // Gives one control its own strategy after init.
    void setStrategy(QWidget *control, int horizontal, int vertical, int sizeFlags);
    const std::vector<ResizeEntry> &entries() const { return queue_; }

private:
    QPointer<QWidget> window_;
    QSize initial_;
    QSize last_;
    std::vector<ResizeEntry> queue_;
};

// The runtime's control type of a widget.
int controlType(const QWidget *w);

// The window procedures' names for the three steps.
inline void InitResizeQueue(Resizer &resizer, QWidget *window, int mode) { resizer.init(window, mode); }
inline void ResizeWindowControls(Resizer &resizer) { resizer.resize(); }
inline void FreeResizeQueue(Resizer &resizer) { resizer.free(); }

} // namespace tbk
