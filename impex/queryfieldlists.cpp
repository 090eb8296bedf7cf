#include "impex/queryfieldlists.h"

#include "runtime/threads/messagebox.h"

namespace tbk {

namespace {

struct SongQueryField {
    const char *label;
    const char *field;
    const char *picture;
    int length;
    int value;   // QueryValueKind
    int entry;   // QueryEntryKind
    const char *options;
};

const SongQueryField kSongFields[] = {
    {"Category", "CAT:Category", "@s30", 30, 1, 1, ""},
    {"Media", "MED:Media", "@s20", 20, 1, 1, ""},
    {"Artist", "MUS:Artist", "@s50", 50, 1, 1, ""},
    {"Title", "MUS:Title", "@s50", 50, 1, 1, ""},
    {"Mix or Version Specific Information", "MUS:Mix", "@s30", 30, 1, 1, ""},
    {"Album", "MUS:Album", "@s50", 50, 1, 1, ""},
    {"Media", "MUS:Media", "@s20", 20, 1, 1, ""},
    {"File Number", "MUS:FileNumber", "@s20", 20, 1, 1, ""},
    {"Release", "MUS:ReleaseDate", "@d2", 4, 2, 1, ""},
    {"Category (Unique ID)", "MUS:CategoryID", "@n-13", 4, 2, 1, ""},
    {"Chart", "MUS:ChartNumber", "@n3", 1, 2, 1, ""},
    {"Track", "MUS:TrackNumber", "@n3", 1, 2, 1, ""},
    {"Side / Disc", "MUS:Side", "@n2b", 1, 2, 1, ""},
    {"Time", "MUS:Time", "@t4", 4, 2, 1, ""},
    {"User Defined Key Field", "MUS:UserDefinedKeyField", "@s30", 30, 1, 1, ""},
    {"Addition Information (1)", "MUS:AdditionalInformation1", "@s80", 80, 1, 1, ""},
    {"Addition Information (2)", "MUS:AdditionalInformation2", "@s80", 80, 1, 1, ""},
    {"Addition Information (3)", "MUS:AdditionalInformation3", "@s80", 80, 1, 1, ""},
    {"Beats Per Minute (BPM)", "MUS:BeatsPerMinute", "@n_4b", 4, 2, 1, ""},
    {"Style", "MUS:Style", "@s30", 30, 1, 1, ""},
    {"Recording Information", "MUS:Recording", "@s255", 256, 1, 1, ""},
    {"Composer", "MUS:Composer", "@s80", 80, 1, 1, ""},
    {"Performance Notes", "MUS:PerformanceNotes", "@s255", 256, 1, 1, ""},
    {"Date Last Played", "MUS:LastPlayed", "@d17-", 4, 2, 1, ""},
    {"Skips", "MUS:Skips", "@n3", 1, 2, 2, "Skips"},
    {"Type of ending", "MUS:EndType", "@s6", 6, 1, 3, "Slow|Fast|Abrupt"},
    {"In/Out Information", "MUS:InOut", "@s20", 20, 1, 1, ""},
    {"Notes", "MUS:Notes", "@s255", 2000, 1, 1, ""},
    {"Rating", "MUS:Rating", "@n2", 1, 2, 1, ""},
    {"Live", "MUS:Live", "@n3", 1, 2, 2, "Live"},
    {"DoNotPlay", "MUS:DoNotPlay", "@n3", 1, 2, 2, "Do Not Play"},
};

QString rowsFrom(int first, int last) {
    QString text;
    for (int row = first; row <= last; ++row)
        text += songQueryFieldList({row});
    return text;
}

} // namespace

QString songQueryFieldList(std::initializer_list<int> rows) {
    QString text;
    for (int row : rows) {
        const SongQueryField &f = kSongFields[row - 1];
        const QStringList parts{QString::fromLatin1(f.label), QStringLiteral("0"), QString::fromLatin1(f.field),
                                QString::fromLatin1(f.picture), QString::number(f.length), QString::number(f.value),
                                QString::number(f.entry), QString(), QString::fromLatin1(f.options), QString()};
        text += parts.join(kQueryPartSeparator) + kQueryRecordSeparator;
    }
    return text;
}

QString songQueryFields() { return rowsFrom(1, 31); }
QString djLogQueryFields() { return songQueryFieldList({1}) + rowsFrom(3, 31); }
QString paperSaverQueryFields() { return rowsFrom(3, 31); }

void prepareQueryFields(QueryFieldQueue &queue, const QString &fieldList, const QString &queryName, bool &failed) {
    queue.clear();
    if (!failed) {
        qint32 error = 0;
        QW_ADDFIELDSQUEUEDATA(queue, error, fieldList);
        if (error != 0) {
            failed = true;
            message(QStringLiteral("An error has prevented the Query Wizard from initializing."),
                    QStringLiteral("Query Wizard Error# ") + QString::number(error), MessageIcon::Information);
        }
    }
    QW_INITFIELDSQUEUE(queue, queryName);
}

} // namespace tbk
