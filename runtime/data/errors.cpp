#include "runtime/data/errors.h"

namespace tbk::data {

namespace {
struct ErrorState {
    int code = 0;
    int driverCode = 0;
    QString driverText;
    QString file;
    QString key;
};
ErrorState &state() {
    static auto *s = new ErrorState;   // used by destructors of global file objects
    return *s;
}
} // namespace

int errorCode() { return state().code; }
QString errorText() { return textOfError(state().code); }
int driverErrorCode() { return state().driverCode; }
QString driverErrorText() { return state().driverText; }
QString errorFile() { return state().file; }
QString errorKey() { return state().key; }
QString shownErrorText() { return state().code == DriverError ? state().driverText : errorText(); }

QString textOfError(int code) {
    switch (code) {
    case NoError: return {};
    case FileNotFound: return QStringLiteral("File Not Found");
    case AccessDenied: return QStringLiteral("Access Denied");
    case FileLocked: return QStringLiteral("File Is Already Locked");
    case RecordNotAvailable: return QStringLiteral("Record Not Available");
    case RecordNotFound: return QStringLiteral("Record Not Found");
    case InvalidDataFile: return QStringLiteral("Invalid Data File");
    case FileNotOpen: return QStringLiteral("File Not Open");
    case DuplicateKey: return QStringLiteral("Creates Duplicate Key");
    case InvalidKeyFile: return QStringLiteral("Invalid Key File");
    case InvalidRecordDeclaration: return QStringLiteral("Invalid Record Declaration");
    case FileAlreadyOpen: return QStringLiteral("File Already Open");
    case TransactionActive: return QStringLiteral("Transaction Already Active");
    case InvalidKeyLength: return QStringLiteral("Invalid Key Length");
    case RecordChanged: return QStringLiteral("Record Changed By Another Station");
    case DriverError: return QStringLiteral("File System Error");
    case NoTransaction: return QStringLiteral("No Transaction Active");
    default: return QStringLiteral("Unknown Error");
    }
}

void clearError() { state() = ErrorState{}; }

void setError(int code, const QString &file) {
    state() = ErrorState{};
    state().code = code;
    state().file = file;
}

void setDriverError(int sqliteCode, const QString &sqliteText, const QString &file) {
    state() = ErrorState{};
    state().code = DriverError;
    state().driverCode = sqliteCode;
    state().driverText = sqliteText;
    state().file = file;
}

void setDuplicateKeyError(const QString &file, const QString &key) {
    setError(DuplicateKey, file);
    state().key = key;
}

KeptError::KeptError()
    : code_(state().code), driverCode_(state().driverCode), driverText_(state().driverText), file_(state().file),
      key_(state().key) {}

KeptError::~KeptError() { state() = {code_, driverCode_, driverText_, file_, key_}; }

} // namespace tbk::data
