// Each song report's title, order, columns and skips, read back from the pages its preview
// shows.
#include "reports/songreports.h"
#include "reporttest.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"

#include <QLabel>

using namespace reporttest;

namespace {

class SongReports : public ReportTest {
protected:
    // Runs the report with "Selected" and the text (none: "All"), the layout chosen, and
    // returns what its preview shows.
    QStringList preview(void (*procedure)(), const QString &selection = {}, const QString &layout = "Standard") {
        auto r = start(procedure);
        if (!window(*r))
            return {};
        EXPECT_TRUE(chooseOption(r->thread, "ReportLayout", layout));
        EXPECT_TRUE(chooseOption(r->thread, "SelectedOrAll", selection.isNull() ? "All" : "Selected"));
        if (!selection.isNull())
            EXPECT_TRUE(typeInto(r->thread, "ReportSelection", selection));
        EXPECT_TRUE(criteriaOk(*r));
        const QStringList lines = previewLines(*r);
        EXPECT_FALSE(lines.isEmpty()) << asked(*r).toStdString();
        EXPECT_TRUE(closePreview(*r));
        EXPECT_TRUE(r->done);
        return lines;
    }
};

} // namespace

TEST_F(SongReports, ByTitleListsTheStartingTitlesInTitleOrderLeavingOutTheMarkedSongs) {
    category(3, "Rock");
    song(1, "theme", "Bee");
    song(2, "The End", "Doors", [] {
        MUS.Album = "The Doors";
        MUS.Media = "CD";
        MUS.CategoryID = 3;
        MUS.FileNumber = "F1";
        MUS.TrackNumber = 11;
        MUS.ChartNumber = 5;
    });
    song(3, "THE X", "Cee");
    song(4, "Other", "Dee");
    song(5, "There (Skips)", "Eee");
    song(6, "Theory (skips)", "Eff");
    song(7, "Then", "Gee (*)");
    song(8, "Thesis", "Aitch", [] { MUS.Skips = 1; });
    song(9, "Thermal", "Eye", [] { MUS.DoNotPlay = 1; });
    song(10, "XTHE", "Jay");

    const QStringList lines = preview(PrintSongsByTitle, "the");
    EXPECT_EQ(lines.value(0), "Songs by Title");
    EXPECT_EQ(lines.value(1), "Title | Artist | Album | Media | Category");
    EXPECT_EQ(lines.value(2), "File Number | Release Date | Track | Chart");
    EXPECT_EQ(lines.value(3), "The End | Doors | The Doors | CD | Rock");
    EXPECT_EQ(lines.value(4), "F1 | 11 | 5");
    EXPECT_EQ(starting(lines, "T"), (QStringList{"Title | Artist | Album | Media | Category",
                                                "The End | Doors | The Doors | CD | Rock", "THE X | Cee",
                                                "Theory (skips) | Eff"}));
    EXPECT_EQ(starting(lines, "theme"), QStringList{"theme | Bee"});
    // The run's date at the footer's left, the page at its right.
    EXPECT_EQ(lines.back(), formatPicture("@d4", today()) + " | Page    1");

    // All: every song but the marked ones, a song without a category showing none.
    const QStringList all = preview(PrintSongsByTitle);
    // Title and headings, six songs, the second line of the one that has one, the footer.
    EXPECT_EQ(all.size(), 3 + 6 + 1 + 1) << all.join('\n').toStdString();
    EXPECT_TRUE(all.contains("Other | Dee"));
    EXPECT_TRUE(all.contains("XTHE | Jay"));
}

TEST_F(SongReports, ByArtistAndItsBriefTwinWhichTakesTheCriteriaJustChosen) {
    UDKPrompt = "Mood";
    song(1, "Alpha", "Dylan", [] {
        MUS.Album = "Blonde";
        MUS.FileNumber = "F7";
        MUS.TrackNumber = 3;
        MUS.UserDefinedKeyField = "calm";
        MUS.Time = timeOf(0, 3, 25);
    });
    song(2, "Beta", "Abba");
    song(3, "Gamma", "dylan jr");
    song(4, "Skipped", "Dylan", [] { MUS.DoNotPlay = 1; });

    const QStringList standard = preview(PrintSongsByArtist);
    EXPECT_EQ(standard.value(0), "Songs by Artist");
    EXPECT_EQ(standard.value(1), "Artist | Title | Album | Media | Category");
    EXPECT_EQ(starting(standard, "Abba").size(), 1);

    const QStringList brief = preview(PrintSongsByArtist, "DYL", "Brief");
    EXPECT_EQ(brief.value(0), "Songs by Artist");
    EXPECT_EQ(brief.value(1), "Artist | Title | Album | File Number | Trk | Mood | Time");
    EXPECT_EQ(brief.value(2), "Dylan | Alpha | Blonde | F7 | 3 | calm | " + formatPicture("@t4b", timeOf(0, 3, 25)));
    EXPECT_EQ(brief.value(3), "dylan jr | Gamma");
    EXPECT_EQ(brief.size(), 5);
    EXPECT_EQ(ReportLayout.str(), "Brief") << "the choice stays for the next report";

    const QStringList titles = preview(PrintSongsByTitle, {}, "Brief");
    EXPECT_EQ(titles.value(1), "Title | Artist | Album | File Number | Trk | Mood | Time");
    EXPECT_EQ(titles.value(2), "Alpha | Dylan | Blonde | F7 | 3 | calm | " + formatPicture("@t4b", timeOf(0, 3, 25)));
}

