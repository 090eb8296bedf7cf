#include "records/sequencemover.h"

#include "core/datafiles.h"
#include "records/keyrangewalk.h"
#include "core/standardwarnings.h"
#include "runtime/data/errors.h"
#include "runtime/data/transaction.h"
#include "runtime/threads/messagebox.h"

#include <limits>

namespace tbk {

namespace {

// One second, as the playlist's reordering waits; the other kinds had no transaction at all.
constexpr int kTransactionSeconds = 1;
constexpr int kRangeReadAhead = 64;

const QString kTestRange = QStringLiteral("Test Range");
const QString kGetOrig = QStringLiteral("Get Orig");
const QString kPutSwapOut = QStringLiteral("Put Swap Out");
const QString kPutSwap = QStringLiteral("Put Swap");
const QString kGetOrigAfter = QStringLiteral("Get Orig After");
const QString kFinalPut = QStringLiteral("Final Put");
const QString kPutUpdSeq = QStringLiteral("Put Upd Seq");

// The driver's hint for a run of key reads, taken back on every way out.
class QuickScan {
public:
    explicit QuickScan(data::DataFile &file) : file_(file) { file_.send(QStringLiteral("QUICKSCAN=on")); }
    ~QuickScan() { file_.send(QStringLiteral("QUICKSCAN=off")); }
    QuickScan(const QuickScan &) = delete;
    QuickScan &operator=(const QuickScan &) = delete;

private:
    data::DataFile &file_;
};

} // namespace

const SequenceKind &albumTracks() {
    static const SequenceKind kind{&MUS, &MUS.KeyAlbumID, false};
    return kind;
}

const SequenceKind &playlistEntries() {
    static const SequenceKind kind{&PLA, &PLA.KeyPlaylistID, true};
    return kind;
}

const SequenceKind &addWizardRows() {
    static const SequenceKind kind{&AW, &AW.KeyInstance, true};
    return kind;
}

SequenceMover::SequenceMover(const SequenceKind &kind) : kind_(kind) {
    const std::vector<int> &fields = kind_.key->decl().fields;
    sequenceField_ = fields.back();
    rangeSize_ = fields.size() - 1;
}

qint64 SequenceMover::highestNumber() const {
    const data::FieldDecl &f = kind_.file->structure().fields()[size_t(sequenceField_)];
    switch (f.kind) {
    case data::FieldKind::Byte: return std::numeric_limits<quint8>::max();
    case data::FieldKind::Long: return std::numeric_limits<qint32>::max();
    default: return data::fitNumber(f.kind, f.size, std::numeric_limits<qint64>::max());
    }
}

QString SequenceMover::swapErrorText(const QString &step) const {
    const QChar cr = QLatin1Char('\r');
    QString text = QStringLiteral("Record swap error: ");
    if (kind_.errorTextOnOwnLine)
        text += cr;
    text += data::shownErrorText() + cr + kind_.file->label() + QStringLiteral(", ") + kind_.key->name() + cr;
    for (int i : kind_.key->decl().fields) {
        const data::FieldRef f(kind_.file, i);
        text += QStringLiteral("Key Field ") + f.name() + QStringLiteral(" = ") + f.text() + cr;
    }
    return text + QStringLiteral("Section = ") + step + cr;
}

bool SequenceMover::readRange(std::vector<Row> &rows) {
    data::DataFile &file = *kind_.file;
    const data::Record range = file.record();
    file.cell(sequenceField_).n = std::numeric_limits<qint64>::min();
    KeyRangeWalk walk(file, *kind_.key, int(rangeSize_), kRangeReadAhead, {sequenceField_});
    rows.clear();
    while (walk.next())
        rows.push_back({file.position(), file.cell(sequenceField_).n});
    if (data::errorCode() == data::RecordNotAvailable)
        return true;
    file.setRecord(range);
    report_ = swapErrorText(kTestRange);
    return false;
}

bool SequenceMover::getRow(data::Position p, const QString &step) {
    if (kind_.file->get(p))
        return true;
    report_ = swapErrorText(step);
    return false;
}

bool SequenceMover::putNumber(qint64 number, const QString &step) {
    data::FieldRef(kind_.file, sequenceField_).setNumber(number);
    if (kind_.file->put())
        return true;
    report_ = swapErrorText(step);
    return false;
}

bool SequenceMover::begin() {
    report_.clear();
    if (data::beginTransaction(kTransactionSeconds, {kind_.file}))
        return true;
    // Another window holds the file: nothing was read or written yet.
    saveCurrentError();
    ShowStandardWarning(34, QStringLiteral("Update"), kind_.file->label());
    return false;
}

MoveOutcome SequenceMover::finish(MoveOutcome outcome) {
    if (outcome == MoveOutcome::Moved && !data::commitTransaction()) {
        report_ = swapErrorText(kFinalPut);
        outcome = MoveOutcome::Failed;
    }
    if (outcome != MoveOutcome::Moved && data::inTransaction())
        data::rollbackTransaction();
    // Shown only now: the lock is not kept while the user reads.
    if (!report_.isEmpty())
        message(report_, QStringLiteral("Error!"), MessageIcon::Exclamation, ButtonOK);
    return outcome;
}

MoveOutcome SequenceMover::fail() { return finish(MoveOutcome::Failed); }

MoveOutcome SequenceMover::refuse(const QString &what) {
    report_ = what + QStringLiteral(": no number above %1 can be stored.").arg(highestNumber());
    return finish(MoveOutcome::Refused);
}

MoveOutcome SequenceMover::move(data::Position row, MoveMode mode, qint64 insertLimit) {
    QuickScan hint(*kind_.file);
    if (!begin())
        return MoveOutcome::Failed;
    if (!getRow(row, kTestRange))
        return fail();
    const qint64 t0 = kind_.file->cell(sequenceField_).n;
    std::vector<Row> rows;
    if (!readRange(rows))
        return fail();
    const qsizetype count = qsizetype(rows.size());
    qsizetype at = 0;
    while (at < count && rows[size_t(at)].position != row)
        ++at;
    if (at == count)
        return finish(MoveOutcome::Unchanged);

    const bool backward = mode == MoveMode::UpOne || mode == MoveMode::ToTop || mode == MoveMode::InsertAfter;
    const bool oneStep = mode == MoveMode::UpOne || mode == MoveMode::DownOne;
    const qint64 limit = mode == MoveMode::InsertAfter ? insertLimit : 0;
    std::vector<Row> shifted;
    for (qsizetype i = at + (backward ? -1 : 1); i >= 0 && i < count; i += backward ? -1 : 1) {
        const Row &r = rows[size_t(i)];
        if (r.number <= limit)
            break;
        shifted.push_back(r);
        if (oneStep)
            break;
    }
    // A walk that would stop at once would hand the row its neighbour's number: keep it.
    if (shifted.empty())
        return finish(MoveOutcome::Unchanged);
    const qint64 parking = rows.back().number + 1;
    if (parking > highestNumber())
        return refuse(QStringLiteral("The record cannot be moved"));

    if (!getRow(row, kGetOrig) || !putNumber(parking, kPutSwapOut))
        return fail();
    qint64 vacated = t0;
    for (const Row &r : shifted) {
        if (!getRow(r.position, kTestRange) || !putNumber(vacated, kPutSwap))
            return fail();
        vacated = r.number;
    }
    if (!getRow(row, kGetOrigAfter) || !putNumber(vacated, kFinalPut))
        return fail();
    return finish(MoveOutcome::Moved);
}

MoveOutcome SequenceMover::renumber(const data::Record &range, qint64 from) {
    QuickScan hint(*kind_.file);
    if (!begin())
        return MoveOutcome::Failed;
    kind_.file->setRecord(range);
    std::vector<Row> rows;
    if (!readRange(rows))
        return fail();
    std::erase_if(rows, [from](const Row &r) { return r.number < from; });
    if (!rows.empty() && from + qint64(rows.size()) - 1 > highestNumber())
        return refuse(QStringLiteral("The records cannot be renumbered"));
    qint64 number = from;
    bool changed = false;
    for (const Row &r : rows) {
        if (r.number != number) {
            if (!getRow(r.position, kTestRange) || !putNumber(number, kPutUpdSeq))
                return fail();
            changed = true;
        }
        ++number;
    }
    return finish(changed ? MoveOutcome::Moved : MoveOutcome::Unchanged);
}

} // namespace tbk
