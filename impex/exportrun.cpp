#include "impex/exportrun.h"

#include "core/datafiles.h"
#include "core/programsettings.h"
#include "core/standardwarnings.h"
#include "impex/transfer.h"
#include "runtime/data/driver.h"
#include "runtime/data/view.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/values/dates.h"
#include "runtime/values/text.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <algorithm>
#include <functional>
#include <limits>
#include <vector>

namespace tbk {

using namespace tbk::data;

namespace {

// Qt and the other threads have a turn after this long.
constexpr int kDefaultTurnMs = 40;
int g_turnMs = kDefaultTurnMs;
// Lines go to the disk in blocks of this many bytes.
constexpr int kWriteBlock = 1 << 16;
constexpr qsizetype kDefaultLineBudget = 64 << 20;   // about 370,000 lines of three names
qsizetype g_lineBudget = kDefaultLineBudget;

// Where a chosen field's value comes from: a field of the song (its index in the record) or,
// for -1, the song's category name.
struct ExportColumn {
    int songField = -1;
    bool text = true;
    QString name;
    QString picture;   // clipped
    FieldForm form = FieldForm::Text;
    // Bare years go out as numbers, as other programs read a year.
    bool bareYears = false;
};

// "QUICKSCAN=on" for the songs and categories for the time of the run, whichever way it ends.
class QuickScan {
public:
    QuickScan() { send(QStringLiteral("on")); }
    ~QuickScan() { send(QStringLiteral("off")); }
    QuickScan(const QuickScan &) = delete;
    QuickScan &operator=(const QuickScan &) = delete;

private:
    static void send(const QString &state) {
        MUS.send(QStringLiteral("QUICKSCAN=") + state);
        CAT.send(QStringLiteral("QUICKSCAN=") + state);
    }
};

// A song of the artist order: where it is stored and its place in the order.
struct Placed {
    Position position;
    quint32 rank;
};

// A made line: where it lies among the lines kept and its size with its "\n" (0: none made).
struct Slot {
    quint32 at = 0;
    quint32 size = 0;
};
// The `at` of a song gone before its line was made: it has none to wait for.
constexpr quint32 kGone = std::numeric_limits<quint32>::max();

// The songs go out in artist order. Reading them through that key costs a seek into the table
// for each song, most of the run; so the run reads the key alone for the order, then the songs
// as they are stored, each line made and kept for its place, then writes the lines in order.
// When the lines would outgrow their budget the order is written in parts, the songs read once
// for each part. A song added after the order was read is not written; one deleted before its
// line was made is left out; one changed goes out as it is when its line is made.
class ExportRun {
public:
    ExportRun(const QList<ExportField> &fields, bool header);
    // From the file named on; the name empty when the user cancelled the file dialog.
    bool run(const QString &fileName);

private:
    bool ExportOpenFile(const QString &fileName);
    void ExportWriteHeader();
    void ExportWriteRecord();
    void writeSongs();
    // Lets Qt and the other threads run before the next turn; false when the user cancelled.
    bool nextTurn(ProgressWindow &progress);
    // Whether the turn goes on (the clock is looked at every kExportBatch songs).
    bool turnGoesOn();
    // Reads on through the view in turns, `take` answering whether the run goes on; false when
    // cancelled or after a failed read (reported, and the run given up).
    // `onDemand`: `take` loads the fields of the songs it wants.
    bool scanInTurns(ProgressWindow &progress, View &view, const std::vector<int> &fields,
                     const std::function<bool()> &take, bool onDemand = false);
    // Every song's place in the artist order into places_, which ends sorted by position.
    bool readOrder(ProgressWindow &progress);
    // The lines of the songs of ranks [lo_, hi_), hi_ lowered when they outgrow the budget.
    bool makeLines(ProgressWindow &progress);
    // The current song's line, kept in its slot.
    void keepLine(quint32 rank);
    // Keeps only the lines of the first ranks the budget holds.
    void narrowPart();
    bool writeLines(ProgressWindow &progress);
    // Appends the next rank's line to the block, unless it has none; false once the block could
    // not be written.
    bool writeRank();
    bool writeBlock();
    // After Cancel: the lines from the next rank on, up to the first song whose line is still
    // to be made, so that the file holds a whole beginning of the order.
    void keepMadeLines();
    void advance(ProgressWindow &progress);
    void loadSong();
    QString categoryName();

