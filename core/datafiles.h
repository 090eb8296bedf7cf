#pragma once
// The program's data files and text files: one object per declaration, process-wide, each
// with its record buffer. Fields are typed members (MUS.Artist), keys likewise
// (MUS.SongsByArtist); by name text, "MUS:Artist" through tbk::data::findField.
//
// The tables below are the declarations; the classes and the structures are generated from
// them, so a field is named once.
#include "runtime/data/datafile.h"
#include "runtime/data/textfile.h"

#include <vector>

// F(name, kind, size) fields in order; M(name, size) memos; K(name, components, flags) keys.
#define TBK_TUNEBANK(F, M, K)                                                                     \
    F(Artist, Text, 50) F(Title, Text, 50) F(Mix, Text, 30) F(Album, Text, 50)                    \
    F(Media, Text, 20) F(FileNumber, Text, 20) F(ReleaseDate, Long, 4) F(CategoryID, Long, 4)     \
    F(ChartNumber, Byte, 1) F(TrackNumber, Byte, 1) F(Side, Byte, 1) F(Time, Long, 4)             \
    F(UserDefinedKeyField, Text, 30) F(AdditionalInformation1, Text, 80)                          \
    F(AdditionalInformation2, Text, 80) F(AdditionalInformation3, Text, 80)                       \
    F(BeatsPerMinute, Long, 4) F(Style, Text, 30) F(Composer, Text, 80) F(LastPlayed, Long, 4)    \
    F(Skips, Byte, 1) F(EndType, Text, 6) F(InOut, Text, 20) F(Rating, Byte, 1) F(Live, Byte, 1)  \
    F(DoNotPlay, Byte, 1) F(ID, Long, 4) F(AlbumID, Long, 4)                                      \
    M(Recording, 256) M(PerformanceNotes, 256) M(Notes, 2000)                                     \
    K(SongsByArtist, "Artist,Title,Mix", Duplicates)                                              \
    K(SongsByTitle, "Title,Artist", Duplicates)                                                   \
    K(SongsByAlbum, "Album,Artist,Side,TrackNumber,Title", Duplicates)                            \
    K(SongsByMedia, "Media,FileNumber,Title", Duplicates)                                         \
    K(SONGSBYCATEGORY, "CategoryID,Artist,Title,Album", ExcludeBlanks)                            \
    K(SONGSBYCHARTNUMBER, "ChartNumber,Artist,Title", ExcludeBlanks)                              \
    K(SONGSBYUSERDEFINEDKEY, "UserDefinedKeyField,Artist,Title", ExcludeBlanks)                   \
    K(KEYID, "ID", Primary | ExcludeBlanks)                                                       \
    K(KeyAlbumID, "AlbumID,Side,TrackNumber", ExcludeBlanks)                                      \
    K(KEYBEATSPERMINUTE, "BeatsPerMinute,Title,Artist", ExcludeBlanks)                            \
    K(KEYFILENUMBER, "FileNumber", ExcludeBlanks)                                                 \
    K(KEYMIX, "Mix,Title,Artist", ExcludeBlanks)

#define TBK_ALBUM(F, M, K)                                                                        \
    F(AlbumID, Long, 4) F(Artist, Text, 50) F(Album, Text, 50) F(Media, Text, 20)                 \
    F(FileNumber, Text, 20) F(ReleaseDate, Long, 4) F(CategoryID, Decimal, 6)                     \
    F(ASSOCIATEDWAVFILE, Text, 128) F(ASSOCIATEDIMAGE, Text, 128) F(CDIDENTIFIER, Text, 24)       \
    F(XCCD, Text, 32) F(CDDBSTRING, Text, 255) F(PLAYLIST, Text, 70) F(RATING, Byte, 1)           \
    F(TOTALTIME, Long, 4)                                                                         \
    M(Recording, 256) M(Performance, 256) M(Notes, 2000)                                          \
    K(KEYALBUMID, "AlbumID", Primary | ExcludeBlanks)                                             \
    K(KEYALBUM, "Album,Artist", Unique | ExcludeBlanks)                                           \
    K(KEYARTIST, "Artist,Album", Unique | ExcludeBlanks)                                          \
    K(KEYCDIDENTIFIER, "CDIdentifier", Unique | ExcludeBlanks)                                    \
    K(KEYFILENUMBER, "FileNumber", ExcludeBlanks)                                                 \
    K(KEYCATEGORY, "CategoryID,Album,Artist", ExcludeBlanks)                                      \
    K(KEYCATEGORYARTIST, "CategoryID,Artist,Album", ExcludeBlanks)

#define TBK_CATEGORIES(F, M, K)                                                                   \
    F(CategoryID, Decimal, 6) F(Category, Text, 30)                                               \
    K(KeyCategoryID, "CategoryID", Primary | ExcludeBlanks)                                       \
    K(KeyCategory, "Category", Unique | ExcludeBlanks)

