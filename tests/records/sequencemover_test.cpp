// Rows kept in order by a sequence number: the moves and renumbering over album tracks,
// playlist entries and add-wizard rows, the highest number, and failed steps rolled back.
#include "records/sequencemover.h"

#include "core/coretest.h"

#include <map>

using namespace tbk;
using namespace tbk::data;
using namespace coretest;

namespace {

struct KindCase {
    const char *name;
    const SequenceKind &(*kind)();
    const char *tagField;    // tells the rows apart
    const char *reportHead;  // the report up to the key fields' lines, "%1" the error text
};

const KindCase kKinds[] = {
    {"AlbumTracks", albumTracks, "MUS:ID", "Record swap error: %1\rTunebank, MUS:KeyAlbumID\r"},
    {"PlaylistEntries", playlistEntries, "PLA:ID", "Record swap error: \r%1\rPlaylistDetails, PLA:KeyPlaylistID\r"},
    {"AddWizardRows", addWizardRows, "AW:TITLE", "Record swap error: \r%1\rAddWizard, AW:KeyInstance\r"},
};

void PrintTo(const KindCase &c, std::ostream *os) { *os << c.name; }

constexpr int kRange = 7;
constexpr int kOtherRange = 8;

class Mover : public CoreTest, public testing::WithParamInterface<KindCase> {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        for (DataFile *f : {static_cast<DataFile *>(&CF), static_cast<DataFile *>(&MUS),
                            static_cast<DataFile *>(&PLA), static_cast<DataFile *>(&AW)})
            openForUse(*f);
    }
    const SequenceKind &kind() const { return GetParam().kind(); }
    DataFile &file() const { return *kind().file; }
    const std::vector<int> &keyFields() const { return kind().key->decl().fields; }
    FieldRef tag() const { return findField(QLatin1String(GetParam().tagField)); }
    FieldRef sequence() const { return FieldRef(&file(), keyFields().back()); }

    // Adds the rows numbered `numbers` to a range; tags are 100 * range + the number.
    Position add(int range, qint64 number, int tagValue = 0) {
        file().clear();
        FieldRef(&file(), keyFields().front()).setNumber(range);
        for (size_t i = 1; i + 1 < keyFields().size(); ++i)
            FieldRef(&file(), keyFields()[i]).setNumber(1);
        sequence().setNumber(number);
        tag().setNumber(tagValue ? tagValue : 100 * range + int(number));
        EXPECT_TRUE(file().add()) << errorCode() << " " << errorText().toStdString();
        return file().position();
    }
    void addRows(int range, std::initializer_list<qint64> numbers) {
        for (qint64 n : numbers)
            add(range, n);
    }
    // Tag -> number for every row of the file.
    std::map<qint64, qint64> numbers() const {
        std::map<qint64, qint64> m;
        file().setPhysical();
        while (file().next())
            m[tag().number()] = sequence().number();
        return m;
    }
    // The tag of each row of the range, in key order.
    std::vector<qint64> order(int range) const {
        std::vector<qint64> tags;
        file().set(*kind().key);
        while (file().next())
            if (FieldRef(&file(), keyFields().front()).number() == range)
                tags.push_back(tag().number());
        return tags;
    }
    Position at(int range, qint64 number) const {
        file().setPhysical();
        while (file().next())
            if (FieldRef(&file(), keyFields().front()).number() == range && sequence().number() == number)
                return file().position();
        ADD_FAILURE() << "no row " << number;
        return 0;
    }
    MoveOutcome moveRow(Position row, MoveMode mode, qint64 limit, std::vector<Shown> *shown = nullptr) {
        MoveOutcome outcome{};
        const auto messages = run([&] { outcome = SequenceMover(kind()).move(row, mode, limit); });
        if (shown)
            *shown = messages;
        else
            EXPECT_TRUE(messages.empty());
        return outcome;
    }
    MoveOutcome move(qint64 number, MoveMode mode) { return moveRow(at(kRange, number), mode, 0); }
    // Makes the driver refuse any write that gives a row of the range this number.
    void refuseNumber(qint64 n) {
        const auto &fields = file().structure().fields();
        const QString seq = DataFile::columnName(fields[size_t(keyFields().back())]);
        sqlOn(file().name(), QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON records WHEN NEW.%1 = %2 "
                                            "BEGIN SELECT RAISE(ABORT, 'refused by test'); END")
                                 .arg(seq)
                                 .arg(n));
    }
};

