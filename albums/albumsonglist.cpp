#include "albums/albumsonglist.h"

#include "cdaudio/mcicommand.h"
#include "records/movebuttons.h"

#include "core/datafiles.h"
#include "records/sequencemover.h"
#include "runtime/threads/callprotocol.h"
#include "core/artwork.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/ui/windowevents.h"
#include "songs/editloop.h"
#include "songs/updatesong.h"

#include <QPushButton>

namespace tbk {

AlbumSongList::AlbumSongList(BrowseList &songs, const Buttons &buttons, Owner owner)
    : songs_(songs), buttons_(buttons), owner_(std::move(owner)) {
    setPopupTexts(QStringLiteral("&Change"));
}

void AlbumSongList::setPopupTexts(const QString &change) {
    popup_ = {{QStringLiteral("&Add"), buttons_.add},
              {change, buttons_.change},
              {QStringLiteral("&Delete"), buttons_.remove},
              {},
              {QStringLiteral("Cop&y"), buttons_.copy}};
}

QList<QPushButton *> AlbumSongList::pressable() const {
    return {buttons_.add, buttons_.copy, buttons_.change, buttons_.remove, buttons_.editAll,
            buttons_.up,  buttons_.top,  buttons_.down,   buttons_.bottom};
}

qint32 AlbumSongList::albumID() const { return songs_.resetValue(0, QStringLiteral("ALB:AlbumID")).toInt(); }

bool AlbumSongList::changed() {
    if (songs_.failed())
        return false;
    const bool rows = !songs_.empty();
    for (QPushButton *b : {buttons_.copy, buttons_.change, buttons_.remove})
        b->setEnabled(rows);
    return true;
}

Form::HeldList AlbumSongList::held() {
    return {&songs_, buttons_.add, buttons_.change, buttons_.remove, popup_, [this](QPushButton *b) { press(b); },
            pressable()};
}

void AlbumSongList::press(QPushButton *button) {
    if (!button || !button->isEnabled())
        return;
    if (button == buttons_.add)
        addSong();
    else if (button == buttons_.copy)
        copySong();
    else if (button == buttons_.change)
        changeSong();
    else if (button == buttons_.remove)
        deleteSong();
    else if (button == buttons_.editAll)
        editAllSongs();
    else if (button == buttons_.up)
        moveSong(1);
    else if (button == buttons_.down)
        moveSong(2);
    else if (button == buttons_.top)
        moveSong(3);
    else if (button == buttons_.bottom)
        moveSong(4);
}

ListFormCall AlbumSongList::callSongForm(qint32 request, bool primed) {
    owner_.prepareSongForm();
    return callListForm(songs_, request, UpdateSong, primed);
}

void AlbumSongList::afterSongCall(const ListFormCall &call) {
    if (songs_.failed())
        return;
    reloadAfterForm(songs_, call);
    owner_.refresh();
    songs_.control()->setFocus();
}

void AlbumSongList::addSong() {
    bool highlighted = false;
    qint32 h = 0;
    quint8 side = 0;
    if (!songs_.empty()) {
        if (!songs_.rereadCurrent())
            return;
        highlighted = true;
        h = MUS.TrackNumber.value();
        side = MUS.Side.value();
    }
    const ListFormCall call = callSongForm(InsertRecord, false);
    // A new song on another side than the highlighted one stays where its side puts it: the
    // highlighted number says nothing of that side's order.
    if (call.response == RequestCompleted && call.request == InsertRecord && highlighted &&
        MUS.Side.value() == side && MUS.TrackNumber.value() != h + 1)
        insertAfter(MUS.ID.value(), h);
    afterSongCall(call);
}

void AlbumSongList::copySong() {
    if (!songs_.rereadCurrent())
        return;
    afterSongCall(callSongForm(InsertRecord, true));
}

void AlbumSongList::changeSong() { afterSongCall(callSongForm(ChangeRecord, false)); }

void AlbumSongList::deleteSong() {
    if (!songs_.rereadCurrent())
        return;
    const qint32 d = MUS.TrackNumber.value();
    const quint8 side = MUS.Side.value();
    const ListFormCall call = callSongForm(DeleteRecord, false);
    if (call.response == RequestCompleted && d > 0)
        renumberFrom(side, d);
    afterSongCall(call);
}

void AlbumSongList::moveSong(int mode) {
    if (songs_.empty() || !songs_.rereadCurrent())
        return;
    const data::Position song = MUS.position();
    SequenceMover(albumTracks()).move(song, MoveMode(mode));
    songs_.reload(song);
    songs_.control()->setFocus();
}

void AlbumSongList::insertAfter(qint32 songID, qint32 h) {
    MUS.clear();
    MUS.ID = songID;
    if (MUS.get(MUS.KEYID))
        SequenceMover(albumTracks()).move(MUS.position(), MoveMode::InsertAfter, h);
}

void AlbumSongList::renumberFrom(quint8 side, qint32 d) {
    MUS.clear();
    MUS.AlbumID = albumID();
    MUS.Side = side;
    SequenceMover(albumTracks()).renumber(MUS.record(), d);
}

AlbumSongList::Buttons buildSongButtons(WindowBuilder &b, const QString &add, const QString &copy,
                                        const QString &change, const QString &remove) {
    AlbumSongList::Buttons buttons;
    buttons.add = b.button(add);
    b.newButtonRow();
    buttons.copy = b.button(copy, QStringLiteral("Copy record"));
    b.newButtonRow();
    buttons.change = b.button(change);
    b.newButtonRow();
    buttons.remove = b.button(remove);
    b.newButtonRow();
    buttons.editAll = b.button(QStringLiteral("Edit All Son&gs"));
    b.newButtonRow();
    const MoveButtons moves = addMoveButtons(b);
    buttons.up = moves.up;
    buttons.top = moves.top;
    buttons.down = moves.down;
    buttons.bottom = moves.bottom;
    return buttons;
}

std::unique_ptr<BrowseList> makeAlbumSongList(ListControl *control, BrowseList::RowMaker row,
                                              std::function<QVariant()> side) {
    auto songs = std::make_unique<BrowseList>(control, MUS, std::move(row), QStringLiteral("BRW2"));
    SortOrder order{&MUS.KeyAlbumID,
                    QStringLiteral("MUS:AlbumID = BRW2::Sort1:Reset:ALB:AlbumID"),
                    {{QStringLiteral("ALB:AlbumID"), QStringLiteral("MUS:AlbumID")}},
                    LocatorKind::FirstLetter,
                    1,
                    {1, 0, 0},
                    1};
    if (side) {
        order.filter += QStringLiteral(" AND MUS:Side = BRW2::Sort1:Reset:GLO:Side");
        order.resets.push_back({kSongListSide, QStringLiteral("MUS:Side"), std::move(side)});
    }
    songs->addSortOrder(order);
    control->setWidestText(kTrackTimeColumn, WidestTrackTime());
    return songs;
}

std::vector<data::Position> albumSongsFrom(qint32 albumID, quint8 side) {
    std::vector<data::Position> songs;
    MUS.clear();
    MUS.AlbumID = albumID;
    MUS.Side = side;
    MUS.setFromBuffer(MUS.KeyAlbumID);
    while (MUS.next() && MUS.AlbumID.value() == albumID)
        songs.push_back(MUS.position());
    return songs;
}

void AlbumSongList::editAllSongs() {
    if (!songs_.empty())
        songs_.rereadCurrent();
    const data::Position current = MUS.position();
    const quint8 side = owner_.editAllFromListSide ? quint8(songs_.resetValue(0, kSongListSide).toUInt()) : 0;
    // The songs as they stand now: a song the form moves to another side or number is not met
    // again.
    const std::vector<data::Position> songs = albumSongsFrom(albumID(), side);
    size_t next = 0;
    editAll(
        MUS,
        [&] {
            while (next < songs.size())
                if (MUS.get(songs[next++]))
                    return true;
            return false;
        },
        [this] {
            owner_.prepareSongForm();
            UpdateSong();
        });
    songs_.reload(current);
    songs_.control()->setFocus();
    owner_.refresh();
}

} // namespace tbk
