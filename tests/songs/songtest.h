#pragma once
// Shared pieces of the song subsystem's tests: real data files in the test's folder, windows
// called on their own logical threads, and the user's moves on them.
#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/halt.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "support/windows/controltesting.h"
#include "support/windows/windowtesting.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace songtest {

using namespace tbk;
using namespace tbk::windowtest;

struct Call {
    int thread = 0;
    bool done = false;
    qint32 response = -1;
};

class SongTest : public testing::Test {
protected:
    void SetUp() override {
        setExitHook([](int) {});
        for (data::DataFile *f : {static_cast<data::DataFile *>(&MUS), static_cast<data::DataFile *>(&ALB),
                                  static_cast<data::DataFile *>(&CAT), static_cast<data::DataFile *>(&MED),
                                  static_cast<data::DataFile *>(&PLA)})
            openForUse(*f);
        GlobalRequest = 0;
        NavigationRequest = 0;
    }
    void TearDown() override {
        endAllThreads();
        closeAllDataFiles();
    }

    // Runs the procedure on a new thread with the request, after `load` has filled the buffers.
    static std::shared_ptr<Call> call(const std::function<void()> &procedure, qint32 request,
                                      std::function<void()> load = {}) {
        auto c = std::make_shared<Call>();
        c->thread = startThread(
            [c, request, load, procedure] {
                if (load)
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

    static QWidget *window(const Call &c) { return activeWindow(c.thread); }
    static bool press(const Call &c, const QString &button) { return pressButton(c.thread, button) && runUntilIdle(); }
    static bool type(const Call &c, const QString &field, const QString &text) {
        return typeInto(c.thread, field, text) && runUntilIdle();
    }
    static bool answer(const Call &c, int button) { return answerMessage(c.thread, button) && runUntilIdle(); }
    static QString shown(const Call &c, const QString &field) { return controlText(c.thread, field).trimmed(); }

    static void addCategory(qint64 id, const QString &name) {
        CAT.clear();
        CAT.CategoryID = id;
        CAT.Category = name;
        ASSERT_TRUE(CAT.add()) << data::errorCode();
    }
    static void addMedia(const QString &name) {
        MED.clear();
        MED.Media = name;
        ASSERT_TRUE(MED.add()) << data::errorCode();
    }
    static void addAlbum(qint32 id, const QString &artist, const QString &album, const QString &fileNumber = {},
                         const QString &media = QStringLiteral("CD")) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.Artist = artist;
        ALB.Album = album;
        ALB.FileNumber = fileNumber;
        ALB.Media = media;
        ASSERT_TRUE(ALB.add()) << data::errorCode();
    }
    static void addSong(qint32 id, const QString &title, qint32 album = 0, int side = 0, int track = 0) {
        MUS.clear();
        MUS.ID = id;
        MUS.Title = title;
        MUS.Media = "CD";
        MUS.AlbumID = album;
        MUS.Side = side;
        MUS.TrackNumber = track;
        ASSERT_TRUE(MUS.add()) << data::errorCode();
    }
    static bool loadSong(qint32 id) {
        MUS.clear();
        MUS.ID = id;
        return MUS.get(MUS.KEYID);
    }
    // Every record of a file through a key, as the text `row` makes of the buffer.
    static QStringList rows(data::DataFile &f, const data::Key &k, const std::function<QString()> &row) {
        QStringList out;
        f.set(k);
        while (f.next())
            out << row();
        return out;
    }
    static QStringList categories() {
        return rows(CAT, CAT.KeyCategoryID,
                    [] { return QStringLiteral("%1:%2").arg(CAT.CategoryID.value()).arg(CAT.Category.str()); });
    }
    static QStringList albums() {
        return rows(ALB, ALB.KEYALBUMID, [] {
            return QStringLiteral("%1:%2/%3").arg(ALB.AlbumID.value()).arg(ALB.Artist.str(), ALB.Album.str());
        });
    }
    static QStringList media() { return rows(MED, MED.KeyMedia, [] { return MED.Media.str(); }); }
};

} // namespace songtest
