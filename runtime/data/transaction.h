#pragma once
// Transactions over a list of open files. The listed files are locked for writing when the
// transaction begins (waiting up to the time-out for another process's lock, then failing
// with 32; on a logical thread only that thread waits, and no other transaction begins
// meanwhile); any other file written meanwhile joins the transaction. Commit and rollback act on
// every file at once: a crash in between leaves all of them as before.
#include <QElapsedTimer>

#include <initializer_list>
#include <vector>

namespace tbk::data {

class DataFile;

bool beginTransaction(int timeoutSeconds, const std::vector<DataFile *> &files);   // 32, 37, 56, 90
inline bool beginTransaction(int timeoutSeconds, std::initializer_list<DataFile *> files) {
    return beginTransaction(timeoutSeconds, std::vector<DataFile *>(files));
}
bool commitTransaction();     // 91 when none is active
bool rollbackTransaction();   // 91 when none is active
// Whether a transaction is open; one a run left open between its turns is committed first.
bool inTransaction();

// A long run may leave its transaction open while its thread lets the others run: it calls
// lingerTransaction(run) before the yield and resumeTransaction(run) after it, `run` naming it
// among the runs under way. Whoever uses a data file or the connection meanwhile commits it first,
// so that nobody else's work joins it; another run never resumes it.
// resumeTransaction() is true when the run's transaction is still open and the caller's again; false
// when it was committed meanwhile, or rolled back after its commit failed (the error, told to
// this run only, is then set).
void lingerTransaction(const void *run = nullptr);
bool resumeTransaction(const void *run = nullptr);

// The transaction of a long run made in turns: begun at a turn's start unless the last turn's
// is still open, and at a turn's end committed once it is `commitMs` old or another station waits
// for one of the files, else left open while the other threads run. A new one begins only once
// the waiting stations have had the files. One that cannot be begun goes unreported: the run's
// writes are then each committed by itself.
class RunTransaction {
public:
    RunTransaction(std::vector<DataFile *> files, int commitMs);
    ~RunTransaction();
    RunTransaction(const RunTransaction &) = delete;
    RunTransaction &operator=(const RunTransaction &) = delete;

    // False when the one left open was rolled back, its commit having failed (the error set).
    bool start();
    // False when the commit failed: the writes since the last commit are rolled back (the error set).
    bool pause();
    bool commit();
    bool begun() const { return begun_; }
    // The run's transactions known to have been committed, by the run or by another's use of the
    // files: the writes before a change of this number are stored.
    int commits() const { return commits_; }

private:
    bool resumed();
    bool stationWaits() const;
    void giveWay() const;

    std::vector<DataFile *> files_;
    int commitMs_;
    bool begun_ = false;
    bool lingering_ = false;
    int commits_ = 0;
    QElapsedTimer age_;
};

} // namespace tbk::data
