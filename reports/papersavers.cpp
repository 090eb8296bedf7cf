#include "reports/papersavers.h"

#include "cdaudio/mcicommand.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "impex/queryfieldlists.h"
#include "reports/listlayout.h"
#include "reports/reportframe.h"
#include "reports/songreports.h"
#include "reports/wizardfilter.h"
#include "runtime/values/picture.h"

namespace tbk {

namespace {

const ListStyle kSmallPrint{QStringLiteral("Small Fonts"), 6, true, true};

void printPaperSaver(bool byArtist) {
    WizardFilter wizard(paperSaverQueryFields());
    const ReportColumn title{1, QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s50"), 31};
    const ReportColumn artist{1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 31};
    // The artist list shows the display title, with the mix, in a wider column.
    const ReportColumn second =
        byArtist ? ReportColumn{1, QStringLiteral("Title"), QStringLiteral("DisplayTitle"), QStringLiteral("@s60"), 1650}
                 : ReportColumn{1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 1750};
    const std::vector<ReportColumn> columns{
        byArtist ? artist : title,
        second,
        {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 3500},
        {1, QStringLiteral("File #"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s10"), 5150},
        {1, QStringLiteral("Trk"), QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3b"), 5650},
        {1, QStringLiteral("BPM"), QStringLiteral("MUS:BeatsPerMinute"), QStringLiteral("@p(<<#)pb"), 5900},
        {1, QStringLiteral("Time"), QStringLiteral("SongTimeText"), QStringLiteral("@s8"), 6250},
        {1, formatPicture(QStringLiteral("@s20"), UDKPrompt.str()), QStringLiteral("MUS:UserDefinedKeyField"),
         QStringLiteral("@s30"), 6650}};

    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&MUS};
    m.key = byArtist ? &MUS.SongsByArtist : &MUS.SongsByTitle;
    m.filterOnOpen = [&wizard] { return wizard.ask(); };
    m.startsWith = [] { return MUS.Artist.str(); };
    m.skip = songFiltered;
    m.beforePrint = [byArtist](report::Report &r) {
        if (byArtist)
            r.element(QStringLiteral("DisplayTitle"))->value = FormatSongTitle().left(60);
        r.element(QStringLiteral("SongTimeText"))->value = SongTimeText.str();
    };
    const QString heading = byArtist ? QStringLiteral("Songs by Artist") : QStringLiteral("Songs by Title");
    m.layout = listLayout(heading, columns, kSmallPrint);
    m.fontKey = byArtist ? QStringLiteral("PrintPaperSaver") : QStringLiteral("PrintPaperSaverTitle");
    runReport(m);
}

} // namespace

void PrintPaperSaverByTitle() { printPaperSaver(false); }
void PrintPaperSaverByArtist() { printPaperSaver(true); }

void registerPaperSavers() {
    registerProcedure(QStringLiteral("PrintPaperSaverByTitle"), PrintPaperSaverByTitle);
    registerProcedure(QStringLiteral("PrintPaperSaverByArtist"), PrintPaperSaverByArtist);
}

} // namespace tbk
