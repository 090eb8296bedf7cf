#include "core/standardwarnings.h"

#include "runtime/data/errors.h"
#include "runtime/threads/halt.h"
#include "runtime/values/text.h"

namespace tbk {

namespace {
constexpr int kErrorTextWidth = 150;
constexpr int kSavedTextWidth = 255;

ErrorInfo &saved() {
    static ErrorInfo e;
    return e;
}
} // namespace

ErrorInfo currentError() {
    ErrorInfo e;
    e.code = data::errorCode();
    e.text = data::errorText();
    if (e.code == data::DriverError) {
        e.driverCode = QString::number(data::driverErrorCode());
        e.driverText = data::driverErrorText();
    }
    return e;
}

void saveCurrentError() {
    ErrorInfo e = currentError();
    e.text = fit(e.text, kSavedTextWidth);
    saved() = e;
}

ErrorInfo savedError() { return saved(); }

void clearSavedError() { saved() = ErrorInfo{}; }

QString errorDescription(const ErrorInfo &error) {
    const QString text = error.code == data::DriverError
                             ? clip(error.driverText) + QStringLiteral(" (") + error.driverCode + QLatin1Char(')')
                             : clip(error.text) + QStringLiteral(" (") + QString::number(error.code) + QLatin1Char(')');
    return text.left(kErrorTextWidth);
}

StandardWarning composeStandardWarning(int number, const QString &t1In, const QString &t2In,
                                       const ErrorInfo &error) {
    const QString err = errorDescription(error);
    const QString t1 = clip(t1In);
    const QString t2 = clip(t2In);
    const QString endApp = QStringLiteral(".  Press OK to end this application.");

    StandardWarning w;
    w.known = true;
    auto ask = [&w](int buttons, int defaultButton) {
        w.buttons = buttons;
        w.defaultButton = defaultButton;
    };
    switch (number) {
    case 1:
        w.caption = "Invalid File";
        w.text = "Error: (" + err + ") accessing " + t1 + endApp;
        w.haltText = "Invalid File!";
        break;
    case 2:
        w.caption = "Invalid Key";
        w.text = t1 + " key file is invalid.  Do you want to rebuild the key?";
        ask(ButtonYes | ButtonNo, ButtonYes);
        w.icon = MessageIcon::Exclamation;
        w.haltText = "Invalid Key!";
        w.haltUnless = ButtonYes;
        break;
    case 3:
        w.caption = "Key Rebuild Error";
        w.text = "Error: (" + err + ") repairing key for " + t1 + endApp;
        w.haltText = "Error Rebuilding Key!";
        break;
    case 4:
        w.caption = "File Creation Error";
        w.text = "Error: (" + err + ") creating " + t1 + endApp;
        w.haltText = "File Creation Error!";
        break;
    case 5:
        w.caption = "File Creation Error";
        w.text = "Error: (" + err + ") opening created file:" + t1 + endApp;
        w.haltText = "File Creation Error!";
        break;
    case 10:
        w.caption = "Range Error";
        w.text = "The value of " + t1 + " must be between " + t2 + ".";
        break;
    case 11:
        w.caption = "Field Contents Error";
        w.text = "The value for " + t1 + " must be found in the " + t2 + " file.";
        break;
    case 12:
        w.caption = "Referential Integrity Update Error";
        w.text = "This record is referenced from the file " + t1 +
                 ".  Linking field(s) have been restricted from change and have been reset to original values.";
        break;
    case 13:
        w.caption = "Referential Integrity Delete Error";
        w.text = "This record is referenced from the file " + t1 +
                 ".  This record cannot be deleted while these references exist.";
        break;
    case 14:
        w.caption = "Record Insert Error";
        w.text = "An error was experienced during the update of record.  Error: " + err + ".";
        break;
    case 15:
        w.caption = "Update Operation Error";
        w.text = error.code != data::NoError && error.code != data::RecordChanged
                     ? "An error (" + err + ") was experienced when attempting to update a record from the file.  Probable Cause: " + t1 + "."
                     : QStringLiteral("This record was changed by another station.");
        break;
    case 16:
    case 18:
        w.caption = "Record Update Error";
        w.text = number == 16
                     ? QStringLiteral("An error was experienced changing this record.  Do you want to try to save again?")
                     : QStringLiteral("An error was experienced deleting this record.  Do you want to try to save again?");
        ask(ButtonYes | ButtonNo | ButtonCancel, ButtonCancel);
        break;
    case 17:
        w.caption = "Delete Operation Error";
        w.text = "An error (" + err + ") was experienced when attempting to delete a record from the file " + t1 + ".";
        break;
    case 20:
        w.caption = "Invalid Request";
        w.text = "This procedure was called to change a record, however changes are not allowed for this procedure.  Press OK to return to the calling procedure";
        break;
    case 21:
        w.caption = "Invalid Request";
        w.text = "This procedure was called to delete a record, however deletions are not allowed for this procedure.  Press OK to return to the calling procedure";
        break;
    case 23:
        w.caption = "Update Cancelled";
        w.text = "Are you sure you want to cancel?";
        ask(ButtonYes | ButtonNo, ButtonNo);
        w.icon = MessageIcon::Exclamation;
        break;
    case 24:
        w.caption = "Duplicate Key Error";
        w.text = "Adding this record creates a duplicate entry for the key:" + t1;
        break;
    case 25:
        w.caption = "Auto Increment Error";
        w.text = "Attempts to automatically number this record have failed.  Error: " + err + ".";
        ask(ButtonRetry | ButtonCancel, ButtonCancel);
        break;
    case 30:
        w.caption = "File Access Error";
        w.text = "File (" + t1 + ") could not be opened.  Error: " + err + ".";
        break;
    case 31:
        if (t1 == QLatin1String("Put")) {
            w.caption = "Process PUT Error";
            w.text = "An error was experienced when making changes to the " + t2 + " file.  Error: " + err;
        } else {
            w.caption = "Process DELETE Error";
            w.text = "An error was experienced when deleting a record from the " + t2 + " file.  Error: " + err;
        }
        break;
    case 32:
        w.caption = "Confirm Delete";
        w.text = "You've selected to delete the highlighted record.  Press OK to confirm deletion of this record.";
        ask(ButtonOK | ButtonCancel, ButtonCancel);
        w.icon = MessageIcon::Exclamation;
        break;
    case 34:
        w.caption = "Transaction Framing Error";
        w.text = "Error: (" + err + ") attempting to frame the " + t1.toLower() + " transaction on " + t2 +
                 ".  " + t1 + " transaction cancelled.";
        w.returnsAnswer = false;
        break;
    case 35:
        w.caption = "Record Retrieval Error";
        w.text = "Error: (" + err + ") attempting to access a record from the " + t1 + " file.  Returning to previous window.";
        w.returnsAnswer = false;
        break;
    case 36:
        w.caption = "View Open Error";
        w.text = "Error: (" + err + ") attempting to open the current VIEW. Filter and Range Limits ignored.";
        w.returnsAnswer = false;
        break;
    case 38:
        w.caption = "Record Was Not Updated";
        w.text = "This record was changed by another station. Those changes will now be displayed. Use the Ditto Button or Ctrl+' to recall your changes.";
        break;
    default:
        return StandardWarning{};
    }
    return w;
}

int ShowStandardWarning(int number, const QString &t1, const QString &t2) {
    const ErrorInfo error = saved().code != 0 ? saved() : currentError();
    clearSavedError();
    const StandardWarning w = composeStandardWarning(number, t1, t2, error);
    if (!w.known)
        return 0;
    const int answer = message(w.text, w.caption, w.icon, w.buttons, w.defaultButton);
    if (!w.haltText.isEmpty() && (w.haltUnless == 0 || answer != w.haltUnless))
        halt(w.haltText, kFatalExitCode);
    return w.returnsAnswer ? answer : 0;
}

int ShowStandardWarningWithText(int number, const QString &t1) { return ShowStandardWarning(number, t1, {}); }

int ShowStandardWarningPlain(int number) { return ShowStandardWarning(number, {}, {}); }

} // namespace tbk
