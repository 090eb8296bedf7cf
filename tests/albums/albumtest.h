#pragma once
// Shared pieces of the album tests: real data files in the test's folder, the album form called
// on its own logical thread, songs and albums made directly.
#include "albums/updatealbum.h"
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/data/errors.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "support/windows/controltesting.h"
#include "support/windows/listtesting.h"
#include "support/windows/windowtesting.h"

#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace albumtest {

using namespace tbk;
using namespace tbk::windowtest;

struct Call {
    int thread = 0;
    bool done = false;
    qint32 response = -1;
};

// The procedure on a new thread with the request, after `load` has filled the buffers.
inline std::shared_ptr<Call> callOnThread(std::function<void()> procedure, qint32 request, std::function<void()> load) {
    auto c = std::make_shared<Call>();
    c->thread = startThread(
        [c, procedure, request, load] {
            load();
            GlobalRequest = request;
            procedure();
            c->response = GlobalResponse;
            c->done = true;
        },
        kMinimumThreadStack);
    EXPECT_TRUE(runUntilIdle());
    return c;
}

// The album form, the album buffer cleared as a list's Add leaves it unless `load` fills it.
inline std::shared_ptr<Call> openAlbumForm(qint32 request, std::function<void()> load = {}) {
    return callOnThread(UpdateAlbum, request, load ? std::move(load) : [] { ALB.clear(); });
}

class AlbumTest : public testing::Test {
protected:
    void SetUp() override {
        setExitHook([](int) {});
        for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&ALB),
                                  static_cast<data::DataFile *>(&CAT), static_cast<data::DataFile *>(&MED),
                                  static_cast<data::DataFile *>(&PLA)})
            openForUse(*f);
        GlobalRequest = 0;
        NavigationRequest = 0;
        // A drive without a disc: entering the album form's empty ID field reads it.
        QFile drive(QStringLiteral("drive.txt"));
        ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write("disc no\n");
        drive.close();
        qputenv("TBK_CDROM", QFile::encodeName(QFileInfo(drive).absoluteFilePath()));
        for (const char *m : {"CD", "Vinyl"}) {
            MED.clear();
            MED.Media = m;
            EXPECT_TRUE(MED.add());
        }
    }
    void TearDown() override {
        endAllThreads();
        closeAllDataFiles();
        qunsetenv("TBK_CDROM");
    }

    static std::shared_ptr<Call> call(std::function<void()> procedure, qint32 request, std::function<void()> load) {
        return callOnThread(std::move(procedure), request, std::move(load));
    }
    static std::shared_ptr<Call> open(qint32 request, std::function<void()> load = {}) {
        return openAlbumForm(request, std::move(load));
    }
    static std::shared_ptr<Call> change(qint32 album) {
        return open(ChangeRecord, [album] { ASSERT_TRUE(loadAlbum(album)); });
    }
    static QWidget *window(const Call &c) { return activeWindow(c.thread); }
    static bool press(const Call &c, const QString &button) { return pressButton(c.thread, button) && runUntilIdle(); }
    static bool type(const Call &c, const QString &field, const QString &text) {
        return typeInto(c.thread, field, text) && runUntilIdle();
    }
    static bool answer(const Call &c, int button) { return answerMessage(c.thread, button) && runUntilIdle(); }
    static ListControl *trackList(const Call &c) {
        return qobject_cast<ListControl *>(findControl(window(c), QStringLiteral("Browse:2")));
    }

    static void addAlbum(qint32 id, const QString &artist, const QString &album, const QString &fileNumber = {},
                         const QString &cd = {}) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Artist = artist;
        ALB.Album = album;
        ALB.FileNumber = fileNumber;
        ALB.Media = "CD";
        ALB.CDIDENTIFIER = cd;
        ASSERT_TRUE(ALB.add()) << data::errorCode();
    }
    static bool loadAlbum(qint32 id) {
        ALB.clear();
        ALB.AlbumID = id;
        return ALB.get(ALB.KEYALBUMID);
    }
    static void addSong(qint32 id, const QString &title, qint32 album = 0, int side = 1, int track = 0,
                        const QString &fileNumber = {}, const QString &media = QStringLiteral("CD")) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = title;
        MUS.Media = media;
        MUS.FileNumber = fileNumber;
        MUS.AlbumID = album;
        MUS.Side = side;
        MUS.TrackNumber = track;
        ASSERT_TRUE(MUS.add()) << data::errorCode();
    }
    // The album's songs in key order as "side.track:title".
    static QStringList tracks(qint32 album) {
        QStringList out;
        MUS.clear();
        MUS.AlbumID = album;
        MUS.setFromBuffer(MUS.KeyAlbumID);
        while (MUS.next() && MUS.AlbumID.value() == album)
            out << QStringLiteral("%1.%2:%3").arg(MUS.Side.value()).arg(MUS.TrackNumber.value()).arg(MUS.Title.str());
        return out;
    }
    static qint32 albumOfSong(qint32 id) {
        MUS.clear();
        MUS.ID = id;
        return MUS.get(MUS.KEYID) ? MUS.AlbumID.value() : -1;
    }
    static QStringList albums() {
        QStringList out;
        ALB.set(ALB.KEYALBUMID);
        while (ALB.next())
            out << QStringLiteral("%1:%2/%3/%4")
                       .arg(ALB.AlbumID.value())
                       .arg(ALB.Artist.str(), ALB.Album.str(), ALB.CDIDENTIFIER.str());
        return out;
    }
};

} // namespace albumtest
