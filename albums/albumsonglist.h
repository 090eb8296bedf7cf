#pragma once
// What the album form's track list and the album wizards' song list share: the songs of the
// album in the album buffer on the browse engine, in side and track order, edited through the
// song form with the order kept (a new song follows the highlighted one, a delete closes the
// gap, the four moves), and Edit All Songs. The window holding it builds the list and the
// buttons, hands it their events and says what it does around each song form call.
#include "records/browse.h"
#include "records/form.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QPushButton;

namespace tbk {

class WindowBuilder;

// The reset field of a list limited to one side: the side it was last read for.
inline const QString kSongListSide = QStringLiteral("GLO:Side");

class AlbumSongList {
public:
    struct Buttons {
        QPushButton *add = nullptr, *copy = nullptr, *change = nullptr, *remove = nullptr, *editAll = nullptr;
        QPushButton *up = nullptr, *top = nullptr, *down = nullptr, *bottom = nullptr;
    };
    struct Owner {
        // Right before each song form call: the album into ALB's buffer, where the song form
        // reads it, and the song mode the window works in. It must not wait.
        std::function<void()> prepareSongForm;
        // After a song form call or an edit-all run: the window's own refresh.
        std::function<void()> refresh;
        // Edit All starts at the first song of the list's side (its range value "GLO:Side");
        // false: at the album's first.
        bool editAllFromListSide = false;
    };

    // The list's range value "ALB:AlbumID" is the album whose songs it shows.
    AlbumSongList(BrowseList &songs, const Buttons &buttons, Owner owner);

    // The popup of a right click: Add, Change (captioned as given), Delete and Copy.
    void setPopupTexts(const QString &change);
    // The list held in its form: keys, typing, popup and every button go through press.
    Form::HeldList held();
    const Buttons &buttons() const { return buttons_; }
    // Every button beside the list that the user presses.
    QList<QPushButton *> pressable() const;

    BrowseList &list() const { return songs_; }
    // A button pressed (ignored while disabled).
    void press(QPushButton *button);
    // After a change of page or row: Copy, Change and Delete need a row; false when the list
    // failed and its window must close.
    bool changed();

    qint32 albumID() const;

private:
    ListFormCall callSongForm(qint32 request, bool primed);
    void afterSongCall(const ListFormCall &call);
    void addSong();
    void copySong();
    void changeSong();
    void deleteSong();
    void moveSong(int mode);
    // The new song (by identifier) moved to follow track h of its side.
    void insertAfter(qint32 songID, qint32 h);
    // The side's songs from track d on numbered d, d + 1, ... after a delete.
    void renumberFrom(quint8 side, qint32 d);
    void editAllSongs();

    BrowseList &songs_;
    Buttons buttons_;
    Owner owner_;
    QList<ListPopupItem> popup_;
};

// The buttons beside the list, stacked, with these captions: Add, Copy, Change (or Edit),
// Delete, then "Edit All Son&gs" and the four moves.
AlbumSongList::Buttons buildSongButtons(WindowBuilder &b, const QString &add, const QString &copy,
                                        const QString &change, const QString &remove);

// The engine under an album's song list: the songs of the album in ALB's buffer in side and
// track order, their filter's reset values bound as "BRW2::Sort1:Reset:ALB:AlbumID" and, when
// `side` is given (a list of one side), "BRW2::Sort1:Reset:GLO:Side". Saved filter texts name
// these, so they must not change.
std::unique_ptr<BrowseList> makeAlbumSongList(ListControl *control, BrowseList::RowMaker row,
                                              std::function<QVariant()> side = {});

// The columns of an album's songs by side and track with their media and file number, as the
// album form's track list shows them.
QString albumTrackListFormat();
// The column of that format (and the wizards') that shows the track's time.
constexpr int kTrackTimeColumn = 4;

// The songs of the album from its first song on the side onward (side 0: all), as they stand:
// the positions an edit-all run walks.
std::vector<data::Position> albumSongsFrom(qint32 albumID, quint8 side);

} // namespace tbk
