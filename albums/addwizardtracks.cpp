// The add wizards' Songs tab: the thread's work rows in key order on the browse engine, the track
// form calls on them, their moves and the edit of all of them in a row.
#include "albums/addwizards.h"
#include "albums/addwizardwindow.h"
#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "records/sequencemover.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/messagebox.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/listformat.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/editloop.h"

#include <QHeaderView>
#include <QPushButton>

namespace tbk {

namespace {

const QString kSingleArtistFormat =
    QStringLiteral("25R(1)|~Track~@n3@?166L(1)|~Title~@s50@20L(1)|~Time~@s5@");
const QString kCompilationFormat =
    QStringLiteral("25R(1)|~Track~@n3@?101L(1)|~Artist~@s50@111L(1)|~Title~@s50@20L(1)|~Time~@s5@");

// Minutes and seconds, five blanks for no time.
QString rowTime() {
    FormatReportSongTime(AW.TIME.value(), 0);
    return SongTimeText.str().left(5);
}

std::vector<QVariant> singleArtistRow() {
    return {AW.Track.value(), AW.TITLE.str(), rowTime(), AW.Instance.value(), AW.Side.value()};
}

std::vector<QVariant> compilationRow() {
    return {AW.Track.value(), AW.ARTIST.str(), AW.TITLE.str(), rowTime(), AW.Instance.value(), AW.Side.value()};
}

} // namespace

void AddWizardWindow::buildTracks(WindowBuilder &b) {
    const QString &format = compilation() ? kCompilationFormat : kSingleArtistFormat;
    trackList_ = b.list(QStringLiteral("Browse"), format, 110);
    // Every column shows without scrolling sideways (12 units are the border and the thumb bar),
    // and the time column takes what is left: its 20 units are narrower than its digits in the
    // faces here.
    int units = 12 + 10;
    const ListFormat columns = ListFormat::parse(format);
    for (const ListColumn &column : columns.columns())
        units += column.width;
    trackList_->setMinimumWidth(trackList_->unitsToPixels(units));
    trackList_->header()->setStretchLastSection(true);
    trackList_->setWidestText(compilation() ? 3 : 2, WidestTrackTime());
    b.column();
    moves_ = addMoveButtons(b);
    b.newButtonRow();
    add_ = b.button(QStringLiteral("&Add"));
    b.newButtonRow();
    change_ = b.button(QStringLiteral("&Change"));
    b.newButtonRow();
    remove_ = b.button(QStringLiteral("&Delete"));
    trackPopup_ = {{QStringLiteral("&Add"), add_}, {QStringLiteral("&Change"), change_}, {QStringLiteral("&Delete"), remove_}};
}

void AddWizardWindow::setUpTracks() {
    tracks_ = std::make_unique<BrowseList>(trackList_, AW, compilation() ? compilationRow : singleArtistRow);
    tracks_->bindNumber(QStringLiteral("ThreadInstance"), &instance_);
    tracks_->addSortOrder({&AW.KeyInstance, QStringLiteral("(AW:Instance=ThreadInstance)"), {}, LocatorKind::None, 0,
                           {2, 0, 0}});
    tracks_->setOnChange([this] { trackListChanged(); });

    holdList({tracks_.get(), add_, change_, remove_, trackPopup_, [this](QPushButton *b) { pressTrackButton(b); },
              {add_, change_, remove_, editAll_, moves_.up, moves_.top, moves_.down, moves_.bottom}});
}

void AddWizardWindow::refreshTracks(bool force) {
    if (tracks_ && !closing())
        tracks_->refresh(0, force);
}

void AddWizardWindow::trackListChanged() {
    if (tracks_->failed()) {
        closeWindow();
        return;
    }
    const bool rows = !tracks_->empty();
    for (QPushButton *b : {change_, remove_})
        b->setEnabled(rows);
}

void AddWizardWindow::pressTrackButton(QPushButton *button) {
    if (!button || !button->isEnabled() || !tracks_)
        return;
    if (button == add_)
        addTracks();
    else if (button == change_)
        callTrackForm(ChangeRecord);
    else if (button == remove_)
        callTrackForm(DeleteRecord);
    else if (button == editAll_)
        editAllTracks();
    else if (button == moves_.up)
        moveTrack(MoveMode::UpOne);
    else if (button == moves_.top)
        moveTrack(MoveMode::ToTop);
    else if (button == moves_.down)
        moveTrack(MoveMode::DownOne);
    else if (button == moves_.bottom)
        moveTrack(MoveMode::ToBottom);
}

bool AddWizardWindow::takeCurrentRow() { return !tracks_->empty() && tracks_->rereadCurrent(); }

void AddWizardWindow::afterTrackCall(const ListFormCall &call) {
    if (tracks_->failed())
        return;
    reloadAfterForm(*tracks_, call);
    trackList_->setFocus();
}

// The form opens for one new row after another until the user cancels it.
void AddWizardWindow::addTracks() {
    for (;;) {
        takeCurrentRow();
        const ListFormCall call = callListForm(*tracks_, InsertRecord, trackForm_);
        afterTrackCall(call);
        if (call.response != RequestCompleted || tracks_->failed() || closing())
            return;
    }
}

void AddWizardWindow::callTrackForm(qint32 request) {
    if (!takeCurrentRow())
        return;
    afterTrackCall(callListForm(*tracks_, request, trackForm_));
}

void AddWizardWindow::moveTrack(MoveMode mode) {
    if (!takeCurrentRow())
        return;
    const data::Position row = AW.position();
    AW.stream();
    SequenceMover(addWizardRows()).move(row, mode);
    AW.flush();
    tracks_->reload(row);
    trackList_->setFocus();
}

void AddWizardWindow::editAllTracks() {
    takeCurrentRow();
    const data::Position current = tracks_->currentPosition();
    // The rows as they stand now: a row whose track the form changes is not met again.
    std::vector<data::Position> rows;
    AW.clear();
    AW.Instance = instance_;
    AW.setFromBuffer(AW.KeyInstance);
    while (AW.next() && AW.Instance.value() == instance_)
        rows.push_back(AW.position());
    QString unread, failure;
    if (data::errorCode() != data::NoError && data::errorCode() != data::RecordNotAvailable)
        unread = data::errorText();
    size_t next = 0;
    const auto nextRow = [&] {
        while (next < rows.size()) {
            if (AW.get(rows[next++]))
                return true;
            if (data::errorCode() != data::RecordNotFound) {
                failure = data::errorText();
                return false;
            }
        }
        failure = unread;   // met where the reading stopped
        return false;
    };
    const EditLoopEnd end = editAll(AW, nextRow, trackForm_);
    // A read error stops the loop: going on would meet a lasting one again and again.
    if (!failure.isEmpty())
        message(failure + QLatin1Char('\r') + AW.name(), QStringLiteral("Unexpected Error"), MessageIcon::Exclamation,
                ButtonOK);
    else if (end == EditLoopEnd::RowsDone)
        message(QStringLiteral("End of songs on this album."), QStringLiteral("Information"), MessageIcon::Information,
                ButtonOK);
    if (tracks_->failed() || closing())
        return;
    tracks_->reload(current);
    trackList_->setFocus();
}

} // namespace tbk
