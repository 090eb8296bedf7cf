#pragma once
// The one printer set-up of the whole run: File / Print Setup changes it, and reports and
// labels print with it.
class QPrinter;
class QString;

namespace tbk {

// The run's printer: the system's default printer until it is set up (a PDF file where the
// system has no printer), or the one TBK_PRINTER names (a path ending ".pdf": that PDF file).
QPrinter &sharedPrinter();

// Shows the set-up of the shared printer on the calling thread: which printer, the paper and
// the orientation. OK keeps the choices and returns true; Cancel leaves the set-up as it was.
// The dialog prints nothing. Called while the program halts, it shows nothing.
bool printerSetupDialog(const QString &title);

} // namespace tbk