    Transfer t_;
    std::vector<ExportColumn> columns_;
    std::vector<int> fetched_;   // the song fields read for the lines (the category's for its name)
    bool header_;
    bool failed_ = false;
    // The current song's value of each chosen field.
    std::vector<QVariant> song_;
    // Category names by identifier, read while nothing was written through the program's
    // connection since (another window may rename a category between two turns).
    QHash<qint64, QString> categories_;
    qint64 categoriesAsOf_ = -1;
    std::vector<Placed> places_;
    quint32 lo_ = 0, hi_ = 0;
    quint32 partSize_ = std::numeric_limits<quint32>::max();
    std::vector<Slot> slots_;    // of ranks [lo_, hi_)
    QByteArray lines_;
    quint32 linesMade_ = 0;      // in this part
    bool partMade_ = false;      // every line of this part made
    quint32 written_ = 0;        // the next rank to go to the file
    QByteArray block_;           // lines on their way to the file
    bool cancelled_ = false;
    // Progress: a song counts once when its place is read, once when its line is made and once
    // when it is written.
    qint64 songCount_ = 0;
    qint64 stepsDone_ = 0;
    int shownPercent_ = 0;
    QElapsedTimer turn_;
    int turnSteps_ = 0;
};

ExportRun::ExportRun(const QList<ExportField> &fields, bool header) : header_(header) {
    const bool yearOnly = yearOnlyDates();
    for (const ExportField &f : fields) {
        ExportColumn c;
        c.name = f.field;
        c.picture = clip(f.picture);
        c.form = fieldFormOf(c.picture);
        c.bareYears =
            yearOnly && c.name == QLatin1String("MUS:ReleaseDate") && c.picture == defaultExportPicture(c.name);
        if (const FieldRef ref = MUS.field(f.field); ref.valid()) {
            c.songField = ref.index();
            c.text = ref.isText();
            fetched_.push_back(c.songField);
        } else {
            fetched_.push_back(MUS.CategoryID.index());
        }
        columns_.push_back(c);
    }
    song_.resize(columns_.size());
}

bool ExportRun::ExportOpenFile(const QString &name) {
    if (name.isEmpty())
        return false;
    t_.fileName = name;
    t_.file.setName(name);
    t_.file.setWriteBlock(kWriteBlock);
    if (!t_.file.create()) {
        showTransferError(t_, QStringLiteral("Cannot CREATE "), ButtonOK);
        return false;
    }
    if (!t_.file.open(WriteOnly | DenyAll)) {
        showTransferError(t_, QStringLiteral("Cannot OPEN "), ButtonOK);
        QFile::remove(name);
        return false;
    }
    return true;
}

void ExportRun::ExportWriteHeader() {
    ExportStartLine(t_);
    for (const ExportColumn &c : columns_)
        writeField(t_, c.name, QStringLiteral("@s50"), FieldForm::Text, true);
}

void ExportRun::ExportWriteRecord() {
    ExportStartLine(t_);
    for (size_t i = 0; i < columns_.size(); ++i) {
        const ExportColumn &c = columns_[i];
        const bool year = c.bareYears && isBareYear(qint32(song_[i].toLongLong()));
        writeField(t_, song_[i], c.picture, year ? FieldForm::Number : c.form, false);
    }
}

bool ExportRun::nextTurn(ProgressWindow &progress) {
    progress.showPercent(shownPercent_);
    yieldNow();
    if (progress.cancelled()) {
        cancelled_ = true;
        return false;
    }
    turn_.start();
    turnSteps_ = 0;
    return true;
}

bool ExportRun::turnGoesOn() { return ++turnSteps_ % kExportBatch != 0 || turn_.elapsed() < g_turnMs; }

bool ExportRun::scanInTurns(ProgressWindow &progress, View &view, const std::vector<int> &fields,
                            const std::function<bool()> &take, bool onDemand) {
    bool ended = false;
    const auto step = [&] {
        if (take())
            return turnGoesOn();
        ended = true;
        return false;
    };
    while (!ended) {
        if (!nextTurn(progress))
            return false;
        if (!view.scan(step, &fields, onDemand))
            break;
    }
    if (!ended && errorCode() != RecordNotAvailable) {
        ShowStandardWarning(35, MUS.label(), QString());
        failed_ = true;
    }
    return !failed_;
}

void ExportRun::advance(ProgressWindow &progress) {
    ++stepsDone_;
    if (shownPercent_ == 100)
        return;
    // Songs added since the count was taken read as 100%, as does a file counted empty.
    const qint64 steps = 3 * songCount_;
    const int percent = steps <= 0 ? 100 : int(std::min<qint64>(100, stepsDone_ * 100 / steps));
    if (percent == shownPercent_)
        return;
    shownPercent_ = percent;
    // Painted at the next yield, with the bar: a bar set here repaints at once, a hundred times a run.
    progress.setStatusText(QStringLiteral("%1% Completed").arg(percent, 3));
}

bool ExportRun::readOrder(ProgressWindow &progress) {
    View view(MUS, MUS.SongsByArtist);
    view.clearFilter();
    if (!view.open())
        ShowStandardWarningPlain(36);
    view.set();
    places_.reserve(size_t(std::max<qint64>(0, songCount_)));
    // No field: the key alone answers.
    const bool done = scanInTurns(progress, view, {}, [&] {
        if (places_.size() == std::numeric_limits<quint32>::max())
            return false;
        places_.push_back({MUS.position(), quint32(places_.size())});
        advance(progress);
        return true;
    });
    std::sort(places_.begin(), places_.end(), [](const Placed &a, const Placed &b) { return a.position < b.position; });
    return done;
}

QString ExportRun::categoryName() {
    if (categoriesAsOf_ != driver::writeCount()) {
        categories_.clear();
        categoriesAsOf_ = driver::writeCount();
    }
    const qint64 id = MUS.CategoryID.value();
    auto known = categories_.constFind(id);
    if (known == categories_.cend()) {
        CAT.CategoryID = id;
        known = categories_.insert(id, CAT.get(CAT.KeyCategoryID) ? CAT.Category.str() : QString());
    }
    return *known;
}

void ExportRun::loadSong() {
    for (size_t i = 0; i < columns_.size(); ++i) {
        const ExportColumn &c = columns_[i];
        if (c.songField < 0)
            song_[i] = categoryName();
        else if (c.text)
            song_[i] = MUS.cell(c.songField).s;
        else
            song_[i] = MUS.cell(c.songField).n;
    }
}

void ExportRun::keepLine(quint32 rank) {
    loadSong();
    ExportWriteRecord();
    Slot &slot = slots_[rank - lo_];
    slot.at = quint32(lines_.size());
    // The line as the file's one field would write it.
    appendLineEnd(lines_, t_.record, t_.file.recordLength());
    lines_ += '\n';
    slot.size = quint32(lines_.size()) - slot.at;
    ++linesMade_;
    if (lines_.size() > g_lineBudget)
        narrowPart();
}

void ExportRun::narrowPart() {
    // The songs come in no particular order of rank, so the lines made so far tell the size of
    // one; keep room for the rest of the part.
    const qsizetype perLine = std::max<qsizetype>(1, lines_.size() / linesMade_);
    const quint32 fit = quint32(std::max<qsizetype>(1, g_lineBudget / 8 * 7 / perLine));
    if (fit >= hi_ - lo_)
        return;
    partSize_ = fit;
    hi_ = lo_ + fit;
    slots_.resize(fit);
    QByteArray kept;
    linesMade_ = 0;
    for (Slot &slot : slots_) {
        if (slot.size == 0)
            continue;
        const quint32 at = quint32(kept.size());
        kept += QByteArrayView(lines_).sliced(slot.at, slot.size);
        slot.at = at;
        ++linesMade_;
    }
    lines_ = std::move(kept);
}

bool ExportRun::makeLines(ProgressWindow &progress) {
    slots_.assign(hi_ - lo_, Slot{});
    lines_.clear();
    linesMade_ = 0;
    written_ = lo_;
    partMade_ = false;
    // The part's songs, in the order they are read.
    auto next = std::find_if(places_.begin(), places_.end(), [&](const Placed &p) { return p.rank >= lo_ && p.rank < hi_; });
    if (next == places_.end()) {
        partMade_ = true;
        return true;
    }
    View view(MUS);
    if (!view.open())
        ShowStandardWarningPlain(36);
    view.setAt(next->position);
    partMade_ = scanInTurns(progress, view, fetched_, [&] {
        const Position at = MUS.position();
        while (next != places_.end() && (next->position < at || next->rank < lo_ || next->rank >= hi_)) {
            if (next->position < at && next->rank >= lo_ && next->rank < hi_)
                slots_[next->rank - lo_].at = kGone;
            ++next;
        }
        if (next == places_.end())
            return false;
        if (next->position == at) {
            MUS.loadScanned();
            keepLine(next->rank);
            ++next;
            advance(progress);
        }
        return true;
    }, true);
    return partMade_;
}

bool ExportRun::writeBlock() {
    // A block that cannot be written is tried again whole.
    while (!t_.file.addLines(block_))
        if (showTransferError(t_, QStringLiteral("Cannot ADD to "), ButtonRetry | ButtonAbort, ButtonAbort) != ButtonRetry)
            return false;
    block_.clear();
    return true;
}

bool ExportRun::writeRank() {
    const Slot &slot = slots_[written_++ - lo_];
    if (slot.size == 0)
        return true;
    block_ += QByteArrayView(lines_).sliced(slot.at, slot.size);
    return block_.size() < kWriteBlock || writeBlock();
}

bool ExportRun::writeLines(ProgressWindow &progress) {
    while (written_ < hi_) {
        if (!nextTurn(progress))
            return false;
        do {
            if (!writeRank())
                return false;
            advance(progress);
        } while (written_ < hi_ && turnGoesOn());
    }
    return block_.isEmpty() || writeBlock();
}

void ExportRun::keepMadeLines() {
    while (written_ < hi_) {
        const Slot &slot = slots_[written_ - lo_];
        if (!partMade_ && slot.size == 0 && slot.at != kGone)
            break;
        if (!writeRank())
            return;
    }
    if (!block_.isEmpty())
        writeBlock();
}

void ExportRun::writeSongs() {
    songCount_ = MUS.records();
    ProgressWindow progress(QStringLiteral("Exporting Records"), QStringLiteral("Exporting"), true);
    progress.setStatusText(QStringLiteral("0% Completed"));
    QuickScan quickScan;
    if (!readOrder(progress))
        return;
    for (lo_ = 0; lo_ < places_.size(); lo_ = hi_) {
        hi_ = quint32(std::min<size_t>(places_.size(), size_t(lo_) + partSize_));
        if (!makeLines(progress) || !writeLines(progress)) {
            if (cancelled_)
                keepMadeLines();
            return;
        }
    }
    // Songs gone before their line was made leave steps undone.
    progress.showPercent(100);
    progress.setStatusText(QStringLiteral("Process Completed"));
}

bool ExportRun::run(const QString &fileName) {
    if (!ExportOpenFile(fileName))
        return false;
    if (header_) {
        ExportWriteHeader();
        if (!ExportAddRecord(t_)) {
            ExportCloseFile(t_);
            return false;
        }
    }
    writeSongs();
    ExportCloseFile(t_);
    return true;
}

} // namespace

bool RunExport(const QList<ExportField> &fields, bool header) {
    // In the catalogue's folder, as the dialog opened last may have been elsewhere.
    const QString name = fileDialog(QStringLiteral("Export File"), QDir::currentPath(),
                                    QStringLiteral("Export Files|*.CSV;*.csv|All Files|*.*"), FileDialogMode::Save);
    return RunExportToFile(name, fields, header);
}

bool RunExportToFile(const QString &fileName, const QList<ExportField> &fields, bool header) {
    return ExportRun(fields, header).run(fileName);
}

void setExportLineBudget(qsizetype bytes) { g_lineBudget = bytes > 0 ? bytes : kDefaultLineBudget; }

void setExportTurn(int ms) { g_turnMs = ms >= 0 ? ms : kDefaultTurnMs; }

} // namespace tbk
