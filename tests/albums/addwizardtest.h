#pragma once
// Shared pieces of the add wizards' tests: the album fixture with the work file open, work rows
// made directly, and a wizard (or any procedure) run on a logical thread of its own.
#include "albums/addwizards.h"
#include "albumtest.h"
#include "runtime/threads/threadglobals.h"
#include "runtime/values/dates.h"

namespace addwizardtest {

using namespace albumtest;

class AddWizardTest : public AlbumTest {
protected:
    void SetUp() override {
        AlbumTest::SetUp();
        openForUse(AW);
    }

    static void addRow(qint64 owner, qint64 track, const QString &title, qint32 time = 0, const QString &artist = {}) {
        AW.clear();
        AW.Instance = owner;
        AW.Side = 1;
        AW.Track = track;
        AW.TITLE = title;
        AW.TIME = time;
        AW.ARTIST = artist;
        ASSERT_TRUE(AW.add()) << data::errorCode();
    }
    // The owner's rows in key order as "track:title".
    static QStringList rowsOf(qint64 owner) {
        QStringList out;
        AW.clear();
        AW.Instance = owner;
        AW.setFromBuffer(AW.KeyInstance);
        while (AW.next() && AW.Instance.value() == owner)
            out << QStringLiteral("%1:%2").arg(AW.Track.value()).arg(AW.TITLE.str());
        return out;
    }
    // Every song by identifier as "id:artist/title/album a<album> t<track>".
    static QStringList songs() {
        return rows(MUS, MUS.KEYID, [] {
            return QStringLiteral("%1:%2/%3/%4 a%5 t%6")
                .arg(MUS.ID.value())
                .arg(MUS.Artist.str(), MUS.Title.str(), MUS.Album.str())
                .arg(MUS.AlbumID.value())
                .arg(MUS.TrackNumber.value());
        });
    }

    // The procedure on a new thread with the request and the songs buffer cleared; `before` runs
    // first on that thread (rows of its owner, the buffers as a caller leaves them).
    static Started start(void (*procedure)(), qint32 request, std::function<void()> before = {}) {
        return callOnThread(procedure, request, [before] {
            MUS.clear();
            if (before)
                before();
        });
    }
    static qint64 owner() { return threadGlobals().ThreadInstance; }
    static ListControl *rowList(const Call &c) {
        return qobject_cast<ListControl *>(findControl(window(c), QStringLiteral("Browse")));
    }
};

} // namespace addwizardtest
