#include "reports/songreports.h"

#include "core/datafiles.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "core/smallservices.h"
#include "reports/columnlayout.h"
#include "reports/reportframe.h"
#include "runtime/values/picture.h"
#include "songs/songlists.h"

namespace tbk {

bool songFiltered() {
    return MUS.Artist.str().contains(QLatin1String("(*)")) ||
           MUS.Title.str().contains(QLatin1String("(Skips)"), Qt::CaseSensitive) || MUS.Skips.value() != 0 ||
           MUS.DoNotPlay.value() != 0;
}

namespace {

QString udkHeading() { return formatPicture(QStringLiteral("@s20"), UDKPrompt.str()); }
QString udkTitle() { return QStringLiteral("Songs by ") + UDKPrompt.str(); }

// What every member of these reports shares: the songs in the key's order, unfiltered.
ReportMember songMember(ReportStart start, const data::Key &key, const QString &title,
                        std::vector<ReportColumn> columns, bool runDate) {
    ReportMember m;
    m.start = start;
    m.files = {&MUS};
    m.key = &key;
    m.title = title;
    m.layout = columnLayout(title, columns, runDate);
    return m;
}

// The standard members show the song's category.
void withCategory(ReportMember &m) {
    m.files = {&CAT, &MUS};
    m.joined = {&CAT};
    m.join = joinCategory;
}

void standard(ReportMember &m, const QString &noun, void (*brief)()) {
    m.noun = noun;
    m.brief = brief;
}

const ReportColumn kChartLine1[] = {
    {1, QStringLiteral("Chart #"), QStringLiteral("MUS:ChartNumber"), QStringLiteral("@n3"), 63},
    {1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 573},
    {1, QStringLiteral("Title"), QStringLiteral("SongTitleText"), QStringLiteral("@s50"), 2469},
    {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 4417},
};

ReportMember byChartNumber(bool brief) {
    std::vector<ReportColumn> columns(std::begin(kChartLine1), std::end(kChartLine1));
    if (!brief)
        columns.insert(columns.end(),
                       {{2, QStringLiteral("File Number"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"), 573},
                        {2, QStringLiteral("Release Date"), QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d2"), 2469},
                        {2, QStringLiteral("Media"), QStringLiteral("MUS:Media"), QStringLiteral("@s20"), 4417}});
    ReportMember m = songMember(brief ? ReportStart::Twin : ReportStart::Criteria, MUS.SONGSBYCHARTNUMBER,
                                QStringLiteral("Songs by Chart Number"), std::move(columns), false);
    if (!brief)
        standard(m, QStringLiteral("chart numbers"), PrintSongsByChartNumberBrief);
    m.startsWith = [] { return QString::number(MUS.ChartNumber.value()); };
    m.beforePrint = [](report::Report &r) {
        if (report::Element *title = r.element(QStringLiteral("SongTitleText")))
            title->value = FormatSongTitle();
    };
    return m;
}

ReportMember byUserDefinedKey(bool brief) {
    std::vector<ReportColumn> columns;
    if (brief)
        columns = {{1, udkHeading(), QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30"), 31},
                   {1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 1500},
                   {1, QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s50"), 3396},
                   {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 5344}};
    else
        columns = {{1, udkHeading(), QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30"), 10},
                   {1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 1333},
                   {1, QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s50"), 2833},
                   {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 4396},
                   {1, QStringLiteral("Media"), QStringLiteral("MUS:Media"), QStringLiteral("@s20"), 5969},
                   {2, QStringLiteral("Category"), QStringLiteral("CAT:Category"), QStringLiteral("@s30"), 1333},
                   {2, QStringLiteral("File Number"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"), 2833},
                   {2, QStringLiteral("Release Date"), QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d3b"), 4396},
                   {2, QStringLiteral("Track"), QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3b"), 5979},
                   {2, QStringLiteral("Chart"), QStringLiteral("MUS:ChartNumber"), QStringLiteral("@n3b"), 6521}};
    ReportMember m = songMember(brief ? ReportStart::Twin : ReportStart::Criteria, MUS.SONGSBYUSERDEFINEDKEY,
                                udkTitle(), std::move(columns), !brief);
    if (!brief) {
        standard(m, clip(UDKPrompt.str()).toLower() + QLatin1Char('s'), PrintSongsByUserDefinedKeyBrief);
        withCategory(m);
        m.fontKey = QStringLiteral("PrintMUS:SongsByUDK");
    }
    m.startsWith = [] { return MUS.UserDefinedKeyField.str(); };
    return m;
}

// The title and artist reports differ in their first two columns and their key.
ReportMember byTitleOrArtist(bool byTitle, bool brief) {
    const ReportColumn title{1, QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s50"), 0};
    const ReportColumn artist{1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s50"), 0};
    ReportColumn first = byTitle ? title : artist;
    ReportColumn second = byTitle ? artist : title;
    std::vector<ReportColumn> columns;
    if (brief) {
        first.x = 42;
        second.x = byTitle ? 2198 : 1938;
        columns = {first, second,
                   {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 4094},
                   {1, QStringLiteral("File Number"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"), 5552},
                   {1, QStringLiteral("Trk"), QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3b"), byTitle ? 6229 : 6219},
                   {1, udkHeading(), QStringLiteral("MUS:UserDefinedKeyField"), QStringLiteral("@s30"), 6510},
                   {1, QStringLiteral("Time"), QStringLiteral("MUS:Time"), QStringLiteral("@t4b"), 6896}};
    } else {
        first.x = 31;
        second.x = 1646;
        columns = {first, second,
                   {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s50"), 3208},
                   {1, QStringLiteral("Media"), QStringLiteral("MUS:Media"), QStringLiteral("@s20"), 4781},
                   {1, QStringLiteral("Category"), QStringLiteral("CAT:Category"), QStringLiteral("@s30"), 5979},
                   {2, QStringLiteral("File Number"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"), 3208},
                   {2, QStringLiteral("Release Date"), QStringLiteral("MUS:ReleaseDate"), QStringLiteral("@d3b"), 4781},
                   {2, QStringLiteral("Track"), QStringLiteral("MUS:TrackNumber"), QStringLiteral("@n3b"), 5979},
                   {2, QStringLiteral("Chart"), QStringLiteral("MUS:ChartNumber"), QStringLiteral("@n3b"), 6521}};
    }
    const QString name = byTitle ? QStringLiteral("MUS:SongsByTitle") : QStringLiteral("MUS:SongsByArtist");
    ReportMember m = songMember(brief ? ReportStart::Twin : ReportStart::Criteria,
                                byTitle ? MUS.SongsByTitle : MUS.SongsByArtist,
                                byTitle ? QStringLiteral("Songs by Title") : QStringLiteral("Songs by Artist"),
                                std::move(columns), true);
    if (!brief) {
        standard(m, byTitle ? QStringLiteral("titles") : QStringLiteral("artists"),
                 byTitle ? PrintSongsByTitleBrief : PrintSongsByArtistBrief);
        withCategory(m);
    }
    m.fontKey = (brief ? QStringLiteral("Brief") : QStringLiteral("Print")) + name;
    if (byTitle)
        m.startsWith = [] { return MUS.Title.str(); };
    else
        m.startsWith = [] { return MUS.Artist.str(); };
    m.skip = songFiltered;
    return m;
}

} // namespace

void PrintSongsByChartNumber() { runReport(byChartNumber(false)); }
void PrintSongsByChartNumberBrief() { runReport(byChartNumber(true)); }
void PrintSongsByUserDefinedKey() { runReport(byUserDefinedKey(false)); }
void PrintSongsByUserDefinedKeyBrief() { runReport(byUserDefinedKey(true)); }
void PrintSongsByTitle() { runReport(byTitleOrArtist(true, false)); }
void PrintSongsByTitleBrief() { runReport(byTitleOrArtist(true, true)); }
void PrintSongsByArtist() { runReport(byTitleOrArtist(false, false)); }
void PrintSongsByArtistBrief() { runReport(byTitleOrArtist(false, true)); }

void registerSongReports() {
    registerProcedure(QStringLiteral("PrintSongsByChartNumber"), PrintSongsByChartNumber);
    registerProcedure(QStringLiteral("PrintSongsByUserDefinedKey"), PrintSongsByUserDefinedKey);
    registerProcedure(QStringLiteral("PrintSongsByTitle"), PrintSongsByTitle);
    registerProcedure(QStringLiteral("PrintSongsByArtist"), PrintSongsByArtist);
}

} // namespace tbk
