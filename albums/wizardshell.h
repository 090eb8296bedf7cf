#pragma once
// What the two album wizards share: an insert of an album on a sheet of three pages whose tabs
// are hidden ("Type", "General", "Songs"), moved through by Next and Back; the album primed from
// the album buffer as the caller left it (artist, album, file number and disc identifiers
// cleared); the album's basic information with the media and category drop lists; the songs of
// the album's side with the song list; Finish writing the album; Cancel, Escape, the close box
// and the program's end deleting the primed album and every song it was given.
//
// A wizard builds its first page and what it adds to the others, and says what Next does on a
// step and what follows a written album (the next primed album, or the end).
#include "albums/albumfields.h"
#include "albums/albumsonglist.h"
#include "records/form.h"
#include "records/wizardsteps.h"
#include "runtime/ui/listcontrol.h"

#include <QPointer>

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace tbk {

class WindowBuilder;

class AlbumWizardShell : public Form {
public:
    ~AlbumWizardShell() override;

protected:
    // `ditto`: the wizard's own store of the last album finished in the run.
    AlbumWizardShell(const QString &procedureName, const QString &title, DittoStore &ditto);

    // Page 1 (its picture and heading through pageTop, then its rows); rows after page 2's;
    // buttons after the song list's.
    virtual void buildTypePage(WindowBuilder &b) = 0;
    virtual void buildGeneralRows(WindowBuilder &) {}
    virtual void buildSongRows(WindowBuilder &) {}
    // Before Next turns the page on `step`.
    virtual void beforeNext(int /*step*/) {}
    // The album was written (the response is completed).
    virtual void stored() = 0;
    // Before the album is written, once its fields passed.
    virtual void beforeStore() {}
    // When the window has opened, its lists filled.
    virtual void wizardOpened() {}

    // A page's picture and, beside it, its heading; the rows that follow go under the heading.
    void pageTop(WindowBuilder &b, const QString &picture, const QString &heading);
    int step() const { return step_; }
    void showStep(int step);
    QPushButton *nextButton() const { return steps_.next; }
    // A page's heading ("Heading1" to "Heading3").
    QLabel *heading(int page) const;
    // The side whose songs the list shows and the song form and the disc reading take.
    quint8 side() const { return side_; }
    // Another side or disc for the list, the song form and the disc reading (GLO:Side).
    void setSide(quint8 side);
    // The Edit All Songs button pressed (its key Alt+G).
    void pressEditAll();
    // The song mode every later song form call runs in (AlbumSongMode).
    void setSongMode(quint8 mode) { songMode_ = mode; }
    // The album and the globals the song form and the disc reading read, right before they run.
    void prepareSongWork();
    // The refresh with the song list read again.
    void refreshWithSongs();
    // After a disc was read into the album's songs: every song of the album takes its data as
    // it is now (takeAlbumData; the artist too in the single-artist song mode), following it where
    // a song still holds what it took before.
    void songsFollowAlbum();
    // The highlighted song read again, as before every change of page or album.
    void rereadSong();
    // The text of the category list (CAT:Category).
    QString categoryText();

    QWidget *createForm() final;
    void formOpened() final;
    void refreshDisplay() override;
    void selectOnOpening() override;
    void closeRoutine() override;

private:
    void setUpSongs();
    void nextPressed();
    void finishPressed();
    void pageChanged();
    void showCategory();
    void deleteSongsOfPrimedAlbum();
    void showSongError();

    QString title_;
    WizardSteps steps_;
    QComboBox *media_ = nullptr, *category_ = nullptr;
    AlbumDropLists dropLists_;
    QPointer<ListControl> songControl_;
    AlbumSongList::Buttons songButtons_;
    std::unique_ptr<BrowseList> songs_;
    std::unique_ptr<AlbumSongList> songList_;
    int headings_ = 0;
    int step_ = 1;
    quint8 side_ = 1;
    quint8 songMode_ = 1;
    bool forceSongs_ = false;
    // The album as its songs last took it; empty before the first disc reading.
    data::Record songsTook_;
};

// On entry to a wizard: the request is an insert whatever the caller set, the album buffer loses
// artist, album, file number and disc identifiers (the rest primes the new album), side 1.
void enterAlbumWizard();

// Adds the five categories Rock, Pop, Jazz, Classical and Country (identifiers 1 to 5) to an
// empty categories file; false when one could not be added.
bool seedCategories();

} // namespace tbk
