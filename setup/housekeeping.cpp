#include "setup/housekeeping.h"

#include "core/datafiles.h"
#include "core/fileaccess.h"
#include "records/procedurecall.h"
#include "core/standardwarnings.h"
#include "runtime/data/transaction.h"
#include "runtime/expr/exprview.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/progresswindow.h"
#include "runtime/values/dates.h"
#include "runtime/values/picture.h"
#include "runtime/values/text.h"

#include <QElapsedTimer>

#include <utility>

namespace tbk {

using namespace tbk::data;

namespace {

constexpr int kRecordsPerSlice = 25;
constexpr int kBytesPerSlice = 1000;
constexpr int kTransactionSeconds = 1;

ProcessFigures &figures() {
    static ProcessFigures f;
    return f;
}

// Commits of a long turn-based run this far apart: each writes every page its records touched.
constexpr int kCommitMs = 3000;

// The writes of a turn: of a slice in a transaction over the walked file, of a longer turn in
// one over the process's files kept across turns (RunTransaction), else each committed by itself.
class TurnTransaction {
public:
    explicit TurnTransaction(const ProcessShape &shape)
        : shape_(shape), run_(shape.files, shape.turnMs > 0 && !shape.transaction ? kCommitMs : 0) {}
    ~TurnTransaction() { commit(); }
    TurnTransaction(const TurnTransaction &) = delete;
    TurnTransaction &operator=(const TurnTransaction &) = delete;

    // False when the transaction left open at the last turn was lost to a failed commit.
    bool start() {
        bool kept = true;
        if (shape_.transaction)
            sliceBegun_ = beginTransaction(kTransactionSeconds, {shape_.walked});
        else if (shape_.turnMs > 0)
            kept = noteLoss(run_.start());
        // Without one, the files keep their read locks for the turn, so that each read and
        // each autocommitted write does not lock and unlock its disk file by itself.
        if (!sliceBegun_ && !run_.begun() && !shape_.transaction)
            for (DataFile *f : shape_.files)
                if (f->holdReads())
                    held_.push_back(f);
        return kept;
    }
    // At the turn's end, before the other threads run; false when a commit failed, as commit().
    bool pause() {
        releaseReads();
        if (sliceBegun_)
            return commit();
        return noteLoss(run_.pause());
    }
    // False when the commit failed: the writes since the last one are gone, rolled back. Also
    // lets go of the read locks, before anything may wait.
    bool commit() {
        releaseReads();
        if (!std::exchange(sliceBegun_, false))
            return noteLoss(run_.commit());
        if (commitTransaction())
            return true;
        {
            KeptError kept;
            rollbackTransaction();
        }
        return noteLoss(false);
    }
    // Writes were lost: the run never ends as completed.
    bool lost() const { return lost_; }

private:
    void releaseReads() {
        for (DataFile *f : held_)
            f->releaseReads();
        held_.clear();
    }

    // The error saved for the warning that follows.
    bool noteLoss(bool kept) {
        if (!kept) {
            saveCurrentError();
            lost_ = true;
        }
        return kept;
    }

    const ProcessShape &shape_;
    RunTransaction run_;
    bool sliceBegun_ = false;
    bool lost_ = false;
    std::vector<DataFile *> held_;
};

class ProcessRun {
public:
    explicit ProcessRun(const ProcessShape &shape)
        : shape_(shape), file_(*shape.walked), view_(*shape.walked),
          unit_(shape.measuredInBytes ? shape.walked->structure().recordSize() : 1),
          budget_(shape.measuredInBytes ? kBytesPerSlice : kRecordsPerSlice) {}

    ~ProcessRun() {
        transaction_.commit();
        file_.send(QStringLiteral("QUICKSCAN=off"));
        view_.close();
        if (!shape_.transaction)
            for (DataFile *f : shape_.files)
                f->flush();
    }

    qint32 run() {
        total_ = shape_.estimate > 0 ? shape_.estimate * unit_ : file_.records() * unit_;
        ProgressWindow progress(QStringLiteral("Processing Records"), shape_.caption, true,
                                QStringLiteral("0% Completed"));
        progress_ = &progress;
        file_.send(QStringLiteral("QUICKSCAN=on"));
        if (!shape_.transaction)
            for (DataFile *f : shape_.files)
                f->stream();
        view_.setKey(shape_.order);
        view_.setFilter(shape_.filter);
        if (!view_.open())
            ShowStandardWarningPlain(36);
        view_.set();
        if (shape_.viewOpened)
            shape_.viewOpened();
        if (!readNext())
            return RequestCancelled;
        for (;;) {
            held_ = file_.record();
            // Between turns the window takes its events (Cancel), and other windows run.
            yieldNow();
            if (progress.cancelled()) {
                if (!transaction_.commit())
                    warnPut();   // writes were lost
                return RequestCancelled;
            }
            if (!turn())
                break;
        }
        if (transaction_.lost() || stopped_)
            return RequestCancelled;
        progress.setStatusText(QStringLiteral("Process Completed"));
        return RequestCompleted;
    }

private:
    // False when the walk has ended.
    bool turn() {
        QElapsedTimer timer;
        timer.start();
        if (!transaction_.start()) {
            warnPut();
            return false;
        }
        bool more = true;
        // Another window may have used the shared buffer meanwhile, or changed the record.
        file_.setRecord(held_);
        if (!file_.reget()) {
            if (errorCode() == RecordNotFound)
                more = readNext();
            else
                more = readFailed(file_.label());
        }
        do
            more = more && slice();
        while (more && !shape_.transaction && timer.elapsed() < shape_.turnMs);
        // The last turn's writes are committed before the run says it is done.
        if (!(more ? transaction_.pause() : transaction_.commit())) {
            warnPut();
            more = false;
        }
        ProcessFigures &f = figures();
        ++f.turns;
        f.longestTurnNs = std::max(f.longestTurnNs, timer.nsecsElapsed());
        return more;
    }