#define TBK_MEDIA(F, M, K)                                                                        \
    F(Media, Text, 20)                                                                            \
    K(KeyMedia, "Media", Unique | ExcludeBlanks)

#define TBK_PLAYLISTMASTER(F, M, K)                                                               \
    F(PlaylistID, Long, 4) F(PLAYLISTDESCRIPTION, Text, 30) F(LASTEDITDATE, Long, 4)              \
    M(Notes, 1000)                                                                                \
    K(KeyPlaylistID, "PlaylistID", Primary | ExcludeBlanks)                                       \
    K(KEYPLAYLISTDESCRIPTION, "PlaylistDescription", Unique | ExcludeBlanks)

#define TBK_PLAYLISTDETAILS(F, M, K)                                                              \
    F(PlaylistID, Long, 4) F(PlaylistSeq, Decimal, 6) F(ID, Decimal, 6)                           \
    F(PLAYLISTNOTES, Text, 40) F(LASTWEEK, Text, 3) F(THISWEEK, Text, 3)                          \
    F(HIGHESTCHARTPOSITION, Text, 3)                                                              \
    K(KeyPlaylistID, "PlaylistID,PlaylistSeq", Primary | ExcludeBlanks)                           \
    K(KEYID, "ID", Duplicates)

#define TBK_LABELS(F, M, K)                                                                       \
    F(LabelID, Decimal, 6) F(LABELDESCRIPTION, Text, 30) F(LABELTYPE, Text, 9)                    \
    F(ALBUMID, Long, 4) F(CDSPINE, Text, 100) F(CDSPINEFONTID, Long, 4) F(CDTITLE, Text, 100)     \
    F(CDTITLEFONTID, Long, 4) F(CDCOVERTEXTFONTID, Long, 4) F(CDINSIDETEXTFONTID, Long, 4)        \
    F(CDSPINEJUSTIFICATION, Text, 6) F(CDTEXTJUSTIFICATION, Text, 6)                              \
    F(CDBACKCOVERJUSTIFICATION, Text, 6) F(CASSETTEFLAPFONTID, Long, 4)                           \
    F(CASSETTETITLEFONTID, Long, 4) F(CASSETTECONTENTSFONTID, Long, 4)                            \
    F(CASSETTEFORMAT, Text, 20) F(IMAGENAME, Text, 255) F(IMAGEPOSITIONX, Long, 4)                \
    F(IMAGEPOSITIONY, Long, 4) F(IMAGESIZE, Text, 20) F(IMAGESIZEX, Long, 4)                      \
    F(IMAGESIZEY, Text, 20)                                                                       \
    M(CDCoverText, 3000) M(CDInsideText, 3000) M(CassetteFlap, 1024) M(CassetteTitle, 1024)       \
    M(CassetteContentsA, 3000) M(CassetteContentsB, 3000)                                         \
    K(KeyLabelID, "LabelID", Primary | ExcludeBlanks)                                             \
    K(KeyLabelDescription, "LabelDescription", Unique | ExcludeBlanks)                            \
    K(KEYLABELTYPE, "LabelType,LabelDescription", ExcludeBlanks)

#define TBK_FONTS(F, M, K)                                                                        \
    F(FONTID, Decimal, 6) F(TYPEFACE, Text, 32) F(SIZE, Text, 32) F(COLOUR, Text, 32)             \
    F(STYLE, Text, 32)                                                                            \
    K(KeyFontID, "FontID", Primary | ExcludeBlanks)                                               \
    K(KeyTypeFace, "TypeFace,Size,Colour,Style", Unique | ExcludeBlanks)

#define TBK_TBKTIPS(F, M, K)                                                                      \
    F(TIP, Text, 1024) F(ID, Long, 4)                                                             \
    K(KEYTIP, "Tip", Unique | ExcludeBlanks)                                                      \
    K(KEYID, "ID", Primary | ExcludeBlanks)

#define TBK_ADDWIZARD(F, M, K)                                                                    \
    F(Instance, Decimal, 6) F(Side, Byte, 1) F(Track, Decimal, 2) F(ARTIST, Text, 50)             \
    F(TITLE, Text, 50) F(TIME, Long, 4)                                                           \
    K(KeyInstance, "Instance,Side,Track", Primary | ExcludeBlanks)

#define TBK_CONFIGURATION(F, M, K)                                                                \
    F(DATATYPE, Text, 40) F(DATAVALUE, Text, 80)                                                  \
    K(KEYDATATYPE, "DataType", Unique | ExcludeBlanks)

