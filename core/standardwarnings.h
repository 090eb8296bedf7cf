#pragma once
// The numbered standard warnings: every file, key, integrity and request error of the catalogue
// is reported through one of them, with the current (or saved) error appended.
#include "runtime/threads/messagebox.h"

#include <QString>

namespace tbk {

// An error as the runtime reports it: its code and text, and for driver errors (90) the
// driver's own code and text.
struct ErrorInfo {
    int code = 0;
    QString text;
    QString driverCode;
    QString driverText;
};

// What one warning shows, before it is shown.
struct StandardWarning {
    bool known = false;   // numbers without a message show nothing
    QString caption;
    QString text;
    MessageIcon icon = MessageIcon::Information;
    int buttons = ButtonOK;        // MessageButton codes
    int defaultButton = ButtonOK;
    QString haltText;     // when not empty, the program ends after the message...
    int haltUnless = 0;   // ...unless this button was pressed (0: always)
    bool returnsAnswer = true;
};

// "text (code)", clipped to 150 characters; for a driver error the driver's text and code.
QString errorDescription(const ErrorInfo &error);

// Composes message number n with the caller's texts t1 and t2 and the error.
StandardWarning composeStandardWarning(int number, const QString &t1, const QString &t2,
                                       const ErrorInfo &error);

// The saved error: kept by SaveErrorAndRollBack, shown (and then cleared) by the next standard
// warning instead of the current one. One for the whole process: whichever thread saved last.
void saveCurrentError();
ErrorInfo savedError();
void clearSavedError();
// The data-file runtime's current error.
ErrorInfo currentError();

// Shows message `number` on the calling logical thread with the saved error (else the current
// one) appended, and returns the button pressed (0 for 34, 35, 36 and numbers without a
// message). The messages that end the program halt it and do not return.
int ShowStandardWarning(int number, const QString &t1, const QString &t2);
int ShowStandardWarningWithText(int number, const QString &t1);
int ShowStandardWarningPlain(int number);

} // namespace tbk
