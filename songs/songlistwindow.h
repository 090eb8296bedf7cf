#pragma once
// What the song lists share over their list base: the song form, the search through the query
// wizard, and the Import and Export buttons, whose procedures run on threads of their own.
#include "core/procedures.h"
#include "songs/songlists.h"
#include "songs/updatesong.h"

#include <QPointer>
#include <QPushButton>

#include <utility>

namespace tbk {

template <class ListBase>
class SongListWindow : public ListBase {
public:
    // The list filtered by a query's filter text, as when the wizard ran it.
    void search(const QString &filter) {
        search_.apply(this->list(), filter);
        this->refresh(true);
    }

protected:
    template <class... Args>
    SongListWindow(const QString &queryName, const QString &queryFields, Args &&...args)
        : ListBase(std::forward<Args>(args)...), search_(queryName, queryFields) {
        // An album window of any thread may have set the mode since the list opened: the form
        // would file the song under that window's album.
        this->setForm([] {
            AlbumSongMode = 0;
            UpdateSong();
        });
    }

    void wireSongButtons(QPushButton *search, QPushButton *reset, QPushButton *import, QPushButton *exportButton) {
        import_ = import;
        export_ = exportButton;
        search_.setButtons(search, reset);
        this->on(search, EventKind::Accepted, [this] {
            if (search_.run(this->list()))
                this->refresh(true);
        });
        this->on(reset, EventKind::Accepted, [this] {
            search_.reset(this->list());
            this->refresh(true);
        });
        this->on(import, EventKind::Accepted, [this] { startProcedure(QStringLiteral("ImportSongs")); });
        this->on(exportButton, EventKind::Accepted, [this] { startProcedure(QStringLiteral("ExportSongs")); });
    }
    bool openRoutine() override {
        search_.prepare();
        AlbumSongMode = 0;
        return ListBase::openRoutine();
    }
    void refreshed() override {
        import_->setEnabled(procedureRegistered(QStringLiteral("ImportSongs")));
        export_->setEnabled(procedureRegistered(QStringLiteral("ExportSongs")));
    }
    void startProcedure(const QString &name) {
        startOnOwnThread(name);
        this->refresh();
    }

private:
    SongSearch search_;
    QPointer<QPushButton> import_, export_;
};

} // namespace tbk
