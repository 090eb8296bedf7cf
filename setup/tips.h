#pragma once
// The tips: the tip of the day at start-up and from the Help menu, and, in debug mode, the
// editor and list of the tips file.
#include <QtGlobal>

namespace tbk {

// Request 2 shows the tip of the day (the editor in debug mode); 1 adds a tip, 3 deletes one.
void UpdateTBKTips();
void BrowseTBKTips();

// Which identifier Next (and the first tip of the day, from the one shown last) aims at: the
// one after, or the first when the shown one is the highest or beyond it. The first tip at or
// above it is shown.
qint32 nextTipTarget(qint32 shown, qint32 highest);
// Which identifier Back aims at: the one before, or the highest from the first. The last tip at
// or below it is shown, and the highest when there is none.
qint32 backTipTarget(qint32 shown, qint32 highest);

} // namespace tbk