#define TBK_EVENTLOG(F, M, K)                                                                     \
    F(LOGDATE, Text, 12) F(LOGTIME, Text, 10) F(LOGLABEL, Text, 30) F(LOGDATA, Text, 50)
#define TBK_INPUT(F, M, K) F(LINE, Text, 1024)
#define TBK_TRANSFERFILE(F, M, K) F(RECORD, Text, 16000)

#define TBK_NONE(...)
#define TBK_ENUM_F(n, k, s) f_##n,
#define TBK_ENUM_M(n, s) f_##n,
#define TBK_ENUM_K(n, c, fl) k_##n,
#define TBK_MEMBER_F(n, k, s) tbk::data::k##Field n{this, f_##n};
#define TBK_MEMBER_M(n, s) tbk::data::MemoField n{this, f_##n};
#define TBK_MEMBER_K(n, c, fl) const tbk::data::Key &n{keyAt(k_##n)};

#define TBK_DATA_FILE_CLASS(Class, TABLE)                                                         \
    class Class : public tbk::data::DataFile {                                                    \
    public:                                                                                       \
        Class(const QString &label, const QString &prefix);                                       \
        enum Field { TABLE(TBK_ENUM_F, TBK_ENUM_M, TBK_NONE) FieldCount };                        \
        enum KeyIndex { TABLE(TBK_NONE, TBK_NONE, TBK_ENUM_K) KeyCount };                         \
        TABLE(TBK_MEMBER_F, TBK_MEMBER_M, TBK_MEMBER_K)                                           \
    };

#define TBK_TEXT_FILE_CLASS(Class, TABLE)                                                         \
    class Class : public tbk::data::TextFile {                                                    \
    public:                                                                                       \
        Class(const QString &label, const QString &prefix);                                       \
        enum Field { TABLE(TBK_ENUM_F, TBK_ENUM_M, TBK_NONE) FieldCount };                        \
        TABLE(TBK_MEMBER_F, TBK_MEMBER_M, TBK_NONE)                                               \
    };

namespace tbk {

TBK_DATA_FILE_CLASS(TunebankFile, TBK_TUNEBANK)
TBK_DATA_FILE_CLASS(AlbumFile, TBK_ALBUM)
TBK_DATA_FILE_CLASS(CategoriesFile, TBK_CATEGORIES)
TBK_DATA_FILE_CLASS(MediaFile, TBK_MEDIA)
TBK_DATA_FILE_CLASS(PlaylistMasterFile, TBK_PLAYLISTMASTER)
TBK_DATA_FILE_CLASS(PlaylistDetailsFile, TBK_PLAYLISTDETAILS)
TBK_DATA_FILE_CLASS(LabelsFile, TBK_LABELS)
TBK_DATA_FILE_CLASS(FontsFile, TBK_FONTS)
TBK_DATA_FILE_CLASS(TBKTipsFile, TBK_TBKTIPS)
TBK_DATA_FILE_CLASS(AddWizardFile, TBK_ADDWIZARD)
TBK_DATA_FILE_CLASS(ConfigurationFile, TBK_CONFIGURATION)
TBK_TEXT_FILE_CLASS(EventLogFile, TBK_EVENTLOG)
TBK_TEXT_FILE_CLASS(InputFile, TBK_INPUT)
TBK_TEXT_FILE_CLASS(TransferTextFile, TBK_TRANSFERFILE)

// The declarations (label, prefix), each with its process-wide record buffer.
extern TunebankFile MUS;            // Tunebank, "tbkdata"
extern TunebankFile A_S;            // A_Songs: a second buffer over "tbkdata" (not registered)
extern AlbumFile ALB;               // Album, "tbkalbum"
extern CategoriesFile CAT;          // Categories, "TBKCAT"
extern MediaFile MED;               // Media, "tbkmedia"
extern PlaylistMasterFile PLD;      // PlaylistMaster, "tbkplist"
extern PlaylistDetailsFile PLA;     // PlaylistDetails, "tbkpldet"
extern LabelsFile LAB;              // Labels, "tbklabel"
extern FontsFile FON;               // Fonts, "tbkfont"
extern TBKTipsFile TIP;             // TBKTips, "TBKTIPS"
extern AddWizardFile AW;            // AddWizard, "TBKAdWiz"
extern ConfigurationFile CF;        // Configuration, "TBKConf": the connection's main database
extern EventLogFile EVL;            // EventLog, "TBKEvent.LOG"
extern InputFile INP;               // Input: its name is set before opening (setName)
extern TransferTextFile TransferFile;   // TransferFile: field TransferFile.RECORD ("M::RECORD")

// The eleven indexed files with their registration numbers, in the order they are registered
// with the upgrader.
struct RegisteredFile {
    tbk::data::DataFile *file;
    int registration;
};
const std::vector<RegisteredFile> &registeredDataFiles();

} // namespace tbk
