// The add wizards through their windows: the track list over the thread's rows with its forms,
// moves and edit of all rows; the header's requests, priming and closing; OK; the CD reading on
// the simulated drive; the add-mode choice and the song form's hand-over to the wizards.
#include "addwizardtest.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "runtime/mci/mci.h"
#include "runtime/settings/profile.h"
#include "songs/updatesong.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace addwizardtest;

namespace {

class AddWizardWindows : public AddWizardTest {
protected:
    void SetUp() override {
        AddWizardTest::SetUp();
        ProgramIniFile = kProgramIniName;
        AutoAddToAlbums = "1";
        AddMode = "1";
        DateFormat = "";
    }
    void TearDown() override {
        AddWizardTest::TearDown();
        QString answer;
        mciSendString(QStringLiteral("close all"), answer);
        qunsetenv("TBK_CDROM");
    }
    // The single-artist wizard of a menu (no request), its thread's rows made first.
    Started wizardWithRows(std::initializer_list<int> tracks) {
        auto c = start(AddSingleArtist, 0, [this, tracks] {
            owner_ = owner();
            for (int t : tracks)
                addRow(owner_, t, QStringLiteral("Row %1").arg(t));
        });
        list = rowList(*c);
        EXPECT_TRUE(list && chooseTab(c->thread, "Songs"));
        return c;
    }
    bool pick(const QString &track) { return selectRowByKey(list, 0, track) && runUntilIdle(); }
    // The list's rows with each cell's blanks trimmed.
    static QStringList shown(const ListControl *l) {
        QStringList rows;
        for (const QString &row : listRows(l)) {
            QStringList cells = row.split(QLatin1Char('|'));
            for (QString &cell : cells)
                cell = cell.trimmed();
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    static bool pressKey(int key, Qt::KeyboardModifiers mods) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
        return runUntilIdle();
    }
    static void useDisc() {
        QFile drive(QStringLiteral("drive.txt"));
        ASSERT_TRUE(drive.open(QIODevice::WriteOnly));
        drive.write("tracks 150 20000 40000\nleadout 60000\n");
        drive.close();
        qputenv("TBK_CDROM", QFile::encodeName(QDir::current().filePath(QStringLiteral("drive.txt"))));
    }
    qint64 owner_ = 0;
    ListControl *list = nullptr;
};

TEST_F(AddWizardWindows, TheRowsOfTheThreadShowWithTheirTimesAndAddGoesOnAfterTheHighest) {
    addRow(99, 1, "Another thread's");
    auto c = start(AddSingleArtist, 0, [this] {
        owner_ = owner();
        addRow(owner_, 1, "One", timeOf(0, 3, 45));
        addRow(owner_, 2, "Two");
        addRow(owner_, 5, "Five", timeOf(1, 2, 3));
    });
    list = rowList(*c);
    ASSERT_TRUE(list);
    EXPECT_EQ(window(*c)->windowTitle(), "Add Album by Single Artist");
    EXPECT_EQ(shown(list), (QStringList{"1|One|3:45", "2|Two|", "5|Five|62:03"}));
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    ASSERT_TRUE(press(*c, "Add"));
    EXPECT_EQ(window(*c)->windowTitle(), "Track Will Be Added  (New)");
    EXPECT_EQ(controlText(c->thread, "AW:Track").trimmed(), "6");
    ASSERT_TRUE(type(*c, "AW:TITLE", "Six"));
    ASSERT_TRUE(press(*c, "Ok"));
    // The form opens again for the next track until it is cancelled.
    EXPECT_EQ(controlText(c->thread, "AW:Track").trimmed(), "7");
    // A track another row has, and one a song cannot hold, keep the form open.
    ASSERT_TRUE(type(*c, "AW:Track", "2"));
    ASSERT_TRUE(press(*c, "Ok"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:Instance Side Track");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "AW:Track", "256"));
    EXPECT_EQ(messageText(c->thread), "The value of Track must be between 0 and 255.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:One", "2:Two", "5:Five", "6:Six"}));
    EXPECT_EQ(rowsOf(99), QStringList{"1:Another thread's"});
    EXPECT_EQ(listRows(list).size(), 4);
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
}

TEST_F(AddWizardWindows, MovesKeepTheTrackNumbersInUseAndStopAtTheEnds) {
    addRow(99, 3, "Another thread's");
    auto c = wizardWithRows({1, 2, 5});
    ASSERT_TRUE(pick("5"));
    ASSERT_TRUE(press(*c, "MoveTop"));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:Row 5", "2:Row 1", "5:Row 2"}));
    EXPECT_EQ(list->rowTexts(list->currentRow()).value(1).trimmed(), "Row 5");
    ASSERT_TRUE(press(*c, "MoveUp"));
    ASSERT_TRUE(pick("5"));
    ASSERT_TRUE(press(*c, "MoveDown"));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:Row 5", "2:Row 1", "5:Row 2"}));
    ASSERT_TRUE(pick("1"));
    ASSERT_TRUE(press(*c, "MoveBottom"));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:Row 1", "2:Row 2", "5:Row 5"}));
    ASSERT_TRUE(press(*c, "MoveUp"));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:Row 1", "2:Row 5", "5:Row 2"}));
    EXPECT_EQ(rowsOf(99), QStringList{"3:Another thread's"});
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(AddWizardWindows, ChangeDeleteAndDittoWorkOnOneRowAndDeleteLeavesTheGap) {
    auto c = wizardWithRows({1, 2, 3});
    ASSERT_TRUE(pick("1"));
    ASSERT_TRUE(press(*c, "Change"));
    EXPECT_EQ(window(*c)->windowTitle(), "Track Will Be Changed  (1)");
    ASSERT_TRUE(type(*c, "AW:TITLE", "First"));
    ASSERT_TRUE(press(*c, "Ok"));
    ASSERT_TRUE(pick("3"));
    ASSERT_TRUE(press(*c, "Change"));
    ASSERT_TRUE(clickInto(c->thread, "AW:TITLE"));
    ASSERT_TRUE(pressKey(Qt::Key_QuoteLeft, Qt::ControlModifier));
    EXPECT_EQ(controlText(c->thread, "AW:TITLE").trimmed(), "First");
    ASSERT_TRUE(press(*c, "Ok"));
    ASSERT_TRUE(pick("2"));
    ASSERT_TRUE(press(*c, "Delete"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:First", "3:First"}));
    EXPECT_EQ(listRows(list).size(), 2);
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(AddWizardWindows, EditAllGoesThroughTheRowsUntilAFormIsCancelled) {
    auto c = wizardWithRows({1, 2});
    ASSERT_TRUE(press(*c, "Edit All Songs"));
    for (const char *title : {"Edited 1", "Edited 2"}) {
        ASSERT_TRUE(type(*c, "AW:TITLE", title));
        ASSERT_TRUE(press(*c, "Ok"));
    }
    EXPECT_EQ(messageText(c->thread), "End of songs on this album.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_EQ(rowsOf(owner_), (QStringList{"1:Edited 1", "2:Edited 2"}));
    ASSERT_TRUE(press(*c, "Edit All Songs"));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(messageText(c->thread), "");
    EXPECT_EQ(window(*c)->windowTitle(), "Add Album by Single Artist");
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(AddWizardWindows, EditAllStopsAtAReadErrorInsteadOfMeetingItAgain) {
    auto c = wizardWithRows({1, 2, 3});
    ASSERT_TRUE(press(*c, "Edit All Songs"));
    AW.close();
    ASSERT_TRUE(press(*c, "Ok"));
    const QString unexpected = messageText(c->thread);
    EXPECT_TRUE(unexpected.endsWith(QLatin1Char('\r') + AW.name())) << unexpected.toStdString();
    ASSERT_TRUE(answer(*c, ButtonOK));
    // Then the list cannot be read either, and the wizard closes.
    EXPECT_FALSE(messageText(c->thread).endsWith(AW.name()));
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_TRUE(c->done);
}

TEST_F(AddWizardWindows, RequestsToChangeOrDeleteAreRefused) {
    for (auto [request, text] : {std::pair{ChangeRecord, "change"}, std::pair{DeleteRecord, "delete"}}) {
        auto c = start(AddCompilation, request);
        EXPECT_TRUE(messageText(c->thread).contains(QStringLiteral("called to %1 a record").arg(text)));
        ASSERT_TRUE(answer(*c, ButtonOK));
        ASSERT_TRUE(c->done);
        EXPECT_EQ(c->response, RequestCancelled);
    }
    EXPECT_TRUE(songs().isEmpty());
}

TEST_F(AddWizardWindows, AnInsertsHeaderIsPrimedAndAChangedOneAsksBeforeCancel) {
    addSong(4, "Existing", 0, 0, 0);
    auto c = start(AddSingleArtist, InsertRecord);
    EXPECT_EQ(songs().size(), 2);   // the header, under the next identifier
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(songs(), QStringList{"4:/Existing/ a0 t0"});

    c = start(AddSingleArtist, InsertRecord);
    ASSERT_TRUE(type(*c, "MUS:Artist", "Queen"));
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(messageText(c->thread), "Are you sure you want to cancel?");
    ASSERT_TRUE(answer(*c, ButtonNo));
    EXPECT_EQ(controlValue(c->thread, "Tabs").toString(), "General");
    ASSERT_TRUE(closeByUser(window(*c)) && runUntilIdle());
    ASSERT_TRUE(answer(*c, ButtonYes));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(songs().size(), 1);
}

// Without a request the header starts blank: a song another window left in the buffer is neither
// copied into the new songs nor deleted.
TEST_F(AddWizardWindows, OkWithoutARequestWritesTheRowsAndTheAlbumFromABlankHeader) {
    addSong(4, "Someone's", 0, 0, 0);
    MUS.Composer = "Not this one";
    MUS.Notes = "Not these";
    ASSERT_TRUE(MUS.put());
    auto c = start(AddSingleArtist, 0, [this] {
        MUS.ID = 4;
        ASSERT_TRUE(MUS.get(MUS.KEYID));
        addRow(owner(), 1, {});
        addRow(owner(), 2, "Typed");
    });
    EXPECT_EQ(controlText(c->thread, "MUS:Artist").trimmed(), "");
    ASSERT_TRUE(type(*c, "MUS:Artist", "Queen"));
    ASSERT_TRUE(type(*c, "MUS:Album", "Jazz"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(songs(), (QStringList{"1:Queen/Track 1/Jazz a1 t1", "2:Queen/Typed/Jazz a1 t2", "4:/Someone's/ a0 t0"}));
    MUS.clear();
    MUS.ID = 1;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    EXPECT_EQ(MUS.Composer.str(), "");
    EXPECT_EQ(MUS.Notes.str(), "");
    EXPECT_EQ(MUS.Media.str(), "CD");
    EXPECT_EQ(albums(), QStringList{"1:Queen/Jazz/"});
    EXPECT_EQ(AutoAddToAlbums.str(), "1");
}

TEST_F(AddWizardWindows, AnEmptyListStillAddsTheAlbumAndTheUntickedBoxLastsOnlyForTheRun) {
    putIni(QString::fromLatin1(kSettingsSection), "AutoAddToAlbums", "Saved", ProgramIniFile.str());
    AutoAddToAlbums = "Saved";
    auto c = start(AddSingleArtist, InsertRecord);
    EXPECT_EQ(AutoAddToAlbums.str(), "1");
    ASSERT_TRUE(type(*c, "MUS:Artist", "Queen"));
    ASSERT_TRUE(type(*c, "MUS:Album", "Jazz"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(albums(), QStringList{"1:Queen/Jazz/"});
    EXPECT_TRUE(songs().isEmpty());
    EXPECT_EQ(AutoAddToAlbums.str(), "Saved");

    c = start(AddSingleArtist, InsertRecord);
    ASSERT_TRUE(clickCheck(c->thread, "AutoAddToAlbums") && runUntilIdle());
    EXPECT_EQ(AutoAddToAlbums.str(), "");
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(AutoAddToAlbums.str(), "Saved");
}

TEST_F(AddWizardWindows, TheDiscFillsTheRowsAndItsSerialIsKeptOnceOnly) {
    useDisc();
    for (const char *artist : {"Queen", "Abba"}) {
        auto c = start(AddSingleArtist, InsertRecord);
        ASSERT_TRUE(type(*c, "MUS:Artist", artist));
        ASSERT_TRUE(type(*c, "MUS:Album", "Live"));
        ASSERT_TRUE(press(*c, "Read Compact Disc Information"));
        EXPECT_EQ(shown(rowList(*c)), (QStringList{"1|Track 1|4:24", "2|Track 2|4:26", "3|Track 3|4:26"}));
        ASSERT_TRUE(press(*c, "OK"));
        ASSERT_TRUE(c->done);
    }
    const QStringList written = albums();
    ASSERT_EQ(written.size(), 2);
    EXPECT_TRUE(written[0].startsWith("1:Queen/Live/ 3")) << written[0].toStdString();
    EXPECT_EQ(written[1], "2:Abba/Live/");
    EXPECT_EQ(songs().size(), 6);
}

TEST_F(AddWizardWindows, TheCompilationHasNoArtistAndItsRowsCarryTheirOwn) {
    auto c = start(AddCompilation, InsertRecord, [] { addRow(owner(), 1, "One", 0, "Abba"); });
    EXPECT_EQ(window(*c)->windowTitle(), "Add Compilation");
    EXPECT_FALSE(findControl(window(*c), "MUS:Artist"));
    EXPECT_EQ(shown(rowList(*c)), QStringList{"1|Abba|One|"});
    // A media name not in the list is taken back without a warning.
    ASSERT_TRUE(type(*c, "MUS:Media", "Wax"));
    EXPECT_EQ(messageText(c->thread), "");
    ASSERT_TRUE(type(*c, "MUS:Media", "vinyl"));
    ASSERT_TRUE(type(*c, "MUS:Album", "Hits"));
    ASSERT_TRUE(chooseTab(c->thread, "Songs"));
    ASSERT_TRUE(press(*c, "Add"));
    ASSERT_TRUE(type(*c, "AW:ARTIST", "Blondie"));
    ASSERT_TRUE(type(*c, "AW:TITLE", "Two"));
    ASSERT_TRUE(press(*c, "Ok"));
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(albums(), QStringList{"1:Various/Hits/"});
    EXPECT_EQ(songs(), (QStringList{"2:Abba/One/Hits a1 t1", "3:Blondie/Two/Hits a1 t2"}));
    MUS.clear();
    MUS.ID = 2;
    ASSERT_TRUE(MUS.get(MUS.KEYID));
    EXPECT_EQ(MUS.Media.str(), "Vinyl");
}

TEST_F(AddWizardWindows, RowsLeftByACancelledWizardShowInTheNextOnTheSameThreadNumber) {
    auto c = wizardWithRows({4});
    const qint64 first = owner_;
    ASSERT_TRUE(press(*c, "Cancel"));
    ASSERT_TRUE(c->done);
    c = start(AddSingleArtist, 0);
    ASSERT_EQ(c->thread, first);
    EXPECT_EQ(shown(rowList(*c)), QStringList{"4|Row 4|"});
    ASSERT_TRUE(press(*c, "Cancel"));
}

TEST_F(AddWizardWindows, TheSongFormHandsANewSongToTheWizardItsAddModeNames) {
    registerProcedure("AddSingleArtist", AddSingleArtist);
    registerProcedure("AddCompilation", AddCompilation);
    setAddModeChooser(SelectAddMode);
    // The choice: Ok at once, another choice and Ok, or a choice and the close box.
    struct Case {
        const char *addMode;
        const char *choice;
        bool closeBox;
        const char *title;
    };
    for (const Case &k : {Case{"Single Artist", nullptr, false, "Add Album by Single Artist"},
                          Case{"Compilation", nullptr, false, "Add Compilation"},
                          Case{"Ask Each Time", "", false, "Add Compilation"},
                          Case{"Ask Each Time", "Single Artist", false, "Add Album by Single Artist"},
                          Case{"Ask Each Time", "Normal", true, "Adding Information"}}) {
        SCOPED_TRACE(std::string(k.addMode) + (k.choice ? k.choice : ""));
        AddMode = k.addMode;
        auto c = start(UpdateSong, InsertRecord);
        if (k.choice) {
            EXPECT_EQ(window(*c)->windowTitle(), "Select Add Mode");
            if (*k.choice) {
                ASSERT_TRUE(chooseOption(c->thread, "Mode", k.choice) && runUntilIdle());
            }
            ASSERT_TRUE(k.closeBox ? closeByUser(window(*c)) && runUntilIdle() : press(*c, "Ok"));
        }
        ASSERT_TRUE(window(*c));
        EXPECT_EQ(window(*c)->windowTitle(), k.title);
        // The request outlives the choice: the new song, or the wizard's header, is primed.
        EXPECT_EQ(songs().size(), 1);
        ASSERT_TRUE(press(*c, "Cancel"));
        ASSERT_TRUE(c->done);
        EXPECT_EQ(c->response, RequestCancelled);
        EXPECT_TRUE(songs().isEmpty());
    }
    setAddModeChooser({});
    for (const char *p : {"AddCompilation", "AddSingleArtist"})
        registerProcedure(p, {});
}

} // namespace
