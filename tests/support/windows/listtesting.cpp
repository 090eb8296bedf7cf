// Kept apart so that tests without lists do not link the list control.
#include "support/windows/windowtesting.h"

#include "runtime/ui/listcontrol.h"

namespace tbk::windowtest {

QStringList listRows(const ListControl *list) {
    QStringList out;
    if (!list)
        return out;
    const int n = list->listModel()->rowCount();
    for (int r = 0; r < n; ++r)
        out << list->rowTexts(r).join(QLatin1Char('|'));
    return out;
}

} // namespace tbk::windowtest