    bool slice() {
        for (int used = 0; used < budget_; used += unit_) {
            switch (shape_.rule()) {
            case RuleResult::Write:
                if (!file_.put()) {
                    writeFailed();
                    return false;
                }
                break;
            case RuleResult::Keep:
                break;
            case RuleResult::ReadFailed:
                stopped_ = true;
                return readFailed(errorFile());
            case RuleResult::WriteFailed:
                stopped_ = true;
                writeFailed();
                return false;
            }
            if (!readNext())
                return false;
        }
        return true;
    }

    // The next record into the buffer, counted. False at the end or after a read error.
    bool readNext() {
        if (view_.next()) {
            count_ += unit_;
            showProgress();
            return true;
        }
        if (errorCode() == RecordNotAvailable)
            return false;
        return readFailed(file_.label());
    }

    // A read of the file so labelled failed: false, the walk's end.
    bool readFailed(const QString &label) {
        if (committedAfterFailure())
            ShowStandardWarningWithText(35, label);
        else
            warnPut();
        return false;
    }

    void writeFailed() {
        committedAfterFailure();
        warnPut();
    }

    // The warning waits for the user: the turn's writes are committed first. Should that fail,
    // the warning still tells the error that came first, its cause: after a full disk SQLite
    // has rolled back by itself, and the commit finds no transaction.
    bool committedAfterFailure() {
        bool committed;
        {
            KeptError failure;
            committed = transaction_.commit();
        }
        saveCurrentError();
        return committed;
    }

    static void warnPut() { ShowStandardWarning(31, QStringLiteral("Put"), QStringLiteral("Process:View")); }

    void showProgress() {
        if (shown_ >= 100 || total_ <= 0)
            return;
        const int percent = int(std::min<qint64>(100, count_ * 100 / total_));
        if (percent == shown_)
            return;
        shown_ = percent;
        progress_->showPercent(percent);
        progress_->setStatusText(formatPicture(QStringLiteral("@n3"), percent) + QStringLiteral("% Completed"));
    }

    const ProcessShape &shape_;
    DataFile &file_;
    expr::ExprView view_;
    TurnTransaction transaction_{shape_};
    const int unit_;
    const int budget_;
    ProgressWindow *progress_ = nullptr;
    qint64 total_ = 0;
    qint64 count_ = 0;
    int shown_ = 0;
    bool stopped_ = false;   // by a rule's failed read or write
    Record held_;
};

// The album of the song's album title and artist, else of that title by "Various"; when found
// it is in the album buffer. Not found, the error is 35; any other is a refused read.
bool findAlbumOfSong() {
    for (const QString &artist : {MUS.Artist.str(), QStringLiteral("Various")}) {
        ALB.clear();
        ALB.Album = MUS.Album.str();
        ALB.Artist = artist;
        if (ALB.get(ALB.KEYALBUM))
            return true;
        if (errorCode() != RecordNotFound)
            return false;
    }
    return false;
}

// The highest album identifier, 0 without albums; -1 when the read failed.
qint32 lastAlbumId() {
    ALB.set(ALB.KEYALBUMID);
    if (ALB.previous())
        return ALB.AlbumID.value();
    return errorCode() == RecordNotAvailable ? 0 : -1;
}

RuleResult addAlbumOfSong() {
    // A song without album title and artist would add one more empty album each time: such an
    // album can never be found again (blanks are not in the key).
    if (MUS.Album.empty() && MUS.Artist.empty())
        return RuleResult::Keep;
    const qint32 last = lastAlbumId();
    if (last < 0)
        return RuleResult::ReadFailed;
    const qint32 id = last + 1;
    ALB.clear();
    ALB.AlbumID = id;
    ALB.Artist = MUS.Artist.str();
    ALB.Album = MUS.Album.str();
    ALB.Media = MUS.Media.str();
    ALB.FileNumber = MUS.FileNumber.str();
    ALB.ReleaseDate = MUS.ReleaseDate.value();
    ALB.CategoryID = MUS.CategoryID.value();
    ALB.Notes = MUS.Notes.str();
    if (!ALB.add())
        return RuleResult::WriteFailed;
    MUS.AlbumID = id;
    return RuleResult::Write;
}

qint32 yearOnly(qint32 date) {
    const int year = yearOf(date);
    return year > 0 && date > kLastBareYear ? year : date;
}

// The song's identifier, when it has none: the next one no song uses.
struct SongNumbering {
    qint32 nextFree = 1;

