#include "songs/songlists.h"

#include "records/browselist.h"
#include "core/datafiles.h"
#include "core/procedures.h"
#include "impex/queryfieldlists.h"
#include "runtime/querywizard/querywizard.h"
#include "runtime/threads/callprotocol.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/dragdrop.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"
#include "songs/browsesongs.h"

#include <QLineEdit>
#include <QPushButton>

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

SongSearch::SongSearch(QString queryName, QString fieldList)
    : queryName_(std::move(queryName)), fieldList_(std::move(fieldList)) {}

void SongSearch::setButtons(QPushButton *search, QPushButton *reset) {
    search_ = search;
    reset_ = reset;
}

void SongSearch::prepare() {
    prepareQueryFields(queue_, fieldList_, queryName_, failed_);
    if (search_)
        search_->setEnabled(!failed_);
    if (reset_)
        reset_->setEnabled(!failed_ && !filter_.isEmpty());
}

bool SongSearch::run(BrowseList &list) {
    QString filter = filter_;
    QW_WIZARD(queue_, queryName_, filter, {0, 0, 0, 1, 0, 0, 0, 0, 0});
    if (QW_Response == 0)
        return false;
    apply(list, filter);
    return true;
}

void SongSearch::apply(BrowseList &list, const QString &filter) {
    filter_ = filter;
    if (reset_)
        reset_->setEnabled(true);
    list.setQueryFilter(filter_);
}

void SongSearch::reset(BrowseList &list) {
    if (reset_)
        reset_->setEnabled(false);
    filter_.clear();
    list.setQueryFilter(filter_);
}

void makeSongDragSource(ListControl *control, const BrowseList &list, std::size_t idValue) {
    makeDragSource(control, QString::fromLatin1(kSongsDrag), [control, &list, idValue](QPoint at) {
        const int row = control->indexAt(control->viewport()->mapFrom(control, at)).row();
        if (row < 0 || row >= list.rowCount())
            return QString();
        return list.reader().rows()[size_t(row)].values[idValue].toString();
    });
}

void startOnOwnThread(const QString &procedure) {
    constexpr std::size_t kStack = 25000;
    if (Procedure p = findProcedure(procedure))
        startThread(p, kStack);
}

} // namespace tbk