TEST_F(SongReports, ByChartNumberSelectsByTheNumbersTextAndShowsTheDisplayTitle) {
    int id = 0;
    for (int chart : {2, 199, 1, 10, 100, 21, 19, 150, 0, 200})
        song(++id, QString("Song %1").arg(chart), "Artist", [chart] { MUS.ChartNumber = chart; });
    song(++id, "Mixed", "Zed", [] {
        MUS.ChartNumber = 15;
        MUS.Mix = "Remix";
        MUS.DoNotPlay = 1;   // printed all the same: only the title and artist lists leave it out
        MUS.FileNumber = "F15";
        MUS.Media = "Vinyl";
        MUS.ReleaseDate = 71266;
    });
    DateFormat = "d2";

    const QStringList lines = preview(PrintSongsByChartNumber, "1");
    EXPECT_EQ(lines.value(0), "Songs by Chart Number");
    EXPECT_EQ(lines.value(1), "Chart # | Artist | Title | Album");
    EXPECT_EQ(lines.value(2), "File Number | Release Date | Media");
    QStringList charts;
    for (const QString &l : lines.mid(3, lines.size() - 4))
        if (const QString artist = l.section(" | ", 1, 1); artist == "Artist" || artist == "Zed")
            charts << l.section(" | ", 0, 0) + ":" + artist;
    EXPECT_EQ(charts, (QStringList{"1:Artist", "10:Artist", "15:Zed", "19:Artist", "100:Artist", "150:Artist",
                                   "199:Artist"}));
    EXPECT_TRUE(lines.contains("15 | Zed | Mixed (Remix)"));
    EXPECT_TRUE(lines.contains("F15 | " + formatPicture("@d2", 71266) + " | Vinyl")) << "dates in the user's format";
    EXPECT_EQ(lines.back(), "Page    1") << "no run date on this report";

    const QStringList brief = preview(PrintSongsByChartNumber, "2", "Brief");
    EXPECT_EQ(brief, (QStringList{"Songs by Chart Number", "Chart # | Artist | Title | Album", "2 | Artist | Song 2",
                                  "21 | Artist | Song 21", "200 | Artist | Song 200", "Page    1"}));
}

TEST_F(SongReports, ByUserDefinedKeyIsTitledAndAskedByThePrompt) {
    UDKPrompt = "Mood";
    category(1, "Jazz");
    song(1, "Blue", "Miles", [] {
        MUS.UserDefinedKeyField = "Mellow";
        MUS.CategoryID = 1;
        MUS.TrackNumber = 4;
    });
    song(2, "Loud", "Band", [] { MUS.UserDefinedKeyField = "angry"; });
    song(3, "", "", [] { MUS.Album = "Unknown"; });   // the key's fields all blank: not in the key

    auto r = start(PrintSongsByUserDefinedKey);
    auto *prompt = window(*r) ? window(*r)->findChild<QLabel *>("SelectionPrompt") : nullptr;
    ASSERT_TRUE(prompt);
    EXPECT_EQ(prompt->text(), "Select moods that start with:");
    ASSERT_TRUE(criteriaOk(*r));
    const QStringList lines = previewLines(*r);
    ASSERT_TRUE(closePreview(*r));
    EXPECT_EQ(lines, (QStringList{"Songs by Mood", "Mood | Artist | Title | Album | Media",
                                  "Category | File Number | Release Date | Track | Chart", "angry | Band | Loud",
                                  "Mellow | Miles | Blue", "Jazz | 4", formatPicture("@d4", today()) + " | Page    1"}));

    const QStringList brief = preview(PrintSongsByUserDefinedKey, "mel", "Brief");
    EXPECT_EQ(brief, (QStringList{"Songs by Mood", "Mood | Artist | Title | Album", "Mellow | Miles | Blue",
                                  "Page    1"}));
}

TEST_F(SongReports, PrintedStraightToAPdfTheReportReadsBackAsShown) {
    category(1, "Soul");
    song(1, "Respect", "Aretha Franklin", [] {
        MUS.Album = "I Never Loved a Man";
        MUS.Media = "LP";
        MUS.CategoryID = 1;
        MUS.FileNumber = "V-12";
        MUS.TrackNumber = 1;
    });
    song(2, "Superstition", "Stevie Wonder", [] { MUS.CategoryID = 1; });
    auto r = start(PrintSongsByTitle);
    ASSERT_TRUE(clickCheck(r->thread, "ReportPreviewChoice"));
    ASSERT_TRUE(criteriaOk(*r));
    EXPECT_TRUE(r->done);
    EXPECT_EQ(r->response, RequestCompleted);
    const QStringList pages = printed();
    ASSERT_EQ(pages.size(), 1);
    const QString &page = pages[0];
    EXPECT_TRUE(page.startsWith("Songs by Title Title Artist Album")) << page.toStdString();
    for (const char *text : {"Release Date", "Respect", "Aretha Franklin", "I Never Loved a Man", "V-12", "LP",
                             "Soul", "Stevie Wonder", "Page 1"})
        EXPECT_TRUE(page.contains(text)) << text;
    EXPECT_TRUE(page.contains(formatPicture("@d4", today())));
    EXPECT_LT(page.indexOf("Respect"), page.indexOf("Superstition"));
}
