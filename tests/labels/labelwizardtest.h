#pragma once
// The label wizard, form and list tests: the song tests' catalogue with the Fonts and Labels
// files, "Greatest Hits" by "Smith, John" with three songs, labels made directly, and the label
// windows driven on their own threads.
#include "core/programsettings.h"
#include "labels/labelfill.h"
#include "labels/labelwindows.h"
#include "runtime/ui/listcontrol.h"
#include "songs/songtest.h"
#include "support/windows/listtesting.h"

#include <QTabWidget>
#include <QTest>

namespace labeltest {

using namespace songtest;

// A time value of m minutes and s seconds (hundredths after midnight plus one).
constexpr qint32 songTime(int m, int s) { return 1 + (m * 60 + s) * 100; }

class LabelTest : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        openForUse(FON);
        openForUse(LAB);
        LabelArtistTitleOrder = "1";
        GLO.Delimiter = ".";
        GlobalResponse = 0;
        // The buffers are the process's: what an earlier test left there is no album here.
        for (data::DataFile *f : {static_cast<data::DataFile *>(&ALB), static_cast<data::DataFile *>(&MUS),
                                  static_cast<data::DataFile *>(&LAB)})
            f->clear();
    }

    // Album 1 with Intro (side 1, track 1, 3:05), Middle (1, 2, 12:40) and Finale (side 2,
    // no number, no time, "4:10" in its first additional information, by "Doe, Jane").
    static void greatestHits() {
        addAlbum(1, "Smith, John", "Greatest Hits", "GH-1");
        ALB.ASSOCIATEDIMAGE = "hits.png";
        ASSERT_TRUE(ALB.put());
        song(1, "Intro", 1, 1, 1, songTime(3, 5));
        song(2, "Middle", 1, 1, 2, songTime(12, 40));
        song(3, "Finale", 1, 2, 0, 0, "Doe, Jane");
        MUS.AdditionalInformation1 = "4:10";
        ASSERT_TRUE(MUS.put());
    }
    static void song(qint32 id, const QString &title, qint32 album, int side, int track, qint32 time,
                     const QString &artist = QStringLiteral("Smith, John"), const QString &fileNumber = {}) {
        addSong(id, title, album, side, track);
        MUS.Artist = artist;
        MUS.Time = time;
        MUS.Album = album == 1 ? QStringLiteral("Greatest Hits") : QString();
        MUS.FileNumber = fileNumber;
        ASSERT_TRUE(MUS.put()) << data::errorCode();
    }
    static bool loadAlbum(qint32 id) {
        ALB.clear();
        ALB.AlbumID = id;
        return ALB.get(ALB.KEYALBUMID);
    }
    static void addLabel(qint64 id, const QString &description, const QString &type = QStringLiteral("CD")) {
        LAB.clear();
        LAB.LabelID = id;
        LAB.LABELDESCRIPTION = description;
        LAB.LABELTYPE = type;
        ASSERT_TRUE(LAB.add()) << data::errorCode();
    }
    static bool loadLabel(qint64 id) {
        LAB.clear();
        LAB.LabelID = id;
        return LAB.get(LAB.KeyLabelID);
    }
    // Every label as "id:description/type", by identifier.
    static QStringList labels() {
        return rows(LAB, LAB.KeyLabelID, [] {
            return QStringLiteral("%1:%2/%3").arg(qint64(LAB.LabelID.value())).arg(LAB.LABELDESCRIPTION.str(), LAB.LABELTYPE.str());
        });
    }

    static bool pressKey(const Call &c, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        return pressFocusedKey(c.thread, key, mods);
    }
    static bool visible(const Call &c, const QString &control) {
        QWidget *w = findControl(window(c), control);
        return w && w->isVisibleTo(window(c));
    }
    static bool enabled(const Call &c, const QString &control) {
        QWidget *w = findControl(window(c), control);
        return w && w->isEnabled();
    }
    // The page the sheet shows, by its text.
    static QString page(const Call &c) {
        auto *sheet = window(c) ? window(c)->findChild<QTabWidget *>() : nullptr;
        return sheet ? sheet->tabText(sheet->currentIndex()).remove('&') : QString();
    }
};

} // namespace labeltest
