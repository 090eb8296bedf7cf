#pragma once
// The album form's window: the record and its six tabs (updatealbum.cpp) and the track list
// on its Songs tab (albumtracks.cpp).
#include "albums/albumfields.h"
#include "albums/albumsonglist.h"
#include "albums/albumsongs.h"
#include "records/browse.h"
#include "records/form.h"
#include "runtime/ui/listcontrol.h"

#include <QPointer>
#include <QStringList>

#include <memory>
#include <vector>

class QLabel;
class QSoundEffect;
class QSpinBox;

namespace tbk {

class ListControl;
class LookupLists;
class WindowBuilder;

class AlbumForm : public Form {
public:
    AlbumForm();
    ~AlbumForm() override;

    // The track list, for what drives the form other than the user (a benchmark).
    BrowseList *tracks() const { return tracks_.get(); }

protected:
    QWidget *createForm() override;
    void formOpened() override;
    void refreshDisplay() override;
    void completed() override;
    void closeRoutine() override;

private:
    QString text(const QString &field) { return record().value(field).toString(); }
    qint32 albumID();
    void showCategory();
    void enablePlayButtons();
    void chooseFile(const QString &field, const QString &title, const QString &filter);
    void playWav();
    void showImage();
    void readIdentification();
    void readWholeDisc();
    void lookUp();
    void redisplayAfterDisc();

    // The track list.
    void buildTracks(WindowBuilder &b);
    void setUpTracks();
    // The album into its buffer, where the song form, the list's filter and the CD reading
    // read it; nothing may wait between this and their reading it.
    void albumToBuffer();
    void refreshTracks(bool force = false);
    void trackListChanged();
    void readCdInformation();
    void reassignSongs();
    bool chooseOneSong();
    void dropSong(const QString &value);
    QString dragValue(QPoint at) const;

    std::unique_ptr<LookupLists> lookups_;
    QPointer<QLabel> image_;
    QPointer<QPushButton> playWav_, playAssociated_, openExplorer_;
    QPointer<QPushButton> readId_, lookUp_;
    QPointer<QSoundEffect> sound_;

    std::unique_ptr<BrowseList> tracks_;
    // The song form calls and moves on tracks_; the answer of the song form is never the album
    // form's.
    std::unique_ptr<AlbumSongList> songList_;
    QPointer<ListControl> trackList_;
    AlbumSongList::Buttons tb_;
    QPushButton *readCd_ = nullptr, *reassign_ = nullptr;
    QPointer<QSpinBox> side_;
    AlbumSongsTaken taken_;
    // The album as a disc reading or look-up last gave its data to the songs; empty before one.
    data::Record songsTook_;
    bool forceReload_ = false;
};

} // namespace tbk
