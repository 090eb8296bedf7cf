#include "impex/importrun.h"

#include "core/datafiles.h"
#include "setup/housekeeping.h"
#include "core/standardwarnings.h"
#include "impex/importsong.h"
#include "runtime/data/transaction.h"
#include "runtime/threads/dialogs.h"
#include "runtime/threads/messagebox.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/progresswindow.h"

#include <QDir>
#include <QElapsedTimer>

#include <algorithm>
#include <utility>
#include <vector>

namespace tbk {

using namespace tbk::data;

namespace {

// Batches follow one another at once; Qt and the other threads have a turn after this long or
// this many batches, whichever comes first.
constexpr int kTurnMs = 200;
constexpr int kBatchesPerTurn = 1000;
// Each commit writes every page its songs touched in the twelve keys, twice (journal and file),
// and late in a long import that is most of the keys: the songs are committed together for this
// long, across turns. A station that marks its wait for the files is let in at the turn's end.
constexpr int kCommitMs = 10000;

class ImportRun {
public:
    ImportRun(ImportTransfer &t, const ImportFieldLists &lists, qint64 fileSize)
        : t_(t), builder_(lists), fileSize_(fileSize) {}
    ~ImportRun() {
        transaction_.commit();
        MUS.flush();
        CAT.flush();
    }

    ImportOutcome run(bool stripHeader) {
        ProgressWindow progress(QStringLiteral("Importing Records"), QString(), true, QStringLiteral("0% Completed"));
        // The keys stay in memory until the run ends.
        MUS.stream();
        CAT.stream();
        ImportRewind(t_, true);
        if (stripHeader)
            ImportReadLine(t_);
        bool more = ImportReadLine(t_) > 0;
        QElapsedTimer turn;
        while (more) {
            // Qt paints and takes Cancel, the other threads run.
            yieldNow();
            if (progress.cancelled()) {
                outcome_.cancelled = true;
                break;
            }
            turn.start();
            if (!stored(transaction_.start()))
                return outcome_;
            startTurn();
            for (int batches = 0; more && batches < kBatchesPerTurn && (batches == 0 || turn.elapsed() < kTurnMs);
                 ++batches)
                more = addBatch(progress);
            if (failed() || !stored(transaction_.pause()))
                return outcome_;
        }
        if (stored(transaction_.commit()) && !outcome_.cancelled)
            progress.setStatusText(QStringLiteral("Process Completed"));
        return outcome_;
    }

private:
    static qint64 highestSongId() {
        MUS.set(MUS.KEYID);
        return MUS.previous() ? MUS.ID.value() : 0;
    }

    // Other windows may have added songs or changed categories since the last turn.
    void startTurn() {
        nextId_ = highestSongId() + 1;
        builder_.forgetCategories();
    }

    // Up to one batch of lines; false once no further line is to be added.
    bool addBatch(ProgressWindow &progress) {
        bool more = true;
        while (more && songs_.size() < size_t(kImportBatch)) {
            if (!builder_.build(t_) && !goOnWithoutCategory())
                return false;
            MUS.ID = nextId_++;
            MUS.AlbumID = 0;
            songs_.push_back(MUS.record());
            more = ImportReadLine(t_) > 0;
            if (more)
                showPercent(progress);
        }
        return addSongs() && more;
    }

    // The songs built so far, added together. A refused one ends the run as at a failed commit,
    // with the add's error also when the commit then fails: the user is told what the file holds.
    bool addSongs() {
        size_t added = 0;
        const bool ok = MUS.add(songs_, added);
        songs_.clear();
        (transaction_.begun() ? uncommitted_ : outcome_.added) += qint64(added);
        if (ok)
            return true;
        const QString cause = transferErrorText();
        stored(transaction_.commit());
        outcome_.failure = cause;
        return false;
    }

    // A category the song's build could not add: the songs before it are stored and the user is
    // warned; the song goes on without it. False when that ended the run.
    bool goOnWithoutCategory() {
        const Record song = MUS.record();
        const QString cause = transferErrorText();
        saveCurrentError();
        if (!addSongs() || !stored(transaction_.commit(), cause)) {
            clearSavedError();   // the run's end tells it
            return false;
        }
        ShowStandardWarning(14, QString(), QString());
        transaction_.start();   // nothing lingers: nothing to lose
        startTurn();
        MUS.setRecord(song);
        return true;
    }