    void start() {
        MUS.set(MUS.KEYID);
        nextFree = MUS.previous() ? MUS.ID.value() + 1 : 1;
    }
    void number() {
        if (MUS.ID.value() != 0)
            return;
        const Record song = MUS.record();
        while (used(nextFree))
            ++nextFree;
        MUS.setRecord(song);
        MUS.ID = nextFree++;
    }
    static bool used(qint32 id) {
        MUS.ID = id;
        return MUS.get(MUS.KEYID);
    }
};

// The album found for the songs before, while they share album title and artist.
struct LastAlbum {
    bool found = false;
    qint32 id = 0;
    QString artist, album;

    bool holdsSong() const {
        return found && sameText(artist, MUS.Artist.str(), Qt::CaseInsensitive) &&
               sameText(album, MUS.Album.str(), Qt::CaseInsensitive);
    }
    // False when an album read failed: the song keeps its link.
    bool relink() {
        if (holdsSong()) {
            if (MUS.AlbumID.value() == 0)
                MUS.AlbumID = id;
            return true;
        }
        const Record song = MUS.record();
        const bool any = findAlbumOfSong();
        if (!any && errorCode() != RecordNotFound)
            return false;
        if (any)
            *this = {true, ALB.AlbumID.value(), ALB.Artist.str(), ALB.Album.str()};
        MUS.setRecord(song);
        MUS.AlbumID = any ? id : 0;
        return true;
    }
};

} // namespace

qint32 runProcess(const ProcessShape &shape) {
    ProcedureCall call;
    figures() = {};
    FilesInUse files;
    for (DataFile *f : shape.files) {
        files.add(*f);
        if (!f->isOpen())
            return RequestCancelled;   // the program is ending
    }
    ProcessRun run(shape);
    call.setResponse(run.run());
    return call.response();
}

ProcessFigures lastProcessFigures() { return figures(); }

void CreateAlbumDatabase() {
    ProcessShape s;
    s.caption = QStringLiteral("Copying...");
    s.walked = &MUS;
    s.measuredInBytes = true;
    s.files = {&MUS, &ALB};
    // One commit a song made the copy of a large catalogue take minutes.
    s.turnMs = 200;
    // A song already linked is not written: a new version of it would meet a form open on it
    // in another station as a change made there.
    s.rule = [] {
        if (MUS.AlbumID.value() != 0)
            return RuleResult::Keep;
        const Record song = MUS.record();
        const bool found = findAlbumOfSong();
        if (!found && errorCode() != RecordNotFound)
            return RuleResult::ReadFailed;
        const qint32 id = ALB.AlbumID.value();
        MUS.setRecord(song);
        if (!found)
            return addAlbumOfSong();
        MUS.AlbumID = id;
        return RuleResult::Write;
    };
    runProcess(s);
}

void ConvertSongDates() {
    ProcessShape s;
    s.caption = QStringLiteral("Converting Song Dates");
    s.walked = &MUS;
    // Every song, also those without an identifier, which the identifier key leaves out.
    s.order = nullptr;
    s.transaction = true;
    s.files = {&MUS};
    s.rule = [] {
        MUS.ReleaseDate = yearOnly(MUS.ReleaseDate.value());
        return RuleResult::Write;
    };
    runProcess(s);
}

void ConvertAlbumDates() {
    ProcessShape s;
    s.caption = QStringLiteral("Converting Album Dates");
    s.walked = &ALB;
    s.measuredInBytes = true;
    s.transaction = true;
    s.files = {&ALB};
    s.rule = [] {
        ALB.ReleaseDate = yearOnly(ALB.ReleaseDate.value());
        return RuleResult::Write;
    };
    runProcess(s);
}

void TestAlbumLinkIntegrity() {
    SongNumbering numbering;
    LastAlbum last;
    ProcessShape s;
    s.caption = QStringLiteral("Testing Link Integrity");
    s.walked = &MUS;
    s.order = &MUS.SongsByAlbum;
    s.transaction = true;
    s.files = {&MUS, &ALB};
    s.viewOpened = [&numbering] { numbering.start(); };
    s.rule = [&numbering, &last] {
        if (!last.relink())
            return RuleResult::ReadFailed;
        numbering.number();
        return RuleResult::Write;
    };
    runProcess(s);
}

void ProcessAllSongs() {
    ProcessShape s;
    s.walked = &MUS;
    s.measuredInBytes = true;
    s.files = {&MUS};
    s.rule = [] {
        if (MUS.Side.value() == 0)
            MUS.Side = 1;
        return RuleResult::Write;
    };
    runProcess(s);
}

} // namespace tbk
