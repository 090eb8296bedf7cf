// The album form through its window: copy, the duplicate-key order, the rating range, ditto,
// the drop lists, the associated files, delete without a window and the clean-up of a
// cancelled new album.
#include "albumtest.h"
#include "core/programsettings.h"

#include <QDataStream>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QUrl>

using namespace albumtest;

namespace {

class UpdateAlbumTest : public AlbumTest {
protected:
    static bool enabled(const Call &c, const QString &control) {
        QWidget *w = findControl(window(c), control);
        return w && w->isEnabled();
    }
    // A second of silence as 8-bit mono PCM.
    static void writeWav(const QString &name) {
        QFile f(name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        QDataStream out(&f);
        out.setByteOrder(QDataStream::LittleEndian);
        const quint32 samples = 8000;
        out.writeRawData("RIFF", 4);
        out << quint32(36 + samples);
        out.writeRawData("WAVEfmt ", 8);
        out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(8000) << quint16(1) << quint16(8);
        out.writeRawData("data", 4);
        out << samples;
        for (quint32 i = 0; i < samples; ++i)
            out << quint8(128);
    }
};

TEST_F(UpdateAlbumTest, ACopyGetsTheSuffixABlankSerialAndANewIdentifier) {
    addAlbum(1, "Queen", "Jazz", "F1", "CD", "CD-1");
    addAlbum(2, "Queen", QString(45, QLatin1Char('x')), "F2");
    auto c = open(InsertRecord, [] { ASSERT_TRUE(loadAlbum(1)); });
    EXPECT_EQ(window(*c)->windowTitle(), "Adding an Album Record");
    EXPECT_EQ(controlText(c->thread, "ALB:Album").trimmed(), "Jazz - Copy");
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    c = open(SelectRecord, [] { ASSERT_TRUE(loadAlbum(2)); });
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(albums(), (QStringList{"1:Queen/Jazz/CD-1", "2:Queen/" + QString(45, 'x') + "/",
                                     "3:Queen/Jazz - Copy/", "4:Queen/" + QString(45, 'x') + " - Co/"}));
}

TEST_F(UpdateAlbumTest, DuplicateKeysAreReportedInTheFormsOrderAndBlankSerialsMayRepeat) {
    addAlbum(1, "Queen", "Jazz", "F1", "CD", "CD-1");
    addAlbum(2, "Abba", "Arrival", "F2");
    // Title, artist and serial all taken: the title comes first.
    auto c = open(InsertRecord);
    ASSERT_TRUE(type(*c, "ALB:Artist", "queen"));
    ASSERT_TRUE(type(*c, "ALB:Album", "JAZZ"));
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(type(*c, "ALB:CDIDENTIFIER", "CD-1"));
    // Tab went on into the empty ID field, which reads the drive.
    EXPECT_EQ(messageText(c->thread), "CD player not ready.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:Album");
    ASSERT_TRUE(answer(*c, ButtonOK));
    EXPECT_FALSE(c->done);
    ASSERT_TRUE(type(*c, "ALB:Album", "Innuendo"));
    ASSERT_TRUE(press(*c, "OK"));
    EXPECT_EQ(messageText(c->thread), "Adding this record creates a duplicate entry for the key:CD Serial Number");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(chooseTab(c->thread, "Compact Disc"));
    ASSERT_TRUE(type(*c, "ALB:CDIDENTIFIER", ""));
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(albums(), (QStringList{"1:Queen/Jazz/CD-1", "2:Abba/Arrival/", "3:queen/Innuendo/"}));
}

TEST_F(UpdateAlbumTest, RatingAboveTenIsRefusedAndTheDropListsTakeOnlyTheirNames) {
    addAlbum(1, "Queen", "Jazz");
    CAT.clear();
    CAT.CategoryID = 4;
    CAT.Category = "Rock";
    ASSERT_TRUE(CAT.add());
    auto c = change(1);
    EXPECT_EQ(window(*c)->windowTitle(), "Changing an Album Record");
    ASSERT_TRUE(type(*c, "ALB:Media", "Tape"));
    EXPECT_EQ(focusedName(), "ALB:Media");   // not in the list: chosen again
    ASSERT_TRUE(type(*c, "ALB:Media", "vinyl"));
    ASSERT_TRUE(type(*c, "CAT:Category", "rock"));
    ASSERT_TRUE(chooseTab(c->thread, "Other"));
    ASSERT_TRUE(type(*c, "ALB:RATING", "11"));
    EXPECT_EQ(messageText(c->thread), "The value of Rating must be between 0 and 10.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "ALB:RATING", "10"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(ALB.Media.str(), "Vinyl");
    EXPECT_EQ(ALB.CategoryID.value(), 4);
    EXPECT_EQ(ALB.RATING.value(), 10);

    c = change(1);   // a blank category unlinks the album
    ASSERT_TRUE(type(*c, "CAT:Category", ""));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(ALB.CategoryID.value(), 0);
}

TEST_F(UpdateAlbumTest, DittoRecallsTheLastAlbumOkWasPressedOnFieldByField) {
    auto c = open(InsertRecord);
    ASSERT_TRUE(type(*c, "ALB:Artist", "Blondie"));
    ASSERT_TRUE(type(*c, "ALB:Album", "Parallel Lines"));
    ASSERT_TRUE(chooseTab(c->thread, "Notes"));
    ASSERT_TRUE(type(*c, "ALB:Notes", "Not recalled"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(c->done);

    c = open(InsertRecord);
    ASSERT_EQ(focusedName(), "ALB:Artist");
    ASSERT_TRUE(pressKey(*c, Qt::Key_Apostrophe, Qt::ControlModifier));
    EXPECT_EQ(controlText(c->thread, "ALB:Artist").trimmed(), "Blondie");
    EXPECT_EQ(controlText(c->thread, "ALB:Album").trimmed(), "");
    ASSERT_TRUE(chooseTab(c->thread, "Notes"));
    ASSERT_TRUE(clickInto(c->thread, "ALB:Notes"));
    ASSERT_TRUE(pressKey(*c, Qt::Key_Apostrophe, Qt::ControlModifier));
    EXPECT_EQ(controlText(c->thread, "ALB:Notes"), "");
    // OK stores the album in the store even when it cannot be written.
    ASSERT_TRUE(chooseTab(c->thread, "General"));
    ASSERT_TRUE(type(*c, "ALB:Album", "Parallel Lines"));
    ASSERT_TRUE(type(*c, "ALB:Artist", "Blondie"));
    ASSERT_TRUE(type(*c, "ALB:FileNumber", "F9"));
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(press(*c, "Cancel"));
    c = open(InsertRecord);
    ASSERT_TRUE(clickInto(c->thread, "ALB:FileNumber"));
    ASSERT_TRUE(pressKey(*c, Qt::Key_Apostrophe, Qt::ControlModifier));
    EXPECT_EQ(controlText(c->thread, "ALB:FileNumber").trimmed(), "F9");
    ASSERT_TRUE(press(*c, "Cancel"));
    EXPECT_EQ(ALB.records(), 1);
}

TEST_F(UpdateAlbumTest, TheSoundFileIsPlayedOrReportedAndTheImageShown) {
    writeWav("clip.wav");
    QImage picture(64, 32, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save("cover.png"));
    addAlbum(1, "Queen", "Jazz");
    auto c = change(1);
    ASSERT_TRUE(chooseTab(c->thread, "Associated Files"));
    for (const char *b : {"Play WAV file", "Play using associated player (Windows Explorer File Type)",
                          "Open using Windows Explorer"})
        EXPECT_FALSE(enabled(*c, b)) << b;
    ASSERT_TRUE(type(*c, "ALB:ASSOCIATEDWAVFILE", "missing.wav"));
    EXPECT_TRUE(enabled(*c, "Play WAV file"));
    ASSERT_TRUE(press(*c, "Play WAV file"));
    ASSERT_TRUE(runUntil([&] { return !messageText(c->thread).isEmpty(); }));
    EXPECT_EQ(messageText(c->thread), "Could not play missing.wav.");
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(type(*c, "ALB:ASSOCIATEDWAVFILE", "CLIP.WAV"));
    ASSERT_TRUE(press(*c, "Play WAV file"));
    runFor(300);
    EXPECT_EQ(messageText(c->thread), "");

    auto *image = qobject_cast<QLabel *>(findControl(window(*c), "Image"));
    ASSERT_TRUE(image);
    EXPECT_TRUE(image->pixmap().isNull());
    ASSERT_TRUE(type(*c, "ALB:ASSOCIATEDIMAGE", "cover.png"));
    EXPECT_FALSE(image->pixmap().isNull());
    EXPECT_EQ(image->pixmap().width(), 160);   // scaled into the control, its shape kept
    EXPECT_EQ(image->pixmap().height(), 80);
    ASSERT_TRUE(press(*c, "OK"));
    ASSERT_TRUE(loadAlbum(1));
    EXPECT_EQ(ALB.ASSOCIATEDWAVFILE.str(), "CLIP.WAV");
    EXPECT_EQ(ALB.ASSOCIATEDIMAGE.str(), "cover.png");
}

TEST_F(UpdateAlbumTest, AChangedAlbumsTitleMediaAndCategoryReachItsSongs) {
    addCategory(2, "Rock");
    addAlbum(1, "Queen", "Jazz", "F1");
    for (qint32 id : {1, 2})   // the second song has a category of its own
        addSong(id, "Mustapha", 1, 1, id, "F1", "CD", [id] {
            MUS.Album = "Jazz";
            MUS.CategoryID = id == 1 ? 0 : 3;
        });
    auto c = change(1);
    ASSERT_TRUE(type(*c, "ALB:Album", "Jazz (Remastered)") && type(*c, "ALB:Media", "Vinyl"));
    ASSERT_TRUE(type(*c, "CAT:Category", "Rock") && press(*c, "OK") && c->done);
    QStringList songs;
    for (qint32 id : {1, 2})
        if (loadSong(id))
            songs << QStringLiteral("%1/%2/%3").arg(MUS.Album.str(), MUS.Media.str()).arg(MUS.CategoryID.value());
    EXPECT_EQ(songs, (QStringList{"Jazz (Remastered)/Vinyl/2", "Jazz (Remastered)/Vinyl/3"}));
}

TEST_F(UpdateAlbumTest, DeleteAsksAndIsRefusedWhileASongIsInAPlaylist) {
    addAlbum(1, "Queen", "Jazz");
    addSong(1, "Mustapha", 1, 1, 1);
    PLA.clear();
    PLA.PlaylistID = 1;
    PLA.PlaylistSeq = 1;
    PLA.ID = 1;
    ASSERT_TRUE(PLA.add());
    auto c = open(DeleteRecord, [] { ASSERT_TRUE(loadAlbum(1)); });
    ASSERT_TRUE(answer(*c, ButtonOK));   // the confirmation
    QStringList shown;
    for (int box = 0; box < 4 && !c->done && !messageText(c->thread).isEmpty(); ++box) {
        shown << messageText(c->thread);
        ASSERT_TRUE(answer(*c, box == 0 ? ButtonOK : ButtonNo));
    }
    ASSERT_EQ(shown.size(), 2) << shown.join('\n').toStdString();
    EXPECT_TRUE(shown[0].contains("PlaylistDetails")) << shown[0].toStdString();
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCancelled);
    EXPECT_EQ(ALB.records(), 1);

    ASSERT_TRUE(PLA.remove());
    c = open(DeleteRecord, [] { ASSERT_TRUE(loadAlbum(1)); });
    ASSERT_TRUE(answer(*c, ButtonOK));
    ASSERT_TRUE(c->done);
    EXPECT_EQ(c->response, RequestCompleted);
    EXPECT_EQ(ALB.records(), 0);
    EXPECT_EQ(MUS.records(), 0);
}

} // namespace