    // Counts the songs the last commit stored; false when it failed, which ends the run: the
    // songs since the commit before are gone. A write that failed before the commit is told
    // instead of the commit's error, being its cause: after a full disk SQLite has rolled back
    // by itself, and the commit finds no transaction.
    bool stored(bool committed, const QString &cause = {}) {
        if (!committed) {
            outcome_.failure = cause.isEmpty() ? transferErrorText() : cause;
            uncommitted_ = 0;
            return false;
        }
        if (transaction_.commits() != commits_) {
            commits_ = transaction_.commits();
            outcome_.added += std::exchange(uncommitted_, 0);
        }
        return true;
    }
    bool failed() const { return !outcome_.failure.isEmpty(); }

    void showPercent(ProgressWindow &progress) {
        if (shownPercent_ == 100)
            return;
        const qint64 read = t_.file.bytesRead();
        const int percent = fileSize_ <= 0 ? 100 : int(std::min<qint64>(100, read * 100 / fileSize_));
        if (percent == shownPercent_)
            return;
        shownPercent_ = percent;
        progress.setStatusText(QStringLiteral("%1% Completed").arg(percent, 3));
        // The bar only: a yield inside a turn would hold the transaction across other windows.
        progress.showPercent(percent);
    }

    ImportTransfer &t_;
    RunTransaction transaction_{{&MUS, &CAT}, kCommitMs};
    SongBuilder builder_;
    std::vector<Record> songs_;   // built, not yet added
    qint64 fileSize_;
    qint64 nextId_ = 1;
    qint64 uncommitted_ = 0;
    int commits_ = 0;
    int shownPercent_ = 0;
    ImportOutcome outcome_;
};

} // namespace

void reportTooLongLines(const ImportTransfer &t) {
    if (t.tooLongCount == 0)
        return;
    QStringList numbers;
    for (qint64 n : t.tooLongLines)
        numbers << QString::number(n);
    if (t.tooLongCount > t.tooLongLines.size())
        numbers << QStringLiteral("...");
    message(QStringLiteral("%1 line(s) longer than %2 characters could not be imported and were skipped: line %3.")
                .arg(t.tooLongCount)
                .arg(kImportLineSize)
                .arg(numbers.join(QStringLiteral(", "))),
            QStringLiteral("Lines Skipped"), MessageIcon::Exclamation);
}

qint64 ImportOpenNamedFile(ImportTransfer &t, const QString &name) {
    t.fileName = name;
    t.file.setName(name);
    if (!t.file.open(ReadOnly | DenyWrite)) {
        showTransferError(t, QStringLiteral("Cannot OPEN "), ButtonOK);
        return -1;
    }
    const qint64 size = t.file.bytes();
    if (size == 0)
        t.file.close();
    return size;
}

qint64 ImportOpenFile(ImportTransfer &t) {
    for (;;) {
        // In the catalogue's folder, as the dialog opened last may have been elsewhere.
        const QString name = fileDialog(QStringLiteral("Import File"), QDir::currentPath(),
                                        QStringLiteral("Import Files|*.CSV;*.csv|All Files|*.*"), FileDialogMode::Open);
        if (name.isEmpty())
            return 0;
        const qint64 size = ImportOpenNamedFile(t, name);
        if (size != 0)
            return std::max<qint64>(size, 0);
        message(QStringLiteral("That file is empty!  Please pick another file."), QStringLiteral("Attention!"),
                MessageIcon::Information);
    }
}

ImportOutcome ImportFileSongs(ImportTransfer &t, const ImportFieldLists &lists, bool stripHeader, qint64 fileSize) {
    return ImportRun(t, lists, fileSize).run(stripHeader);
}

void RunImport(ImportTransfer &t, const ImportFieldLists &lists, bool stripHeader, qint64 fileSize) {
    const ImportOutcome outcome = ImportFileSongs(t, lists, stripHeader, fileSize);
    ImportCloseFile(t);
    reportTooLongLines(t);
    if (!outcome.failure.isEmpty()) {
        // What the user may count on now: the songs the file holds, none of those rolled back.
        const qint64 songs = MUS.records();
        message(songs < 0 ? outcome.failure
                          : QStringLiteral("%1\n\nThe Songs database holds %2 song(s) now.").arg(outcome.failure).arg(songs),
                QStringLiteral("Cannot ADD to Tunebank!"), MessageIcon::Question);
        return;
    }
    if (outcome.cancelled)
        return;
    const int answer = message(QStringLiteral("The Songs database has been updated.  Do you want to create Albums "
                                              "database entries for the imported songs?"),
                               QStringLiteral("Import Complete"), MessageIcon::Exclamation, ButtonYes | ButtonNo,
                               ButtonYes);
    if (answer == ButtonYes)
        CreateAlbumDatabase();
}

} // namespace tbk
