#pragma once
// The album windows' quick CD cover: the flap page of the album in the buffer, printed on the
// window's own thread through the flap printer, which reads its range from PagePrintRange.
#include "runtime/values/text.h"

#include <QString>

namespace tbk {

// The albums the binder and flap pages print: the page style ("Binder" or "Flap") and the file
// numbers from and to. Shared by all threads; kept for the rest of the run.
struct PageRange {
    FixedString<6> Style;
    FixedString<30> FirstFileNumber;
    FixedString<30> LastFileNumber;
};
extern PageRange PagePrintRange;

inline const char *const kFlapPrinter = "PrintCDFlapPages";

// The range set to the flap page of ALB:FileNumber (blank for a blank buffer), then the flap
// printer run when it is registered; its outcome is not looked at.
void QuickCDCover();

} // namespace tbk
