#include "albums/quickcdcover.h"

#include "core/datafiles.h"
#include "core/procedures.h"

namespace tbk {

PageRange PagePrintRange;

void QuickCDCover() {
    PagePrintRange.Style = "Flap";
    PagePrintRange.FirstFileNumber = ALB.FileNumber.str();
    PagePrintRange.LastFileNumber = ALB.FileNumber.str();
    runProcedure(QString::fromLatin1(kFlapPrinter));
}

} // namespace tbk
