#pragma once
// The application frame `Main`: the multi-document window with the menu bar and toolbar from
// which every list, wizard, report and the CD player is started, each on a thread of its own.
// Its event loop is the program's life.
#include "runtime/values/text.h"

#include <QList>
#include <QPointer>
#include <QString>

class QWidget;

namespace tbk {

inline const char *const kProgramVersion = "2.0";
inline const char *const kFrameTitle = "TuneBank Pro 98";

// The version text: "2.0" while the frame opens, then "Version 2.0" for display.
extern FixedString<40> ProgramVersion;

// What another thread needs to reach the frame: its thread and window, and the menu ids of the
// lists the settings may open at start. Filled when the frame opens, cleared when it closes.
struct FrameTable {
    int thread = 0;
    QPointer<QWidget> window;
    int songs = -11;
    int albums = -10;
    int playLists = -20;
    int labels = -19;
};
FrameTable &frameTable();
// Posts a menu or toolbar choice to the frame as if the user had made it; false when no frame
// runs. The id of a menu of the menu bar opens that menu, as its Alt key does.
bool postFrameCommand(int id);
inline constexpr int kReportsMenu = -23;

enum class CommandKind {
    Header,     // a menu or submenu without an action of its own
    Start,      // starts the procedure on a new thread
    Call,       // calls the procedure on the frame's own thread
    Songs,      // StartSongsBrowse
    Albums,     // StartAlbumsBrowse
    Standard,   // the runtime's own action (printer set-up, exit, clipboard, windows, help)
};

struct FrameCommand {
    int id;             // 0 for headers without an id
    QString menu;       // where it is: "File", "Reports/Songs", "Toolbar"
    QString text;
    CommandKind kind;
    QString procedure;  // Start and Call
    int stack = 0;      // Start: bytes asked for
    QString statusText;
    QString shortcut;   // portable text ("Ctrl+X"), empty for none
    QString icon;       // toolbar picture
};

// Every menu entry and toolbar button, in their order.
const QList<FrameCommand> &frameCommands();
const FrameCommand *frameCommand(int id);
// A command can be chosen when it needs no procedure or its procedure is registered.
bool commandAvailable(const FrameCommand &command);

void Main();
void StartSongsBrowse();
void StartAlbumsBrowse();

} // namespace tbk