TEST_P(Mover, EndsAndSingleRowsStayPut) {
    add(kRange, 1);
    for (MoveMode m : {MoveMode::UpOne, MoveMode::DownOne, MoveMode::ToTop, MoveMode::ToBottom})
        EXPECT_EQ(move(1, m), MoveOutcome::Unchanged);
    addRows(kRange, {2, 3});
    EXPECT_EQ(move(1, MoveMode::UpOne), MoveOutcome::Unchanged);
    EXPECT_EQ(move(1, MoveMode::ToTop), MoveOutcome::Unchanged);
    EXPECT_EQ(move(3, MoveMode::DownOne), MoveOutcome::Unchanged);
    EXPECT_EQ(move(3, MoveMode::ToBottom), MoveOutcome::Unchanged);
    EXPECT_EQ(order(kRange), (std::vector<qint64>{701, 702, 703}));
}

TEST_P(Mover, MovesShiftOnlyTheRowsBetween) {
    addRows(kRange, {1, 2, 3, 4, 5, 6, 7, 8});
    addRows(kOtherRange, {1, 2, 3});
    const auto other = [&] { auto m = numbers(); return std::vector<qint64>{m[801], m[802], m[803]}; };

    EXPECT_EQ(move(5, MoveMode::ToTop), MoveOutcome::Moved);
    EXPECT_EQ(sequence().number(), 1);   // the moved row is left in the buffer
    EXPECT_EQ(tag().number(), 705);
    EXPECT_EQ(order(kRange), (std::vector<qint64>{705, 701, 702, 703, 704, 706, 707, 708}));
    EXPECT_EQ(move(2, MoveMode::ToBottom), MoveOutcome::Moved);   // 701 was 2nd
    EXPECT_EQ(order(kRange), (std::vector<qint64>{705, 702, 703, 704, 706, 707, 708, 701}));
    EXPECT_EQ(move(3, MoveMode::UpOne), MoveOutcome::Moved);
    EXPECT_EQ(move(5, MoveMode::DownOne), MoveOutcome::Moved);
    EXPECT_EQ(order(kRange), (std::vector<qint64>{705, 703, 702, 704, 707, 706, 708, 701}));
    // The numbers in use stay 1..8.
    auto m = numbers();
    std::vector<qint64> inUse;
    for (auto [t, n] : m)
        if (t / 100 == kRange)
            inUse.push_back(n);
    std::sort(inUse.begin(), inUse.end());
    EXPECT_EQ(inUse, (std::vector<qint64>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(other(), (std::vector<qint64>{1, 2, 3}));
}

TEST_P(Mover, InsertAfterStopsAtTheLimit) {
    addRows(kRange, {1, 2, 3, 4, 5});
    const Position added = add(kRange, 6, 799);
    EXPECT_EQ(moveRow(added, MoveMode::InsertAfter, 2), MoveOutcome::Moved);
    EXPECT_EQ(order(kRange), (std::vector<qint64>{701, 702, 799, 703, 704, 705}));
    auto m = numbers();
    EXPECT_EQ(m[799], 3);
    EXPECT_EQ(m[705], 6);
    // After the last row: nothing to pass.
    const Position last = add(kRange, 7, 798);
    EXPECT_EQ(moveRow(last, MoveMode::InsertAfter, 6), MoveOutcome::Unchanged);
    EXPECT_EQ(numbers()[798], 7);
}

TEST_P(Mover, GapsKeepTheNumbersInUse) {
    addRows(kRange, {1, 2, 5});
    EXPECT_EQ(move(5, MoveMode::ToTop), MoveOutcome::Moved);
    auto m = numbers();
    EXPECT_EQ(m[705], 1);
    EXPECT_EQ(m[701], 2);
    EXPECT_EQ(m[702], 5);
}

TEST_P(Mover, RenumberClosesGapsFromTheGivenNumber) {
    addRows(kRange, {1, 3, 5, 6, 9});
    addRows(kOtherRange, {3, 5});
    Record range;
    run([&] {
        file().clear();
        FieldRef(&file(), keyFields().front()).setNumber(kRange);
        for (size_t i = 1; i + 1 < keyFields().size(); ++i)
            FieldRef(&file(), keyFields()[i]).setNumber(1);
        range = file().record();
        EXPECT_EQ(SequenceMover(kind()).renumber(range, 2), MoveOutcome::Moved);
        EXPECT_EQ(SequenceMover(kind()).renumber(range, 2), MoveOutcome::Unchanged);
    });
    auto m = numbers();
    EXPECT_EQ(m[701], 1);
    EXPECT_EQ(m[703], 2);
    EXPECT_EQ(m[705], 3);
    EXPECT_EQ(m[706], 4);
    EXPECT_EQ(m[709], 5);
    EXPECT_EQ(m[803], 3);
    EXPECT_EQ(m[805], 5);
}

// A range that reaches the field's highest number has no parking number: the move is refused
// and nothing changes (a BYTE track 255 used to wrap to 0).
TEST_P(Mover, NoParkingNumberAboveTheHighestRefuses) {
    const qint64 hi = SequenceMover(kind()).highestNumber();
    add(kRange, hi - 2, 1);
    add(kRange, hi - 1, 2);
    add(kRange, hi, 3);
    std::vector<Shown> shown;
    EXPECT_EQ(moveRow(at(kRange, hi), MoveMode::ToTop, 0, &shown), MoveOutcome::Refused);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error!");
    EXPECT_EQ(shown[0].text, QStringLiteral("The record cannot be moved: no number above %1 can be stored.").arg(hi));
    EXPECT_EQ(moveRow(at(kRange, hi), MoveMode::DownOne, 0, &shown), MoveOutcome::Unchanged);
    auto m = numbers();
    EXPECT_EQ(m[1], hi - 2);
    EXPECT_EQ(m[2], hi - 1);
    EXPECT_EQ(m[3], hi);
}

// The report is worded as each kind's own, and the failed move leaves every row as it was.
TEST_P(Mover, FailedStepRollsBackAndReportsIt) {
    addRows(kRange, {1, 2, 3, 4, 5});
    const auto before = numbers();
    refuseNumber(2);
    std::vector<Shown> shown;
    EXPECT_EQ(moveRow(at(kRange, 5), MoveMode::ToTop, 0, &shown), MoveOutcome::Failed);
    EXPECT_EQ(numbers(), before);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Error!");
    QString keys;
    const QStringList names = kind().key->decl().components;
    for (qsizetype i = 0; i < names.size(); ++i)
        keys += QStringLiteral("Key Field %1:%2 = %3\r")
                    .arg(file().prefix(), names[i])
                    .arg(i == 0 ? kRange : i + 1 == names.size() ? 2 : 1);
    EXPECT_EQ(shown[0].text, QString::fromLatin1(GetParam().reportHead).arg("constraint failed") + keys +
                                 QStringLiteral("Section = Put Swap\r"));
}

INSTANTIATE_TEST_SUITE_P(Kinds, Mover, testing::ValuesIn(kKinds),
                         [](const testing::TestParamInfo<KindCase> &info) { return std::string(info.param.name); });

using SongMoves = Mover;

// Each failing step stops the move there, is named in the report, and is undone with the rest.
TEST_P(SongMoves, EveryFailingStepIsNamedAndUndone) {
    addRows(kRange, {1, 2, 3, 4, 5});
    const auto before = numbers();
    const std::pair<qint64, const char *> steps[] = {{6, "Put Swap Out"}, {3, "Put Swap"}, {1, "Final Put"}};
    for (auto [number, step] : steps) {
        SCOPED_TRACE(step);
        refuseNumber(number);
        std::vector<Shown> shown;
        EXPECT_EQ(moveRow(at(kRange, 5), MoveMode::ToTop, 0, &shown), MoveOutcome::Failed);
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_TRUE(shown[0].text.endsWith(QStringLiteral("Key Field MUS:TrackNumber = %1\rSection = %2\r").arg(number).arg(step)))
            << shown[0].text.toStdString();
        EXPECT_EQ(numbers(), before);
        sqlOn(file().name(), QStringLiteral("DROP TRIGGER refuse"));
    }
    EXPECT_EQ(move(5, MoveMode::ToTop), MoveOutcome::Moved);
}

// A new song on a side whose songs are all numbered at or below the limit (the user changed
// the side in the form) stays where its side put it instead of taking its neighbour's number.
TEST_P(SongMoves, InsertAfterThatWouldDuplicateANumberStaysPut) {
    addRows(kRange, {1, 2});
    const Position added = add(kRange, 3, 799);
    EXPECT_EQ(moveRow(added, MoveMode::InsertAfter, 4), MoveOutcome::Unchanged);
    EXPECT_EQ(numbers()[799], 3);
    EXPECT_EQ(numbers()[702], 2);
}

INSTANTIATE_TEST_SUITE_P(Songs, SongMoves, testing::Values(kKinds[0]),
                         [](const testing::TestParamInfo<KindCase> &info) { return std::string(info.param.name); });

} // namespace
