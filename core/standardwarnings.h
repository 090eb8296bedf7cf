#pragma once
// The numbered standard warnings: every file, key, integrity and request error of the catalogue
// is reported through one of them, with the current (or saved) error appended.
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

// Button codes of message boxes.
enum : int { BUTTON_OK = 1, BUTTON_YES = 2, BUTTON_NO = 4, BUTTON_RETRY = 16, BUTTON_CANCEL = 64 };
enum class WarningIcon { Information, Exclamation };

// What one warning shows, before it is shown.
struct StandardWarning {
    bool known = false;   // numbers without a message show nothing
    QString caption;
    QString text;
    WarningIcon icon = WarningIcon::Information;
    int buttons = BUTTON_OK;
    int defaultButton = BUTTON_OK;
    QString haltText;     // when not empty, the program ends after the message...
    int haltUnless = 0;   // ...unless this button was pressed (0: always)
    bool returnsAnswer = true;
};

// "text (code)", clipped to 150 characters; for a driver error the driver's text and code.
QString errorDescription(const ErrorInfo &error);

// Composes message number n with the caller's texts t1 and t2 and the error.
StandardWarning composeStandardWarning(int number, const QString &t1, const QString &t2,
                                       const ErrorInfo &error);

} // namespace tbk
