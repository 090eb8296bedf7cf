#include "songs/songlists.h"

#include "core/datafiles.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/ui/windowbuilder.h"

#include <QLineEdit>

namespace tbk {

QLineEdit *locatorEntry(WindowBuilder &b, const QString &prompt) {
    QLineEdit *locator = b.entry(prompt, QStringLiteral("Locator"), QStringLiteral("@S30"));
    locator->setReadOnly(true);
    locator->setFocusPolicy(Qt::NoFocus);
    return locator;
}

void joinCategory() {
    CAT.clear();
    CAT.CategoryID = MUS.CategoryID.value();
    if (MUS.CategoryID.value() == 0 || !CAT.get(CAT.KeyCategoryID))
        CAT.clear();
}

void joinCategoryAndMedia() {
    joinCategory();
    MED.clear();
    MED.Media = MUS.Media.str();
    if (MUS.Media.empty() || !MED.get(MED.KeyMedia))
        MED.clear();
}

void selectFilterRecord(data::DataFile &file, void (*browse)()) {
    const data::Record before = file.record();
    if (callWithRequest(SelectRecord, browse) != RequestCompleted)
        file.setRecord(before);
}

} // namespace tbk
