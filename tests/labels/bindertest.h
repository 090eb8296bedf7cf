#pragma once
// The binder and flap page tests: albums and their songs in real files in the test's folder, the
// pages run on a thread of their own as the frame and the album windows start them.
#include "albums/quickcdcover.h"
#include "labels/binderpages.h"
#include "reports/reporttest.h"

#include <QRegularExpression>

namespace bindertest {

using namespace reporttest;

class BinderTest : public ReportTest {
protected:
    void SetUp() override {
        ReportTest::SetUp();
        openForUse(ALB);
        PagePrintRange = {};
    }

    static void album(qint32 id, const QString &fileNumber, const QString &artist = "Artist",
                      const QString &title = {}) {
        ALB.clear();
        ALB.AlbumID = id;
        ALB.FileNumber = fileNumber;
        ALB.Artist = artist;
        ALB.Album = title.isNull() ? QStringLiteral("Album %1").arg(id) : title;
        ASSERT_TRUE(ALB.add()) << data::errorCode();
    }
    // A song of the album; its time in seconds.
    static void track(qint32 album, int number, const QString &title, const QString &artist, int seconds = 0) {
        static qint32 next = 0;
        song(++next, title, artist, [=] {
            MUS.AlbumID = album;
            MUS.TrackNumber = quint8(number);
            if (seconds)
                MUS.Time = seconds * 100 + 1;
        });
    }
    static void range(const QString &style, const QString &first, const QString &last) {
        PagePrintRange.Style = style;
        PagePrintRange.FirstFileNumber = first;
        PagePrintRange.LastFileNumber = last;
    }
    // The run's preview, left open: the test reads it and ends it with Exit.
    static Started run(void (*procedure)()) {
        Started r = start(procedure);
        EXPECT_TRUE(runUntilIdle(20000));
        return r;
    }
    // Starts the procedure with `turn` run between its turns until it asks, previews or ends;
    // runs until then.
    static Started startWatched(void (*procedure)(), std::function<void(const Started &)> turn) {
        auto r = std::make_shared<Started>();
        between([r, turn] { turn(*r); }, [r] { return (*r)->done || asking(*r) || previewed(*r); });
        *r = launchOnThread(procedure);
        EXPECT_TRUE(runUntilIdle(20000));
        return *r;
    }
    // The preview's lines with the dotted leaders taken off.
    static QStringList lines(const Started &r) {
        static const QRegularExpression dots(QStringLiteral("\\.{3,}"));
        QStringList out;
        for (QString line : previewLines(r))
            out << line.remove(dots);
        return out;
    }
};

} // namespace bindertest
