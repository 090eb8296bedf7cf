#pragma once
// The album form's window: the record and its six tabs (updatealbum.cpp) and the track list
// on its Songs tab (albumtracks.cpp).
#include "albums/albumsongs.h"
#include "core/browse.h"
#include "core/form.h"
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
    void closeRoutine() override;

private:
    struct Category {
        QString name;
        qint64 id;
    };
    QString text(const QString &field) { return record().value(field).toString(); }
    qint32 albumID();
    bool fillMedia();
    bool fillCategories();
    int checkMedia();
    int checkCategory();
    void showCategory();
    void enablePlayButtons();
    void chooseFile(const QString &field, const QString &title, const QString &filter);
    void playWav();
    void showImage();
    void readIdentification();
    void readWholeDisc();
    void lookUp();

    // The track list.
    void buildTracks(WindowBuilder &b);
    void setUpTracks();
    // The album into its buffer, where the song form, the list's filter and the CD reading
    // read it; nothing may wait between this and their reading it.
    void albumToBuffer();
    void refreshTracks(bool force = false);
    void trackListChanged();
    void pressTrackButton(QPushButton *button);
    // A song form call on the list; the answer of the song form is never the album form's.
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
    void readCdInformation();
    void reassignSongs();
    bool chooseOneSong();
    void dropSong(const QString &value);
    QString dragValue(QPoint at) const;

    std::vector<Category> categories_;
    QStringList media_;
    QPointer<QLabel> image_;
    QPointer<QPushButton> playWav_, playAssociated_, openExplorer_;
    QPointer<QPushButton> readId_, lookUp_;
    QPointer<QSoundEffect> sound_;

    std::unique_ptr<BrowseList> tracks_;
    QPointer<ListControl> trackList_;
    struct TrackButtons {
        QPushButton *add = nullptr, *copy = nullptr, *change = nullptr, *remove = nullptr, *editAll = nullptr;
        QPushButton *up = nullptr, *top = nullptr, *down = nullptr, *bottom = nullptr;
        QPushButton *readCd = nullptr, *reassign = nullptr;
    } tb_;
    QPointer<QSpinBox> side_;
    AlbumSongsTaken taken_;
    bool forceReload_ = false;
};

} // namespace tbk
