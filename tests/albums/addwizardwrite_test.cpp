// What an add wizard's OK writes, without its window: the songs of the rows on top of the header,
// the album with its duplicate rules, and the links and rows left when something is refused.
#include "addwizardtest.h"
#include "albums/addwizardwrite.h"
#include "support/windows/scriptedanswers.h"

using namespace addwizardtest;

namespace {

class WriteStep : public AddWizardTest {
protected:
    // A header as a wizard primes it: in the songs file under its identifier.
    static data::Record header(const QString &artist, const QString &album) {
        MUS.clear();
        MUS.ID = 50;
        MUS.Artist = artist;
        MUS.Album = album;
        MUS.Media = "Vinyl";
        MUS.FileNumber = "F9";
        MUS.ReleaseDate = 1978;
        MUS.CategoryID = 3;
        MUS.Composer = "Mercury";
        MUS.Time = timeOf(0, 1, 0);
        MUS.AdditionalInformation1 = "from the header";
        MUS.Notes = "Album notes";
        EXPECT_TRUE(MUS.add());
        return MUS.record();
    }
    static QString songField(qint32 id, const char *field) {
        MUS.clear();
        MUS.ID = id;
        return MUS.get(MUS.KEYID) ? MUS.field(QLatin1String(field)).text() : QStringLiteral("<none>");
    }
    static qint32 albumStep(const data::Record &h, AddWizardKind kind, const QString &serial, bool add,
                            std::vector<ShownMessage> &shown) {
        qint32 id = -1;
        shown = runAnswering([&] { id = AddWizardAlbumStep(h, kind, serial, add); });
        return id;
    }
};

TEST_F(WriteStep, EachRowOfTheOwnerBecomesASongOnTopOfTheHeaderAndGoes) {
    const data::Record h = header("Queen", "Jazz");
    addRow(7, 1, {});
    addRow(7, 2, "Typed", timeOf(0, 3, 45));
    addRow(7, 3, {});
    addRow(8, 1, "Another thread's");
    int written = 0;
    const std::vector<ShownMessage> shown =
        runAnswering([&] { written = AddWizardWriteSongs(h, AddWizardKind::SingleArtist, 12, 7); });
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(written, 3);
    // The first number is the header's own: the songs follow it.
    EXPECT_EQ(songs(), (QStringList{"50:Queen//Jazz a0 t0", "51:Queen/Track 1/Jazz a12 t1",
                                    "52:Queen/Typed/Jazz a12 t2", "53:Queen/Track 3/Jazz a12 t3"}));
    for (const char *field : {"Media", "FileNumber", "ReleaseDate", "CategoryID", "Composer", "Notes"})
        EXPECT_EQ(songField(53, field), songField(50, field)) << field;
    EXPECT_EQ(songField(52, "Time"), QString::number(timeOf(0, 3, 45)));
    EXPECT_EQ(songField(52, "AdditionalInformation1"), "03:45");
    // A row without a time keeps the header's.
    EXPECT_EQ(songField(51, "Time"), QString::number(timeOf(0, 1, 0)));
    EXPECT_EQ(songField(51, "AdditionalInformation1"), "from the header");
    EXPECT_TRUE(rowsOf(7).isEmpty());
    EXPECT_EQ(rowsOf(8), QStringList{"1:Another thread's"});
    EXPECT_EQ(minutesAndSeconds(timeOf(1, 2, 3)), "02:03");
}

TEST_F(WriteStep, ACompilationTakesEachRowsArtistEvenABlankOne) {
    const data::Record h = header("Header artist", "Hits");
    addRow(7, 1, "One", 0, "Abba");
    addRow(7, 2, "Two", 0, {});
    runAnswering([&] { AddWizardWriteSongs(h, AddWizardKind::Compilation, 0, 7); });
    EXPECT_EQ(songs().mid(1), (QStringList{"51:Abba/One/Hits a0 t1", "52:/Two/Hits a0 t2"}));
}

TEST_F(WriteStep, ASongThatCannotBeAddedKeepsItsRow) {
    const data::Record h = header("Queen", "Jazz");
    addRow(7, 1, "One");
    addRow(7, 2, "Two");
    MUS.close();
    ASSERT_TRUE(MUS.open(data::SharedReadOnly));
    const std::vector<ShownMessage> shown =
        runAnswering([&] { AddWizardWriteSongs(h, AddWizardKind::SingleArtist, 0, 7); });
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].caption, "Error!");
    EXPECT_TRUE(shown[0].text.startsWith("Error adding to music database from Wizard:  ")) << shown[0].text.toStdString();
    EXPECT_EQ(rowsOf(7), (QStringList{"1:One", "2:Two"}));
}

TEST_F(WriteStep, TheAlbumIsCopiedThenRefusedAndARefusedAlbumLinksNothing) {
    const data::Record h = header("Queen", "Jazz");
    std::vector<ShownMessage> shown;
    EXPECT_EQ(albumStep(h, AddWizardKind::SingleArtist, "SERIAL-1", true, shown), 1);
    EXPECT_EQ(albumStep(h, AddWizardKind::SingleArtist, "SERIAL-1", true, shown), 2);
    EXPECT_TRUE(shown.empty());
    // The serial another album has is blanked; the title the artist has already is a copy.
    EXPECT_EQ(albums(), (QStringList{"1:Queen/Jazz/SERIAL-1", "2:Queen/Jazz (Copy)/"}));
    ALB.clear();
    ALB.AlbumID = 1;
    ASSERT_TRUE(ALB.get(ALB.KEYALBUMID));
    EXPECT_EQ(ALB.Media.str(), "Vinyl");
    EXPECT_EQ(ALB.FileNumber.str(), "F9");
    EXPECT_EQ(ALB.ReleaseDate.value(), 1978);
    EXPECT_EQ(ALB.CategoryID.value(), 3);
    EXPECT_EQ(ALB.Notes.str(), "Album notes");

    EXPECT_EQ(albumStep(h, AddWizardKind::SingleArtist, {}, true, shown), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Warning");
    EXPECT_EQ(shown[0].text, "The artist and album information is a duplicate of information already in the database");
    EXPECT_EQ(albums().size(), 2);

    // Unticked: the album of that artist and title, or none.
    EXPECT_EQ(albumStep(h, AddWizardKind::SingleArtist, {}, false, shown), 1);
    EXPECT_EQ(albumStep(h, AddWizardKind::Compilation, {}, false, shown), 0);
    addAlbum(9, "Various", "Jazz");
    EXPECT_EQ(albumStep(h, AddWizardKind::Compilation, {}, false, shown), 9);
    // A compilation's album is by "Various", and is copied like any other.
    EXPECT_EQ(albumStep(h, AddWizardKind::Compilation, {}, true, shown), 10);
    EXPECT_EQ(albums().last(), "10:Various/Jazz (Copy)/");
}

TEST_F(WriteStep, AnAlbumThatCannotBeAddedIsReportedAndLinksNothing) {
    const data::Record h = header("Queen", "Jazz");
    ALB.close();
    ASSERT_TRUE(ALB.open(data::SharedReadOnly));
    std::vector<ShownMessage> shown;
    EXPECT_EQ(albumStep(h, AddWizardKind::SingleArtist, {}, true, shown), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error");
    EXPECT_TRUE(shown[0].text.startsWith("Error adding album information:\r")) << shown[0].text.toStdString();
    EXPECT_TRUE(shown[0].text.endsWith("\r")) << "no key is a duplicate";
}

} // namespace
