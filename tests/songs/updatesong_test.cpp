// The song form on real files: priming with and without album data, the add-mode hand-over,
// the media and category lookups, the range checks and the time rule, copying, and the album
// that OK links when albums are added automatically.
#include "records/procedurecall.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/data/errors.h"
#include "runtime/ui/windowbuilder.h"
#include "runtime/values/dates.h"
#include "songs/updatesong.h"
#include "songtest.h"
#include "support/filesizelimit.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

using namespace songtest;

namespace {

class SongFormTest : public SongTest {
protected:
    void SetUp() override {
        SongTest::SetUp();
        AlbumSongMode = 0;
        GLO.Side = 0;
        AddMode = "1";
        AutoAddToAlbums = "";
        UDKPrompt = "";
        DateFormat = "";
        EditLoopStatus = "x";
        setAddModeChooser({});
        addMedia("CD");
        addMedia("Vinyl");
        addCategory(1, "Pop");
        addCategory(2, "Rock");
    }
    void TearDown() override {
        SongTest::TearDown();
        for (const char *p : {"AddCompilation", "AddSingleArtist", "SelectAlbum"})
            registerProcedure(QString::fromLatin1(p), {});
        AlbumSongMode = 0;
        GLO.Side = 0;
    }

    static Started insert() { return callOnThread(UpdateSong, InsertRecord, [] { MUS.clear(); }); }
    static Started songCall(qint32 request, qint32 id) {
        return callOnThread(UpdateSong, request, [id] { ASSERT_TRUE(loadSong(id)); });
    }
    static bool enabled(const Call &c, const QString &control) {
        QWidget *w = findControl(window(c), control);
        return w && w->isEnabled();
    }
    static QStringList songs() {
        return rows(MUS, MUS.KEYID, [] {
            return QStringLiteral("%1:%2/%3 a%4 s%5 t%6")
                .arg(MUS.ID.value())
                .arg(MUS.Artist.str(), MUS.Title.str())
                .arg(MUS.AlbumID.value())
                .arg(MUS.Side.value())
                .arg(MUS.TrackNumber.value());
        });
    }
    // Presses OK and expects the warning's text; answers it and sees the form stay.
    static void expectRefused(const Call &c, const QString &text) {
        ASSERT_TRUE(press(c, "OK"));
        EXPECT_EQ(messageText(c.thread), text);
        ASSERT_TRUE(answer(c, ButtonOK));
        EXPECT_FALSE(c.done);
    }
};

TEST_F(SongFormTest, ANewSongIsPrimedAfterTheHighestTrackOfItsAlbumAndSideAndWritten) {
    addSong(1, "Other album", 5, 0, 9);
    addSong(2, "Loose 1", 0, 0, 3);
    addSong(3, "Loose 2", 0, 0, 7);
    addSong(4, "Other side", 0, 1, 12);
    auto c = insert();
    ASSERT_TRUE(window(*c));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Information");
    EXPECT_EQ(EditLoopStatus.str(), "");
    EXPECT_EQ(shown(*c, "MUS:TrackNumber"), "8");
    EXPECT_EQ(shown(*c, "MUS:Media"), "CD");
    EXPECT_TRUE(findControl(window(*c), "Default with Album Information")->isVisible());
    ASSERT_TRUE(type(*c, "MUS:Artist", "Abba"));
    ASSERT_TRUE(type(*c, "MUS:Title", "Waterloo"));
    ASSERT_TRUE(type(*c, "CAT:Category", "rock"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(EditLoopStatus.str(), "OK");
    ASSERT_TRUE(loadSong(5));
    EXPECT_EQ(MUS.Title.str(), "Waterloo");
    EXPECT_EQ(MUS.TrackNumber.value(), 8);
    EXPECT_EQ(MUS.CategoryID.value(), 2);
    EXPECT_EQ(MUS.Media.str(), "CD");
    EXPECT_TRUE(albums().isEmpty());   // AutoAddToAlbums is off
}

TEST_F(SongFormTest, ANewSongOfAnAlbumWindowTakesTheAlbumsDataInEachMode) {
    for (quint8 mode : {1, 2, 3}) {
        SCOPED_TRACE(mode);
        AlbumSongMode = mode;
        GLO.Side = 2;
        addAlbum(mode, "Queen", QStringLiteral("Album %1").arg(mode), "F7", "Vinyl");
        ALB.CategoryID = 1;
        ALB.Notes = "Live at Wembley";
        addSong(10 * mode, "Earlier", mode, 2, 4);
        auto c = insert();
        ASSERT_TRUE(window(*c));
        EXPECT_FALSE(findControl(window(*c), "Default with Album Information")->isVisible());
        EXPECT_FALSE(enabled(*c, "MUS:Album"));
        EXPECT_FALSE(enabled(*c, "MUS:Media"));
        EXPECT_EQ(enabled(*c, "MUS:Artist"), mode != 2);
        EXPECT_EQ(shown(*c, "MUS:Album"), QStringLiteral("Album %1").arg(mode));
        EXPECT_EQ(shown(*c, "MUS:Media"), "Vinyl");
        EXPECT_EQ(shown(*c, "MUS:FileNumber"), "F7");
        EXPECT_EQ(shown(*c, "CAT:Category"), "Pop");
        EXPECT_EQ(shown(*c, "MUS:TrackNumber"), "5");
        ASSERT_TRUE(type(*c, "MUS:Title", "Next"));
        ASSERT_TRUE(press(*c, "OK"));
        ASSERT_TRUE(c->done);
        ASSERT_TRUE(loadSong(10 * mode + 1));
        EXPECT_EQ(MUS.Artist.str(), "Queen");
        EXPECT_EQ(MUS.AlbumID.value(), mode);
        EXPECT_EQ(MUS.Side.value(), 2);
        EXPECT_EQ(MUS.Notes.str(), "Live at Wembley");
    }
    // In mode 2 a change takes the album's artist too.
    AlbumSongMode = 2;
    ASSERT_TRUE(loadSong(10));
    MUS.Artist = "Someone else";
    ASSERT_TRUE(MUS.put());
    ALB.clear();
    ALB.AlbumID = 2;
    ASSERT_TRUE(ALB.get(ALB.KEYALBUMID));
    auto c = songCall(ChangeRecord, 10);
    EXPECT_EQ(shown(*c, "MUS:Artist"), "Queen");
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadSong(10));
    EXPECT_EQ(MUS.Artist.str(), "Queen");
}

TEST_F(SongFormTest, TheAddModeHandsANewSongToTheWizards) {
    QStringList ran;
    for (const char *p : {"AddCompilation", "AddSingleArtist"})
        registerProcedure(QString::fromLatin1(p), [&ran, p] { ran << QStringLiteral("%1 %2").arg(p).arg(GlobalRequest); });
    QString chosen;
    setAddModeChooser([&] {
        ran << QStringLiteral("SelectAddMode %1").arg(GlobalRequest);
        return chosen;
    });
    struct Case {
        const char *addMode;
        const char *chosen;
        QStringList ran;
        bool formOpens;
    };
    const std::vector<Case> cases{
        {"Compilation", "", {"AddCompilation 1"}, false},
        {"Single Artist", "", {"AddSingleArtist 1"}, false},
        {"Ask Each Time", "Compilation", {"SelectAddMode 1", "AddCompilation 1"}, false},
        {"Ask Each Time", "Single Artist", {"SelectAddMode 1", "AddSingleArtist 1"}, false},
        {"Ask Each Time", "Normal", {"SelectAddMode 1"}, true},
        {"1", "", {}, true},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.addMode);
        AddMode = k.addMode;
        chosen = QString::fromLatin1(k.chosen);
        ran.clear();
        auto c = insert();
        EXPECT_EQ(ran, k.ran);
        EXPECT_EQ(bool(window(*c)), k.formOpens);
        if (k.formOpens) {
            ASSERT_TRUE(press(*c, "Cancel"));
        }
        ASSERT_TRUE(c->done);
        EXPECT_EQ(c->response, RequestCancelled);
        EXPECT_EQ(GlobalRequest, 0);
        EXPECT_TRUE(songs().isEmpty());
    }
    // A buffer that is not blank is a normal song: nothing is asked.
    AddMode = "A";
    ran.clear();
    auto c = callOnThread(UpdateSong, InsertRecord, [] {
        MUS.clear();
        MUS.Artist = "Abba";
    });
    EXPECT_TRUE(ran.isEmpty());
    ASSERT_TRUE(window(*c));
    EXPECT_EQ(shown(*c, "MUS:Artist"), "Abba");
    // Without the wizards the form goes on.
    for (const char *p : {"AddCompilation", "AddSingleArtist"})
        registerProcedure(QString::fromLatin1(p), {});
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(EditLoopStatus.str(), "Cancel");
    AddMode = "C";
    c = insert();
    ASSERT_TRUE(window(*c));
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(SongFormTest, TheMediaAndCategoryLookups) {
    auto c = insert();
    ASSERT_TRUE(type(*c, "MUS:Media", "Wax cylinder"));
    EXPECT_EQ(messageText(c->thread), "The value for Media must be found in the Media file.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "MUS:Media", "vinyl"));
    EXPECT_TRUE(messageText(c->thread).isEmpty());

    // No: nothing added, the combo selected again and OK stopped there.
    ASSERT_TRUE(type(*c, "CAT:Category", "Ska"));
    EXPECT_EQ(messageText(c->thread), "Add new category?");
    EXPECT_EQ(window(*c)->windowTitle(), "Category not found");
    ASSERT_TRUE(answer(*c, ButtonNo));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(messageText(c->thread), "Add new category?");
    ASSERT_TRUE(answer(*c, ButtonNo));
    EXPECT_FALSE(c->done);
    EXPECT_EQ(categories(), QStringList({"1:Pop", "2:Rock"}));
    QWidget *combo = findControl(window(*c), "CAT:Category");
    EXPECT_TRUE(combo == window(*c)->focusWidget() || combo->isAncestorOf(window(*c)->focusWidget()));

    // Yes: added with the next identifier, and the song takes it.
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(answer(*c, ButtonYes));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(categories(), QStringList({"1:Pop", "2:Rock", "3:Ska"}));
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.CategoryID.value(), 3);
    EXPECT_EQ(MUS.Media.str(), "Vinyl");
}

TEST_F(SongFormTest, AFailedCategoryAddIsReportedAndAskedAgain) {
    auto c = insert();
    // The categories file open for reading only: the add fails.
    CAT.close();
    ASSERT_TRUE(CAT.open(data::SharedReadOnly));
    ASSERT_TRUE(type(*c, "CAT:Category", "Ska"));
    ASSERT_TRUE(answer(*c, ButtonYes));
    EXPECT_TRUE(messageText(c->thread).startsWith("Unable to add category - ")) << messageText(c->thread).toStdString();
    EXPECT_GT(messageText(c->thread).size(), QStringLiteral("Unable to add category - ").size());
    EXPECT_EQ(window(*c)->windowTitle(), "Error!");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(messageText(c->thread), "Add new category?");
    ASSERT_TRUE(answer(*c, ButtonNo));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(categories(), QStringList({"1:Pop", "2:Rock"}));
}

TEST_F(SongFormTest, RangeChecksAndTheTimeRule) {
    auto c = insert();
    ASSERT_TRUE(type(*c, "MUS:Title", "Long one"));
    ASSERT_TRUE(type(*c, "MUS:TrackNumber", "100"));
    EXPECT_EQ(messageText(c->thread), "The value of Track must be between 0 and 99.");
    EXPECT_EQ(window(*c)->windowTitle(), "Range Error");
    ASSERT_TRUE(answer(*c, ButtonOK));
    expectRefused(*c, "The value of Track must be between 0 and 99.");
    ASSERT_TRUE(type(*c, "MUS:TrackNumber", "99"));
    ASSERT_TRUE(type(*c, "MUS:ChartNumber", "101"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    expectRefused(*c, "The value of Chart must be between 0 and 100.");
    ASSERT_TRUE(type(*c, "MUS:ChartNumber", "100"));
    ASSERT_TRUE(type(*c, "MUS:Rating", "11"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    expectRefused(*c, "The value of MUS:Rating must be between 0 and 10.");
    ASSERT_TRUE(type(*c, "MUS:Rating", "10"));
    // Two parts are minutes and seconds, one is minutes, three are hours; what is shown reads
    // back as itself.
    for (const auto &[typed, time] : std::vector<std::pair<QString, QString>>{{"1:30", "00:01:30"},
                                                                              {"2:00", "00:02:00"},
                                                                              {"4", "00:04:00"},
                                                                              {"75:30", "01:15:30"},
                                                                              {"3:45:00", "03:45:00"},
                                                                              {"02:30:00", "02:30:00"},
                                                                              {"3:45", "00:03:45"}}) {
        ASSERT_TRUE(type(*c, "MUS:Time", typed));
        EXPECT_EQ(shown(*c, "MUS:Time"), time) << typed.toStdString();
    }
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.Time.value(), timeOf(0, 3, 45));
    EXPECT_EQ(MUS.TrackNumber.value(), 99);
    EXPECT_EQ(MUS.ChartNumber.value(), 100);
    EXPECT_EQ(MUS.Rating.value(), 10);

    // A primed track number over 99 is refused on OK.
    c = insert();
    EXPECT_EQ(shown(*c, "MUS:TrackNumber"), "100");
    expectRefused(*c, "The value of Track must be between 0 and 99.");
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(SongFormTest, APastedTitleIsCutToWhatTheFieldHolds) {
    auto c = insert();
    ASSERT_TRUE(clickInto(c->thread, "MUS:Title"));
    QGuiApplication::clipboard()->setText(QString(10000, 'x'));
    ASSERT_TRUE(pressKey(*c, Qt::Key_V, Qt::ControlModifier));
    EXPECT_EQ(controlText(c->thread, "MUS:Title"), QString(50, 'x'));
    ASSERT_TRUE(pressTab());
    EXPECT_NE(focusedName(), "MUS:Title");
}

TEST_F(SongFormTest, ACopyKeepsItsSourcesValuesUnderANewIdentifier) {
    addAlbum(3, "Abba", "Arrival");
    addSong(1, "Money", 3, 1, 4);
    MUS.Artist = "Abba";
    MUS.Media = "Vinyl";
    MUS.CategoryID = 2;
    MUS.Notes = "Single";
    MUS.UserDefinedKeyField = "K1";
    ASSERT_TRUE(MUS.put());
    addSong(2, "Fernando", 3, 1, 5);
    auto c = songCall(SelectRecord, 1);
    ASSERT_TRUE(window(*c));
    EXPECT_EQ(window(*c)->windowTitle(), "Adding Information");
    EXPECT_EQ(shown(*c, "MUS:Title"), "Money");
    EXPECT_EQ(shown(*c, "MUS:TrackNumber"), "4");
    EXPECT_EQ(shown(*c, "CAT:Category"), "Rock");
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    ASSERT_TRUE(loadSong(3));
    EXPECT_EQ(MUS.Title.str(), "Money");
    EXPECT_EQ(MUS.Media.str(), "Vinyl");
    EXPECT_EQ(MUS.CategoryID.value(), 2);
    EXPECT_EQ(MUS.Notes.str(), "Single");
    EXPECT_EQ(MUS.UserDefinedKeyField.str(), "K1");
    EXPECT_EQ(songs(), QStringList({"1:Abba/Money a3 s1 t4", "2:/Fernando a3 s1 t5", "3:Abba/Money a3 s1 t4"}));
}

TEST_F(SongFormTest, ChangingAndDeletingASong) {
    addSong(1, "Old title");
    UDKPrompt = "Catalogue No";
    auto c = songCall(ChangeRecord, 1);
    EXPECT_EQ(window(*c)->windowTitle(), "Changing Information");
    EXPECT_EQ(promptOf(findControl(window(*c), "MUS:UserDefinedKeyField"))->text(), "Catalogue No:");
    ASSERT_TRUE(type(*c, "MUS:Title", "New title"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.Title.str(), "New title");

    PLA.clear();
    PLA.PlaylistID = 1;
    PLA.PlaylistSeq = 1;
    PLA.ID = 1;
    ASSERT_TRUE(PLA.add());
    c = songCall(DeleteRecord, 1);
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_TRUE(messageText(c->thread).startsWith("This record is referenced from the file PlaylistDetails."));
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(answer(*c, ButtonNo));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    ASSERT_TRUE(PLA.remove());
    c = songCall(DeleteRecord, 1);
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_TRUE(songs().isEmpty());
}

TEST_F(SongFormTest, OkLinksTheSongToOneAlbumAndNeverToAFailedOrBlankOne) {
    AutoAddToAlbums = "Y";
    addAlbum(4, "Abba", "Arrival");
    // Blank artist and album: no album at all, however often OK is pressed.
    auto c = insert();
    ASSERT_TRUE(type(*c, "MUS:Rating", "11"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    expectRefused(*c, "The value of MUS:Rating must be between 0 and 10.");
    ASSERT_TRUE(type(*c, "MUS:Rating", "1"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(albums(), QStringList({"4:Abba/Arrival"}));
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.AlbumID.value(), 0);

    // An album that exists is found; a new one is added once, though a check fails first.
    c = insert();
    ASSERT_TRUE(type(*c, "MUS:Artist", "abba"));
    ASSERT_TRUE(type(*c, "MUS:Album", "arrival"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadSong(2));
    EXPECT_EQ(MUS.AlbumID.value(), 4);
    c = insert();
    ASSERT_TRUE(type(*c, "MUS:Artist", "Blondie"));
    ASSERT_TRUE(type(*c, "MUS:Album", "Parallel Lines"));
    ASSERT_TRUE(type(*c, "MUS:ChartNumber", "200"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    expectRefused(*c, "The value of Chart must be between 0 and 100.");
    ASSERT_TRUE(type(*c, "MUS:ChartNumber", "1"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(albums(), QStringList({"4:Abba/Arrival", "5:Blondie/Parallel Lines"}));
    ASSERT_TRUE(loadSong(3));
    EXPECT_EQ(MUS.AlbumID.value(), 5);

    // An add that fails is reported and links nothing; the form stays open.
    c = insert();
    ASSERT_TRUE(type(*c, "MUS:Artist", "Cher"));
    ALB.close();
    ASSERT_TRUE(ALB.open(data::SharedReadOnly));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_TRUE(messageText(c->thread).startsWith("Unable to add album - ")) << messageText(c->thread).toStdString();
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_FALSE(c->done);
    ALB.close();
    ASSERT_TRUE(ALB.open());
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(albums(), QStringList({"4:Abba/Arrival", "5:Blondie/Parallel Lines", "6:Cher/"}));
    ASSERT_TRUE(loadSong(4));
    EXPECT_EQ(MUS.AlbumID.value(), 6);
}

// Where the disk takes no more, the album a changed song would link to cannot be added: the
// message gives the driver's reason, under the title of what was asked of the song.
TEST_F(SongFormTest, AnAlbumAddThatTheDiskRefusesGivesTheDriversReason) {
    AutoAddToAlbums = "Y";
    addSong(1, "Heroes", 0, 0, 1, {}, "CD", [] { MUS.Artist = "Bowie"; });
    auto c = songCall(ChangeRecord, 1);
    ASSERT_TRUE(type(*c, "MUS:Album", "Low"));
    {
        FileSizeLimit full(1000);
        ASSERT_TRUE(press(*c, "OK"));
    }
    EXPECT_EQ(messageText(c->thread), "Unable to add album - disk I/O error (10)");
    EXPECT_EQ(window(*c)->windowTitle(), "Record Update Error");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(albums(), QStringList({"1:Bowie/Low"}));
}

TEST_F(SongFormTest, DefaultWithAlbumInformationTakesThePickedAlbum) {
    addAlbum(7, "Queen", "Jazz", "F9", "Vinyl");
    registerProcedure(QStringLiteral("SelectAlbum"), [] {
        ProcedureCall call;
        ALB.clear();
        ALB.AlbumID = 7;
        ALB.get(ALB.KEYALBUMID);
        call.setResponse(call.request() == SelectRecord ? RequestCompleted : RequestCancelled);
    });
    auto c = insert();
    ASSERT_TRUE(type(*c, "MUS:Artist", "Freddie"));
    ASSERT_TRUE(press(*c, "Default with Album Information"));
    EXPECT_EQ(shown(*c, "MUS:Album"), "Jazz");
    EXPECT_EQ(shown(*c, "MUS:Media"), "Vinyl");
    EXPECT_EQ(shown(*c, "MUS:Artist"), "Queen");   // a new song takes every album field
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadSong(1));
    EXPECT_EQ(MUS.AlbumID.value(), 7);
    EXPECT_EQ(MUS.FileNumber.str(), "F9");
}

} // namespace
