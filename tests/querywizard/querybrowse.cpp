#include "querybrowse.h"

#include "core/datafiles.h"
#include "impex/queryfieldlists.h"
#include "runtime/querywizard/querywizard.h"
#include "runtime/threads/scheduler.h"
#include "runtime/ui/listcontrol.h"
#include "runtime/ui/windowbuilder.h"

#include <QPushButton>

using namespace tbk;

namespace qwtest {

QuerySongBrowse::QuerySongBrowse(QString fieldList, QString queryName)
    : Browse(QStringLiteral("BrowseQuerySongs"), {&MUS, &MED, &CAT}), fieldList_(std::move(fieldList)),
      queryName_(std::move(queryName)) {}

QWidget *QuerySongBrowse::buildWindow() {
    WindowBuilder b(*this, QStringLiteral("Browse Songs"), {300, 200});
    ListControl *l = b.list(QStringLiteral("Browse"),
                            QStringLiteral("30R(2)|M~ID~@n6@100L(2)|M~Artist~@s50@100L(2)|M~Title~@s50@"), 170);
    QPushButton *search = b.button(QStringLiteral("&Search"));
    QPushButton *reset = b.button(QStringLiteral("Reset Search"));
    Buttons buttons;
    buttons.close = b.button(QStringLiteral("Cl&ose"));
    setButtons(buttons);
    reset->setEnabled(false);
    BrowseList &songs = makeList(l, MUS, [] {
        return std::vector<QVariant>{MUS.ID.value(), MUS.Artist.str(), MUS.Title.str()};
    });
    songs.setJoin({&CAT, &MED}, [] {
        CAT.clear();
        CAT.CategoryID = MUS.CategoryID.value();
        if (MUS.CategoryID.value() == 0 || !CAT.get(CAT.KeyCategoryID))
            CAT.clear();
        MED.clear();
        MED.Media = MUS.Media.str();
        if (MUS.Media.empty() || !MED.get(MED.KeyMedia))
            MED.clear();
    });
    songs.addSortOrder({&MUS.KEYID, {}, {}, LocatorKind::Incremental, 0, {0, 0, 0}});
    on(search, EventKind::Accepted, [this, reset] {
        QW_WIZARD(queue, queryName_, filter, {0, 0, 0, 1, 0, 0, 0, 0, 0});
        if (QW_Response == 0)
            return;
        reset->setEnabled(true);
        list().setQueryFilter(filter);
        refresh(true);
    });
    on(reset, EventKind::Accepted, [this, reset] {
        filter.clear();
        reset->setEnabled(false);
        list().setQueryFilter(filter);
        refresh(true);
    });
    return b.finish();
}

bool QuerySongBrowse::openRoutine() {
    prepareQueryFields(queue, fieldList_, queryName_, queueFailed);
    return Browse::openRoutine();
}

int startQueryBrowse(QuerySongBrowse *&browse, const QString &fieldList, const QString &queryName) {
    return startThread([&browse, fieldList, queryName] {
        QuerySongBrowse w(fieldList, queryName);
        browse = &w;
        w.run();
        browse = nullptr;
    });
}

} // namespace qwtest
