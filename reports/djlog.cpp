#include "reports/djlog.h"

#include "core/datafiles.h"
#include "core/procedures.h"
#include "core/programsettings.h"
#include "impex/queryfieldlists.h"
#include "reports/listlayout.h"
#include "reports/reportframe.h"
#include "reports/wizardfilter.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "songs/songlists.h"

namespace tbk {

namespace {

// A release date kept as a bare year stays as it is; a day number gives its year.
QString yearText(qint32 released) {
    if (released == 0)
        return QStringLiteral(" --");
    if (released < 3000)
        return QString::number(released);
    return QString::number(yearOf(released));
}

} // namespace

void printDJLogWith(const QString &fieldList) {
    WizardFilter wizard(fieldList);
    const std::vector<ReportColumn> columns{
        {1, QStringLiteral("Artist"), QStringLiteral("MUS:Artist"), QStringLiteral("@s30"), 31},
        {1, QStringLiteral("Title"), QStringLiteral("MUS:Title"), QStringLiteral("@s30"), 1400},
        {1, QStringLiteral("Category"), QStringLiteral("CAT:Category"), QStringLiteral("@s20"), 2770},
        {1, QStringLiteral("Album"), QStringLiteral("MUS:Album"), QStringLiteral("@s30"), 3700},
        {1, formatPicture(QStringLiteral("@s20"), NotesLabel.str()), QStringLiteral("MUS:UserDefinedKeyField"),
         QStringLiteral("@s30"), 5070},
        {1, QStringLiteral("File Number"), QStringLiteral("MUS:FileNumber"), QStringLiteral("@s20"), 6440},
        {1, QStringLiteral("Year"), QStringLiteral("YearText"), QStringLiteral("@s4"), 7500}};

    ReportMember m;
    m.start = ReportStart::Question;
    m.files = {&CAT, &MUS};
    m.key = &MUS.SongsByMedia;
    m.joined = {&CAT};
    m.join = joinCategory;
    m.filterOnOpen = [&wizard] { return wizard.ask(); };
    m.beforePrint = [](report::Report &r) {
        r.element(QStringLiteral("YearText"))->value = yearText(MUS.ReleaseDate.value());
    };
    m.layout = listLayout(QStringLiteral("DJ LOG"), columns);
    runReport(m);
}

void PrintDJLog() { printDJLogWith(djLogQueryFields()); }

void registerDJLog() { registerProcedure(QStringLiteral("PrintDJLog"), PrintDJLog); }

} // namespace tbk
