#pragma once
// The browse buttons of the frame's toolbar. The toolbar belongs to the frame's thread, but its
// browse buttons act for whichever window has the focus, on that window's own thread: each window
// declares which buttons it offers (and may word their tooltips), the router shows the declaration
// of the focused window and posts a pressed button to that window's thread as a Toolbar event.
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMdiArea;
class QWidget;

namespace tbk {

// The value of a Toolbar event. The first four equal the request codes they ask for.
enum BrowseButton : int {
    ToolbarInsert = 1,
    ToolbarChange,
    ToolbarDelete,
    ToolbarSelect,
    ToolbarFirstPage,
    ToolbarLastPage,
    ToolbarNextPage,
    ToolbarPriorPage,
    ToolbarNextRecord,
    ToolbarPriorRecord,
    ToolbarLocate,
    ToolbarHelp,
    ToolbarHistory,
};

struct BrowseButtonInfo {
    BrowseButton id;
    const char *text;      // the action's name
    const char *tooltip;   // unless the window words its own
    const char *icon;      // the picture's name
    bool groupStart;       // a separator goes before it
};

// Every browse button in the order the toolbar shows them.
const QList<BrowseButtonInfo> &browseButtons();
const BrowseButtonInfo *browseButton(int id);

// The property that marks a toolbar action as a browse button (its id).
inline const char *const kBrowseButtonProperty = "tbkBrowseButton";

// What a window offers on the toolbar while it has the focus. Nothing is offered by default.
class ToolbarState {
public:
    ToolbarState &enable(BrowseButton button, bool on = true);
    ToolbarState &setTooltip(BrowseButton button, const QString &text);
    bool enabled(int button) const { return enabled_ & bit(button); }
    // The window's own wording, else the button's usual one.
    QString tooltip(int button) const;
    bool operator==(const ToolbarState &) const = default;

private:
    static quint32 bit(int button) { return button > 0 && button < 32 ? quint32(1) << button : 0; }
    quint32 enabled_ = 0;
    QMap<int, QString> tooltips_;
};

// Declares what the window (any widget of it) offers. It is kept with the window's own widget
// (the MDI child frame or the top-level window that belongs to its thread) and goes with it.
void setToolbarState(QWidget *window, const ToolbarState &state);
// The declaration of the window that holds the widget; an empty one when it declared nothing.
ToolbarState toolbarState(const QWidget *window);

// Keeps the frame's browse buttons in step with the focused window, whatever its thread, and
// posts their presses to it. The frame's thread disables the toolbar as a whole while it asks
// something; the router leaves that to it.
class ToolbarRouter : public QObject {
    Q_OBJECT
public:
    // The frame's main window and its document area (may be null).
    ToolbarRouter(QWidget *frame, QMdiArea *area);
    ~ToolbarRouter() override;

    // The button's action: the router sets its enabled state and tooltip and takes its presses.
    void addButton(BrowseButton id, QAction *action);
    // The window the buttons act for now (null: none; every button is disabled).
    QWidget *target() const { return target_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(QWidget *widget);
    void setTarget(QWidget *window);
    void show();
    void press(int id);

    QPointer<QWidget> frame_;
    QPointer<QMdiArea> area_;
    QPointer<QWidget> target_;
    QMap<int, QPointer<QAction>> actions_;
};

} // namespace tbk

Q_DECLARE_METATYPE(tbk::ToolbarState)
