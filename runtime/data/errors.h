#pragma once
// The runtime's error state for data files: one current error for the whole process (threads
// are cooperative, so "current" means "left by the last operation").
//
// Every data-file operation clears the error on entry and sets it when it fails. Code 90 marks
// a failure of the driver underneath (SQLite): then driverErrorCode()/driverErrorText() hold
// SQLite's own code and text, and callers that show errors show those instead.
#include <QString>

namespace tbk::data {

enum ErrorCode : int {
    NoError = 0,
    FileNotFound = 2,          // the disk file does not exist (or holds no table yet)
    AccessDenied = 5,          // a write through a file opened for reading only, or to a file
                               // or folder nobody may write to
    FileLocked = 32,           // another open denies ours, or a transaction's time-out ran out
    RecordNotAvailable = 33,   // end of file: no further record in this direction
    RecordNotFound = 35,       // a get by key value or position found nothing
    InvalidDataFile = 36,      // a database, but not one of our data files
    FileNotOpen = 37,
    DuplicateKey = 40,         // errorKey() names the key
    InvalidKeyFile = 46,       // a key (index) is damaged or missing
    InvalidRecordDeclaration = 47, // the file's layout is not the declared one
    FileAlreadyOpen = 52,
    TransactionActive = 56,
    InvalidKeyLength = 88,
    RecordChanged = 89,        // changed by another station since it was read
    DriverError = 90,          // see driverErrorCode()/driverErrorText()
    NoTransaction = 91,
};

int errorCode();
QString errorText();           // the runtime's text for errorCode(); empty for 0
int driverErrorCode();         // SQLite's code for a 90, else 0
QString driverErrorText();     // SQLite's text for a 90, else empty
QString errorFile();           // label of the file the last error concerns
QString errorKey();            // for 40: the key's name as declared (e.g. "KeyCategory")
QString shownErrorText();      // what the user is told: SQLite's own text for a 90, else errorText()

// The runtime's fixed text for a code ("" for 0, "Unknown Error" for codes it does not use).
QString textOfError(int code);

// Setting and clearing (used by the driver and by tests).
void clearError();
void setError(int code, const QString &file = {});
void setDriverError(int sqliteCode, const QString &sqliteText, const QString &file = {});
void setDuplicateKeyError(const QString &file, const QString &key);

// Puts the current error back as it was when made, once it goes out of scope: for work done
// on the side of another operation, whose caller must not see that work's errors.
class KeptError {
public:
    KeptError();
    ~KeptError();
    KeptError(const KeptError &) = delete;
    KeptError &operator=(const KeptError &) = delete;

private:
    int code_, driverCode_;
    QString driverText_, file_, key_;
};

} // namespace tbk::data
