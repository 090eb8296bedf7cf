#pragma once
// What the program hands the query wizard before any window opens: the name of its saved-query
// file and its display texts. Every text the wizard's windows show is read from here.
#include "runtime/values/text.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace tbk {

inline const char *const kQueryWizardFileName = "TKBQUERY";

// The wizard's saved-query file name (the library's 12-character variable $QW:FileName).
extern FixedString<12> QW_FileName;

// Sets one display text of the wizard (a text, or a number where the wizard takes one).
void QW_SETDISPLAYTEXT(qint32 id, const QVariant &value);
// The display text set for an identifier (invalid when none was set).
QVariant QW_DisplayText(qint32 id);
// Every call of QW_SETDISPLAYTEXT so far, in order.
const QList<QPair<qint32, QVariant>> &QW_DisplayTextCalls();
void QW_ResetDisplayTexts();

namespace qw {
// A display text as a window shows it: "|" breaks the line.
QString text(qint32 id);
}

} // namespace tbk
