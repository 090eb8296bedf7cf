// The field-list texts the callers hand the wizard, the queue built from them, and the
// refusal of a malformed list.
#include "impex/queryfieldlists.h"
#include "qwtest.h"
#include "runtime/querywizard/query.h"
#include "support/windows/scriptedanswers.h"

using namespace tbk;

namespace {

QStringList names(const QueryFieldQueue &q) {
    QStringList out;
    for (const QueryField &f : q.fields)
        out << f.QWFLDNAME.str();
    return out;
}

TEST(QueryFieldList, TheSongListsFillTheQueueWithTheirRows) {
    QueryFieldQueue q;
    qint32 error = -1;
    QW_ADDFIELDSQUEUEDATA(q, error, songQueryFields());
    EXPECT_EQ(error, 0);
    ASSERT_EQ(q.fields.size(), 31);
    EXPECT_TRUE(songQueryFields().endsWith(QChar(0xAB)));
    const QueryField &bpm = q.fields[18];
    EXPECT_EQ(bpm.QWFLDDESC.str(), "Beats Per Minute (BPM)");
    EXPECT_EQ(bpm.QWFLDNAME.str(), "MUS:BeatsPerMinute");
    EXPECT_EQ(bpm.QWFLDPICTURE.str(), "@n_4b");
    EXPECT_EQ(bpm.QWFLDLENGTH, 4);
    EXPECT_EQ(bpm.QWFLDDATATYPE, QueryNumber);
    EXPECT_EQ(bpm.QWFLDFIELDPOINTER, 19);
    EXPECT_EQ(q.fields[27].QWFLDLENGTH, 2000);
    EXPECT_EQ(q.fields[25].QWFLDCONTROL, QueryChoiceList);
    EXPECT_EQ(q.fields[25].choices(), QStringList({"Slow", "Fast", "Abrupt"}));
    EXPECT_EQ(q.fields[30].QWFLDCONTROL, QueryCheckBox);
    EXPECT_EQ(q.fields[30].QWFLDOPTIONS.str(), "Do Not Play");

    QueryFieldQueue dj, paper;
    QW_ADDFIELDSQUEUEDATA(dj, error, djLogQueryFields());
    QW_ADDFIELDSQUEUEDATA(paper, error, paperSaverQueryFields());
    EXPECT_EQ(error, 0);
    QStringList all = names(q);
    all.removeAt(1);
    EXPECT_EQ(names(dj), all);
    all.removeAt(0);
    EXPECT_EQ(names(paper), all);
    QW_INITFIELDSQUEUE(paper, "SONGS");
    EXPECT_EQ(paper.queryName, "SONGS");
}

TEST(QueryFieldList, AMalformedListIsRefusedWithItsErrorNumberKeepingTheRecordsBefore) {
    const QString good = songQueryFieldList({3});
    const auto record = [](QStringList parts) { return parts.join(QChar(0xA6)) + QChar(0xAB); };
    const QStringList artist{"Artist", "0", "MUS:Artist", "@s50", "50", "1", "1", "", "", ""};
    struct Bad {
        QString text;
        qint32 error;
    };
    QStringList nine = artist;
    nine.removeLast();
    QStringList noName = artist, noLength = artist, kind = artist, entry = artist, picture = artist, choice = artist;
    noName[2] = " ";
    noLength[4] = "x";
    kind[5] = "3";
    entry[6] = "4";
    picture[3] = "@q9";
    choice[6] = "3";
    const QList<Bad> bad = {
        {record(nine), QueryFieldListPartCount},     {record(noName), QueryFieldListBlankName},
        {record(noLength), QueryFieldListBadLength}, {record(kind), QueryFieldListBadValueKind},
        {record(entry), QueryFieldListBadEntryKind}, {record(picture), QueryFieldListBadPicture},
        {record(choice), QueryFieldListNoChoices},   {artist.join(QChar(0xA6)), QueryFieldListUnterminated},
    };
    for (const Bad &b : bad) {
        QueryFieldQueue q;
        qint32 error = 0;
        // An unterminated record can only come last.
        QW_ADDFIELDSQUEUEDATA(q, error, good + b.text + (b.error == QueryFieldListUnterminated ? "" : good));
        EXPECT_EQ(error, b.error) << b.text.toStdString();
        EXPECT_EQ(names(q).value(0), "MUS:Artist");
    }
}

TEST(QueryFieldList, ARefusedListIsReportedOnceAndTheQueueStillTakesItsName) {
    QueryFieldQueue q;
    bool failed = false;
    const QString broken = QStringLiteral("Artist%1MUS:Artist%2").arg(QChar(0xA6)).arg(QChar(0xAB));
    const auto shown = windowtest::runAnswering([&] {
        prepareQueryFields(q, broken, "SONGS", failed);
        prepareQueryFields(q, broken, "SONGS", failed);
    });
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Query Wizard Error# 1");
    EXPECT_EQ(shown[0].text, "An error has prevented the Query Wizard from initializing.");
    EXPECT_EQ(shown[0].icon, QMessageBox::Information);
    EXPECT_TRUE(failed);
    EXPECT_TRUE(q.fields.isEmpty());
    EXPECT_EQ(q.queryName, "SONGS");
}

TEST(QueryText, SavedConditionsReadBackAndDamageIsNoticed) {
    qw::Query q{{qw::Condition::First, "MUS:Title", qw::Contains, qw::Condition::Constant, "it's", false, true},
                {qw::Condition::Or, "", 0, qw::Condition::Manual, "MUS:Live = 1", false, false}};
    EXPECT_EQ(qw::deserialise(qw::serialise(q)), q);
    EXPECT_FALSE(qw::deserialise("[{\"join\":7}]"));
    EXPECT_FALSE(qw::deserialise("not json"));
}

} // namespace
