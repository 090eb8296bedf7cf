#include "core/datafiles.h"

#include "runtime/data/driver.h"

namespace tbk {

using namespace tbk::data;

#define TBK_DECL_F(n, k, s) .field(QStringLiteral(#n), FieldKind::k, s)
#define TBK_DECL_M(n, s) .memo(QStringLiteral(#n), s)
#define TBK_DECL_K(n, c, fl) .key(QStringLiteral(#n), QStringLiteral(c), fl)

#define TBK_STRUCTURE(Class, TABLE, disk, registration, password)                                           \
    static FileStructure &Class##Structure() {                                                    \
        static FileStructure s = [] {                                                             \
            FileStructure st(QStringLiteral(disk), registration);                                 \
            st TABLE(TBK_DECL_F, TBK_DECL_M, TBK_DECL_K);                                         \
            st.owner(QStringLiteral(password));                                                   \
            st.finish();                                                                          \
            return st;                                                                            \
        }();                                                                                      \
        return s;                                                                                 \
    }                                                                                             \
    Class::Class(const QString &label, const QString &prefix)                                     \
        : Base(label, prefix, Class##Structure()) {}

#define Base DataFile
TBK_STRUCTURE(TunebankFile, TBK_TUNEBANK, "tbkdata", 6, "")
TBK_STRUCTURE(AlbumFile, TBK_ALBUM, "tbkalbum", 4, "")
TBK_STRUCTURE(CategoriesFile, TBK_CATEGORIES, "TBKCAT", 1, "")
TBK_STRUCTURE(MediaFile, TBK_MEDIA, "tbkmedia", 1, "")
TBK_STRUCTURE(PlaylistMasterFile, TBK_PLAYLISTMASTER, "tbkplist", 1, "")
TBK_STRUCTURE(PlaylistDetailsFile, TBK_PLAYLISTDETAILS, "tbkpldet", 2, "")
TBK_STRUCTURE(LabelsFile, TBK_LABELS, "tbklabel", 2, "")
TBK_STRUCTURE(FontsFile, TBK_FONTS, "tbkfont", 1, "")
TBK_STRUCTURE(TBKTipsFile, TBK_TBKTIPS, "TBKTIPS", 0, "")
TBK_STRUCTURE(AddWizardFile, TBK_ADDWIZARD, "TBKAdWiz", 2, "")
TBK_STRUCTURE(ConfigurationFile, TBK_CONFIGURATION, "TBKConf", 1, "q#7zm")
#undef Base
#define Base TextFile
TBK_STRUCTURE(EventLogFile, TBK_EVENTLOG, "TBKEvent.LOG", 0, "")
TBK_STRUCTURE(InputFile, TBK_INPUT, "", 0, "")
TBK_STRUCTURE(TransferTextFile, TBK_TRANSFERFILE, "", 0, "")
#undef Base

TunebankFile MUS(QStringLiteral("Tunebank"), QStringLiteral("MUS"));
TunebankFile A_S(QStringLiteral("A_Songs"), QStringLiteral("A_S"));
AlbumFile ALB(QStringLiteral("Album"), QStringLiteral("ALB"));
CategoriesFile CAT(QStringLiteral("Categories"), QStringLiteral("CAT"));
MediaFile MED(QStringLiteral("Media"), QStringLiteral("MED"));
PlaylistMasterFile PLD(QStringLiteral("PlaylistMaster"), QStringLiteral("PLD"));
PlaylistDetailsFile PLA(QStringLiteral("PlaylistDetails"), QStringLiteral("PLA"));
LabelsFile LAB(QStringLiteral("Labels"), QStringLiteral("LAB"));
FontsFile FON(QStringLiteral("Fonts"), QStringLiteral("FON"));
TBKTipsFile TIP(QStringLiteral("TBKTips"), QStringLiteral("TIP"));
AddWizardFile AW(QStringLiteral("AddWizard"), QStringLiteral("AW"));
ConfigurationFile CF(QStringLiteral("Configuration"), QStringLiteral("CF"));
EventLogFile EVL(QStringLiteral("EventLog"), QStringLiteral("EVL"));
InputFile INP(QStringLiteral("Input"), QStringLiteral("INP"));
TransferTextFile TransferFile(QStringLiteral("TransferFile"), QString());

namespace {
// The configuration file is the connection's main database, so that a transaction over
// several files commits atomically.
[[maybe_unused]] const bool mainChosen = (setMainFile(&CF), true);
} // namespace

const std::vector<RegisteredFile> &registeredDataFiles() {
    static const std::vector<RegisteredFile> files{
        {&AW, 2}, {&ALB, 4}, {&CAT, 1}, {&CF, 1}, {&FON, 1}, {&LAB, 2},
        {&TIP, 0}, {&MED, 1}, {&MUS, 6}, {&PLA, 2}, {&PLD, 1}};
    return files;
}

} // namespace tbk
