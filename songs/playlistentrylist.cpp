// The playlist form's entries: the playlist's entries in sequence order on the browse engine,
// each with its song, and what keeps that order.
#include "core/datafiles.h"
#include "records/movebuttons.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/standardwarnings.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/dragdrop.h"
#include "runtime/ui/feedback.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/browsesongs.h"
#include "songs/playlistentries.h"
#include "songs/playlistform.h"
#include "songs/updateplaylistdetails.h"

#include <QLineEdit>
#include <QPushButton>

namespace tbk {

namespace {

const QString kListName = QStringLiteral("Browse:2");
const QString kFormat = QStringLiteral(
    "26R(2)|M~Seq~@n5@70L(2)|M~Artist~@s50@80L(2)|M~Title~@s50@44R(2)|M~Time~@t4@80L(2)|M~Notes~@s40@");
const QString kTotalTime = QStringLiteral("TotalTime");
const char *const kChartUpdate = "UpdatePlaylistChart";

std::vector<QVariant> entryRow() {
    // A song that is gone shows no time rather than a time of 0.
    const QVariant time = MUS.ID.value() > 0 ? QVariant(MUS.Time.value()) : QVariant();
    return {PLA.PlaylistSeq.value(), MUS.Artist.str().left(50), MUS.Title.str().left(50), time,
            PLA.PLAYLISTNOTES.str(),  PLA.PlaylistID.value(),   MUS.ID.value()};
}

} // namespace

void PlaylistForm::buildEntries(WindowBuilder &b) {
    entryList_ = b.list(kListName, kFormat, 120);
    entryList_->setMinimumWidth(480);
    b.column();
    const MoveButtons moves = addMoveButtons(b);
    eb_.up = moves.up;
    eb_.top = moves.top;
    eb_.down = moves.down;
    eb_.bottom = moves.bottom;
    b.newButtonRow();
    eb_.chart = b.button(QStringLiteral("Char&t"), QStringLiteral("Copy the current chart order into the last week column"));
    b.newButtonRow();
    eb_.add = b.button(QStringLiteral("&Add"));
    b.newButtonRow();
    eb_.change = b.button(QStringLiteral("&Change"));
    b.newButtonRow();
    eb_.remove = b.button(QStringLiteral("&Delete"));
    QLineEdit *total = b.entry(QStringLiteral("Total Time:"), kTotalTime, QStringLiteral("@t4"));
    total->setReadOnly(true);
    total->setFocusPolicy(Qt::NoFocus);
}

void PlaylistForm::setUpEntries() {
    entries_ = std::make_unique<BrowseList>(entryList_, PLA, entryRow, QStringLiteral("BRW2"));
    entries_->setJoin({&MUS}, [] { readSong(PLA.ID.value()); });
    SortOrder order{&PLA.KeyPlaylistID, QStringLiteral("PLA:PlaylistID = BRW2::Sort1:Reset:PLD:PlaylistID"),
                    {{QStringLiteral("PLD:PlaylistID"), QStringLiteral("PLA:PlaylistID")}}, LocatorKind::FirstLetter,
                    1, {1, 0, 0}};
    order.number = 1;
    entries_->addSortOrder(order);
    entries_->setOnChange([this] { entriesChanged(); });
    entries_->setOnReload([this] { entriesReloaded(); });
    entryList_->setFormat(replaceDatePictures(entryList_->format(), DateFormat.str()));

    holdList({entries_.get(),
              eb_.add,
              eb_.change,
              eb_.remove,
              {{QStringLiteral("&Add"), eb_.add},
               {QStringLiteral("&Change"), eb_.change},
               {QStringLiteral("&Delete"), eb_.remove}},
              [this](QPushButton *b) { pressEntryButton(b); },
              {}});
    on(entryList_, EventKind::Drop, [this](const Event &e) { dropSong(e.text); });
    acceptDrops(entryList_, {QString::fromLatin1(kSongsDrag)});

    for (QPushButton *b : {eb_.up, eb_.top, eb_.down, eb_.bottom, eb_.chart, eb_.add, eb_.change, eb_.remove})
        on(b, EventKind::Accepted, [this, b] { pressEntryButton(b); });
}

void PlaylistForm::refreshEntries(bool force) {
    if (!entries_ || closing())
        return;
    headerToBuffer();
    entries_->refresh(0, force);
}

void PlaylistForm::entriesChanged() {
    if (entries_->failed()) {
        closeWindow();
        return;
    }
    const bool rows = !entries_->empty();
    eb_.change->setEnabled(rows);
    eb_.remove->setEnabled(rows);
    eb_.chart->setEnabled(procedureRegistered(QString::fromLatin1(kChartUpdate)));
}

void PlaylistForm::entriesReloaded() {
    if (!playlistTotalTime(playlistID(), total_)) {
        ShowStandardWarningWithText(35, PLA.label());
        closeWindow();
        return;
    }
    controls().setValue(kTotalTime, total_);
}

void PlaylistForm::pressEntryButton(QPushButton *button) {
    if (!button || !button->isEnabled() || !entries_)
        return;
    if (button == eb_.add)
        addEntry();
    else if (button == eb_.change)
        changeEntry();
    else if (button == eb_.remove)
        deleteEntry();
    else if (button == eb_.up)
        moveEntry(MoveMode::UpOne);
    else if (button == eb_.down)
        moveEntry(MoveMode::DownOne);
    else if (button == eb_.top)
        moveEntry(MoveMode::ToTop);
    else if (button == eb_.bottom)
        moveEntry(MoveMode::ToBottom);
    else if (button == eb_.chart)
        chart();
}

ListFormCall PlaylistForm::callEntryForm(qint32 request) {
    headerToBuffer();
    return callListForm(*entries_, request, UpdatePlaylistDetails);
}

void PlaylistForm::afterEntryCall(const ListFormCall &call) {
    if (entries_->failed())
        return;
    reloadAfterForm(*entries_, call);
    refresh();
    entryList_->setFocus();
}

// The new entry goes directly after the highlighted one.
void PlaylistForm::addEntry() {
    qint64 s = 0;
    if (!entries_->empty()) {
        if (!entries_->rereadCurrent())
            return;
        s = PLA.PlaylistSeq.value();
    }
    const ListFormCall call = callEntryForm(InsertRecord);
    if (call.response == RequestCompleted && call.request == InsertRecord && PLA.PlaylistSeq.value() != s + 1)
        SequenceMover(playlistEntries()).move(PLA.position(), MoveMode::InsertAfter, s);
    afterEntryCall(call);
}

void PlaylistForm::changeEntry() { afterEntryCall(callEntryForm(ChangeRecord)); }

// The entries after a deleted one close the gap it leaves.
void PlaylistForm::deleteEntry() {
    if (!entries_->rereadCurrent())
        return;
    const qint64 d = PLA.PlaylistSeq.value();
    const ListFormCall call = callEntryForm(DeleteRecord);
    if (call.response == RequestCompleted && d > 0) {
        PLA.clear();
        PLA.PlaylistID = playlistID();
        SequenceMover(playlistEntries()).renumber(PLA.record(), d);
    }
    afterEntryCall(call);
}

void PlaylistForm::moveEntry(MoveMode mode) {
    if (entries_->empty() || !entries_->rereadCurrent())
        return;
    const data::Position entry = PLA.position();
    SequenceMover(playlistEntries()).move(entry, mode);
    entries_->reload(entry);
    entryList_->setFocus();
}

// Only a song that exists is taken: a drop names it by its identifier.
void PlaylistForm::dropSong(const QString &text) {
    const std::optional<qint32> song = droppedSong(text);
    if (!song) {
        beep();
        return;
    }
    switch (appendToPlaylist(playlistID(), *song)) {
    case Appended::ReadError:
        closeWindow();
        return;
    case Appended::Added:
        entries_->reload(PLA.position());
        break;
    case Appended::GaveUp:
        break;
    }
    entryList_->setFocus();
}

void PlaylistForm::chart() {
    const Procedure update = findProcedure(QString::fromLatin1(kChartUpdate));
    if (!update)
        return;
    headerToBuffer();
    update();
    refreshEntries(true);
}

} // namespace tbk
