#pragma once
// Shared pieces of the album tests: the catalogue fixture with a drive without a disc, the album
// form called on its own logical thread.
#include "albums/updatealbum.h"
#include "runtime/data/errors.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/catalogue/cataloguetest.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <utility>

namespace albumtest {

using namespace cataloguetest;

// The album form, the album buffer cleared as a list's Add leaves it unless `load` fills it.
inline Started openAlbumForm(qint32 request, std::function<void()> load = {}) {
    return callOnThread(UpdateAlbum, request, load ? std::move(load) : [] { ALB.clear(); });
}

class AlbumTest : public CatalogueTest {
protected:
    void SetUp() override {
        CatalogueTest::SetUp();
        // A drive without a disc: entering the album form's empty ID field reads it.
        QFile drive(QStringLiteral("drive.txt"));
        ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write("disc no\n");
        drive.close();
        qputenv("TBK_CDROM", QFile::encodeName(QFileInfo(drive).absoluteFilePath()));
        for (const char *m : {"CD", "Vinyl"})
            addMedia(m);
    }
    void TearDown() override {
        CatalogueTest::TearDown();
        qunsetenv("TBK_CDROM");
    }

    static Started open(qint32 request, std::function<void()> load = {}) {
        return openAlbumForm(request, std::move(load));
    }
    static Started change(qint32 album) {
        return open(ChangeRecord, [album] { ASSERT_TRUE(loadAlbum(album)); });
    }
    static ListControl *trackList(const Call &c) {
        return qobject_cast<ListControl *>(findControl(window(c), QStringLiteral("Browse:2")));
    }

    static qint32 albumOfSong(qint32 id) { return loadSong(id) ? MUS.AlbumID.value() : -1; }
    static QStringList albums() {
        return rows(ALB, ALB.KEYALBUMID, [] {
            return QStringLiteral("%1:%2/%3/%4")
                .arg(ALB.AlbumID.value())
                .arg(ALB.Artist.str(), ALB.Album.str(), ALB.CDIDENTIFIER.str());
        });
    }
};

} // namespace albumtest
