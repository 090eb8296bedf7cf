#pragma once
// A small song browse that searches through the query wizard as the song lists do: its field
// queue is prepared when it opens, "&Search" runs the wizard and "Reset Search" drops the
// filter again.
#include "records/browse.h"
#include "runtime/querywizard/queryfields.h"

namespace qwtest {

class QuerySongBrowse : public tbk::Browse {
public:
    QuerySongBrowse(QString fieldList, QString queryName);
    using Browse::list;
    QString filter;            // the query filter text, as the wizard leaves it
    tbk::QueryFieldQueue queue;
    bool queueFailed = false;

protected:
    QWidget *buildWindow() override;
    bool openRoutine() override;

private:
    QString fieldList_, queryName_;
};

// Runs the browse on a new logical thread; `browse` points at it while it is open.
int startQueryBrowse(QuerySongBrowse *&browse, const QString &fieldList, const QString &queryName);

} // namespace qwtest
